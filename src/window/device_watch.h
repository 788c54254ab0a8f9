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
  // Counts the devices that came or went: a list belongs to the count at which its query began.
  using Generation = unsigned long long;
  // Changes come in bursts while a phone connects; the list is asked for this long after the
  // last one.
  static constexpr std::chrono::milliseconds kSettle{1000};
  // A query that has not answered by then is ended with everything it started.
  static constexpr std::chrono::seconds kQueryLimit{5};

  // What a finished query found.
  struct Refresh {
    // The phones listed; nothing when the query gave no answer (it could not be started, or was
    // ended at its limit). An unanswered query leaves the list before it as it was.
    std::optional<std::vector<std::string>> phones;
    // The output as the output box shows a command's output (set with phones).
    std::string shown;
  };

  explicit DeviceWatch(ports::Process& os);

  // A device came or went.
  void changed(Clock::time_point now);
  // The list is to be asked for as soon as no query runs, without waiting for changes to settle.
  void askNow(Clock::time_point now);
  // Moves on: starts the query when it is due and no command runs, reads what it wrote, ends it
  // at its limit. Returns what it found once it is over.
  std::optional<Refresh> advance(Clock::time_point now, bool commandRuns);
  // A query is due or running: the list may be about to change.
  bool pending() const { return dueAt_.has_value() || query_.running(); }
  // Ends a running query with everything it started.
  void end() { query_.end(); }

  Generation generation() const { return generation_; }
  // A list taken by a query that ran elsewhere and began at `since`, or nothing when it gave no
  // answer.
  void taken(std::optional<std::vector<std::string>> phones, Generation since);
  // The latest list answered; nothing before the first answer.
  const std::optional<std::vector<std::string>>& phones() const { return phones_; }
  // Whether that list is known and no device has come or gone since its query began: only such
  // a list tells which phone a command would reach.
  bool current() const { return phones_.has_value() && phonesSince_ == generation_; }

 private:
  PolledCommand query_;
  std::optional<Clock::time_point> dueAt_;
  Generation generation_ = 0;
  Generation querySince_ = 0;  // the running query's
  std::optional<std::vector<std::string>> phones_;
  Generation phonesSince_ = 0;
};

}  // namespace quorlane::window
