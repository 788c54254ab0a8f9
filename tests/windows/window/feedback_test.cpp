// What the window shows about a running command besides its output, in this process: the hint
// panel over the output box, the taskbar's progress without the taskbar interface, the foreground
// test, and the window telling its owner that the user came back to it.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/win32/controls_win32.h"
#include "platform/win32/feedback_win32.h"
#include "platform/win32/main_window.h"
#include "platform/win32/text.h"
#include "test_support.h"

namespace quorlane::wintest {
namespace {

using window::ControlId;
using window::Progress;

class ActivationRecorder final : public window::WindowEvents {
 public:
  void click(ControlId) override {}
  void Timer1_Timer() override {}
  void filesDropped(const std::vector<std::string>&) override {}
  void Form_Unload() override {}
  void Form_Activate() override { ++activations; }
  int activations = 0;
};

class FeedbackTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = std::make_unique<win32::MainWindow>(GetModuleHandleW(nullptr), 2);
    window_->setEvents(&events_);
    controls_ = std::make_unique<win32::Win32Controls>(window_->handle());
    feedback_ = std::make_unique<win32::Win32Feedback>(window_->handle());
    window_->show();
    pump();
  }
  void TearDown() override {
    feedback_.reset();
    window_.reset();
    pump();
  }
  HWND box() const { return window_->control(ControlId::CMDTeXT); }
  RECT boxClient() const {
    RECT r;
    GetClientRect(box(), &r);
    MapWindowPoints(box(), window_->handle(), reinterpret_cast<POINT*>(&r), 2);
    return r;
  }
  RECT hintRect() const { return rectInParent(feedback_->hint()); }

  ActivationRecorder events_;
  std::unique_ptr<win32::MainWindow> window_;
  std::unique_ptr<win32::Win32Controls> controls_;
  std::unique_ptr<win32::Win32Feedback> feedback_;
};

TEST_F(FeedbackTest, TheHintLiesOverTheBoxClearOfItsLastLineAndLeavesItsTextAlone) {
  const std::string hint = "正在等待手机连接……\r\n第二行\r\n第三行";
  // A short text: the hint goes to the bottom, below it.
  controls_->setText(ControlId::CMDTeXT, "< waiting for any device >\r\n");
  feedback_->setHint(ControlId::CMDTeXT, hint);
  ASSERT_NE(feedback_->hint(), nullptr);
  EXPECT_TRUE(IsWindowVisible(feedback_->hint()));
  EXPECT_EQ(controls_->text(ControlId::CMDTeXT), "< waiting for any device >\r\n");
  const RECT area = boxClient();
  RECT bottom = hintRect();
  EXPECT_EQ(bottom.left, area.left);
  EXPECT_EQ(bottom.right, area.right);
  EXPECT_EQ(bottom.bottom, area.bottom);
  EXPECT_GT(bottom.top, area.top);
  // Three lines of text and a little space: not a sliver, not the whole box.
  EXPECT_GT(bottom.bottom - bottom.top, 3 * 12);
  EXPECT_LT(bottom.bottom - bottom.top, area.bottom - area.top);
  // Clicks go to the box underneath.
  EXPECT_EQ(
      SendMessageW(feedback_->hint(), WM_NCHITTEST, 0, MAKELPARAM(bottom.left + 5, bottom.top + 5)),
      HTTRANSPARENT);

  // A box full to its end: the hint goes to the top, the newest lines stay in view.
  std::string many;
  for (int i = 0; i < 40; ++i) many += "line " + std::to_string(i) + "\r\n";
  controls_->setText(ControlId::CMDTeXT, many + "< waiting for any device >\r\n");
  win32::scrollToEnd(box());
  feedback_->setHint(ControlId::CMDTeXT, hint);
  const RECT top = hintRect();
  EXPECT_EQ(top.top, area.top);
  EXPECT_EQ(top.bottom - top.top, bottom.bottom - bottom.top);

  // Empty text hides it; the same panel comes back the next time.
  HWND panel = feedback_->hint();
  feedback_->setHint(ControlId::CMDTeXT, "");
  EXPECT_FALSE(IsWindowVisible(panel));
  feedback_->setHint(ControlId::CMDTeXT, hint);
  EXPECT_EQ(feedback_->hint(), panel);
  EXPECT_TRUE(IsWindowVisible(panel));
  wchar_t shown[64] = {};
  GetWindowTextW(panel, shown, 64);
  EXPECT_EQ(win32::narrow(shown), hint);
}

TEST_F(FeedbackTest, WithoutTheTaskbarInterfaceProgressIsSimplyNotShown) {
  win32::Win32Feedback without(window_->handle(), false);
  ASSERT_FALSE(without.hasTaskbar());
  for (const Progress p : {Progress::running, Progress::failed, Progress::none}) {
    without.setProgress(p);
  }
  without.flashUntilActive();
  // The hint does not depend on it.
  without.setHint(ControlId::CMDTeXT, "正在等待手机连接……");
  ASSERT_NE(without.hint(), nullptr);
  EXPECT_TRUE(IsWindowVisible(without.hint()));
}

TEST_F(FeedbackTest, TheWindowIsInFrontUntilAnotherWindowIsAndTellsWhenTheUserComesBack) {
  SetForegroundWindow(window_->handle());
  ASSERT_TRUE(pumpUntil([&] { return GetForegroundWindow() == window_->handle(); }));
  EXPECT_TRUE(feedback_->inForeground());
  const int before = events_.activations;

  HWND other =
      CreateWindowExW(0, L"STATIC", L"another program", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200,
                      100, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(other, nullptr);
  SetForegroundWindow(other);
  ASSERT_TRUE(pumpUntil([&] { return GetForegroundWindow() == other; }));
  EXPECT_FALSE(feedback_->inForeground());
  feedback_->flashUntilActive();

  SetForegroundWindow(window_->handle());
  ASSERT_TRUE(pumpUntil([&] { return events_.activations > before; }));
  EXPECT_TRUE(feedback_->inForeground());
  DestroyWindow(other);

  // A click in the window's own background counts as coming back too.
  const int clicked = events_.activations;
  SendMessageW(window_->handle(), WM_LBUTTONDOWN, 0, MAKELPARAM(2, 2));
  EXPECT_EQ(events_.activations, clicked + 1);

  // A window that is not shown needs nobody's attention.
  ShowWindow(window_->handle(), SW_HIDE);
  EXPECT_TRUE(feedback_->inForeground());
}

}  // namespace
}  // namespace quorlane::wintest
