#pragma once
// The main window's behaviour: start-up, the output display, the flash actions, the help and
// link buttons and exit. One short handler per control event; the Windows layer calls them.
//
// Handlers run inside other handlers. While a command runs, MyCMD2.执行命令 waits for the
// window's messages, and a message box or the file dialog runs a loop of its own; either loop
// dispatches clicks, timer ticks, drops, device changes and the command's output, so any handler
// may run, to its end, in the middle of another. What a handler may find changed once its
// command or its box returns, and why that is safe:
// - CMDTeXT: a built-in button empties it during a running flash (clearOutput notes that the box
//   no longer starts with the flash's preview); a refreshed device list never replaces it while a
//   command runs. The live-output members (pendingText_, shownLength_, shownIsPrefix_) belong to
//   the running command and are settled by its 执行完毕.
// - Combo1 and the buttons' enabled states: the user may choose another file and the timer
//   enables Start during its own flash. Every handler reads a control when it needs it and sets
//   its button's state unconditionally after the command, so nothing it read before is reused.
// - commandEnded_, progress_, runningKind_, runningImage_, resultImage_, phoneWait_: set when a
//   command starts and when it ends. A command started from inside another is refused by the busy
//   runner before runCommand touches any of them (runCommand checks busy() first), so they always
//   describe the one command that runs. bootResultImage copies resultImage_ before it runs.
// - phones_, listShown_ and devices_: the device list moves on at timer ticks, also inside a box.
//   A flash looks at the list only after its boxes have closed (phonesAllowFlash), so it sees the
//   latest one; while waitForList waits, waitingForList_ turns a second press away.
// - Exit or closing the window ends the program at once: no handler returns after it.

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ports/process.h"
#include "ports/window.h"
#include "ports/window_events.h"
#include "runner/MyCMD.h"
#include "window/device_watch.h"
#include "window/flash_safety.h"
#include "window/outcome.h"

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
  void setFeedback(Feedback* feedback) { feedback_ = feedback != nullptr ? feedback : &none_; }

  MyCMD& runner() { return MyCMD2; }

  // Shows what a device list (the output of the device query) says when it calls for it: no
  // phone, or several. A list with one phone takes away such a panel shown before. Nothing while
  // a command runs.
  void showDeviceListOutcome(const std::string& listOutput);

  using Clock = std::chrono::steady_clock;
  // The clock that paces the live view of a command's output; tests set their own.
  void setClock(std::function<Clock::time_point()> clock) { clock_ = std::move(clock); }

  static constexpr unsigned kTimerIntervalMs = 2;
  // Live output is shown at most this often, and waits at least this many times as long as its
  // last append took.
  static constexpr std::chrono::milliseconds kMinShowInterval{50};
  static constexpr int kShowCostFactor = 20;
  // A flash waits at most this long for a device list that is about to change.
  static constexpr std::chrono::seconds kListWait{3};

 private:
  // An image the user chose to flash: its path as given, and the file name of a built-in one.
  struct Image {
    std::string path;
    std::optional<std::string> builtInName;
  };

  void Command1_Click();
  void Command3_Click();
  // Runs a command on MyCMD2, with its progress on the taskbar; the result panel of the last
  // command goes when it starts. `image` is the image it flashes or starts.
  void runCommand(std::string_view command, CommandKind kind,
                  std::optional<Image> image = std::nullopt);
  // Flashes (or starts from memory) the image, once it has been checked, with the path the
  // client can open, quoted for the command interpreter.
  void runWithImage(std::string_view prefix, CommandKind kind, const Image& image);
  // The result panel's button: starts the image of the flash the panel tells about once from
  // the phone's memory.
  void bootResultImage();
  void showOutcome(const Outcome& outcome, CommandKind command);
  // Whether the image at `path` may be flashed: true for a boot image or when the user says to
  // flash it anyway; otherwise the user has been told why not.
  bool imageApproved(const std::string& path, const std::optional<std::string>& builtInName);
  void updateHint();
  // Ends the program; a command still waiting for a phone ends with it.
  void endProgram();
  void flashBuiltIn(ControlId button, std::string_view path);
  std::optional<std::string> clientPath(const std::string& imagePath);
  void MyCMD2_执行完毕(const std::string& 返回内容, bool 结束);
  void MyCMD2_收到输出(const std::string& chunk);
  void clearOutput();
  void showPending();
  // Whether the latest device list lets a flash run, after waiting for one that is about to
  // change; when it lists several phones, the user has been told.
  bool phonesAllowFlash();
  void waitForList();
  // Moves the device watch on; a finished query updates the list.
  void advanceDeviceList();
  void listRefreshed(const DeviceWatch::Refresh& refresh);
  // The output box now shows the device list `text` and nothing else: at start-up and whenever
  // a newer list replaces it. Whatever else the window shows about the listed phones follows
  // the list from here.
  void deviceListShown(const std::string& text);
  void openPage(std::string_view address);
  void missingComponent(std::string_view fileName);
  void startupFailure(const std::string& description);

  Controls& controls_;
  Shell& shell_;
  Skin& skin_;
  ports::Process& os_;
  ports::EventPump& pump_;
  MyCMD MyCMD1;
  MyCMD MyCMD2;
  // The phones in fastboot mode: the latest list (nothing while unknown), the query that keeps
  // it current, and the text of the output box when the box shows a device list and nothing
  // else (then a newer list may replace it).
  DeviceWatch devices_;
  std::optional<std::vector<std::string>> phones_;
  std::optional<std::string> listShown_;
  // The start-up query's output as the client wrote it, while it runs.
  bool loadBegun_ = false;
  bool collectingList_ = false;
  std::string listWritten_;
  bool waitingForList_ = false;
  // The running command's live output: what waits to be shown, how much of it CMDTeXT shows at
  // its end, and whether that is the start of what the runner collects (no clearing since).
  std::string pendingText_;
  std::size_t shownLength_ = 0;
  bool shownIsPrefix_ = true;
  std::function<Clock::time_point()> clock_ = [] { return Clock::now(); };
  // The running command's wait for a phone, its hint and the taskbar's state.
  class NoFeedback final : public Feedback {
    void setHint(ControlId, std::string_view) override {}
    void setProgress(Progress) override {}
    bool inForeground() override { return true; }
    void flashUntilActive() override {}
    void showResult(ControlId, std::string_view, const ResultButtons&) override {}
    void hideResult() override {}
  } none_;
  Feedback* feedback_ = &none_;
  PhoneWaitWatch phoneWait_;
  bool hintShown_ = false;
  bool commandEnded_ = false;
  Progress progress_ = Progress::none;
  Clock::time_point lastShown_{};
  Clock::duration showInterval_ = kMinShowInterval;
  // What the running command is and the image it uses; then the same for the command whose
  // result the panel shows, and whether that panel tells about a device list.
  CommandKind runningKind_ = CommandKind::deviceQuery;
  std::optional<Image> runningImage_;
  std::optional<Image> resultImage_;
  bool resultIsDeviceList_ = false;
};

}  // namespace quorlane::window
