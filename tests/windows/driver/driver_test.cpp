// The driver against a small window made for it (target_app.cpp): the same calls the tests of the
// real program make, on a window whose layout and answers are known.

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "driver/gui_driver.h"
#include "driver/target_ids.h"

namespace quorlane::gui {
namespace {

std::wstring driverFolder() {
  return win32::executableFolder() + L"\\";
}

std::string targetExe() {
  return win32::narrow(driverFolder()) + "gui_driver_target.exe";
}

std::wstring tempFolder() {
  wchar_t buffer[MAX_PATH] = {};
  const DWORD n = GetTempPathW(MAX_PATH, buffer);
  return std::wstring(buffer, n);
}

bool sameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

using win32::UniqueHandle;

// A handle of our own to a started program, to see it end after its Process object is gone.
class Watch {
 public:
  explicit Watch(DWORD pid) : h_(OpenProcess(SYNCHRONIZE, FALSE, pid)) {}
  bool ended(DWORD timeoutMs) const {
    return h_ && WaitForSingleObject(h_.get(), timeoutMs) == WAIT_OBJECT_0;
  }

 private:
  UniqueHandle h_;
};

TEST(WaitTest, PollsUntilTheConditionHoldsOrTimesOut) {
  int calls = 0;
  EXPECT_TRUE(waitFor([&] { return ++calls == 3; }, 5000));
  EXPECT_EQ(calls, 3);

  const auto start = std::chrono::steady_clock::now();
  calls = 0;
  EXPECT_FALSE(waitFor([&] { return ++calls < 0; }, 100));
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_GE(elapsed, std::chrono::milliseconds(100));
  EXPECT_GT(calls, 1);

  // No time left: still asked once.
  EXPECT_TRUE(waitFor([] { return true; }, 0));
}

TEST(ProcessTest, StartsInTheGivenFolderWithArguments) {
  EXPECT_THROW(Process::start(win32::narrow(driverFolder()) + "no such program.exe"),
               std::runtime_error);

  std::wstring folder = tempFolder();
  if (!folder.empty() && folder.back() == L'\\') folder.pop_back();
  Process app = Process::start(targetExe(), win32::narrow(folder), "--mode 中文 \"a b\"");
  const HWND main = waitTopWindow(app.pid(), target::kTitle);
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(text(child(main, target::kStatusEdit)), win32::narrow(folder));
  EXPECT_EQ(text(child(main, target::kInputEdit)), "--mode 中文 \"a b\"");
}

TEST(ProcessTest, OwnershipFollowsMovesAndEndsWithTheOwner) {
  Process first = Process::start(targetExe());
  const Watch firstWatch(first.pid());
  {
    Process owner = std::move(first);
    EXPECT_FALSE(first.running());  // a moved-from Process owns nothing
    EXPECT_FALSE(first.exitCode().has_value());
    EXPECT_TRUE(owner.running());
    EXPECT_FALSE(owner.exitCode().has_value());
    EXPECT_FALSE(owner.waitExit(0));
  }
  EXPECT_TRUE(firstWatch.ended(5000));

  // Assigning a new program to an owner ends the one it had.
  Process a = Process::start(targetExe());
  const Watch aWatch(a.pid());
  Process b = Process::start(targetExe());
  const DWORD bPid = b.pid();
  a = std::move(b);
  EXPECT_TRUE(aWatch.ended(5000));
  EXPECT_EQ(a.pid(), bPid);
  EXPECT_TRUE(a.running());
}

// Each test drives a fresh target window.
class TargetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    app_.emplace(Process::start(targetExe()));
    main_ = waitTopWindow(app_->pid(), target::kTitle);
    ASSERT_NE(main_, nullptr) << "the target window did not appear";
  }

  DWORD pid() const { return app_->pid(); }
  HWND control(int id) const { return child(main_, id); }
  std::string status() const { return text(control(target::kStatusEdit)); }
  bool waitStatus(const std::string& want) const {
    return waitFor([&] { return status() == want; });
  }

  std::optional<Process> app_;
  HWND main_ = nullptr;
};

