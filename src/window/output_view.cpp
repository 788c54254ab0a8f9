#include "window/output_view.h"

#include <algorithm>

namespace quorlane::window {

OutputView::OutputView(Controls& controls, const ClockSource& clock)
    : controls_(controls), clock_(clock) {}

void OutputView::begin() {
  written_.clear();
}

void OutputView::add(const std::string& chunk) {
  // A preview of the running command's output; the complete text replaces it at the end.
  pendingText_ += chunk;
  pendingText_ += "\r\n";
  written_ += chunk;
  if (clock_() - lastShown_ >= showInterval_) showPending();
}

void OutputView::tick() {
  if (!pendingText_.empty() && clock_() - lastShown_ >= showInterval_) showPending();
}

void OutputView::showPending() {
  if (pendingText_.empty()) return;
  // Appending to a long text can cost time in proportion to its length. Pieces are therefore
  // gathered for a while when the last append was slow, so that showing the output never takes
  // more than a small share of a command's time.
  const auto start = clock_();
  controls_.appendText(ControlId::CMDTeXT, pendingText_);
  lastShown_ = clock_();
  showInterval_ =
      std::max<Clock::duration>(kMinShowInterval, (lastShown_ - start) * kShowCostFactor);
  shownLength_ += pendingText_.size();
  pendingText_.clear();
}

void OutputView::end(const std::string& collected) {
  // Usually the preview is the start of the collected text and only the rest is added.
  if (shownIsPrefix_) {
    controls_.appendText(ControlId::CMDTeXT, collected.substr(shownLength_));
  } else {
    std::string box = controls_.text(ControlId::CMDTeXT);
    box.resize(box.size() >= shownLength_ ? box.size() - shownLength_ : 0);
    controls_.setText(ControlId::CMDTeXT, box + collected);
  }
  pendingText_.clear();
  shownLength_ = 0;
  shownIsPrefix_ = true;
}

void OutputView::clear(bool commandRuns) {
  controls_.setText(ControlId::CMDTeXT, "");
  // What a running command shows from now on is no longer the start of its collected text.
  shownLength_ = 0;
  shownIsPrefix_ = !commandRuns;
}

}  // namespace quorlane::window
