#pragma once
// The phones in fastboot mode, kept current: when a device comes or goes the list is asked for
// again, once the changes have settled and no command runs, by a query that runs beside the
// window's commands and is never waited for by anything but a flash about to start.

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ports/process.h"
#include "runner/polled_command.h"

namespace quorlane::window {

// The phones a `fastboot devices` output lists, in its order: one line each, the serial, a tab
// and the word fastboot (newer clients put a blank before the word; a phone without a serial
// shows as ????????????). Other lines are not phones.
std::vector<std::string> listedPhones(std::string_view output);

class DeviceWatch {
 public:
  using Clock = std::chrono::steady_clock;
  // Changes come in bursts while a phone connects; the list is asked for this long after the
  // last one.
  static constexpr std::chrono::milliseconds kSettle{1000};
  // A query that has not answered by then is ended with everything it started.
  static constexpr std::chrono::seconds kQueryLimit{5};

  // What a finished query found.
  struct Refresh {
    // The phones listed; nothing when the query gave no answer (it could not be started, or was
    // ended at its limit).
    std::optional<std::vector<std::string>> phones;
    // The output as the output box shows a command's output (set with phones).
    std::string shown;
    // Whether a device came or went since the list before this one was asked for. Without a
    // change, an unanswered query says nothing new: the list before still holds.
    bool afterChange = false;
  };

  explicit DeviceWatch(ports::Process& os);

  // A device came or went.
  void changed(Clock::time_point now);
  // The list is to be asked for as soon as no command runs, unless a query is due or running.
  void askNow(Clock::time_point now);
  // Moves on: starts the query when it is due and no command runs, reads what it wrote, ends it
  // at its limit. Returns what it found once it is over.
  std::optional<Refresh> advance(Clock::time_point now, bool commandRuns);
  // A query is due or running: the list may be about to change.
  bool pending() const { return dueAt_.has_value() || query_.running(); }
  // Ends a running query with everything it started.
  void end() { query_.end(); }

 private:
  PolledCommand query_;
  std::optional<Clock::time_point> dueAt_;
  bool changeSeen_ = false;        // since the last query started
  bool queryAfterChange_ = false;  // the running query was asked for by a change
};

}  // namespace quorlane::window