TEST_F(TargetTest, FindsTheWindowByTitleAndClass) {
  EXPECT_EQ(findTopWindow(pid(), target::kTitle, target::kMainClass), main_);
  EXPECT_EQ(findTopWindow(pid(), "", target::kMainClass), main_);
  EXPECT_EQ(findTopWindow(pid(), target::kTitle, "Button"), nullptr);
  EXPECT_EQ(findTopWindow(pid(), "驱动测试"), nullptr);  // the whole title, not a prefix
  EXPECT_EQ(findTopWindow(GetCurrentProcessId(), target::kTitle), nullptr);
  EXPECT_EQ(text(main_), target::kTitle);
  EXPECT_EQ(className(main_), target::kMainClass);
  const SIZE size = clientSize(main_);
  EXPECT_EQ(size.cx, target::kClientWidth);
  EXPECT_EQ(size.cy, target::kClientHeight);
}

TEST_F(TargetTest, ReadsNestedControlsAndTheirStates) {
  const HWND info = control(target::kInfoButton);
  ASSERT_NE(info, nullptr);
  EXPECT_EQ(GetParent(info), control(target::kFrame));
  EXPECT_EQ(control(4242), nullptr);
  EXPECT_EQ(text(info), "提示");
  EXPECT_EQ(className(info), "Button");
  EXPECT_EQ(controlId(info), target::kInfoButton);

  // Frame offset plus the button's place in the frame.
  const RECT want{target::kFrameRect.left + target::kInfoRect.left,
                  target::kFrameRect.top + target::kInfoRect.top,
                  target::kFrameRect.left + target::kInfoRect.right,
                  target::kFrameRect.top + target::kInfoRect.bottom};
  EXPECT_TRUE(sameRect(clientRectInParent(info, main_), want)) << dumpTree(main_);

  const HWND disabled = control(target::kDisabledButton);
  const HWND hidden = control(target::kHiddenButton);
  EXPECT_TRUE(enabled(info));
  EXPECT_TRUE(visible(info));
  EXPECT_FALSE(enabled(disabled));
  EXPECT_TRUE(visible(disabled));
  EXPECT_TRUE(style(disabled) & WS_DISABLED);
  EXPECT_TRUE(enabled(hidden));
  EXPECT_FALSE(visible(hidden));
  EXPECT_FALSE(click(disabled));
  EXPECT_FALSE(click(hidden));

  const std::string tree = dumpTree(main_);
  EXPECT_NE(tree.find("    Button id=0x03E9 \"提示\" (30,40)-(130,68)"), std::string::npos) << tree;
  EXPECT_NE(tree.find("\"禁用\" (30,80)-(130,108) style=0x58000000 disabled"), std::string::npos)
      << tree;
}

TEST_F(TargetTest, TypesAndSetsText) {
  const HWND input = control(target::kInputEdit);
  typeChars(input, "中文 ok");
  EXPECT_TRUE(waitFor([&] { return text(input) == "中文 ok"; })) << text(input);
  EXPECT_TRUE(setText(input, "C:\\镜像 a&b\\recovery.img"));
  EXPECT_EQ(text(input), "C:\\镜像 a&b\\recovery.img");
  EXPECT_TRUE(setText(input, ""));
  EXPECT_EQ(text(input), "");
}

TEST_F(TargetTest, QuitEndsTheProgramWithItsExitCode) {
  EXPECT_TRUE(app_->running());
  EXPECT_FALSE(app_->exitCode().has_value());
  ASSERT_TRUE(click(control(target::kQuitButton)));
  EXPECT_TRUE(app_->waitExit());
  EXPECT_FALSE(app_->running());
  EXPECT_EQ(app_->exitCode(), static_cast<DWORD>(target::kExitCode));
  EXPECT_FALSE(IsWindow(main_));
  EXPECT_EQ(text(main_), "");
}

