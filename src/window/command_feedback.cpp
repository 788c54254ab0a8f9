#include "window/command_feedback.h"

#include <utility>

#include "common/texts.h"

namespace quorlane::window {

void CommandFeedback::started(CommandKind kind, std::optional<Image> image, std::string note) {
  runningKind_ = kind;
  runningImage_ = std::move(image);
  runningNote_ = std::move(note);
  feedback_->hideResult();
  resultIsDeviceList_ = false;
  setProgress(Progress::running);
}

void CommandFeedback::notStarted() {
  setProgress(Progress::none);
}

void CommandFeedback::waitingForPhone(bool waiting) {
  if (waiting == hintShown_) return;
  hintShown_ = waiting;
  feedback_->setHint(ControlId::CMDTeXT, waiting ? texts::kPhoneWaitHint : std::string_view());
}

void CommandFeedback::ended(const Outcome& outcome, const std::optional<long>& exitCode) {
  waitingForPhone(false);
  // Failed: the interpreter said so with its exit code.
  setProgress(exitCode && *exitCode != 0 ? Progress::failed : Progress::none);
  // What it came to, in words, once the box shows all of it.
  resultImage_ = runningImage_;
  Outcome told = outcome;
  if (told.kind == Outcome::Kind::flashed) told.detail = runningNote_;
  show(told, runningKind_);
  if (!feedback_->inForeground()) feedback_->flashUntilActive();
}

void CommandFeedback::deviceList(const Outcome& outcome) {
  // A list with nothing to tell says nothing, but the panel about an earlier list is out of date.
  if (outcome.kind == Outcome::Kind::none && !resultIsDeviceList_) return;
  show(outcome, CommandKind::deviceQuery);
}

void CommandFeedback::activated() {
  if (progress_ == Progress::failed) setProgress(Progress::none);
}

void CommandFeedback::show(const Outcome& outcome, CommandKind command) {
  const auto panel = resultPanel(outcome, command);
  resultIsDeviceList_ = panel && command == CommandKind::deviceQuery;
  if (panel) {
    feedback_->showResult(ControlId::CMDTeXT, panel->text, panel->button);
  } else {
    feedback_->hideResult();
  }
}

void CommandFeedback::setProgress(Progress progress) {
  progress_ = progress;
  feedback_->setProgress(progress_);
}

}  // namespace quorlane::window
