// The shell port: the executable's folder and name, which files count as present, the open-file
// dialog (answered from a second thread like a user would) and the current directory it must
// leave alone, message box owners, and starting programs.

#include <gtest/gtest.h>

#include <cstdio>
#include <future>
#include <memory>
#include <string>

#include "driver/gui_driver.h"
#include "test_support.h"
#include "win32/main_window.h"
#include "win32/shell_win32.h"
#include "win32/text.h"

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
  const auto chosen = shell.openFile({"镜像文件 (*.img)|*.img|"});
  EXPECT_TRUE(user.get());
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(*chosen, image);
  EXPECT_EQ(currentDirectory(), here_.path());
}

TEST_F(ShellDialogTest, CancelledDialogGivesNothing) {
  Win32Shell shell;
  auto user =
      std::async(std::launch::async, [] { return gui::cancelOpenDialog(GetCurrentProcessId()); });
  const auto chosen = shell.openFile({"镜像文件 (*.img)|*.img|"});
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
  EXPECT_EQ(shell.messageBox("没有找到 fastboot.exe", window::MessageStyle::critical, "标题"),
            window::Answer::ok);
  const auto first = hidden.get();
  ASSERT_TRUE(first.has_value());
  EXPECT_EQ(first->owner, nullptr) << "the hidden window owns nothing";
  EXPECT_EQ(first->prompt, "没有找到 fastboot.exe");
  EXPECT_EQ(first->title, "标题");
  EXPECT_TRUE(first->hasIcon);

  window.show();
  auto shown = std::async(std::launch::async, answer);
  shell.messageBox("说明", window::MessageStyle::ok, "进入FastBoot方法");
  const auto second = shown.get();
  ASSERT_TRUE(second.has_value());
  EXPECT_EQ(second->owner, window.handle());
  EXPECT_FALSE(second->hasIcon) << "style 0 has no icon";
}

TEST(ShellTest, StartProgramRunsWithoutWaitingOrSaysWhyNot) {
  Win32Shell shell;
  EXPECT_EQ(shell.startProgram("cmd.exe /c exit 3", window::Show::minimized), std::nullopt);

  const window::Failure failure =
      shell.startProgram("no-such-program-here.exe http://example.com", window::Show::normal);
  ASSERT_TRUE(failure.has_value());
  EXPECT_NE(failure->back(), '\n');
  EXPECT_EQ(*failure, win32::errorDescription(ERROR_FILE_NOT_FOUND));
}

TEST(ShellTest, SettingTheCurrentDirectorySaysWhyItFailed) {
  TempFolder dir("cd");
  const std::string start = currentDirectory();
  Win32Shell shell;
  EXPECT_EQ(shell.setCurrentDirectory(dir.path()), std::nullopt);
  EXPECT_EQ(currentDirectory(), dir.path());
  const window::Failure failure = shell.setCurrentDirectory(dir.file("没有 这个"));
  ASSERT_TRUE(failure.has_value());
  EXPECT_FALSE(failure->empty());
  EXPECT_EQ(currentDirectory(), dir.path());
  SetCurrentDirectoryW(win32::widen(start).c_str());
}

// The portable styles, answers and show states reach the system as the numbers it has always
// been given for them.
TEST(ShellTest, PortableStylesMapToTheSystemsNumbers) {
  using window::MessageStyle;
  EXPECT_EQ(win32::messageBoxFlags(MessageStyle::ok), static_cast<UINT>(MB_OK));
  EXPECT_EQ(win32::messageBoxFlags(MessageStyle::critical), static_cast<UINT>(MB_ICONERROR));
  EXPECT_EQ(win32::messageBoxFlags(MessageStyle::warning), static_cast<UINT>(MB_ICONWARNING));
  EXPECT_EQ(win32::messageBoxFlags(MessageStyle::yesNo | MessageStyle::warning |
                                   MessageStyle::secondDefault),
            static_cast<UINT>(MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2));
  EXPECT_EQ(win32::answerOf(IDOK), window::Answer::ok);
  EXPECT_EQ(win32::answerOf(IDYES), window::Answer::yes);
  EXPECT_EQ(win32::answerOf(IDNO), window::Answer::no);
  EXPECT_EQ(win32::answerOf(IDCANCEL), window::Answer::other);
  EXPECT_EQ(win32::showCommand(window::Show::minimized), SW_SHOWMINIMIZED);
  EXPECT_EQ(win32::showCommand(window::Show::normal), SW_SHOWNORMAL);
}

TEST(ShellTest, AnsiCodePageCoversChineseButNotBengaliOrEmoji) {
  EXPECT_TRUE(win32::representable(936, L"C:\\镜像\\a b&c%d!e.img"));
  EXPECT_FALSE(win32::representable(936, L"C:\\নতুন\\a.img"));
  EXPECT_FALSE(win32::representable(936, L"C:\\\U0001F600.img"));
  EXPECT_TRUE(win32::representable(1252, L"C:\\caf\u00e9.img"));
  EXPECT_FALSE(win32::representable(1252, L"C:\\镜像.img"));
  EXPECT_TRUE(win32::representable(CP_UTF8, L"C:\\নতুন.img"));
}

