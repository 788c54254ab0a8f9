// What the real program answers to every kind of bad input, one started program for the whole
// table: pasted paths with quotes, blanks, dots or forward slashes, paths too long for the client,
// device names, an image whose first read blocks, a locked image, an image on a drive that is not
// there, a client that crashes in the middle of a flash; and a long series of flashes that must
// leave no handle, GDI or USER object behind.

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "driver/gui_driver.h"
#include "support/app_folder.h"
#include "win32/common_controls.h"
#include "win32/controls_win32.h"
#include "win32/feedback_win32.h"
#include "win32/handles.h"
#include "win32/main_window.h"
#include "win32/module_path.h"
#include "win32/process_win32.h"
#include "win32/shell_win32.h"
#include "win32/text.h"
#include "window/Form1.h"
#include "window/layout.h"

namespace quorlane {
namespace {

using testsupport::App;
using testsupport::AppFolder;
using testsupport::contains;
using testsupport::startApp;
using testsupport::writeFile;
using window::ControlId;

const std::string kBootImage = "ANDROID!" + std::string(2048, 'b');

// Creates every folder of `path`, however long it is.
void createFolders(const std::wstring& path) {
  for (std::size_t at = path.find(L'\\', 3); at != std::wstring::npos;
       at = path.find(L'\\', at + 1)) {
    CreateDirectoryW((L"\\\\?\\" + path.substr(0, at)).c_str(), nullptr);
  }
  CreateDirectoryW((L"\\\\?\\" + path).c_str(), nullptr);
}

// Removes a folder tree however long its paths are, for the folder's own clean-up cannot.
void removeTree(const std::wstring& path) {
  const std::wstring literal = L"\\\\?\\" + path;
  WIN32_FIND_DATAW found{};
  const win32::UniqueFind search(FindFirstFileW((literal + L"\\*").c_str(), &found));
  if (search) {
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        removeTree(path + L"\\" + name);
      } else {
        DeleteFileW((literal + L"\\" + name).c_str());
      }
    } while (FindNextFileW(search.get(), &found));
  }
  RemoveDirectoryW(literal.c_str());
}

// The objects this process holds: kernel handles, GDI and USER objects (Wine counts no GDI or
// USER objects: there, the windows of the thread stand for them), and its windows, message-only
// ones included.
struct Held {
  DWORD handles = 0;
  DWORD gdi = 0;
  DWORD user = 0;
  int windows = 0;
  bool operator==(const Held&) const = default;
};

Held heldNow() {
  Held held;
  // Counted one by one: Wine's GetProcessHandleCount reports none.
  for (std::uintptr_t value = 4; value < 0x10000; value += 4) {
    DWORD flags = 0;
    if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++held.handles;
  }
  held.gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  held.user = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM count) {
        *reinterpret_cast<int*>(count) += 1 + static_cast<int>(gui::descendants(window).size());
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&held.windows));
  for (HWND w = FindWindowExW(HWND_MESSAGE, nullptr, nullptr, nullptr); w != nullptr;
       w = FindWindowExW(HWND_MESSAGE, w, nullptr, nullptr)) {
    if (GetWindowThreadProcessId(w, nullptr) == GetCurrentThreadId()) ++held.windows;
  }
  return held;
}

void PrintTo(const Held& held, std::ostream* out) {
  *out << held.handles << " handles, " << held.gdi << " GDI, " << held.user << " USER, "
       << held.windows << " windows";
}

class NoSkin final : public window::Skin {
 public:
  window::Failure setAero(std::string_view, int) override { return std::nullopt; }
  window::Failure attach(std::string_view, std::string_view, std::string_view) override {
    return std::nullopt;
  }
};

class BadInputTest : public ::testing::Test {
 protected:
  BadInputTest() {
    folder.settings("send_ms=10\nwrite_ms=10\n");
    app = std::make_unique<App>(startApp(folder));
    EXPECT_TRUE(App::waitRuns(folder, 1));  // the device query at start-up
  }

  // The warning a press of Start with `path` shows: its prompt, closed with OK; nothing started.
  std::string refused(const std::string& path) {
    const std::size_t before = folder.runs().size();
    EXPECT_TRUE(app->pressStart(path));
    const auto box = gui::waitMessageBox(app->process.pid());
    if (!box) return "(no box)";
    EXPECT_EQ(box->owner, app->window);
    title = box->title;
    EXPECT_TRUE(box->hasIcon);
    EXPECT_EQ(box->buttons.size(), 1u);
    EXPECT_TRUE(gui::pressOk(box->hwnd));
    EXPECT_TRUE(gui::waitClosed(box->hwnd));
    EXPECT_EQ(folder.runs().size(), before) << path;
    return box->prompt;
  }

