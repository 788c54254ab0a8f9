#include "runner/polled_command.h"

#include <utility>

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
  // It only asks the phones: nothing is lost when it ends with this program, however that ends.
  auto started = StartedCommand::start(os_, '"' + command + '"', true);
  if (!started) return false;
  running_.emplace(Running{std::move(*started), now + limit, OutputCollector(os_), nullptr});
  running_->reading = os_.startReading(running_->command.readEnd(), MyCMD::kReadSize,
                                       MyCMD::kPauseMs, [this](std::optional<std::string> bytes) {
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
  running_->command.end();
  release();
}

void PolledCommand::release() {
  // No read arrives any more; then the command's handles are closed.
  running_->reading.reset();
  running_.reset();
}

}  // namespace quorlane
