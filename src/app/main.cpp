// Quorlane.exe: builds the Windows platform and the main window, runs the window's start-up and,
// when it lets the window show, the message loop.

#include <objbase.h>

#include <cstdlib>
#include <exception>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "platform/win32/controls_win32.h"
#include "platform/win32/dpi.h"
#include "platform/win32/feedback_win32.h"
#include "platform/win32/main_window.h"
#include "platform/win32/process_win32.h"
#include "platform/win32/shell_win32.h"
#include "platform/win32/skin_win32.h"
#include "platform/win32/system_dll.h"
#include "platform/win32/text.h"
#include "window/Form1.h"

namespace {

#ifdef QUORLANE_OLDER_WINDOWS_SEAM
// Only in the tests' build of the program: QUORLANE_FAIL_IN=click or timer makes the handlers of
// every click or every tick fail, to show how the program ends when a handler fails.
class FailingEvents final : public quorlane::window::WindowEvents {
 public:
  FailingEvents(quorlane::window::WindowEvents& events, std::string failIn)
      : events_(events), failIn_(std::move(failIn)) {}
  void click(quorlane::window::ControlId id) override {
    if (failIn_ == "click") throw std::runtime_error("单击的处理失败 (click failed)");
    events_.click(id);
  }
  void Timer1_Timer() override {
    if (failIn_ == "timer") throw 42;  // not even an exception class
    events_.Timer1_Timer();
  }
  void filesDropped(const std::vector<std::string>& paths) override { events_.filesDropped(paths); }
  void Form_Unload() override { events_.Form_Unload(); }
  void Form_Activate() override { events_.Form_Activate(); }
  void devicesChanged() override { events_.devicesChanged(); }

 private:
  quorlane::window::WindowEvents& events_;
  std::string failIn_;
};
#endif

int runMessageLoop(HWND mainWindow) {
  MSG message;
  for (;;) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(message.wParam);
    if (got == -1) return 1;
    // Tab, Enter and the access keys (Alt+A, Alt+B, Alt+C) go through the dialog manager.
    if (IsDialogMessageW(mainWindow, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

// COM on the window's thread, for the taskbar's progress and the shell's dialogs.
class ComApartment {
 public:
  ComApartment() : ok_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
  ~ComApartment() {
    if (ok_) CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

 private:
  bool ok_;
};

int run(HINSTANCE instance) {
  ComApartment com;
  quorlane::win32::initCommonControls();

  quorlane::win32::Win32Process process;
  quorlane::win32::Win32Pump pump;
  quorlane::win32::MainWindow window(instance, quorlane::window::Form1::kTimerIntervalMs);
  pump.setDialog(window.handle());

  quorlane::win32::Win32Controls controlPort(window.handle());
  quorlane::win32::Win32Shell shell(window.handle());
  quorlane::win32::Win32Skin skin;
  quorlane::win32::Win32Feedback feedback(window.handle());
  quorlane::window::Form1 form(controlPort, shell, skin, process, pump);
  form.setFeedback(&feedback);
  window.setEvents(&form);
#ifdef QUORLANE_OLDER_WINDOWS_SEAM
  const char* failIn = std::getenv("QUORLANE_FAIL_IN");
  FailingEvents failing(form, failIn != nullptr ? failIn : "");
  if (failIn != nullptr) window.setEvents(&failing);
#endif

  if (!form.Form_Load()) return 0;
  window.show();
  return runMessageLoop(window.handle());
}

#ifdef QUORLANE_OLDER_WINDOWS_SEAM
// Only in the tests' build of the program: QUORLANE_AS_ON_WINDOWS=7 or 8.1 hides the DPI
// functions those systems lack, so the fallbacks run on a system that has them.
void limitDpiFunctions() {
  const char* windows = std::getenv("QUORLANE_AS_ON_WINDOWS");
  if (windows == nullptr) return;
  const std::string name(windows);
  if (name == "7") quorlane::win32::dpi::limitFunctions(quorlane::win32::dpi::Functions::windows7);
  if (name == "8.1") {
    quorlane::win32::dpi::limitFunctions(quorlane::win32::dpi::Functions::windows81);
  }
}
#endif

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  // Before any window or dialog exists: libraries loaded from here on, by the program or by the
  // system on its behalf, come from the system folder, never from the program's folder.
  quorlane::win32::restrictDllSearch();
#ifdef QUORLANE_OLDER_WINDOWS_SEAM
  limitDpiFunctions();
#endif
  try {
    return run(instance);
  } catch (const std::exception& e) {
    // Creating the window failed: there is no window to carry any other message.
    const std::wstring prompt = quorlane::win32::widen(std::string("错误信息：") + e.what());
    MessageBoxW(nullptr, prompt.c_str(), L"错误", MB_OK | MB_ICONERROR);
    return 1;
  }
}