  // Flashes with Start and returns the path the client was handed. Start is pressed again while
  // the last command is still ending: the runner refuses it silently then.
  std::string flashed(const std::string& path) {
    const std::size_t before = folder.runs().size();
    for (int tries = 0; tries < 5; ++tries) {
      EXPECT_TRUE(app->pressStart(path));
      if (gui::waitFor([&] { return folder.runs().size() > before; }, 2000)) break;
    }
    if (!App::waitRuns(folder, before + 1)) return "(no flash)";
    const auto runs = folder.runs();
    EXPECT_EQ(runs.back().finished, std::optional<int>(0));
    return runs.back().args.size() == 3 ? runs.back().args[2] : "(no path)";
  }

  AppFolder folder;
  std::unique_ptr<App> app;
  std::string title;  // of the last box `refused` saw
};

TEST_F(BadInputTest, EveryRowGetsTheRightResultOrAClearMessage) {
  const std::string image = folder.file("下载\\a b.img");
  writeFile(image, kBootImage);
  std::string slashed = image;
  for (char& c : slashed) {
    if (c == '\\') c = '/';
  }

  // Pasted: quotes, blanks and line breaks around it, dots and blanks at its end, forward slashes.
  EXPECT_EQ(flashed("  \"" + image + "\" \r\n"), image);
  EXPECT_EQ(flashed(image + " . "), image);
  EXPECT_EQ(flashed(slashed), image);
  EXPECT_EQ(folder.flashed(), kBootImage);

  // Longer than 260 characters: the client gets the short path, which Windows can open too.
  // (Wine would open the long one: what is handed on is what counts.)
  std::wstring deep = win32::widen(folder.file("长路径"));
  while (deep.size() < 300) deep += L"\\a folder with a rather long name";
  createFolders(deep);
  const std::string longImage = win32::narrow(deep) + "\\recovery image.img";
  writeFile(longImage, kBootImage + "long");
  const std::string handed = flashed(longImage);
  EXPECT_LT(win32::widen(handed).size(), 260u) << handed;
  EXPECT_EQ(folder.flashed(), kBootImage + "long");

  // So deep that even the short path is too long: said so, nothing started.
  std::wstring deeper = win32::widen(folder.file("很深"));
  for (int i = 0; i < 32; ++i) deeper += L"\\long folder name " + std::to_wstring(i);
  createFolders(deeper);
  const std::string deepImage = win32::narrow(deeper) + "\\recovery.img";
  writeFile(deepImage, kBootImage);
  EXPECT_TRUE(contains(refused(deepImage), "路径太长"));
  removeTree(win32::widen(folder.file("很深")));
  removeTree(win32::widen(folder.file("长路径")));

  // Devices and pipes are never opened: not an image file.
  for (const std::string device :
       {"CON", "NUL", "COM1", "\\\\.\\PhysicalDrive0", "\\\\.\\pipe\\x", "C:\\temp\\nul.img"}) {
    SCOPED_TRACE(device);
    const std::string prompt = refused(device);
    EXPECT_TRUE(contains(prompt, "不是镜像文件")) << prompt;
  }

  // A drive letter that is not there (a removed USB drive).
  for (char drive = 'Q'; drive <= 'Y'; ++drive) {
    const std::wstring root = std::wstring(1, static_cast<wchar_t>(drive)) + L":\\";
    if (GetDriveTypeW(root.c_str()) != DRIVE_NO_ROOT_DIR) continue;
    const std::string prompt = refused(std::string(1, drive) + ":\\recovery.img");
    EXPECT_TRUE(contains(prompt, "驱动器不存在")) << prompt;
    break;
  }

  // Missing, empty, a folder.
  const std::string empty = folder.file("镜像\\empty.img");
  const std::string dir = folder.file("镜像\\a folder.img");
  writeFile(empty, "");
  CreateDirectoryW(win32::widen(dir).c_str(), nullptr);
  const std::string missingPrompt = refused(folder.file("no such.img"));
  EXPECT_TRUE(contains(missingPrompt, "找不到要刷入的镜像文件")) << missingPrompt;
  EXPECT_TRUE(contains(missingPrompt, "no such.img")) << missingPrompt;
  EXPECT_EQ(title, "无法刷入");
  EXPECT_TRUE(contains(refused(empty), "空的"));
  EXPECT_EQ(title, "无法刷入");
  EXPECT_TRUE(contains(refused(dir), "文件夹"));
  EXPECT_EQ(title, "无法刷入");

  // Locked by another program, which shares it with nobody.
  const std::string locked = folder.file("下载\\locked.img");
  writeFile(locked, kBootImage);
  win32::UniqueFile holder(CreateFileW(win32::widen(locked).c_str(), GENERIC_READ, 0, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(holder);
  const std::string lockedPrompt = refused(locked);
  EXPECT_TRUE(contains(lockedPrompt, "占用")) << lockedPrompt;
  EXPECT_EQ(title, "无法刷入");
  holder.reset();

  // A Unix FIFO seen through Z: (made before this test, held open for writing by a shell that
  // never writes): its first read would block, but Wine reports it as no file on a disk, so it is
  // never read and is answered as not an image file. The window answers meanwhile.
  std::string windowsFifo = "Z:" QUORLANE_BLOCKING_IMAGE;
  for (char& c : windowsFifo) {
    if (c == '/') c = '\\';
  }
  WIN32_FIND_DATAW found{};
  ASSERT_TRUE(win32::UniqueFind(FindFirstFileW(win32::widen(windowsFifo).c_str(), &found)))
      << "made by the test bad_input_blocking_image";
  const std::size_t runsBefore = folder.runs().size();
  const std::string fifoPrompt = refused(windowsFifo);
  EXPECT_TRUE(contains(fifoPrompt, "不是镜像文件")) << fifoPrompt;
  DWORD_PTR answer = 0;
  EXPECT_TRUE(SendMessageTimeoutW(app->window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &answer));

  // The client crashes in the middle of the write: what it printed so far stays in the box.
  folder.settings("send_ms=10\nwrite_ms=10\nfail=crash\n");
  ASSERT_TRUE(app->pressStart(image));
  ASSERT_TRUE(App::waitRuns(folder, runsBefore + 1));
  EXPECT_EQ(folder.runs().back().finished, std::optional<int>(static_cast<int>(0xC0000005)));
  HWND output = app->control(ControlId::CMDTeXT);
  EXPECT_TRUE(gui::waitFor([&] { return contains(gui::text(output), "Writing 'recovery'"); }))
      << gui::text(output);
  EXPECT_TRUE(contains(gui::text(output), "Sending 'recovery'"));
}

// Flashes one after another, alternating a success, a refusal by the phone and a crash of the
// client, run by the real window and Win32 layer in this process (where every object it holds
// can be counted): it holds as many handles, GDI and USER objects and windows after them as
// before.
TEST(ManyFlashes, OneAfterAnotherLeaveNothingBehind) {
  AppFolder folder;
  // The built-in image and the client are found in the current directory, as the program's
  // start-up sets it.
  ASSERT_TRUE(SetCurrentDirectoryW(win32::widen(folder.path()).c_str()));
  win32::initCommonControls();
  win32::Win32Process process;
  win32::Win32Pump pump;
  win32::MainWindow window(GetModuleHandleW(nullptr), window::Form1::kTimerIntervalMs);
  pump.setDialog(window.handle());
  win32::Win32Controls controls(window.handle());
  win32::Win32Shell shell(window.handle());
  win32::Win32Feedback feedback(window.handle());
  NoSkin skin;
  window::Form1 form(controls, shell, skin, process, pump);
  form.setFeedback(&feedback);
  window.setEvents(&form);
  window.show();

  const char* kinds[] = {"send_ms=0\nwrite_ms=0\n", "send_ms=0\nwrite_ms=0\nfail=remote\n",
                         "send_ms=0\nwrite_ms=0\nfail=crash\n"};
  // The flashes the phone saw; the first press also asks for the device list, which the form
  // has not taken yet.
  const auto flashes = [&folder] {
    std::vector<testsupport::SimRun> found;
    for (const auto& run : folder.runs()) {
      if (!run.args.empty() && run.args[0] == "flash") found.push_back(run);
    }
    return found;
  };
  std::size_t runs = 0;
  // Each press runs its command to the end before it returns.
  auto flash = [&](int i) {
    folder.settings(kinds[i % 3]);
    form.click(ControlId::Command7);
    EXPECT_EQ(flashes().size(), ++runs);
  };
  for (int i = 0; i < 6; ++i) flash(i);  // every kind twice before counting
  const Held before = heldNow();
  ASSERT_GT(before.handles, 0u);
  ASSERT_GT(before.windows, 0);
  // Counted exactly: one object left by each flash would show after the first.
  for (int i = 0; i < 30; ++i) flash(i);
  EXPECT_EQ(heldNow(), before);
  const auto all = flashes();
  ASSERT_EQ(all.size(), 36u);
  EXPECT_EQ(all[33].finished, std::optional<int>(0));
  EXPECT_EQ(all[34].finished, std::optional<int>(1));  // refused by the phone
  EXPECT_EQ(all[35].finished, std::optional<int>(static_cast<int>(0xC0000005)));  // crashed
  SetCurrentDirectoryW(win32::executableFolder().c_str());
}

}  // namespace
}  // namespace quorlane
