#include "runner/MyCMD.h"

#include <utility>

#include "common/scope_exit.h"
#include "runner/output_collector.h"

namespace quorlane {

std::string commandLine(const std::optional<std::string>& comSpec,
                        const std::string& quotedCommand) {
  std::string interpreter = comSpec.value_or(std::string());
  if (interpreter.find(' ') != std::string::npos) interpreter = '"' + interpreter + '"';
  return interpreter + " /c " + quotedCommand;
}

MyCMD::MyCMD(ports::Process& os, ports::EventPump& pump) : os_(os), pump_(pump) {}

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
    output = collect(quotedCommand);
  }
  // The runner is free again before its events: a handler may start the next command.
  if (!output) {
    raiseError(kStartFailed, kStartFailedCode);
    return;
  }
  if (执行完毕) 执行完毕(*output, true);
}

std::optional<std::string> MyCMD::collect(const std::string& quotedCommand) {
  auto pipe = os_.createPipe();
  if (!pipe) return std::nullopt;
  // Closes one handle of the current command exactly once: when asked to where the order of
  // closing matters, otherwise when the collection is left.
  auto closing = [this](ports::Handle& handle) {
    return ScopeExit([this, &handle] {
      if (handle != 0) os_.close(std::exchange(handle, 0));
    });
  };
  // Closed in the reverse order of their declaration: the process, its thread, the read end and
  // last the job. Closing the job ends nothing the command left running, unless the command was
  // set to end with the program (while it waited for a phone, see endWithProgram): then its
  // processes end with this last handle.
  ports::Started command{};
  auto job = closing(command.job);
  auto readEnd = closing(pipe->readEnd);
  auto writeEnd = closing(pipe->writeEnd);

  const auto started =
      os_.start(commandLine(os_.environment("ComSpec"), quotedCommand), pipe->writeEnd);
  if (!started) return std::nullopt;
  command = *started;
  auto thread = closing(command.thread);
  auto process = closing(command.process);
  running_ = started;
  endsWithProgram_ = false;
  // Forgets the running command however the run is left, before its handles are closed.
  ScopeExit forget([this] { running_.reset(); });

  // Only the child holds the write end now: the pipe breaks as soon as the command (and anything
  // it started that shares the handle) has finished.
  writeEnd.runNow();

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
    auto reading = os_.startReading(pipe->readEnd, kReadSize, kPauseMs, deliver);
    if (!reading) {
      // Nothing could ever be read: the command is ended rather than left running unseen.
      os_.endCommand(command);
      return std::nullopt;
    }
    while (!output.ended()) pump_.waitEvents();
  }
  exitCode_ = os_.exitCode(command.process, kExitCodeWaitMs);
  return output.collected();
}

}  // namespace quorlane
