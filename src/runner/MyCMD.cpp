#include "runner/MyCMD.h"

#include <utility>

#include "common/scope_exit.h"
#include "runner/output_collector.h"

namespace quorlane {

MyCMD::MyCMD(ports::Process& os, ports::EventPump& pump) : os_(os), pump_(pump) {}

MyCMD::~MyCMD() {
  dropAhead();
}

void MyCMD::startAhead(const std::string& sCommand) {
  if (busy_) return;
  dropAhead();
  if (sCommand.empty()) return;
  const std::string quoted = '"' + sCommand + '"';
  ahead_ = StartedCommand::start(os_, quoted, startEnding_);
  if (ahead_) aheadCommand_ = quoted;
}

void MyCMD::dropAhead() {
  if (!ahead_) return;
  ahead_->end();
  ahead_.reset();
  aheadCommand_.clear();
}

void MyCMD::raiseError(std::string_view text, std::int32_t code) {
  std::string message(text);
  std::int32_t lastDllError = code;
  if (Error) Error(message, lastDllError);
}

void MyCMD::执行命令(std::string sCommand) {
  if (sCommand.empty()) {
    raiseError(kEmptyCommand, kEmptyCommandCode);
    return;
  }
  if (busy_) {
    raiseError(kBusy, kBusyCode);
    return;
  }
  run('"' + sCommand + '"');
}

void MyCMD::endCommand() {
  if (running_) os_.endCommand(*running_);
}

void MyCMD::endWithProgram(bool end) {
  if (!running_ || end == endsWithProgram_) return;
  endsWithProgram_ = end;
  os_.setEndWithProgram(*running_, end);
}

void MyCMD::run(const std::string& quotedCommand) {
  exitCode_.reset();
  std::optional<std::string> output;
  {
    busy_ = true;
    // Clears the busy flag however the run is left, also when a handler inside the pump throws.
    ScopeExit notBusy([this] { busy_ = false; });
    // The command started ahead when it is this one, otherwise one started now.
    const bool takenOver = ahead_ && aheadCommand_ == quotedCommand;
    if (!takenOver) dropAhead();
    std::optional<StartedCommand> launched =
        takenOver ? std::nullopt : StartedCommand::start(os_, quotedCommand, startEnding_);
    std::optional<StartedCommand>& command = takenOver ? ahead_ : launched;
    // Its handles are closed however the run is left.
    ScopeExit close([this, &command] {
      command.reset();
      aheadCommand_.clear();
    });
    if (command) output = collect(*command);
  }
  // The runner is free again before its events: a handler may start the next command.
  if (!output) {
    raiseError(kStartFailed, kStartFailedCode);
    return;
  }
  if (执行完毕) 执行完毕(*output, true);
}

std::optional<std::string> MyCMD::collect(const StartedCommand& command) {
  running_ = command.processes();
  endsWithProgram_ = command.endsWithProgram();
  // Forgets the running command however the run is left, before its handles are closed.
  ScopeExit forget([this] { running_.reset(); });

  // The pipe is read apart from the window, and every read arrives through the window's
  // messages: a message box or a dialog opened meanwhile runs its own loop, which delivers the
  // reads all the same, so the command is never held up by a full pipe.
  OutputCollector output(os_);
  const auto deliver = [this, &output](std::optional<std::string> read) {
    const auto text = output.add(std::move(read));
    if (text && 收到输出) 收到输出(*text);
  };
  {
    // Stopped before any handle of the command is closed, however the collection is left.
    auto reading = os_.startReading(command.readEnd(), kReadSize, kPauseMs, deliver);
    if (!reading) {
      // Nothing could ever be read: the command is ended rather than left running unseen.
      command.end();
      return std::nullopt;
    }
    while (!output.ended()) pump_.waitEvents();
  }
  exitCode_ = os_.exitCode(command.processes().process, kExitCodeWaitMs);
  return output.collected();
}

}  // namespace quorlane
