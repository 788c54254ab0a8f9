// Brings the demo into the middle of a flash, for a picture of it: starts Quorlane.exe of the
// current folder, puts IMAGE in the path box as a paste would and presses Start once the start-up
// query has finished, and returns once the output box shows that the image's piece PIECE is on
// its way (the client prints a line as each piece of a large image starts). Quorlane is left
// running.
//
//   mid_flash.exe PIECE IMAGE RESULT-FILE
//
// It is started inside Wine's virtual desktop, where a program of the ordinary desktop cannot
// see Quorlane's window, so it reports through RESULT-FILE: "ok" and the window's place on the
// screen as ImageMagick's geometry WIDTHxHEIGHT+LEFT+TOP, or what went wrong.

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "driver/gui_driver.h"
#include "win32/handles.h"
#include "win32/text.h"
#include "window/layout.h"

namespace {

using quorlane::window::ControlId;
namespace gui = quorlane::gui;
namespace win32 = quorlane::win32;

constexpr wchar_t kTitle[] = L"QuorlaneBeta1 -- Tessivo";
// A slow phone takes seconds per piece; the whole flash may take a minute.
constexpr int kFlashTimeoutMs = 60000;

HWND control(HWND window, ControlId id) {
  return GetDlgItem(window, static_cast<int>(id));
}

std::string run(int piece, const std::string& image) {
  wchar_t exe[] = L"Quorlane.exe";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(nullptr, exe, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &info)) {
    return "Quorlane.exe could not be started from the current folder";
  }
  // Only started here: it outlives this program.
  const win32::UniqueHandle process(info.hProcess);
  const win32::UniqueHandle thread(info.hThread);

  HWND window = nullptr;
  if (!gui::waitFor([&] { return (window = FindWindowW(nullptr, kTitle)) != nullptr; })) {
    return "Quorlane's window was not shown";
  }
  // The window may be found before its controls exist; Start is enabled once there is a path
  // and the start-up device query has finished.
  HWND start = nullptr;
  if (!gui::waitFor([&] {
        start = control(window, ControlId::Command1);
        return start != nullptr && gui::visible(start) &&
               gui::setText(control(window, ControlId::Combo1), image) && gui::enabled(start);
      })) {
    return "Start stayed disabled";
  }
  if (!gui::click(start)) return "Start could not be pressed";
  const std::string line = "Sending sparse 'recovery' " + std::to_string(piece) + "/";
  HWND box = control(window, ControlId::CMDTeXT);
  if (!gui::waitFor([&] { return gui::text(box).find(line) != std::string::npos; },
                    kFlashTimeoutMs)) {
    return "the output never showed \"" + line + "\"; it shows:\n" + gui::text(box);
  }
  RECT r{};
  if (!GetWindowRect(window, &r)) return "the window's place is unknown";
  return "ok " + std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top) + "+" +
         std::to_string(r.left) + "+" + std::to_string(r.top);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 4) return 2;
  const std::string result = run(_wtoi(argv[1]), win32::narrow(argv[2]));
  std::ofstream(std::filesystem::path(argv[3]), std::ios::binary) << result << "\n";
  return result.rfind("ok ", 0) == 0 ? 0 : 1;
}
