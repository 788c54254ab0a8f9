// The shell port: the executable's folder and name, which files count as present, the open-file
// dialog (answered from a second thread like a user would) and the current directory it must
// leave alone, message box owners, and starting programs.

#include <gtest/gtest.h>

#include <future>
#include <memory>
#include <string>

#include "driver/gui_driver.h"
#include "platform/win32/main_window.h"
#include "platform/win32/shell_win32.h"
#include "platform/win32/text.h"
#include "test_support.h"

namespace quorlane::wintest {
namespace {

using win32::Win32Shell;

TEST(ShellTest, ApplicationPathAndExecutableName) {
  Win32Shell shell;
  const std::string folder = shell.applicationPath();
  EXPECT_EQ(folder, exeFolder());
  EXPECT_NE(folder.back(), '\\');
  EXPECT_EQ(shell.executableName(), "window_layer_test");
}

TEST(ShellTest, OnlyNormalFilesArePresent) {
  TempFolder dir("files");
  Win32Shell shell;
  const std::string normal = dir.file("fastboot.exe");
  const std::string chinese = dir.file("线刷包.img");
  const std::string hidden = dir.file("AdbWinApi.dll");
  const std::string system = dir.file("AdbWinUsbApi.dll");
  const std::string readOnly = dir.file("Config.INI");
  for (const auto& f : {normal, chinese, hidden, system, readOnly}) writeFile(f, "x");
  SetFileAttributesW(win32::widen(hidden).c_str(), FILE_ATTRIBUTE_HIDDEN);
  SetFileAttributesW(win32::widen(system).c_str(), FILE_ATTRIBUTE_SYSTEM);
  SetFileAttributesW(win32::widen(readOnly).c_str(), FILE_ATTRIBUTE_READONLY);
  CreateDirectoryW(win32::widen(dir.file("Config.dll")).c_str(), nullptr);

  EXPECT_TRUE(shell.fileExists(normal));
  EXPECT_TRUE(shell.fileExists(chinese));
  EXPECT_TRUE(shell.fileExists(readOnly));
  EXPECT_FALSE(shell.fileExists(hidden));
  EXPECT_FALSE(shell.fileExists(system));
  EXPECT_FALSE(shell.fileExists(dir.file("Config.dll"))) << "a folder is no file";
  EXPECT_FALSE(shell.fileExists(dir.file("missing.dll")));
  EXPECT_FALSE(shell.fileExists(dir.file("nowhere\\fastboot.exe")));
}

TEST(ShellTest, DialogFilterBecomesNulSeparatedPairs) {
  using namespace std::string_literals;
  EXPECT_EQ(win32::dialogFilter("镜像文件 (*.img)|*.img|"), L"镜像文件 (*.img)\0*.img\0\0"s);
  EXPECT_EQ(win32::dialogFilter("A|*.a|B|*.b"), L"A\0*.a\0B\0*.b\0\0"s);
  EXPECT_EQ(win32::dialogFilter(""), L""s);
}

class ShellDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    start_ = currentDirectory();
    SetCurrentDirectoryW(win32::widen(here_.path()).c_str());
  }
  void TearDown() override { SetCurrentDirectoryW(win32::widen(start_).c_str()); }

  std::string start_;
  TempFolder here_{"cwd"};
  TempFolder images_{"images"};
};

TEST_F(ShellDialogTest, OpenFileReturnsTheChosenPathAndLeavesTheCurrentDirectory) {
  const std::string image = images_.file("恢复 1.img");
  writeFile(image, "image");
  Win32Shell shell;
  auto user = std::async(std::launch::async,
                         [&] { return gui::answerOpenDialog(GetCurrentProcessId(), image); });
  const auto chosen = shell.openFile({"镜像文件 (*.img)|*.img|", 0});
  EXPECT_TRUE(user.get());
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(*chosen, image);
  EXPECT_EQ(currentDirectory(), here_.path());
}

TEST_F(ShellDialogTest, CancelledDialogGivesNothing) {
  Win32Shell shell;
  auto user =
      std::async(std::launch::async, [] { return gui::cancelOpenDialog(GetCurrentProcessId()); });
  const auto chosen = shell.openFile({"镜像文件 (*.img)|*.img|", 0});
  EXPECT_TRUE(user.get());
  EXPECT_FALSE(chosen.has_value());
  EXPECT_EQ(currentDirectory(), here_.path());
}

TEST(ShellTest, MessageBoxIsOwnedByTheMainWindowOnlyOnceItIsShown) {
  win32::MainWindow window(GetModuleHandleW(nullptr), 1000);
  Win32Shell shell(window.handle());
  auto answer = [] {
    const auto box = gui::waitMessageBox(GetCurrentProcessId());
    if (box) gui::pressOk(box->hwnd);
    return box;
  };

  auto hidden = std::async(std::launch::async, answer);
  shell.messageBox("没有找到 fastboot.exe", 16, "标题");
  const auto first = hidden.get();
  ASSERT_TRUE(first.has_value());
  EXPECT_EQ(first->owner, nullptr) << "the hidden window owns nothing";
  EXPECT_EQ(first->prompt, "没有找到 fastboot.exe");
  EXPECT_EQ(first->title, "标题");
  EXPECT_TRUE(first->hasIcon);

  window.show();
  auto shown = std::async(std::launch::async, answer);
  shell.messageBox("说明", 0, "进入FastBoot方法");
  const auto second = shown.get();
  ASSERT_TRUE(second.has_value());
  EXPECT_EQ(second->owner, window.handle());
  EXPECT_FALSE(second->hasIcon) << "style 0 has no icon";
}

TEST(ShellTest, StartProgramRunsWithoutWaitingOrSaysWhyNot) {
  Win32Shell shell;
  std::string error;
  EXPECT_TRUE(shell.startProgram("cmd.exe /c exit 3", SW_SHOWMINNOACTIVE, error));
  EXPECT_TRUE(error.empty());

  EXPECT_FALSE(shell.startProgram("no-such-program-here.exe http://example.com", 1, error));
  EXPECT_FALSE(error.empty());
  EXPECT_NE(error.back(), '\n');
  EXPECT_EQ(error, win32::errorDescription(ERROR_FILE_NOT_FOUND));
}

TEST(ShellTest, ErrorDescriptionsFallBackToTheNumber) {
  const std::string known = win32::errorDescription(ERROR_FILE_NOT_FOUND);
  EXPECT_FALSE(known.empty());
  EXPECT_EQ(known.find_first_of("\r\n"), std::string::npos);
  EXPECT_EQ(win32::errorDescription(0x2FFFFFFF), "错误代码 805306367");
}

}  // namespace
}  // namespace quorlane::wintest
