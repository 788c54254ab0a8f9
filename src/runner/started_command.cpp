#include "runner/started_command.h"

#include <utility>

#include "common/scope_exit.h"

namespace quorlane {

std::string commandLine(const std::optional<std::string>& comSpec,
                        const std::string& quotedCommand) {
  std::string interpreter = comSpec.value_or(std::string());
  if (interpreter.find(' ') != std::string::npos) interpreter = '"' + interpreter + '"';
  return interpreter + " /c " + quotedCommand;
}

std::optional<StartedCommand> StartedCommand::start(ports::Process& os,
                                                    const std::string& quotedCommand,
                                                    bool endWithProgram) {
  const auto pipe = os.createPipe();
  if (!pipe) return std::nullopt;
  // The read end is the command's once it has started; the write end is the child's alone.
  ScopeExit closeRead([&os, &pipe] { os.close(pipe->readEnd); });
  std::optional<ports::Started> started;
  {
    ScopeExit closeWrite([&os, &pipe] { os.close(pipe->writeEnd); });
    started = os.start(commandLine(os.environment("ComSpec"), quotedCommand), pipe->writeEnd,
                       endWithProgram);
  }
  if (!started) return std::nullopt;
  closeRead.release();
  return StartedCommand(os, pipe->readEnd, *started, endWithProgram);
}

StartedCommand::StartedCommand(StartedCommand&& other) noexcept
    : os_(other.os_),
      readEnd_(std::exchange(other.readEnd_, 0)),
      started_(std::exchange(other.started_, ports::Started{})),
      endsWithProgram_(other.endsWithProgram_) {}

StartedCommand& StartedCommand::operator=(StartedCommand&& other) noexcept {
  if (this != &other) {
    const StartedCommand gone(std::move(*this));
    os_ = other.os_;
    readEnd_ = std::exchange(other.readEnd_, 0);
    started_ = std::exchange(other.started_, ports::Started{});
    endsWithProgram_ = other.endsWithProgram_;
  }
  return *this;
}

StartedCommand::~StartedCommand() {
  // A handle the start did not give (a job the system refused) is 0; one moved away too.
  for (const ports::Handle handle : {started_.process, started_.thread, readEnd_, started_.job}) {
    if (handle != 0) os_->close(handle);
  }
}

}  // namespace quorlane
