#pragma once
// The checks before a command that writes to or starts a phone: a look at the image file, the
// list of phones (known, unchanged since it was taken, naming one phone at most), and a path to
// the image that the client can open. Each check that stops the command has told the user why.
// Re-entrancy: its boxes, the look at the image and the wait for the list all run the window's
// loop; while it waits for the list, waiting() turns a second press away.

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

#include "ports/process.h"
#include "ports/window.h"
#include "runner/MyCMD.h"
#include "window/clock.h"
#include "window/image.h"
#include "window/phone_list.h"

namespace quorlane::window {

class FlashGate {
 public:
  // A press waits at most this long for a list it can act on.
  static constexpr std::chrono::seconds kListWait{3};

  FlashGate(Shell& shell, PhoneList& phones, const MyCMD& runner, ports::EventPump& pump,
            const ClockSource& clock);

  // A press waits for the list.
  bool waiting() const { return waiting_; }
  // Whether the image may be flashed: true for a boot image or when the user says to flash it
  // anyway.
  bool imageApproved(const Image& image);
  // Whether the list of phones lets the command run. While the runner is busy it refuses the
  // command anyway, as it always has; nothing is checked then.
  bool phonesAllow();
  // `prefix` followed by the image's path as the client can open it, quoted for the command
  // interpreter; nothing when there is no such path.
  std::optional<std::string> command(std::string_view prefix, const Image& image);

 private:
  // Waits, at most kListWait, until the list is current; false when it could not be in that
  // time.
  bool waitForCurrentList();

  Shell& shell_;
  PhoneList& phones_;
  const MyCMD& runner_;
  ports::EventPump& pump_;
  const ClockSource& clock_;
  bool waiting_ = false;
};

}  // namespace quorlane::window
