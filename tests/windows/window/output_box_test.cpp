// The output box through the handlers' view of the controls: its appends — nothing cut at 32K, the
// newest line kept in view only for a reader at the end, the user's selection kept.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "test_support.h"
#include "win32/controls_win32.h"
#include "win32/main_window.h"

namespace quorlane::wintest {
namespace {

using window::ControlId;

std::string lines(int from, int to) {
  std::string text;
  for (int i = from; i < to; ++i) text += "line " + std::to_string(i) + "\r\n";
  return text;
}

class OutputBoxTest : public ShownWindowTest {
 protected:
  int firstVisible() const {
    return static_cast<int>(SendMessageW(box_, EM_GETFIRSTVISIBLELINE, 0, 0));
  }
  int lineCount() const { return static_cast<int>(SendMessageW(box_, EM_GETLINECOUNT, 0, 0)); }
  void scrollToTop() { SendMessageW(box_, EM_LINESCROLL, 0, -firstVisible()); }
};

TEST_F(OutputBoxTest, AppendsKeepEverythingFarBeyond32K) {
  const std::string chunk = std::string(1000, 'x') + "\r\n";
  for (int i = 0; i < 100; ++i) controls_->appendText(ControlId::CMDTeXT, chunk);
  controls_->appendText(ControlId::CMDTeXT, "最后一行\r\n");
  const std::string text = controls_->text(ControlId::CMDTeXT);
  EXPECT_EQ(text.size(), 100 * chunk.size() + std::string("最后一行\r\n").size());
  EXPECT_EQ(text.substr(text.size() - 14), "最后一行\r\n");
}

TEST_F(OutputBoxTest, AppendAtTheEndKeepsTheNewestLineInView) {
  controls_->appendText(ControlId::CMDTeXT, lines(0, 5));
  EXPECT_EQ(firstVisible(), 0) << "short text needs no scrolling";
  for (int i = 5; i < 200; i += 5) controls_->appendText(ControlId::CMDTeXT, lines(i, i + 5));
  EXPECT_GT(firstVisible(), 150);
  EXPECT_TRUE(win32::endInView(box_));
}

TEST_F(OutputBoxTest, AReaderWhoScrolledUpIsNotPulledDown) {
  controls_->appendText(ControlId::CMDTeXT, lines(0, 100));
  SendMessageW(box_, EM_LINESCROLL, 0, 10 - firstVisible());
  ASSERT_EQ(firstVisible(), 10);
  controls_->appendText(ControlId::CMDTeXT, lines(100, 200));
  EXPECT_EQ(firstVisible(), 10);
  EXPECT_EQ(lineCount(), 201);
  // Back at the end, the appends follow again.
  win32::scrollToEnd(box_);
  controls_->appendText(ControlId::CMDTeXT, lines(200, 250));
  EXPECT_TRUE(win32::endInView(box_));
}

TEST_F(OutputBoxTest, AppendKeepsTheUsersSelection) {
  controls_->appendText(ControlId::CMDTeXT, lines(0, 3));
  SendMessageW(box_, EM_SETSEL, 2, 9);
  controls_->appendText(ControlId::CMDTeXT, "more\r\n");
  DWORD start = 0;
  DWORD end = 0;
  SendMessageW(box_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 2u);
  EXPECT_EQ(end, 9u);
  EXPECT_EQ(controls_->text(ControlId::CMDTeXT), lines(0, 3) + "more\r\n");
}

TEST_F(OutputBoxTest, ReplacingTheWholeTextKeepsTheSameRule) {
  controls_->setText(ControlId::CMDTeXT, lines(0, 100));
  EXPECT_TRUE(win32::endInView(box_)) << "an empty box had its end in view";
  controls_->setText(ControlId::CMDTeXT, lines(0, 150));
  EXPECT_TRUE(win32::endInView(box_));

  SendMessageW(box_, EM_LINESCROLL, 0, 20 - firstVisible());
  ASSERT_EQ(firstVisible(), 20);
  controls_->setText(ControlId::CMDTeXT, lines(0, 180));
  EXPECT_EQ(firstVisible(), 20);

  controls_->setText(ControlId::CMDTeXT, "");
  EXPECT_EQ(controls_->text(ControlId::CMDTeXT), "");
  EXPECT_EQ(firstVisible(), 0);
}

}  // namespace
}  // namespace quorlane::wintest
