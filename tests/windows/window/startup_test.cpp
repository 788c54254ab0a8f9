// The real program's start-up, driven from outside like a user would: the window it shows when
// everything is there, and the one message it shows (and nothing else) for each missing or broken
// component. Every scenario runs in its own copy of the demo folder.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "driver/gui_driver.h"
#include "support/app_folder.h"
#include "win32/feedback_win32.h"
#include "window/layout.h"

namespace quorlane::wintest {
namespace {

using testsupport::AppFolder;
using window::ControlId;

constexpr const char* kMissingTitle = "Quorlane.exe  - 无法找到组件";
constexpr const char* kOnePhone = "0123456789ABCDEF\tfastboot\r\n\r\n\r\n";

std::string missingPrompt(const std::string& name) {
  return "没有找到 " + name + " ，因此这个应用程序未能启动。重新安装应用程序可能修复此问题。";
}

bool sameFolder(const std::string& a, const std::string& b) {
  const std::wstring wa = win32::widen(a);
  const std::wstring wb = win32::widen(b);
  return CompareStringOrdinal(wa.c_str(), static_cast<int>(wa.size()), wb.c_str(),
                              static_cast<int>(wb.size()), TRUE) == CSTR_EQUAL;
}

std::string testFolder() {
  return win32::narrow(win32::executableFolder());
}

// Controls are direct children of the window: look them up there, not among the combo box's
// own children.
HWND control(HWND window, ControlId id) {
  return GetDlgItem(window, static_cast<int>(id));
}

HWND focusOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
  return info.hwndFocus;
}

// Starts the program of `folder` and expects exactly one message box, shown while the main window
// is not, after whose OK the program ends.
gui::MessageBoxInfo expectOneMessageAndEnd(const AppFolder& folder) {
  auto process = gui::Process::start(folder.file("Quorlane.exe"), folder.path());
  const auto box = gui::waitMessageBox(process.pid());
  if (!box) {
    ADD_FAILURE() << "no message box";
    return {};
  }
  HWND window = gui::findTopWindow(process.pid(), testsupport::kTitle);
  EXPECT_TRUE(window == nullptr || !IsWindowVisible(window)) << "the window is never shown";
  EXPECT_TRUE(gui::pressOk(box->hwnd));
  EXPECT_TRUE(process.waitExit()) << "the program ends after OK";
  window = gui::findTopWindow(process.pid(), testsupport::kTitle);
  EXPECT_TRUE(window == nullptr || !IsWindowVisible(window));
  EXPECT_TRUE(folder.runs().empty()) << "nothing is asked of the phone";
  return *box;
}

TEST(StartupTest, ShowsTheWindowWithThePhoneListedAndTheFocusOnTheFirstTabStop) {
  AppFolder folder;
  auto app = testsupport::startApp(folder);
  EXPECT_EQ(gui::text(app.window), "QuorlaneBeta1 -- Tessivo");
  const SIZE client = gui::clientSize(app.window);
  EXPECT_EQ(client.cx, 555);
  EXPECT_EQ(client.cy, 401);

  // The device query's output is in the box by the time the window shows.
  EXPECT_EQ(gui::text(control(app.window, ControlId::CMDTeXT)), kOnePhone);

  for (const auto& row : window::controls()) {
    SCOPED_TRACE(row.name);
    HWND hwnd = control(app.window, row.id);
    ASSERT_NE(hwnd, nullptr) << gui::dumpTree(app.window);
    if (row.id != ControlId::CMDTeXT && row.kind != window::Kind::runner) {
      EXPECT_EQ(gui::text(hwnd), row.caption);
    }
    const window::TwipsRect t = window::absoluteRect(row);
    const RECT r = gui::clientRectInParent(hwnd, app.window);
    EXPECT_NEAR(r.left, t.left / 15.0, 1);
    EXPECT_NEAR(r.top, t.top / 15.0, 1);
    EXPECT_NEAR(r.right - r.left, t.width / 15.0, 1);
    EXPECT_NEAR(r.bottom - r.top, t.height / 15.0, 1);
    EXPECT_EQ(gui::enabled(hwnd), row.id != ControlId::Command1);
  }

  ASSERT_TRUE(gui::waitFor([&] { return focusOf(app.window) != nullptr; }));
  EXPECT_EQ(focusOf(app.window), control(app.window, ControlId::Command2));
  EXPECT_NE(focusOf(app.window), control(app.window, ControlId::Text2));

  const auto runs = folder.runs();
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0].args, std::vector<std::string>{"devices"});
}

