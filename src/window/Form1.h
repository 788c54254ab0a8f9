#pragma once
// The main window's behaviour: one short handler per control event, which the Windows layer
// calls, each handing the event to the part whose job it is:
//   Startup          the components and the skin, before anything is asked of a phone
//   OutputView       the running command's output in the output box
//   PhoneList        the phones in fastboot mode, kept current
//   FlashGate        the checks before a command that writes to or starts a phone
//   CommandFeedback  the hint, the taskbar and the result panel
// Form1 itself runs the window's commands on MyCMD2 and follows their output for a wait for a
// phone.
//
// Handlers run inside other handlers: while a command runs, MyCMD2.执行命令 services the window,
// and so do message boxes, the file dialog and the gate's waits. A command started from inside
// another is refused by the busy runner before anything of the running one is touched, so what
// Form1 keeps of the running command always describes the one that runs. Each part says what may
// change under it; every handler reads a control when it needs it and sets its button's state
// unconditionally after its command. Exit or closing the window ends the program at once: no
// handler returns after it.

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ports/process.h"
#include "ports/window.h"
#include "ports/window_events.h"
#include "runner/MyCMD.h"
#include "window/clock.h"
#include "window/command_feedback.h"
#include "window/flash_gate.h"
#include "window/flash_safety.h"
#include "window/image.h"
#include "window/output_view.h"
#include "window/phone_list.h"
#include "window/startup.h"

namespace quorlane::window {

class Form1 : public WindowEvents {
 public:
  Form1(Controls& controls, Shell& shell, Skin& skin, ports::Process& os, ports::EventPump& pump);
  Form1(const Form1&) = delete;
  Form1& operator=(const Form1&) = delete;

  // Start-up; true when the window is to be shown, false when the program has been ended. In two
  // halves, so that the device query can run while the window is still being built:
  // beginLoad() needs none of the window's controls. It checks the components, attaches the
  // skin and starts the device query; false when it has ended the program. Form_Load() does it
  // first when it has not been done, then waits for the query and shows the phones it lists.
  bool beginLoad();
  bool Form_Load();

  // The window's events.
  void click(ControlId id) override;
  void Timer1_Timer() override;
  void filesDropped(const std::vector<std::string>& paths) override;
  void Form_Unload() override;
  void Form_Activate() override;
  void devicesChanged() override;

  // Where the hint, the taskbar progress and the flashing go; without it they are not shown.
  void setFeedback(Feedback* feedback) { feedback_.setFeedback(feedback); }
  // Where Windows' USB devices are looked at when no phone is listed or a command waits for one;
  // without it the general words stay.
  void setDeviceTree(ports::DeviceTree* tree) { feedback_.setDeviceTree(tree); }

  MyCMD& runner() { return MyCMD2; }

  // Ends what must not outlive the program, for any way it ends: a command that may be waiting
  // for a phone, and every device query.
  void endWaits();

  using Clock = window::Clock;
  // The clock every part reads; tests set their own.
  void setClock(ClockSource clock) { clock_ = std::move(clock); }

  static constexpr unsigned kTimerIntervalMs = 2;

 private:
  void Command1_Click();
  void Command3_Click();
  void flashBuiltIn(ControlId button, std::string_view path);
  // A button of the result panel (0 or 1): a restart of the phone, or a start from memory of the
  // image of the flash the panel tells about (bootResultImage).
  void panelButton(std::size_t index);
  void bootResultImage();
  // Sends the image as the gate's clearance says: as pressed (a command of `kind` that begins
  // with `prefix`), as a start from memory instead, or not at all; `clearFirst` empties the
  // output box before a command that runs.
  void send(const FlashGate::Clearance& clearance, CommandKind kind, std::string_view prefix,
            const Image& image, bool clearFirst = false);
  // Runs `command` on MyCMD2; `image` is the image it flashes or starts, `note` what its result
  // panel adds after a success.
  void run(std::optional<std::string> command, CommandKind kind, std::optional<Image> image,
           std::string note);
  void MyCMD2_执行完毕(const std::string& 返回内容, bool 结束);
  void MyCMD2_收到输出(const std::string& chunk);
  void openPage(std::string_view address);
  // Ends the program; what may still wait ends with it.
  void endProgram();

  Controls& controls_;
  Shell& shell_;
  MyCMD MyCMD1;
  MyCMD MyCMD2;
  ClockSource clock_ = [] { return Clock::now(); };
  Startup startup_;
  OutputView output_;
  CommandFeedback feedback_;
  PhoneList phones_;
  FlashGate gate_;
  bool loadBegun_ = false;
  // The running command: what it is, whether it has ended (set by 执行完毕), and its output
  // followed for a wait for a phone and for the first line that talks to one.
  CommandKind runningKind_ = CommandKind::deviceQuery;
  bool commandEnded_ = false;
  PhoneWaitWatch phoneWait_;
};

}  // namespace quorlane::window
