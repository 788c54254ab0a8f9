#pragma once
// A command line started through the command interpreter with its standard output and standard
// error on a pipe, the way MyCMD and PolledCommand start their commands, and the one owner of
// what the start gave: the process, its thread, the read end of the pipe and the job. They are
// closed when it goes, in that order. Closing the job ends nothing the command left running,
// unless the command was set to end with the program: then its processes end with that last
// handle.

#include <optional>
#include <string>

#include "ports/process.h"

namespace quorlane {

// The command line handed to the platform: ComSpec (quoted when it holds a blank), " /c ", and
// the already quoted command.
std::string commandLine(const std::optional<std::string>& comSpec,
                        const std::string& quotedCommand);

class StartedCommand {
 public:
  // Starts `quotedCommand` (already in its quotes) through ComSpec, set to end with the program
  // from the start when `endWithProgram`. Only the child keeps the pipe's write end, so the pipe
  // breaks as soon as the command, and all it started that shares the handle, has finished.
  // Nothing when the pipe or the process could not be made; nothing is left open then.
  static std::optional<StartedCommand> start(ports::Process& os, const std::string& quotedCommand,
                                             bool endWithProgram);

  StartedCommand(StartedCommand&& other) noexcept;
  // Closes what it held before it takes the other's.
  StartedCommand& operator=(StartedCommand&& other) noexcept;
  StartedCommand(const StartedCommand&) = delete;
  StartedCommand& operator=(const StartedCommand&) = delete;
  ~StartedCommand();

  ports::Handle readEnd() const { return readEnd_; }
  const ports::Started& processes() const { return started_; }
  // Whether it was started set to end with the program.
  bool endsWithProgram() const { return endsWithProgram_; }
  // Ends the command with everything it started; its handles stay open until it goes.
  void end() const { os_->endCommand(started_); }

 private:
  StartedCommand(ports::Process& os, ports::Handle readEnd, const ports::Started& started,
                 bool endsWithProgram)
      : os_(&os), readEnd_(readEnd), started_(started), endsWithProgram_(endsWithProgram) {}

  ports::Process* os_;
  ports::Handle readEnd_;
  ports::Started started_;
  bool endsWithProgram_;
};

}  // namespace quorlane
