// Quorlane.exe: builds the Windows platform and the main window, runs the window's start-up and,
// when it lets the window show, the message loop.

#include <cstdlib>
#include <exception>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "common/texts.h"
#include "win32/common_controls.h"
#include "win32/controls_win32.h"
#include "win32/device_tree_win32.h"
#include "win32/dpi.h"
#include "win32/failure_barrier.h"
#include "win32/feedback_win32.h"
#include "win32/main_window.h"
#include "win32/message_loop.h"
#include "win32/process_win32.h"
#include "win32/shell_win32.h"
#include "win32/skin_win32.h"
#include "win32/system_dll.h"
#include "win32/text.h"
#include "window/Form1.h"

namespace {

#ifdef QUORLANE_OLDER_WINDOWS_SEAM
// Only in the tests' build of the program: QUORLANE_FAIL_IN=click, timer or devicechange makes the
// handlers of every click, every tick or every device change fail, to show how the program ends
// when a handler fails.
class FailingEvents final : public quorlane::window::WindowEvents {
 public:
  FailingEvents(quorlane::window::WindowEvents& events, std::string failIn)
      : events_(events), failIn_(std::move(failIn)) {}
  void click(quorlane::window::ControlId id) override {
    if (failIn_ == "click") throw std::runtime_error("click failed");
    events_.click(id);
  }
  void Timer1_Timer() override {
    if (failIn_ == "timer") throw 42;  // not even an exception class
    events_.Timer1_Timer();
  }
  void filesDropped(const std::vector<std::string>& paths) override { events_.filesDropped(paths); }
  void Form_Unload() override { events_.Form_Unload(); }
  void Form_Activate() override { events_.Form_Activate(); }
  void devicesChanged() override {
    if (failIn_ == "devicechange") throw std::runtime_error("device change failed");
    events_.devicesChanged();
  }

 private:
  quorlane::window::WindowEvents& events_;
  std::string failIn_;
};
#endif

// Shows the window while the device query of the start-up still runs, once it has run for a
// while: a query that hangs must not leave the user without a window. Its output fills in when
// it ends. Until the query has begun, nothing is shown: a missing component's message stands
// alone.
class LateShow {
 public:
  static constexpr UINT kAfterMs = 3000;
  static constexpr UINT kRetryMs = 100;

  LateShow(quorlane::win32::MainWindow& window, quorlane::window::Form1& form)
      : window_(window), form_(form) {
    current_ = this;
    SetTimer(window_.handle(), kTimerId, kAfterMs, fire);
  }
  ~LateShow() {
    KillTimer(window_.handle(), kTimerId);
    current_ = nullptr;
  }
  LateShow(const LateShow&) = delete;
  LateShow& operator=(const LateShow&) = delete;

  // Shows the window when the late show has not already: shown once, it is neither centred
  // again nor given the focus again.
  void showNow() {
    KillTimer(window_.handle(), kTimerId);
    if (!shown_) window_.show();
    shown_ = true;
  }

 private:
  // Apart from the window's own timer, which ticks Timer1.
  static constexpr UINT_PTR kTimerId = 0x5157;

  // Called by whichever loop dispatches the timer's message: the runner's while the query runs.
  static void CALLBACK fire(HWND, UINT, UINT_PTR, DWORD) {
    quorlane::win32::guarded(
        [] {
          LateShow* self = current_;
          if (self == nullptr || self->shown_) return LRESULT{0};
          if (!self->form_.runner().busy()) {
            // The query has not begun yet (or has ended, and the start-up shows the window).
            SetTimer(self->window_.handle(), kTimerId, kRetryMs, fire);
            return LRESULT{0};
          }
          self->showNow();
          return LRESULT{0};
        },
        [] { return LRESULT{0}; });
  }

  static inline LateShow* current_ = nullptr;
  quorlane::win32::MainWindow& window_;
  quorlane::window::Form1& form_;
  bool shown_ = false;
};

// COM on the window's thread, for the taskbar's progress and the shell's dialogs: entered at its
// first need (see enterCom), left once everything that used it has gone.
class ComApartment {
 public:
  ComApartment() = default;
  ~ComApartment() { quorlane::win32::endCom(); }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
};

int run(HINSTANCE instance) {
  ComApartment com;
  quorlane::win32::Win32Process process;
  quorlane::win32::Win32Pump pump;
  // Outlives the form, whose looks it delivers.
  quorlane::win32::Win32DeviceTree deviceTree;
  // The form first, its controls and the owner of its boxes set once the window exists: the first
  // half of its start-up needs no window, and the device query it starts runs while the window is
  // built.
  quorlane::win32::Win32Controls controlPort;
  quorlane::win32::Win32Shell shell;
  quorlane::win32::Win32Skin skin;
  quorlane::window::Form1 form(controlPort, shell, skin, process, pump);
  if (!form.beginLoad()) return 0;

  quorlane::win32::initCommonControls();
  quorlane::win32::MainWindow window(instance, quorlane::window::Form1::kTimerIntervalMs);
  pump.setDialog(window.handle());
  controlPort.setMainWindow(window.handle());
  shell.setMainWindow(window.handle());
  quorlane::win32::Win32Feedback feedback(window.handle());
  form.setFeedback(&feedback);
  form.setDeviceTree(&deviceTree);
  window.setEvents(&form);
  // A failure's box holds the form's handlers back: a command waiting for a phone would go on
  // unwatched and be ended with the program in the middle of writing to one connected meanwhile.
  const quorlane::win32::FailureCleanup endWaits([&form] { form.endWaits(); });
#ifdef QUORLANE_OLDER_WINDOWS_SEAM
  const char* failIn = std::getenv("QUORLANE_FAIL_IN");
  FailingEvents failing(form, failIn != nullptr ? failIn : "");
  if (failIn != nullptr) window.setEvents(&failing);
#endif

  {
    LateShow lateShow(window, form);
    if (!form.Form_Load()) return 0;
    lateShow.showNow();
  }
  return quorlane::win32::runMessageLoop(window.handle());
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
    const std::wstring prompt = quorlane::win32::widen(
        quorlane::texts::concat(quorlane::texts::kStartupErrorPrefix, e.what()));
    const std::wstring title = quorlane::win32::widen(quorlane::texts::kErrorTitle);
    MessageBoxW(nullptr, prompt.c_str(), title.c_str(), MB_OK | MB_ICONERROR);
    return 1;
  }
}
