// The real program where the newer Windows functions are missing, with libraries planted beside
// it, and with a handler that fails. Runs at the Wine prefix's system DPI (96, and 144 through
// at_system_dpi.sh).

#include <gtest/gtest.h>
#include <windows.h>
// dbt.h needs the types of windows.h.
#include <dbt.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "support/app_folder.h"
#include "window/layout.h"

namespace quorlane {
namespace {

namespace fs = std::filesystem;
using testsupport::App;
using testsupport::AppFolder;
using window::ControlId;

int systemDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  return dpi;
}

fs::path testFolder() {
  return fs::path(win32::executableFolder());
}

// Sets an environment variable of this process, which the programs it starts inherit, and puts
// the old value back at the end.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const wchar_t* name, const std::wstring& value) : name_(name) {
    wchar_t old[4096];
    const DWORD length = GetEnvironmentVariableW(name, old, 4096);
    had_ = length > 0 && length < 4096;
    if (had_) old_.assign(old, length);
    SetEnvironmentVariableW(name, value.c_str());
  }
  ~ScopedEnvironment() { SetEnvironmentVariableW(name_, had_ ? old_.c_str() : nullptr); }
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  const wchar_t* name_;
  bool had_ = false;
  std::wstring old_;
};

// A boot image's magic first, so the look at the image before a flash lets it through.
std::string imageBytes() {
  std::string bytes = "ANDROID!";
  for (int i = 0; i < 4000; ++i) bytes += "older" + std::to_string(i * 7919 % 1000);
  return bytes;
}

// Flashes a chosen image, expecting the phone to receive it.
void flashImage(App& app, const AppFolder& folder, const std::string& image) {
  const std::size_t before = folder.runs().size();
  ASSERT_TRUE(app.pressStart(image));
  ASSERT_TRUE(App::waitRuns(folder, before + 1));
  EXPECT_TRUE(gui::waitFor([&] {
    return app.text(ControlId::CMDTeXT).find("Finished. Total time:") != std::string::npos;
  })) << app.text(ControlId::CMDTeXT);
}

// Exit (退出) ends the program.
void exitByButton(App& app) {
  ASSERT_TRUE(gui::click(app.control(ControlId::Command4)));
  EXPECT_TRUE(app.process.waitExit());
  EXPECT_EQ(app.process.exitCode(), std::optional<DWORD>(0));
}

class OlderWindowsTest : public ::testing::TestWithParam<const char*> {
 protected:
  OlderWindowsTest() : as_(L"QUORLANE_AS_ON_WINDOWS", win32::widen(GetParam())) {
    // The tests' build of the program in place of the shipped one, under the same name.
    fs::copy_file(testFolder() / L"older-windows" / L"Quorlane.exe",
                  fs::path(win32::widen(folder.file("Quorlane.exe"))),
                  fs::copy_options::overwrite_existing);
    folder.settings("send_ms=30\nwrite_ms=10\n");
  }
  AppFolder folder;
  ScopedEnvironment as_;
};

TEST_P(OlderWindowsTest, StartsLaidOutAtTheSystemDpiFlashesAndExits) {
  const int dpi = systemDpi();
  if (const char* wanted = std::getenv("QUORLANE_SYSTEM_DPI")) {
    ASSERT_EQ(dpi, std::atoi(wanted));
  }
  const std::string image = folder.file("旧系统\\recovery.img");
  const std::string bytes = imageBytes();
  testsupport::writeFile(image, bytes);

  App app = testsupport::startApp(folder);
  ASSERT_TRUE(App::waitRuns(folder, 1));
  const SIZE client = gui::clientSize(app.window);
  EXPECT_EQ(client.cx, window::twipsToPixels(window::form().clientWidth, dpi));
  EXPECT_EQ(client.cy, window::twipsToPixels(window::form().clientHeight, dpi));
  for (const auto& row : window::controls()) {
    SCOPED_TRACE(std::string(row.name) + " at " + std::to_string(dpi) + " DPI");
    const window::TwipsRect t = window::absoluteRect(row);
    const RECT r = gui::clientRectInParent(app.control(row.id), app.window);
    EXPECT_NEAR(r.left, t.left * dpi / 1440.0, 1);
    EXPECT_NEAR(r.top, t.top * dpi / 1440.0, 1);
    EXPECT_NEAR(r.right - r.left, t.width * dpi / 1440.0, 1);
    EXPECT_NEAR(r.bottom - r.top, t.height * dpi / 1440.0, 1);
  }

  flashImage(app, folder, image);
  EXPECT_TRUE(folder.flashed() == bytes);
  exitByButton(app);
}

INSTANTIATE_TEST_SUITE_P(SystemDpi, OlderWindowsTest, ::testing::Values("7", "8.1"),
                         [](const auto& info) {
                           return std::string(info.param) == "7" ? "Windows7" : "Windows81";
                         });

