#include "window/phone_list.h"

#include <utility>

#include "common/texts.h"

namespace quorlane::window {

PhoneList::PhoneList(ports::Process& os, const MyCMD& runner, Controls& controls,
                     CommandFeedback& feedback, const ClockSource& clock)
    : runner_(runner), controls_(controls), feedback_(feedback), clock_(clock), query_(os) {}

void PhoneList::changed() {
  ++generation_;
  dueAt_ = clock_() + kSettle;
}

void PhoneList::askNow() {
  const auto now = clock_();
  if (!query_.running() && (!dueAt_ || *dueAt_ > now)) dueAt_ = now;
}

void PhoneList::taken(std::vector<std::string> phones, Generation since) {
  phones_ = std::move(phones);
  phonesSince_ = since;
}

void PhoneList::tick() {
  const auto now = clock_();
  if (query_.running()) {
    const auto outcome = query_.poll(now);
    // An unanswered query leaves the list before it as it was.
    if (outcome && outcome->complete) {
      taken(listedPhones(outcome->written), querySince_);
      refreshed(outcome->collected);
    }
    return;
  }
  if (!dueAt_ || now < *dueAt_ || runner_.busy()) return;
  dueAt_.reset();
  // The query sees every change made before it starts; one after that asks again. One that
  // cannot start is asked for again at the next change or press.
  querySince_ = generation_;
  query_.start(std::string(texts::kDeviceQuery), now, kQueryLimit);
}

void PhoneList::refreshed(const std::string& shownText) {
  // The new list replaces only a device list, so no command's output is ever lost.
  if (runner_.busy() || !listShown_) return;
  if (controls_.text(ControlId::CMDTeXT) != *listShown_) return;
  if (shownText != *listShown_) controls_.setText(ControlId::CMDTeXT, shownText);
  shown(controls_.text(ControlId::CMDTeXT));
  // A panel that told of no phone or of several follows the list it was about.
  feedback_.deviceList(*phones_);
}

void PhoneList::startupQueryBegins() {
  startupBegan_ = clock_();
  startupSince_ = generation_;
}

void PhoneList::startupQueryRuns() {
  startupDeadline_ = startupBegan_ + kQueryLimit;
  startupUnanswered_ = false;
}

bool PhoneList::startupQueryOverdue() {
  if (!startupDeadline_ || clock_() < *startupDeadline_) return false;
  startupDeadline_.reset();
  startupUnanswered_ = true;
  return true;
}

void PhoneList::startupQueryEnded(const std::string& written) {
  startupDeadline_.reset();
  if (!startupUnanswered_) taken(listedPhones(written), startupSince_);
  shown(controls_.text(ControlId::CMDTeXT));
}

}  // namespace quorlane::window
