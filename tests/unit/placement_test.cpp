#include "window/placement.h"

#include <gtest/gtest.h>

#include <vector>

namespace quorlane::window {
namespace {

ControlRow row(ControlId id, int tabIndex, int left = 0, int width = 0) {
  return ControlRow{id, "row", Kind::button, ControlId::none, "", left, 0, width, 0, tabIndex};
}

std::vector<ControlId> idsOf(const std::vector<const ControlRow*>& order) {
  std::vector<ControlId> ids;
  for (const ControlRow* r : order) ids.push_back(r->id);
  return ids;
}

TEST(Placement, CreatesByTabIndexAndThenTheRowsWithoutOneInTableOrder) {
  const std::vector<ControlRow> rows = {row(ControlId::Command1, 2), row(ControlId::MyCMD1, -1),
                                        row(ControlId::Command2, 0), row(ControlId::MyCMD2, -1),
                                        row(ControlId::Command3, 1)};
  EXPECT_EQ(idsOf(creationOrder(rows)),
            (std::vector<ControlId>{ControlId::Command2, ControlId::Command3, ControlId::Command1,
                                    ControlId::MyCMD1, ControlId::MyCMD2}));
  EXPECT_TRUE(creationOrder({}).empty());

  // The window's own table: tab indexes 0, 1, 2 ... without a gap, then the two runners.
  const auto order = creationOrder(controls());
  ASSERT_EQ(order.size(), controls().size());
  std::vector<ControlId> withoutIndex;
  for (const auto& r : controls()) {
    if (r.tabIndex < 0) withoutIndex.push_back(r.id);
  }
  ASSERT_EQ(withoutIndex.size(), 2u);
  for (std::size_t i = 0; i + 2 < order.size(); ++i) {
    EXPECT_EQ(order[i]->tabIndex, static_cast<int>(i)) << order[i]->name;
  }
  EXPECT_EQ(order[order.size() - 2]->id, withoutIndex[0]);
  EXPECT_EQ(order.back()->id, withoutIndex[1]);
}

TEST(Placement, FindsARowByItsIdOnly) {
  for (const auto& r : controls()) {
    const ControlRow* found = findRow(static_cast<int>(r.id));
    ASSERT_NE(found, nullptr) << r.name;
    EXPECT_EQ(found, &r);
  }
  // No control, and the id a combo box gives its own edit field.
  for (int id : {0, -1, 1001, 2000, 2011, 2403}) EXPECT_EQ(findRow(id), nullptr) << id;
}

TEST(Placement, ConvertsEachEdgeOnItsOwnSoNeighboursStillMeet) {
  // Three controls 5 twips wide side by side. At 144 DPI 5 twips are 0.5 pixels, which round to
  // 1 alone; converting the edges keeps every control's right edge on its neighbour's left edge.
  const PixelRect a = pixelRect(row(ControlId::Command1, 0, 0, 5), 144);
  const PixelRect b = pixelRect(row(ControlId::Command2, 1, 5, 5), 144);
  const PixelRect c = pixelRect(row(ControlId::Command3, 2, 10, 5), 144);
  EXPECT_EQ(a, (PixelRect{0, 0, 1, 0}));
  EXPECT_EQ(b, (PixelRect{1, 0, 1, 0}));
  EXPECT_EQ(c, (PixelRect{1, 0, 2, 0}));

  // A control in a frame is placed from the frame's corner; 15 twips a pixel at 96 DPI.
  const ControlRow& start = control(ControlId::Command1);
  const TwipsRect t = absoluteRect(start);
  const PixelRect p = pixelRect(start, 96);
  EXPECT_EQ(p,
            (PixelRect{t.left / 15, t.top / 15, (t.left + t.width) / 15, (t.top + t.height) / 15}));
  EXPECT_GT(p.left, start.place.left / 15);
}

}  // namespace
}  // namespace quorlane::window
