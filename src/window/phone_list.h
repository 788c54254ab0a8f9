#pragma once
// The phones in fastboot mode, kept current, and what each said of itself. When a device comes or
// goes, the list is asked for again once the changes have settled and no command runs, by a query
// that runs beside the window's commands and is never waited for by anything but a press about to
// run a command. Each list taken is followed by one client run per phone that asks its bootloader
// for its variables, one client at a time (two would contend for a phone). While the output box
// shows a list and nothing else, a newer list replaces it there, and a result panel about the
// list and its phones follows it.
// Re-entrancy: it moves on at timer ticks, which come inside boxes and inside the gate's wait for
// it too; whoever needs the list reads it afresh after such a wait.

#include <chrono>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ports/process.h"
#include "ports/window.h"
#include "runner/MyCMD.h"
#include "runner/polled_command.h"
#include "window/clock.h"
#include "window/command_feedback.h"
#include "window/outcome.h"
#include "window/phone_facts.h"

namespace quorlane::window {

class PhoneList {
 public:
  // Counts the devices that came or went: a list belongs to the count at which its query began.
  using Generation = unsigned long long;
  // Changes come in bursts while a phone connects; the list is asked for this long after the
  // last one.
  static constexpr std::chrono::milliseconds kSettle{1000};
  // A query that has not answered by then is ended with everything it started.
  static constexpr std::chrono::seconds kQueryLimit{5};

  PhoneList(ports::Process& os, const MyCMD& runner, Controls& controls, CommandFeedback& feedback,
            const ClockSource& clock);

  // A device came or went.
  void changed();
  // Moves on: starts the query when it is due and no command runs, takes what it found once it
  // is over, ends it at its limit.
  void tick();
  // The list is to be asked for as soon as no query runs, without waiting for changes to settle.
  void askNow();
  // A query is due or running: the list may be about to change.
  bool pending() const { return dueAt_.has_value() || query_.running(); }
  // The latest list answered; nothing before the first answer.
  const std::optional<std::vector<std::string>>& phones() const { return phones_; }
  // Whether that list is known and no device has come or gone since its query began: only such
  // a list tells which phone a command would reach.
  bool current() const { return phones_.has_value() && phonesSince_ == generation_; }
  // Ends a running query with everything it started.
  void end() {
    query_.end();
    factsQuery_.end();
  }

  // The phone a command would reach: the one the environment names (ANDROID_SERIAL, how a phone
  // on the network is reached), else the one phone of a current list; nothing otherwise.
  std::optional<std::string> target() const;
  // Whether that phone is still being asked for its variables (or is about to be).
  bool factsPending() const;
  // What it said of itself; nothing when it was not asked or did not answer.
  std::optional<PhoneFacts> targetFacts() const;
  // Gives up asking: a command is about to reach the phone, which a client still asking would
  // hold.
  void stopAskingFacts();

  // The start-up's query, which the window's runner runs: it begins now; it runs (and is due to
  // end at the query's limit after it began); it is overdue (true once, when its time is up: then
  // it is ended and counts as unanswered); it has ended, having written `written`, and the box
  // shows its output and nothing else.
  void startupQueryBegins();
  void startupQueryRuns();
  bool startupQueryOverdue();
  void startupQueryEnded(const std::string& written);
  bool startupQueryUnanswered() const { return startupUnanswered_; }

 private:
  void taken(std::vector<std::string> phones, Generation since);
  // The box now shows the device list `text` and nothing else, as the box holds it, so that a
  // later look can tell whether anything has been added.
  void shown(const std::string& text) { listShown_ = text; }
  // A query has answered with the latest list; the box would show its output as `shownText`.
  void refreshed(const std::string& shownText);
  // The phone named by the environment, when one is.
  std::optional<std::string> environmentPhone() const;
  // Asks the phones the latest list reaches for their variables, one after another, forgetting
  // what they said before.
  void askFacts();
  // Moves the asking on.
  void tickFacts(Clock::time_point now);
  // Whether the output box shows the latest list and nothing else, no command running.
  bool boxShowsList();
  // What the result panel says of the latest list and its phones.
  Outcome listOutcome() const;

  ports::Process& os_;
  const MyCMD& runner_;
  Controls& controls_;
  CommandFeedback& feedback_;
  const ClockSource& clock_;
  PolledCommand query_;
  std::optional<Clock::time_point> dueAt_;
  Generation generation_ = 0;
  Generation querySince_ = 0;  // the running query's
  std::optional<std::vector<std::string>> phones_;
  Generation phonesSince_ = 0;
  std::optional<std::string> listShown_;
  // What each phone said of itself, the phones still to ask, the one being asked and its query.
  std::map<std::string, PhoneFacts> facts_;
  std::deque<std::string> toAsk_;
  std::string asking_;
  PolledCommand factsQuery_;
  // The start-up's query: when it began, the changes seen by then, when it is ended unless it
  // has answered, and whether it was.
  Clock::time_point startupBegan_{};
  Generation startupSince_ = 0;
  std::optional<Clock::time_point> startupDeadline_;
  bool startupUnanswered_ = false;
};

}  // namespace quorlane::window
