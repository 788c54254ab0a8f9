#include "window/layout.h"

#include <gtest/gtest.h>

#include <set>

namespace quorlane::window {
namespace {

TEST(Layout, TwipsBecomePixelsByTheDpi) {
  struct Case {
    int twips, dpi, pixels;
  };
  for (const auto& c : std::vector<Case>{{15, 96, 1},
                                         {8325, 96, 555},
                                         {6015, 96, 401},
                                         {8325, 120, 694},  // 693.75
                                         {6015, 120, 501},  // 501.25
                                         {8325, 144, 833},  // 832.5 rounds up
                                         {6015, 144, 602},  // 601.5 rounds up
                                         {7, 96, 0},
                                         {8, 96, 1},
                                         {0, 144, 0}}) {
    EXPECT_EQ(twipsToPixels(c.twips, c.dpi), c.pixels) << c.twips << " at " << c.dpi;
  }
}

TEST(Layout, TheTableHoldsEveryControlOnceWithItsPlace) {
  std::set<int> ids;
  std::set<int> tabIndexes;
  for (const auto& row : controls()) {
    EXPECT_TRUE(ids.insert(static_cast<int>(row.id)).second) << row.name;
    if (row.tabIndex >= 0) {
      EXPECT_TRUE(tabIndexes.insert(row.tabIndex).second) << row.name;
    }
    // A combo box numbers its own edit field 1001; no control may share that id.
    EXPECT_NE(static_cast<int>(row.id), 1001) << row.name;
    if (row.container != ControlId::none) {
      EXPECT_EQ(control(row.container).kind, Kind::frame);
    }
  }
  EXPECT_EQ(ids.size(), 23u);
  EXPECT_EQ(tabIndexes.size(), 21u);  // 0 to 20: all but the two runners

  // Controls in a frame are placed from the frame's corner.
  const TwipsRect start = absoluteRect(control(ControlId::Command1));
  EXPECT_EQ(start.left, 120 + 5640);
  EXPECT_EQ(start.top, 120 + 240);
  const TwipsRect image3 = absoluteRect(control(ControlId::Command9));
  EXPECT_EQ(image3.left, 120 + 5400);
  EXPECT_EQ(image3.top, 3240 + 240);

  // The prefix box lies below the client area; the runners show only their upper strips.
  const int bottom = form().clientHeight;
  EXPECT_GE(control(ControlId::Text2).place.top, bottom);
  EXPECT_EQ(bottom - control(ControlId::MyCMD2).place.top, 135);
  EXPECT_EQ(bottom - control(ControlId::MyCMD1).place.top, 255);
  EXPECT_FALSE(control(ControlId::Command1).enabled);
  EXPECT_EQ(control(ControlId::Text2).caption, "fastboot flash recovery ");
  EXPECT_TRUE(control(ControlId::Text2).readOnly);
  EXPECT_FALSE(control(ControlId::Text2).tabStop);
}

}  // namespace
}  // namespace quorlane::window
