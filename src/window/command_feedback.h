#pragma once
// What the window shows about a command besides its output: the hint while it waits for a phone,
// the taskbar button's progress and flashing, and the result panel that says what the command
// came to, with the button that acts on it.
// Re-entrancy: none of its own. A panel about a device list may be shown while no command runs;
// a command's start takes it away and its end shows the command's own.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ports/device_tree.h"
#include "ports/window.h"
#include "window/image.h"
#include "window/outcome.h"
#include "window/usb_diagnosis.h"

namespace quorlane::window {

class CommandFeedback {
 public:
  CommandFeedback() = default;
  CommandFeedback(const CommandFeedback&) = delete;
  CommandFeedback& operator=(const CommandFeedback&) = delete;

  // Where it is shown; without it nothing is.
  void setFeedback(Feedback* feedback) { feedback_ = feedback != nullptr ? feedback : &none_; }
  // Where Windows' USB devices are looked at: when a device list comes back empty and while a
  // command waits for a phone, what Windows knows of a phone the client cannot see is told
  // instead of the general words. Without it they stay.
  void setDeviceTree(ports::DeviceTree* tree) { deviceTree_ = tree; }
  // A device came or went: Windows' devices are looked at again while that matters.
  void devicesChanged();

  // A command of `kind` starts, with the image it flashes or starts and what the panel is to add
  // after a successful flash.
  void started(CommandKind kind, std::optional<Image> image, std::string note = {});
  // It could not start after all.
  void notStarted();
  // While it runs: whether its latest line waits for a phone.
  void waitingForPhone(bool waiting);
  // It has ended, came to `outcome` and gave the interpreter's `exitCode` (nothing when it
  // could not be read: then it claims no failure).
  void ended(const Outcome& outcome, const std::optional<long>& exitCode);
  // What a device list and its phones say, shown while no command runs: no phone, several, or
  // what the one phone said of itself. A list with nothing to tell takes away such a panel shown
  // before, and leaves any other.
  void deviceList(const Outcome& outcome);
  // The user has seen the window: a failure's colour on the taskbar goes.
  void activated();

  // The image of the command whose result the panel shows, and what the panel's button at
  // `index` (0 or 1) runs: what its buttons act on.
  const std::optional<Image>& resultImage() const { return resultImage_; }
  std::optional<CommandKind> buttonCommand(std::size_t index) const;

 private:
  void show(const Outcome& outcome, CommandKind command);
  void setProgress(Progress progress);
  // Looks at Windows' USB devices; what it finds replaces the general words where they show.
  void lookAtUsb();
  void usbSeen(std::optional<UsbAdvice> advice);
  std::string hintText() const;

  class NoFeedback final : public Feedback {
    void setHint(ControlId, std::string_view) override {}
    void setProgress(Progress) override {}
    bool inForeground() override { return true; }
    void flashUntilActive() override {}
    void showResult(ControlId, std::string_view, const ResultButtons&) override {}
    void hideResult() override {}
  } none_;
  Feedback* feedback_ = &none_;
  bool hintShown_ = false;
  Progress progress_ = Progress::none;
  // What the running command is and the image it uses; then the image of the command whose
  // result the panel shows, and whether that panel tells about a device list.
  CommandKind runningKind_ = CommandKind::deviceQuery;
  std::optional<Image> runningImage_;
  std::string runningNote_;
  std::optional<Image> resultImage_;
  std::vector<ResultButton> buttons_;
  bool resultIsDeviceList_ = false;
  // The look at Windows' devices and what it told; whether the panel says no phone was found.
  ports::DeviceTree* deviceTree_ = nullptr;
  std::unique_ptr<ports::DeviceLook> usbLook_;
  std::optional<UsbAdvice> usbAdvice_;
  bool noPhoneShown_ = false;
};

}  // namespace quorlane::window