// Libraries of the system that are no KnownDLLs: shcore.dll, which the program loads itself for
// the monitor's DPI on Windows 8.1, and dwmapi.dll, which the system's components may load. Wine
// loads uxtheme and version through the imports of its own DLLs before the program's first
// instruction, and msimg32 as a delayed import of its uxtheme, on a path where it ignores the
// process's DLL directories (Windows honours them there): stand-ins for those would test Wine.
const std::vector<std::wstring> kPlanted = {L"shcore", L"dwmapi"};
// Wine's shlwapi, unlike Windows' (a KnownDLL, whose imports come from the system folder),
// imports shcore from wherever the program's folder search finds it. The program imports neither
// shell32 nor comdlg32 (they are loaded at their first use, after the search has been closed), so
// shlwapi is no longer loaded before the program's first instruction, and no marker is expected.
const std::vector<std::string> kLoadedBeforeTheProgramRuns = {};

// Tells Wine to search for the planted DLLs as Windows does, a DLL beside the program before the
// system's own, for the programs named (Wine reads these settings for every process it starts;
// WINEDLLOVERRIDES reaches only the first). Removed again at the end.
class NativeFirst {
 public:
  explicit NativeFirst(std::vector<std::wstring> programs) : programs_(std::move(programs)) {
    for (const auto& program : programs_) {
      HKEY key = nullptr;
      if (RegCreateKeyExW(HKEY_CURRENT_USER, keyOf(program).c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                          nullptr, &key, nullptr) != ERROR_SUCCESS) {
        ADD_FAILURE() << "cannot write the Wine settings of " << win32::narrow(program);
        continue;
      }
      const std::wstring order = L"native,builtin";
      for (const auto& name : kPlanted) {
        RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(order.c_str()),
                       static_cast<DWORD>((order.size() + 1) * sizeof(wchar_t)));
      }
      RegCloseKey(key);
    }
  }
  ~NativeFirst() {
    for (const auto& program : programs_) {
      RegDeleteTreeW(HKEY_CURRENT_USER, keyOf(program).c_str());
      // The program's own key too, when nothing else is in it.
      RegDeleteKeyW(HKEY_CURRENT_USER, (L"Software\\Wine\\AppDefaults\\" + program).c_str());
    }
  }
  NativeFirst(const NativeFirst&) = delete;
  NativeFirst& operator=(const NativeFirst&) = delete;

 private:
  static std::wstring keyOf(const std::wstring& program) {
    return L"Software\\Wine\\AppDefaults\\" + program + L"\\DllOverrides";
  }
  std::vector<std::wstring> programs_;
};

// The stand-ins that `program` loaded. The folder stays trusted for what the program runs from
// there: the fastboot.exe beside it may load what lies beside it, as it always could.
std::vector<std::string> markers(const AppFolder& folder, const std::wstring& program) {
  std::vector<std::string> found;
  for (const auto& entry : fs::directory_iterator(fs::path(win32::widen(folder.path())))) {
    const std::wstring name = entry.path().filename().wstring();
    if (name.ends_with(L"." + program + L".loaded")) {
      found.push_back(win32::narrow(entry.path().filename().wstring()));
    }
  }
  return found;
}

class PlantedLibraryTest : public ::testing::TestWithParam<const char*> {
 protected:
  PlantedLibraryTest() : nativeFirst_({L"Quorlane.exe", L"naive_loader.exe"}) {
    for (const auto& name : kPlanted) {
      fs::copy_file(testFolder() / L"planted_marker.dll",
                    fs::path(win32::widen(folder.path())) / (name + L".dll"));
    }
    folder.settings("send_ms=30\nwrite_ms=10\n");
  }
  AppFolder folder;
  NativeFirst nativeFirst_;
};

TEST_P(PlantedLibraryTest, NoneIsLoadedThroughStartAFlashTheFileDialogAndExit) {
  std::unique_ptr<ScopedEnvironment> as;
  if (std::string(GetParam()) != "shipped") {
    // As on Windows 8.1 the program loads shcore.dll itself, for the monitor's DPI.
    as = std::make_unique<ScopedEnvironment>(L"QUORLANE_AS_ON_WINDOWS", L"8.1");
    fs::copy_file(testFolder() / L"older-windows" / L"Quorlane.exe",
                  fs::path(win32::widen(folder.file("Quorlane.exe"))),
                  fs::copy_options::overwrite_existing);
  }
  const std::string image = folder.file("planted.img");
  testsupport::writeFile(image, imageBytes());
  {
    App app = testsupport::startApp(folder);
    ASSERT_TRUE(App::waitRuns(folder, 1));
    flashImage(app, folder, image);
    ASSERT_TRUE(gui::click(app.control(ControlId::Command3)));
    ASSERT_TRUE(gui::cancelOpenDialog(app.process.pid()));
    exitByButton(app);
  }
  EXPECT_EQ(markers(folder, L"Quorlane.exe"), kLoadedBeforeTheProgramRuns);

  // The same folder, the same search, and a program that loads them by name: every stand-in runs.
  std::string args;
  for (const auto& name : kPlanted) args += " " + win32::narrow(name) + ".dll";
  fs::copy_file(testFolder() / L"naive_loader.exe",
                fs::path(win32::widen(folder.file("naive_loader.exe"))));
  gui::Process naive = gui::Process::start(folder.file("naive_loader.exe"), folder.path(), args);
  ASSERT_TRUE(naive.waitExit());
  EXPECT_EQ(naive.exitCode(), std::optional<DWORD>(0)) << "libraries it could not load";
  EXPECT_EQ(markers(folder, L"naive_loader.exe").size(), kPlanted.size());
}

