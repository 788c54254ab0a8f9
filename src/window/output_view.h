#pragma once
// The live view of a running command's output in the output box: its pieces are shown as they
// arrive, gathered for a while when appending them is slow, and replaced at the command's end by
// the text the runner collected. It also keeps the output as the client wrote it, without the
// line breaks the runner adds between reads, for what is read from it.
// Re-entrancy: a built-in button may empty the box while a command runs; clear() notes that the
// box then no longer begins with the command's preview.

#include <chrono>
#include <cstddef>
#include <string>

#include "ports/window.h"
#include "window/clock.h"

namespace quorlane::window {

class OutputView {
 public:
  // Live output is shown at most this often, and waits at least this many times as long as its
  // last append took.
  static constexpr std::chrono::milliseconds kMinShowInterval{50};
  static constexpr int kShowCostFactor = 20;

  OutputView(Controls& controls, const ClockSource& clock);

  // A command starts: what the last one wrote is forgotten.
  void begin();
  // A piece of the running command's output, as the runner decoded it.
  void add(const std::string& chunk);
  // Shows what was gathered once its time has come, also when the command has fallen silent.
  void tick();
  // The command has ended with `collected`: the box now holds what it held before the command's
  // preview, followed by all of it.
  void end(const std::string& collected);
  // Empties the box; `commandRuns` when a command's preview is being shown there.
  void clear(bool commandRuns);
  // The running command's output as the client wrote it (the last command's once it has ended).
  const std::string& written() const { return written_; }

 private:
  void showPending();

  Controls& controls_;
  const ClockSource& clock_;
  // What waits to be shown, how much of the command's output the box shows at its end, and
  // whether that is the start of what the runner collects (the box was not emptied since).
  std::string pendingText_;
  std::size_t shownLength_ = 0;
  bool shownIsPrefix_ = true;
  Clock::time_point lastShown_{};
  Clock::duration showInterval_ = kMinShowInterval;
  std::string written_;
};

}  // namespace quorlane::window