TEST_F(TargetTest, ReadsAndClosesMessageBoxes) {
  EXPECT_FALSE(findMessageBox(pid()).has_value());
  const HWND infoButton = control(target::kInfoButton);
  ASSERT_TRUE(click(infoButton));
  const auto info = waitMessageBox(pid());
  ASSERT_TRUE(info.has_value());
  EXPECT_EQ(info->title, target::kInfoTitle);
  EXPECT_EQ(info->prompt, target::kInfoPrompt);
  EXPECT_TRUE(info->hasIcon) << dumpTree(info->hwnd);
  EXPECT_EQ(info->buttons, std::vector<std::string>{"确定"});
  EXPECT_EQ(info->owner, main_);
  EXPECT_EQ(findFileDialog(pid()), nullptr);
  // The box is modal: the window behind it takes no clicks.
  EXPECT_FALSE(enabled(infoButton));
  EXPECT_FALSE(click(infoButton));
  EXPECT_EQ(status().rfind("msgbox:", 0), std::string::npos);

  ASSERT_TRUE(pressOk(info->hwnd));
  EXPECT_TRUE(waitClosed(info->hwnd));
  EXPECT_TRUE(waitStatus("msgbox:" + std::to_string(IDOK))) << status();
  EXPECT_TRUE(enabled(infoButton));
  EXPECT_FALSE(findMessageBox(pid()).has_value());

  ASSERT_TRUE(click(control(target::kAskButton)));
  const auto ask = waitMessageBox(pid());
  ASSERT_TRUE(ask.has_value());
  EXPECT_EQ(ask->title, "询问");
  EXPECT_EQ(ask->prompt, "继续吗？");
  // Wine keeps an empty icon static in every box; a box without an icon must not count it.
  EXPECT_FALSE(ask->hasIcon) << dumpTree(ask->hwnd);
  EXPECT_EQ(ask->buttons, (std::vector<std::string>{"是(&Y)", "否(&N)"}));
  EXPECT_FALSE(pressOk(ask->hwnd));  // it has no OK button
  ASSERT_TRUE(pressButton(ask->hwnd, IDNO));
  EXPECT_TRUE(waitStatus("msgbox:" + std::to_string(IDNO))) << status();
}

TEST_F(TargetTest, AnswersTheOpenDialogWithAPath) {
  const std::wstring path = tempFolder() + L"驱动 测试 a&b.img";
  ASSERT_TRUE(win32::UniqueFile(
      CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr)));
  ASSERT_TRUE(click(control(target::kOpenButton)));
  const HWND dialog = waitFileDialog(pid());
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(text(dialog), "选择镜像");
  EXPECT_EQ(GetWindow(dialog, GW_OWNER), main_);
  EXPECT_FALSE(findMessageBox(pid()).has_value()) << dumpTree(dialog);
  ASSERT_NE(fileNameEdit(dialog), nullptr) << dumpTree(dialog);
  EXPECT_EQ(className(fileNameEdit(dialog)), "Edit");

  EXPECT_TRUE(answerOpenDialog(pid(), win32::narrow(path)));
  EXPECT_TRUE(waitStatus(win32::narrow(path))) << status();
  DeleteFileW(path.c_str());
}

TEST_F(TargetTest, CancelsTheOpenDialogAfterARefusedPath) {
  ASSERT_TRUE(click(control(target::kOpenButton)));
  const std::string missing = win32::narrow(tempFolder()) + "missing file.img";
  // The dialog refuses a missing file with a box of its own and stays open.
  EXPECT_FALSE(answerOpenDialog(pid(), missing, 1000));
  const HWND dialog = findFileDialog(pid());
  ASSERT_NE(dialog, nullptr);
  const auto refusal = waitMessageBox(pid());
  ASSERT_TRUE(refusal.has_value());
  EXPECT_EQ(refusal->owner, dialog);
  EXPECT_FALSE(cancelOpenDialog(pid(), 500));  // disabled behind its box
  ASSERT_TRUE(pressOk(refusal->hwnd));
  ASSERT_TRUE(waitClosed(refusal->hwnd));

  EXPECT_TRUE(cancelOpenDialog(pid()));
  EXPECT_TRUE(waitStatus("<cancel 0>")) << status();
  EXPECT_EQ(findFileDialog(pid()), nullptr);
}

}  // namespace
}  // namespace quorlane::gui
