#include "runner/polled_command.h"

#include <utility>

#include "common/scope_exit.h"
#include "runner/MyCMD.h"
#include "runner/output_collector.h"

namespace quorlane {

PolledCommand::PolledCommand(ports::Process& os) : os_(os) {}

PolledCommand::~PolledCommand() {
  end();
}

bool PolledCommand::start(const std::string& command, Clock::time_point now,
                          Clock::duration limit) {
  if (running_) return false;
  const auto pipe = os_.createPipe();
  if (!pipe) return false;
  // The pipe's ends are closed here until the running command owns its read end.
  ScopeExit closeRead([this, &pipe] { os_.close(pipe->readEnd); });
  ScopeExit closeWrite([this, &pipe] { os_.close(pipe->writeEnd); });
  // It only asks the phones: nothing is lost when it ends with this program, however that ends.
  const auto started =
      os_.start(commandLine(os_.environment("ComSpec"), '"' + command + '"'), pipe->writeEnd, true);
  // Only the child holds the write end now: the pipe breaks as soon as the command is over.
  closeWrite.runNow();
  if (!started) return false;
  running_.emplace(Running{pipe->readEnd, *started, now + limit, OutputCollector(os_), nullptr});
  closeRead.release();
  running_->reading = os_.startReading(running_->readEnd, MyCMD::kReadSize, MyCMD::kPauseMs,
                                       [this](std::optional<std::string> bytes) {
                                         if (running_) running_->output.add(std::move(bytes));
                                       });
  if (!running_->reading) {
    // Nothing could ever be read: the command is ended rather than left running unseen.
    end();
    return false;
  }
  return true;
}

std::optional<PolledCommand::Outcome> PolledCommand::poll(Clock::time_point now) {
  if (!running_) return std::nullopt;
  if (running_->output.ended()) return complete();
  if (now < running_->deadline) return std::nullopt;
  end();
  return Outcome{};
}

PolledCommand::Outcome PolledCommand::complete() {
  Outcome outcome;
  outcome.complete = true;
  outcome.collected = running_->output.collected();
  outcome.written = running_->output.written();
  release();
  return outcome;
}

void PolledCommand::end() {
  if (!running_) return;
  os_.endCommand(running_->started);
  release();
}

void PolledCommand::release() {
  // No read arrives any more; then the handles in the order MyCMD closes them: the process, its
  // thread, the read end and last the job.
  running_->reading.reset();
  const Running& r = *running_;
  for (const ports::Handle handle :
       {r.started.process, r.started.thread, r.readEnd, r.started.job}) {
    if (handle != 0) os_.close(handle);
  }
  running_.reset();
}

}  // namespace quorlane
