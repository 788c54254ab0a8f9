#include "window/flash_gate.h"

#include <utility>

#include "common/scope_exit.h"
#include "common/texts.h"
#include "window/command_text.h"
#include "window/flash_safety.h"

namespace quorlane::window {

using texts::concat;

FlashGate::FlashGate(Shell& shell, PhoneList& phones, const MyCMD& runner, ports::EventPump& pump,
                     const ClockSource& clock)
    : shell_(shell), phones_(phones), runner_(runner), pump_(pump), clock_(clock) {}

bool FlashGate::imageApproved(const Image& image) {
  // The file the tool would open: the path without the quotes a user may have pasted with it.
  const std::string file = unquotePath(image.path);
  ImageVerdict verdict;
  if (file.empty()) {
    verdict = noImageChosen();
  } else {
    // A built-in image lies in RE beside the program, the current directory of every command;
    // the message names it in full.
    const std::string shown = image.builtInName ? shell_.applicationPath() + "\\" + file : file;
    // A device is never opened: a read of it could block or take what is not an image.
    const FileStart found =
        namesDevice(file) ? FileStart{FileStart::State::device, "", ""}
                          : shell_.readFileStart(file, kImageCheckBytes, kImageCheckTimeoutMs);
    verdict = judgeImage(found, shown, image.builtInName);
  }
  switch (verdict.action) {
    case ImageVerdict::Action::flash:
      return true;
    case ImageVerdict::Action::ask:
      return shell_.messageBox(verdict.prompt, verdict.style, verdict.title) == Answer::yes;
    case ImageVerdict::Action::stop:
      shell_.messageBox(verdict.prompt, verdict.style, verdict.title);
      return false;
  }
  return false;
}

FlashGate::Clearance FlashGate::phonesAllow(Press press) {
  using Go = Clearance::Go;
  if (runner_.busy()) return {Go::asPressed, {}};
  const auto deadline = clock_() + kListWait;
  if (!listAllows(deadline)) return {};
  // What the phone says of itself was asked for when the list was taken. Not answered within the
  // same time, it decides nothing.
  const auto asked = waitUntil(deadline, false, [this] { return !phones_.factsPending(); });
  if (asked == Wait::held || !phones_.current()) return listUnknown();
  // A client still asking would hold the phone the command is to reach.
  phones_.stopAskingFacts();
  const PressVerdict verdict = judgePress(press, phones_.targetFacts());
  switch (verdict.action) {
    case PressVerdict::Action::send:
      return {Go::asPressed, verdict.note};
    case PressVerdict::Action::sendOnYes:
      return shell_.messageBox(verdict.prompt, verdict.style, verdict.title) == Answer::yes
                 ? Clearance{Go::asPressed, {}}
                 : Clearance{};
    case PressVerdict::Action::bootOnYes:
      return shell_.messageBox(verdict.prompt, verdict.style, verdict.title) == Answer::yes
                 ? Clearance{Go::fromMemory, {}}
                 : Clearance{};
    case PressVerdict::Action::stop:
      shell_.messageBox(verdict.prompt, verdict.style, verdict.title);
      return {};
  }
  return {};
}

bool FlashGate::listAllows() {
  return runner_.busy() || listAllows(clock_() + kListWait);
}

bool FlashGate::listAllows(Clock::time_point deadline) {
  // With several phones listed nothing could run: rather than trust that list, it is asked for
  // again, as one of them may have gone without the system saying so.
  if (phones_.current() && phones_.phones()->size() > 1) phones_.askNow();
  // Nothing changed since the last list was taken: nothing to wait for, nothing is asked. Else
  // the list is asked for at once, again after every change, while the window stays responsive
  // (its timer moves the query on as well). Past the deadline nothing counts any more: never the
  // list before a burst of changes or an unanswered query.
  const auto listed =
      waitUntil(deadline, true, [this] { return phones_.current() && !phones_.pending(); });
  if (listed != Wait::done) {
    listUnknown();
    return false;
  }
  if (phones_.phones()->size() < 2) return true;
  std::string prompt(texts::kSeveralPhonesBefore);
  for (const auto& serial : *phones_.phones()) prompt += serial + "\r\n";
  prompt += texts::kSeveralPhonesAfter;
  shell_.messageBox(prompt, MessageStyle::warning, texts::kSeveralPhonesTitle);
  return false;
}

template <typename Done>
FlashGate::Wait FlashGate::waitUntil(Clock::time_point deadline, bool askForList, Done done) {
  waiting_ = true;
  ScopeExit notWaiting([this] { waiting_ = false; });
  for (;;) {
    if (askForList && !phones_.current()) phones_.askNow();
    phones_.tick();
    const auto late = clock_() - deadline;
    if (late > kHeld) return Wait::held;
    if (late > Clock::duration::zero()) return Wait::timedOut;
    if (done()) return Wait::done;
    pump_.waitEvents();
  }
}

FlashGate::Clearance FlashGate::listUnknown() {
  shell_.messageBox(texts::kListUnknown, MessageStyle::warning, texts::kListUnknownTitle);
  return {};
}

std::optional<std::string> FlashGate::command(std::string_view prefix, const Image& image) {
  // The client takes its arguments in the ANSI code page, so a character that code page lacks
  // would reach it as '?' and the file could never be opened; and it opens files without
  // long-path support. Its short name is used instead; without one the user is asked to move the
  // file rather than shown a failure to open it.
  const std::string path = unquotePath(image.path);
  ClientPath usable = shell_.pathForAnsiProgram(path);
  switch (usable.problem) {
    case ClientPath::Problem::none:
      return std::string(prefix) + quoteImagePath(std::move(usable.path));
    case ClientPath::Problem::characters:
      shell_.messageBox(concat(texts::kPathNotUsableBefore, path, texts::kPathNotUsableAfter),
                        MessageStyle::critical, texts::kErrorTitle);
      break;
    case ClientPath::Problem::tooLong:
      shell_.messageBox(concat(texts::kPathNotUsableBefore, path, texts::kPathTooLongAfter),
                        MessageStyle::critical, texts::kErrorTitle);
      break;
  }
  return std::nullopt;
}

}  // namespace quorlane::window
