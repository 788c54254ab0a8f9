#pragma once
// A command run through the command interpreter beside the window's own commands, never waited
// for: started, its output read apart from the window and handed over by the window's messages,
// looked at now and then (on the window's timer ticks), and ended together with everything it
// started once it has run longer than its limit. Its output is collected the way MyCMD collects
// it, so the two give the same text for the same output.

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ports/process.h"
#include "runner/output_collector.h"
#include "runner/started_command.h"

namespace quorlane {

class PolledCommand {
 public:
  using Clock = std::chrono::steady_clock;

  // How the command ended.
  struct Outcome {
    // True when the command ended by itself; false when it could not be started or was ended
    // at its limit. Only a complete command's texts below are set.
    bool complete = false;
    // As MyCMD collects it: every read followed by CR LF, then one more CR LF.
    std::string collected;
    // As the command wrote it: the reads joined without anything between them.
    std::string written;
  };

  explicit PolledCommand(ports::Process& os);
  PolledCommand(const PolledCommand&) = delete;
  PolledCommand& operator=(const PolledCommand&) = delete;
  // A command still running is ended with everything it started.
  ~PolledCommand();

  // Starts `command` (quoted and run through ComSpec as MyCMD runs it), to be ended once `limit`
  // has passed after `now`. False when one is still running or it could not be started.
  bool start(const std::string& command, Clock::time_point now, Clock::duration limit);
  bool running() const { return running_.has_value(); }
  // The outcome once the command is over: its pipe broke (every read has arrived), or its time
  // ran out and it has been ended. Nothing while it runs.
  std::optional<Outcome> poll(Clock::time_point now);
  // Ends a running command with everything it started; nothing when none runs.
  void end();

 private:
  struct Running {
    StartedCommand command;
    Clock::time_point deadline;
    OutputCollector output;  // what has arrived, and whether the pipe has broken
    // Stopped before the command's handles are closed (members go in reverse order).
    std::unique_ptr<ports::OutputReading> reading;
  };
  // Closes every handle of the running command and forgets it.
  void release();
  Outcome complete();

  ports::Process& os_;
  std::optional<Running> running_;
};

}  // namespace quorlane
