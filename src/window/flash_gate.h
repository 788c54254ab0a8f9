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
#include "window/phone_facts.h"
#include "window/phone_list.h"

namespace quorlane::window {

class FlashGate {
 public:
  // A press waits at most this long for a list it can act on and for what its phone says of
  // itself. A wait that ends more than kHeld past that was held by a box or the file dialog: the
  // press is then too old to act on.
  static constexpr std::chrono::seconds kListWait{3};
  static constexpr std::chrono::seconds kHeld{1};

  FlashGate(Shell& shell, PhoneList& phones, const MyCMD& runner, ports::EventPump& pump,
            const ClockSource& clock);

  // A press waits for the list.
  bool waiting() const { return waiting_; }
  // Whether the image may be flashed: true for a boot image or when the user says to flash it
  // anyway.
  bool imageApproved(const Image& image);
  // Whether the command may reach the phone, and how: the list of phones must be known, unchanged
  // since it was taken and name at most one phone; then what the phone said of itself may stop
  // the command, or turn a flash into a start from memory. While the runner is busy it refuses
  // the command anyway, as it always has; nothing is checked then.
  struct Clearance {
    enum class Go {
      no,          // nothing runs; the user has been told why
      asPressed,   // the command runs as pressed
      fromMemory,  // the image is started once from memory instead of flashed
    };
    Go go = Go::no;
    // For the result panel after a flash: what the phone's answers add (the slot written).
    std::string note;
  };
  Clearance phonesAllow(Press press);
  // The list rule alone, for a command that asks nothing of the image (a restart): whether the
  // list is known, unchanged and names one phone at most.
  bool listAllows();
  // `prefix` followed by the image's path as the client can open it, quoted for the command
  // interpreter; nothing when there is no such path.
  std::optional<std::string> command(std::string_view prefix, const Image& image);

 private:
  enum class Wait { done, timedOut, held };
  // Moves the list on and services the window until `done` holds or the deadline has passed;
  // with `askForList`, the list is asked for whenever it is not current.
  template <typename Done>
  Wait waitUntil(Clock::time_point deadline, bool askForList, Done done);
  bool listAllows(Clock::time_point deadline);
  // Tells that nothing ran as the list of phones could not be known.
  Clearance listUnknown();

  Shell& shell_;
  PhoneList& phones_;
  const MyCMD& runner_;
  ports::EventPump& pump_;
  const ClockSource& clock_;
  bool waiting_ = false;
};

}  // namespace quorlane::window