// A device query that hangs does not keep the window hidden: it shows while the query still
// runs, without the window moving or the focus jumping later. The query is ended after five
// seconds, with the client it started, and the panel says fastboot does not answer; Exit before
// that ends it too.
TEST(StartupTest, AHangingDeviceQueryShowsTheWindowAndEndsAtItsLimitOrWithTheProgram) {
  AppFolder folder;
  folder.settings("devices_ms=forever\n");  // the window shows after 3 s
  const std::string fastboot = folder.file("fastboot.exe");
  {
    auto process = gui::Process::start(folder.file("Quorlane.exe"), folder.path());
    HWND window = gui::waitTopWindow(process.pid(), testsupport::kTitle);
    ASSERT_NE(window, nullptr);
    ASSERT_FALSE(gui::processesOf(fastboot).empty()) << "shown while the query still ran";
    ASSERT_TRUE(gui::click(control(window, ControlId::Command4)));
    EXPECT_TRUE(process.waitExit());
    EXPECT_TRUE(gui::waitFor([&] { return gui::processesOf(fastboot).empty(); }, 3000));
    gui::endProcessesIn(folder.path());
  }

  auto process = gui::Process::start(folder.file("Quorlane.exe"), folder.path());
  HWND window = gui::waitTopWindow(process.pid(), testsupport::kTitle);
  ASSERT_NE(window, nullptr);
  HWND box = control(window, ControlId::CMDTeXT);
  EXPECT_EQ(gui::text(box), "");
  RECT shownAt;
  GetWindowRect(window, &shownAt);
  ASSERT_TRUE(gui::waitFor([&] { return focusOf(window) != nullptr; }));
  const HWND focus = focusOf(window);
  EXPECT_EQ(focus, control(window, ControlId::Command2));

  HWND panel = nullptr;
  ASSERT_TRUE(gui::waitFor([&] {
    panel = FindWindowExW(window, nullptr, win32::Win32Feedback::kResultClassName, nullptr);
    return panel != nullptr && gui::visible(panel);
  }));
  EXPECT_NE(gui::text(panel).find("没有回答"), std::string::npos) << gui::text(panel);
  EXPECT_TRUE(gui::processesOf(fastboot).empty());
  const auto runs = folder.runs();
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_FALSE(runs[1].finished.has_value());
  EXPECT_EQ(gui::text(box), "\r\n");
  RECT after;
  GetWindowRect(window, &after);
  EXPECT_TRUE(EqualRect(&shownAt, &after));
  EXPECT_EQ(focusOf(window), focus);
  EXPECT_TRUE(gui::enabled(control(window, ControlId::Command7)));
  ASSERT_TRUE(gui::click(control(window, ControlId::Command4)));
  EXPECT_TRUE(process.waitExit());
}

// The box holds what the runner read, a line break after every read and one more at the end.
TEST(StartupTest, TheDeviceListIsShownAsTheRunnerReadIt) {
  {
    AppFolder folder;
    folder.settings("devices=\n");  // no phone: the query prints nothing
    auto app = testsupport::startApp(folder);
    EXPECT_EQ(gui::text(control(app.window, ControlId::CMDTeXT)), "\r\n");
  }
  {
    AppFolder folder;
    folder.settings("devices=AAAA,BBBB,CCCC\n");
    auto app = testsupport::startApp(folder);
    const std::string box = gui::text(control(app.window, ControlId::CMDTeXT));
    const auto a = box.find("AAAA\tfastboot\r\n");
    const auto b = box.find("BBBB\tfastboot\r\n");
    const auto c = box.find("CCCC\tfastboot\r\n");
    EXPECT_EQ(a, 0u) << box;
    EXPECT_TRUE(a < b && b < c && c != std::string::npos) << box;
    EXPECT_EQ(box.substr(box.size() - 4), "\r\n\r\n") << box;
  }
  {
    // Written in pieces of five bytes, far enough apart that every read gets one piece.
    AppFolder folder;
    folder.settings("chunk=5\nchunk_ms=300\n");
    auto app = testsupport::startApp(folder);
    EXPECT_EQ(gui::text(control(app.window, ControlId::CMDTeXT)),
              "01234\r\n56789\r\nABCDE\r\nF\tfas\r\ntboot\r\n\r\n\r\n\r\n");
  }
}