INSTANTIATE_TEST_SUITE_P(Programs, PlantedLibraryTest, ::testing::Values("shipped", "windows81"));

// A handler that fails (QUORLANE_FAIL_IN, in the tests' build) ends the program like a run-time
// error: one critical box titled with the program's name gives the failure's description, every
// window of the program is disabled while it is shown, and the program then ends with exit
// code 1. Further messages, such as the timer's ticks, reach no handler while the box is shown.
class HandlerFailureTest : public ::testing::Test {
 protected:
  void useTestsBuild() {
    fs::copy_file(testFolder() / L"older-windows" / L"Quorlane.exe",
                  fs::path(win32::widen(folder.file("Quorlane.exe"))),
                  fs::copy_options::overwrite_existing);
  }
  // Checks the box, presses OK and expects the program to end as failed.
  static void expectRunTimeError(const gui::Process& process, const std::string& description) {
    const auto box = gui::waitMessageBox(process.pid());
    ASSERT_TRUE(box.has_value()) << "no box for the failure";
    EXPECT_EQ(box->title, "Quorlane");
    EXPECT_NE(box->prompt.find("运行时错误"), std::string::npos) << box->prompt;
    EXPECT_NE(box->prompt.find(description), std::string::npos) << box->prompt;
    EXPECT_TRUE(box->hasIcon);
    EXPECT_EQ(box->buttons, std::vector<std::string>{"确定"});
    // Still shown: a second failure behind it would have ended the program at once.
    EXPECT_TRUE(process.running());
    EXPECT_TRUE(IsWindow(box->hwnd));
    ASSERT_TRUE(gui::pressOk(box->hwnd));
    ASSERT_TRUE(process.waitExit());
    EXPECT_EQ(process.exitCode(), std::optional<DWORD>(1));
  }
  AppFolder folder;
};

TEST_F(HandlerFailureTest, AFailingClickEndsTheProgramWithItsDescription) {
  ScopedEnvironment fail(L"QUORLANE_FAIL_IN", L"click");
  useTestsBuild();
  App app = testsupport::startApp(folder);
  ASSERT_TRUE(App::waitRuns(folder, 1));
  ASSERT_TRUE(gui::click(app.control(ControlId::Command10)));
  ASSERT_TRUE(gui::waitFor([&] { return gui::findMessageBox(app.process.pid()).has_value(); }));
  EXPECT_FALSE(IsWindowEnabled(app.window)) << "the window stays usable behind the failure";
  expectRunTimeError(app.process, "click failed");
}

// The box holds the program's handlers back, so the output of a flash waiting for a phone would
// go unwatched: a phone connected meanwhile would be written to, and OK would end the writing
// client with the program. The waiting flash is ended before the box shows.
TEST_F(HandlerFailureTest, AFailureEndsAFlashThatWaitsForAPhoneBeforeItsBoxShows) {
  ScopedEnvironment fail(L"QUORLANE_FAIL_IN", L"devicechange");
  useTestsBuild();
  folder.settings("devices=\n");
  App app = testsupport::startApp(folder);
  ASSERT_TRUE(gui::waitFor([&] { return gui::enabled(app.control(ControlId::Command7)); }));
  ASSERT_TRUE(gui::click(app.control(ControlId::Command7)));
  ASSERT_TRUE(gui::waitFor(
      [&] { return app.text(ControlId::CMDTeXT).find("< waiting for") != std::string::npos; }));
  const std::string fastboot = folder.file("fastboot.exe");
  ASSERT_FALSE(gui::processesOf(fastboot).empty());
  ASSERT_TRUE(PostMessageW(app.window, WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0));
  ASSERT_TRUE(gui::waitFor([&] { return gui::findMessageBox(app.process.pid()).has_value(); }));
  EXPECT_TRUE(gui::processesOf(fastboot).empty()) << "the wait outlives the failure's box";
  const auto runs = folder.runs();
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_FALSE(runs[1].finished.has_value());
  expectRunTimeError(app.process, "device change failed");
}

TEST_F(HandlerFailureTest, ATimerThatThrowsAnythingEndsTheProgramToo) {
  ScopedEnvironment fail(L"QUORLANE_FAIL_IN", L"timer");
  useTestsBuild();
  gui::Process process = gui::Process::start(folder.file("Quorlane.exe"), folder.path());
  expectRunTimeError(process, "未知的异常");
}

}  // namespace
}  // namespace quorlane

int main(int argc, char** argv) {
  // Window positions as the program sees them, whatever the system DPI.
  SetProcessDPIAware();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
