// What the window shows about a running command besides its output, in this process: the hint
// panel over the output box, the taskbar's progress without the taskbar interface, the foreground
// test, and the window telling its owner that the user came back to it.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "test_support.h"
#include "win32/controls_win32.h"
#include "win32/feedback_win32.h"
#include "win32/main_window.h"
#include "win32/text.h"

namespace quorlane::wintest {
namespace {

using window::ControlId;
using window::Progress;

class ActivationRecorder final : public window::WindowEvents {
 public:
  void click(ControlId id) override { clicks.push_back(id); }
  void Timer1_Timer() override {}
  void filesDropped(const std::vector<std::string>&) override {}
  void Form_Unload() override {}
  void Form_Activate() override { ++activations; }
  int activations = 0;
  std::vector<ControlId> clicks;
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
  // The box's last line with text on it, from the top of its last character to a line's height
  // below.
  std::pair<int, int> lastLine() const {
    const std::wstring text = win32::windowText(box());
    const auto last = static_cast<WPARAM>(text.find_last_not_of(L"\r\n"));
    const LRESULT pos = SendMessageW(box(), EM_POSFROMCHAR, last, 0);
    HDC dc = GetDC(box());
    HGDIOBJ old =
        SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(box(), WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(box(), dc);
    const int top = boxClient().top + static_cast<short>(HIWORD(pos));
    return {top, top + metrics.tmHeight};
  }
  LRESULT fontOf(HWND hwnd) const { return SendMessageW(hwnd, WM_GETFONT, 0, 0); }

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

TEST_F(FeedbackTest, TheResultStaysClearOfTheLastLineItsButtonIsAClickAndAClickHidesIt) {
  const std::string result =
      "这台手机没有 recovery 分区，什么也没有写入。可以点“临时启动”，让手机从内存启动这个镜像一次，"
      "不写入手机。这一段写得长一些，好占用好几行。";
  // However much output there is, the panel lies inside the box and off its last line.
  for (const int lines : {0, 1, 3, 4, 5, 6, 40}) {
    std::string output;
    for (int i = 0; i < lines; ++i) output += "line " + std::to_string(i) + "\r\n";
    // The client's output often ends in empty lines: they are not what must stay in view.
    controls_->setText(ControlId::CMDTeXT, output + "fastboot: error: Command failed\r\n\r\n\r\n");
    win32::scrollToEnd(box());
    feedback_->showResult(ControlId::CMDTeXT, result, {"临时启动(&T)"});
    ASSERT_NE(feedback_->result(), nullptr);
    ASSERT_TRUE(IsWindowVisible(feedback_->result()));
    const RECT area = boxClient();
    const RECT panel = rectInParent(feedback_->result());
    EXPECT_GE(panel.top, area.top) << lines;
    EXPECT_LE(panel.bottom, area.bottom) << lines;
    EXPECT_EQ(panel.left, area.left);
    EXPECT_EQ(panel.right, area.right);
    const auto [top, bottom] = lastLine();
    EXPECT_TRUE(panel.bottom <= top || panel.top >= bottom)
        << lines << " lines: panel " << panel.top << ".." << panel.bottom << ", last line " << top
        << ".." << bottom;
  }
  EXPECT_EQ(win32::narrow(win32::windowText(feedback_->result())), result);
  EXPECT_EQ(controls_->text(ControlId::CMDTeXT).find("这台手机"), std::string::npos);

  // The button lies inside the panel, at its right, and its click reaches the window's events.
  HWND button = feedback_->resultButton();
  ASSERT_NE(button, nullptr);
  EXPECT_TRUE(IsWindowVisible(button));
  EXPECT_EQ(win32::narrow(win32::windowText(button)), "临时启动(&T)");
  RECT panelOnScreen;
  RECT buttonOnScreen;
  GetWindowRect(feedback_->result(), &panelOnScreen);
  GetWindowRect(button, &buttonOnScreen);
  RECT inside;
  EXPECT_TRUE(IntersectRect(&inside, &panelOnScreen, &buttonOnScreen) &&
              EqualRect(&inside, &buttonOnScreen));
  EXPECT_GT(buttonOnScreen.left, (panelOnScreen.left + panelOnScreen.right) / 2);
  SendMessageW(button, BM_CLICK, 0, 0);
  EXPECT_EQ(events_.clicks, (std::vector<ControlId>{ControlId::ResultAction}));

  // A click on the panel hides it; the next result comes back in it, without a button.
  SendMessageW(feedback_->result(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
  EXPECT_FALSE(IsWindowVisible(feedback_->result()));
  feedback_->showResult(ControlId::CMDTeXT, "刷入成功。", {});
  EXPECT_TRUE(IsWindowVisible(feedback_->result()));
  EXPECT_FALSE(IsWindowVisible(button));
  feedback_->hideResult();
  EXPECT_FALSE(IsWindowVisible(feedback_->result()));
}

TEST_F(FeedbackTest, TwoButtonsStandOneBelowTheOtherAndEachReportsItsOwnClickAndAccessKey) {
  const std::string text = "刷入成功。现在请点“重启进入 Recovery”，让手机直接进入新的 Recovery。";
  const window::ResultButtons two = {"重启进入 Recovery(&R)", "重启手机(&P)"};
  controls_->setText(ControlId::CMDTeXT, "Finished. Total time: 0.004s\r\n");
  RECT outer;
  GetWindowRect(window_->handle(), &outer);
  // At both sizes of the box's font: inside the panel, at its right, as wide as each other, the
  // second below the first, and the panel tall enough for both.
  for (const int dpi : {96, 144}) {
    SendMessageW(window_->handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                 reinterpret_cast<LPARAM>(&outer));
    feedback_->showResult(ControlId::CMDTeXT, text, two);
    ASSERT_TRUE(IsWindowVisible(feedback_->result()));
    RECT panel;
    GetWindowRect(feedback_->result(), &panel);
    RECT first;
    RECT second;
    GetWindowRect(feedback_->resultButton(0), &first);
    GetWindowRect(feedback_->resultButton(1), &second);
    for (const RECT& r : {first, second}) {
      RECT inside;
      EXPECT_TRUE(IntersectRect(&inside, &panel, &r) && EqualRect(&inside, &r)) << dpi;
      EXPECT_GT(r.left, (panel.left + panel.right) / 2) << dpi;
      EXPECT_GT(r.bottom - r.top, 12) << dpi;
    }
    EXPECT_EQ(first.left, second.left) << dpi;
    EXPECT_EQ(first.right, second.right) << dpi;
    EXPECT_GT(second.top, first.bottom - 1) << dpi;
    EXPECT_EQ(fontOf(feedback_->resultButton(1)), fontOf(box())) << dpi;
    EXPECT_EQ(win32::narrow(win32::windowText(feedback_->resultButton(1))), "重启手机(&P)");
    // The two captions are whole: each button is wider than the other's longer caption needs
    // at the box's font, measured as the button draws it.
    HDC dc = GetDC(feedback_->resultButton(0));
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(fontOf(box())));
    RECT caption{0, 0, 0, 0};
    DrawTextW(dc, L"重启进入 Recovery(&R)", -1, &caption, DT_SINGLELINE | DT_CALCRECT);
    SelectObject(dc, old);
    ReleaseDC(feedback_->resultButton(0), dc);
    EXPECT_GT(second.right - second.left, caption.right - caption.left) << dpi;
  }

  // Clicks and access keys (through the dialog manager, as the message loop has them) report
  // the first as ResultAction, the second as ResultAction2.
  SendMessageW(feedback_->resultButton(0), BM_CLICK, 0, 0);
  SendMessageW(feedback_->resultButton(1), BM_CLICK, 0, 0);
  for (const wchar_t key : {L'p', L'r'}) {
    MSG alt{GetFocus(), WM_SYSCHAR, key, 0x20000001, 0, {}};
    IsDialogMessageW(window_->handle(), &alt);
    pump();
  }
  EXPECT_EQ(events_.clicks,
            (std::vector<ControlId>{ControlId::ResultAction, ControlId::ResultAction2,
                                    ControlId::ResultAction2, ControlId::ResultAction}));

  // The next result with one button: the second goes, and the focus it had goes to the box.
  SetFocus(feedback_->resultButton(1));
  ASSERT_EQ(GetFocus(), feedback_->resultButton(1));
  feedback_->showResult(ControlId::CMDTeXT, "这台手机没有 recovery 分区。", {"临时启动(&T)"});
  EXPECT_TRUE(IsWindowVisible(feedback_->resultButton(0)));
  EXPECT_FALSE(IsWindowVisible(feedback_->resultButton(1)));
  EXPECT_EQ(GetFocus(), box());
}

TEST_F(FeedbackTest, AfterADpiChangeThePanelsDrawWithTheBoxsNewFontInItsNewPlace) {
  controls_->setText(ControlId::CMDTeXT, "< waiting for any device >\r\n");
  feedback_->setHint(ControlId::CMDTeXT, "正在等待手机连接……\r\n第二行");
  feedback_->showResult(ControlId::CMDTeXT, "这台手机没有 recovery 分区。", {"临时启动(&T)"});
  const int resultHeightAt96 =
      rectInParent(feedback_->result()).bottom - rectInParent(feedback_->result()).top;
  for (const int dpi : {144, 96}) {
    RECT outer;
    GetWindowRect(window_->handle(), &outer);
    SendMessageW(window_->handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                 reinterpret_cast<LPARAM>(&outer));
    ASSERT_EQ(window_->dpi(), dpi);
    // The box's fonts of the old DPI are gone; the panels and the button use the new one.
    const LRESULT font = fontOf(box());
    EXPECT_EQ(fontOf(feedback_->hint()), font) << dpi;
    EXPECT_EQ(fontOf(feedback_->result()), font) << dpi;
    EXPECT_EQ(fontOf(feedback_->resultButton()), font) << dpi;
    const RECT area = boxClient();
    for (HWND panel : {feedback_->hint(), feedback_->result()}) {
      const RECT r = rectInParent(panel);
      EXPECT_EQ(r.left, area.left) << dpi;
      EXPECT_EQ(r.right, area.right) << dpi;
      EXPECT_EQ(r.bottom, area.bottom) << dpi;
    }
    const RECT result = rectInParent(feedback_->result());
    // Measured in the larger font: taller (only the font: a test's DPI message leaves the
    // window's own DPI, which scales the margins, as it was).
    if (dpi == 144) {
      EXPECT_GT(result.bottom - result.top, resultHeightAt96);
    } else {
      EXPECT_EQ(result.bottom - result.top, resultHeightAt96);
    }
  }
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