TEST(ShellTest, PathForTheClientIsItselfOrItsShortFormOrNothing) {
  int asked = 0;
  auto shortPath = [&asked](const std::wstring& result) {
    return [&asked, result](const std::wstring&) {
      ++asked;
      return result;
    };
  };
  // A path the code page represents is used as it is, without asking the file system.
  EXPECT_EQ(win32::pathForCodePage(936, L"C:\\镜像\\a.img", shortPath(L"X")), L"C:\\镜像\\a.img");
  EXPECT_EQ(asked, 0);
  EXPECT_EQ(win32::pathForCodePage(936, L"C:\\নতুন\\a.img", shortPath(L"C:\\A1B2~1\\a.img")),
            L"C:\\A1B2~1\\a.img");
  // A volume without short names (or a file that is not there): nothing.
  EXPECT_EQ(win32::pathForCodePage(936, L"C:\\নতুন\\a.img", shortPath(L"")), std::nullopt);
  // A short name that keeps the characters (short names made from the long ones) is no help.
  EXPECT_EQ(win32::pathForCodePage(936, L"C:\\নতুন\\a.img", shortPath(L"C:\\নতু~1\\a.img")),
            std::nullopt);
  EXPECT_EQ(asked, 3);
}

TEST(ShellTest, ShortFormOfARealFileOpensTheSameFileThroughTheAnsiCodePage) {
  const std::wstring folder = win32::widen(exeFolder()) + L"\\短名 নতুন \U0001F600";
  const std::wstring file = folder + L"\\twrp নতুন.img";
  CreateDirectoryW(folder.c_str(), nullptr);
  {
    FILE* out = _wfopen(file.c_str(), L"wb");
    ASSERT_NE(out, nullptr);
    fputs("ANDROID!short", out);
    fclose(out);
  }
  using Problem = window::ClientPath::Problem;
  Win32Shell shell;
  const auto usable = shell.pathForAnsiProgram(win32::narrow(file));
  ASSERT_EQ(usable.problem, Problem::none);
  EXPECT_NE(usable.path, win32::narrow(file));
  // What a program with narrow arguments does with it: fopen in the ANSI code page.
  const std::string ansi = win32::toCodePage(GetACP(), usable.path);
  FILE* in = fopen(ansi.c_str(), "rb");
  ASSERT_NE(in, nullptr) << usable.path;
  char buffer[32] = {};
  EXPECT_EQ(fread(buffer, 1, sizeof buffer, in), 13u);
  fclose(in);
  EXPECT_STREQ(buffer, "ANDROID!short");
  // A missing file has no short form.
  EXPECT_EQ(shell.pathForAnsiProgram(win32::narrow(folder + L"\\没有 নতুন.img")).problem,
            Problem::characters);
  // An ASCII or Chinese path is left alone, whether or not the file is there.
  EXPECT_EQ(shell.pathForAnsiProgram("RE\\recovery1.img").path, "RE\\recovery1.img");
  EXPECT_EQ(shell.pathForAnsiProgram("D:\\没有\\镜像.img").path, "D:\\没有\\镜像.img");
  DeleteFileW(file.c_str());
  RemoveDirectoryW(folder.c_str());
}

// What a timer of this thread saw while a look ran: how often it ran, and whether the owner was
// ever enabled meanwhile.
HWND lookOwner = nullptr;
int ticksDuringLook = 0;
bool ownerEnabledDuringLook = false;
void CALLBACK duringLook(HWND, UINT, UINT_PTR, DWORD) {
  ++ticksDuringLook;
  ownerEnabledDuringLook = ownerEnabledDuringLook || IsWindowEnabled(lookOwner);
}

TEST(ShellTest, ALookThatBlocksIsGivenUpInTimeWhileTheWindowIsServicedAndHoldsBackOthers) {
  using window::FileStart;
  const auto quickLook = [] {
    return win32::lookWithin(
        [] {
          return FileStart{FileStart::State::file, "ANDROID!", ""};
        },
        2000, nullptr);
  };
  EXPECT_EQ(quickLook().bytes, "ANDROID!");

  // The look waits for an event set only once it has been given up, as a read that blocks.
  HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  lookOwner = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(lookOwner, nullptr);
  const UINT_PTR timer = SetTimer(nullptr, 0, 50, duringLook);
  const auto blocked = win32::lookWithin(
      [release] {
        WaitForSingleObject(release, INFINITE);
        return FileStart{FileStart::State::file, "late", ""};
      },
      1000, lookOwner);
  KillTimer(nullptr, timer);
  EXPECT_EQ(blocked.state, FileStart::State::timedOut);
  EXPECT_GT(ticksDuringLook, 0);            // the thread's messages were handled meanwhile
  EXPECT_FALSE(ownerEnabledDuringLook);     // with the owner disabled, as under a modal box
  EXPECT_TRUE(IsWindowEnabled(lookOwner));  // and enabled again after
  // While it still blocks, any other look is answered at once, without being tried.
  bool tried = false;
  const auto other = win32::lookWithin(
      [&tried] {
        tried = true;
        return FileStart{FileStart::State::file, "ANDROID!", ""};
      },
      2000, nullptr);
  EXPECT_EQ(other.state, FileStart::State::busy);
  EXPECT_FALSE(tried);
  SetEvent(release);  // the look's thread ends; the event stays for it
  DestroyWindow(lookOwner);
  ASSERT_TRUE(gui::waitFor([&] { return quickLook().state == FileStart::State::file; }));
}

TEST(ShellTest, ErrorDescriptionsFallBackToTheNumber) {
  const std::string known = win32::errorDescription(ERROR_FILE_NOT_FOUND);
  EXPECT_FALSE(known.empty());
  EXPECT_EQ(known.find_first_of("\r\n"), std::string::npos);
  EXPECT_EQ(win32::errorDescription(0x2FFFFFFF), "错误代码 805306367");
}

}  // namespace
}  // namespace quorlane::wintest
