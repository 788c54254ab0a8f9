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
  noPhoneShown_ = false;
  setProgress(Progress::running);
}

void CommandFeedback::notStarted() {
  setProgress(Progress::none);
}

void CommandFeedback::waitingForPhone(bool waiting) {
  if (waiting == hintShown_) return;
  hintShown_ = waiting;
  if (waiting) usbAdvice_.reset();
  feedback_->setHint(ControlId::CMDTeXT, waiting ? hintText() : std::string());
  if (waiting) lookAtUsb();
}

std::string CommandFeedback::hintText() const {
  return texts::concat(texts::kPhoneWaitHintFirst,
                       usbAdvice_ ? std::string_view(usbAdvice_->hint) : texts::kPhoneWaitHintCheck,
                       texts::kPhoneWaitHintLast);
}

void CommandFeedback::devicesChanged() {
  if (hintShown_ || noPhoneShown_) lookAtUsb();
}

void CommandFeedback::lookAtUsb() {
  if (deviceTree_ == nullptr) return;
  // A newer look replaces one still under way, whose answer is older.
  usbLook_ = deviceTree_->lookAtUsb([this](std::optional<std::vector<ports::UsbDevice>> devices) {
    usbLook_.reset();
    usbSeen(devices ? usbAdvice(diagnoseUsb(*devices)) : std::nullopt);
  });
}

void CommandFeedback::usbSeen(std::optional<UsbAdvice> advice) {
  usbAdvice_ = std::move(advice);
  if (hintShown_) feedback_->setHint(ControlId::CMDTeXT, hintText());
  if (noPhoneShown_) {
    feedback_->showResult(ControlId::CMDTeXT,
                          usbAdvice_ ? std::string_view(usbAdvice_->panel) : texts::kResultNoPhone,
                          {});
  }
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

std::optional<CommandKind> CommandFeedback::buttonCommand(std::size_t index) const {
  if (index >= buttons_.size()) return std::nullopt;
  return buttons_[index].command;
}

void CommandFeedback::show(const Outcome& outcome, CommandKind command) {
  auto panel = resultPanel(outcome, command);
  resultIsDeviceList_ = panel && command == CommandKind::deviceQuery;
  buttons_.clear();
  if (panel) {
    feedback_->showResult(ControlId::CMDTeXT, panel->text, panel->captions());
    buttons_ = std::move(panel->buttons);
  } else {
    feedback_->hideResult();
  }
  // No phone listed: Windows may know why; the general words show until it has been asked.
  noPhoneShown_ = outcome.kind == Outcome::Kind::noPhone;
  if (noPhoneShown_) {
    usbAdvice_.reset();
    lookAtUsb();
  }
}

void CommandFeedback::setProgress(Progress progress) {
  progress_ = progress;
  feedback_->setProgress(progress_);
}

}  // namespace quorlane::window