TEST(StartupTest, AccessKeysWorkInTheMessageLoop) {
  AppFolder folder;
  auto app = testsupport::startApp(folder);
  ASSERT_TRUE(gui::waitFor([&] { return focusOf(app.window) != nullptr; }));
  // Alt+A: Select opens the open-file dialog.
  PostMessageW(focusOf(app.window), WM_SYSCHAR, L'a', 0x20000001);
  EXPECT_NE(gui::waitFileDialog(app.process.pid()), nullptr);
  EXPECT_TRUE(gui::cancelOpenDialog(app.process.pid()));
  // Alt+C: Exit.
  ASSERT_TRUE(gui::waitFor([&] { return focusOf(app.window) != nullptr; }));
  PostMessageW(focusOf(app.window), WM_SYSCHAR, L'c', 0x20000001);
  EXPECT_TRUE(app.process.waitExit());
}

TEST(StartupTest, StartedElsewhereItStillRunsTheFastbootBesideIt) {
  AppFolder folder;
  AppFolder elsewhere;
  elsewhere.remove("fastboot.exe");
  auto app = testsupport::startApp(folder, elsewhere.path());
  EXPECT_EQ(gui::text(control(app.window, ControlId::CMDTeXT)), kOnePhone);
  const auto runs = folder.runs();
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_TRUE(sameFolder(runs[0].cwd, folder.path())) << runs[0].cwd;
}

struct Missing {
  const char* label;
  std::vector<std::string> remove;
  std::vector<std::string> hide;
  std::string named;  // the file the message names
};

class MissingComponentTest : public ::testing::TestWithParam<Missing> {};

TEST_P(MissingComponentTest, NamesTheFirstMissingFileAndEnds) {
  const Missing& m = GetParam();
  AppFolder folder;
  for (const auto& f : m.remove) folder.remove(f);
  for (const auto& f : m.hide) {
    SetFileAttributesW(win32::widen(folder.file(f)).c_str(), FILE_ATTRIBUTE_HIDDEN);
  }
  const auto box = expectOneMessageAndEnd(folder);
  EXPECT_EQ(box.title, kMissingTitle);
  EXPECT_EQ(box.prompt, missingPrompt(m.named));
  EXPECT_TRUE(box.hasIcon) << "critical icon";
  EXPECT_EQ(box.buttons.size(), 1u);
  for (const auto& f : m.hide) SetFileAttributesW(win32::widen(folder.file(f)).c_str(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Components, MissingComponentTest,
    ::testing::Values(
        Missing{"fastboot", {"fastboot.exe"}, {}, "fastboot.exe"},
        Missing{"bothUsbLibraries", {"AdbWinUsbApi.dll", "AdbWinApi.dll"}, {}, "AdbWinUsbApi.dll"},
        Missing{"AdbWinApi", {"AdbWinApi.dll"}, {}, "AdbWinApi.dll"},
        Missing{"hiddenFastboot", {}, {"fastboot.exe"}, "fastboot.exe"},
        Missing{"skinLibrary", {"Config.dll"}, {}, "Config.dll"},
        Missing{"skinLibraryAndFile", {"Config.dll", "Config.INI"}, {}, "Config.ini"}),
    [](const ::testing::TestParamInfo<Missing>& info) { return std::string(info.param.label); });

TEST(StartupTest, AMissingSkinFileAloneGoesUnnoticed) {
  AppFolder folder;
  folder.remove("Config.INI");
  auto app = testsupport::startApp(folder);
  EXPECT_EQ(gui::text(control(app.window, ControlId::CMDTeXT)), kOnePhone);
}

TEST(StartupTest, ASkinLibraryThatIsNoLibraryIsReportedAsAnError) {
  AppFolder folder;
  testsupport::writeFile(folder.file("Config.dll"), "[Skin]\r\nName=text, not a library\r\n");
  const auto box = expectOneMessageAndEnd(folder);
  EXPECT_EQ(box.title, "错误");
  EXPECT_EQ(box.prompt.rfind("错误信息：", 0), 0u) << box.prompt;
  EXPECT_GT(box.prompt.size(), std::string("错误信息：").size()) << "with a description";
  EXPECT_TRUE(box.hasIcon);
}

TEST(StartupTest, ASkinLibraryWithoutItsEntryPointsIsReportedAsAnError) {
  AppFolder folder;
  std::filesystem::copy_file(win32::widen(testFolder() + "\\no_exports.dll"),
                             win32::widen(folder.file("Config.dll")),
                             std::filesystem::copy_options::overwrite_existing);
  const auto box = expectOneMessageAndEnd(folder);
  EXPECT_EQ(box.title, "错误");
  EXPECT_EQ(box.prompt.rfind("错误信息：", 0), 0u) << box.prompt;
  EXPECT_NE(box.prompt.find("SkinH_SetAero"), std::string::npos) << box.prompt;
  EXPECT_TRUE(box.hasIcon);
}

}  // namespace
}  // namespace quorlane::wintest
