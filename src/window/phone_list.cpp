#include "window/phone_list.h"

#include <algorithm>
#include <utility>

#include "common/texts.h"

namespace quorlane::window {

PhoneList::PhoneList(ports::Process& os, const MyCMD& runner, Controls& controls,
                     CommandFeedback& feedback, const ClockSource& clock)
    : os_(os),
      runner_(runner),
      controls_(controls),
      feedback_(feedback),
      clock_(clock),
      query_(os),
      factsQuery_(os) {}

void PhoneList::changed() {
  ++generation_;
  dueAt_ = clock_() + kSettle;
  // What the phones of the list before said is about a list that is going: the next list asks
  // its phones anew, and the query of the list waits for no client.
  toAsk_.clear();
  factsQuery_.end();
}

void PhoneList::askNow() {
  const auto now = clock_();
  if (query_.running() || (dueAt_ && *dueAt_ <= now)) return;
  dueAt_ = now;
  // The list's phones are asked again once it has been taken; a client asking one now would only
  // hold the query up.
  stopAskingFacts();
}

void PhoneList::taken(std::vector<std::string> phones, Generation since) {
  phones_ = std::move(phones);
  phonesSince_ = since;
  askFacts();
}

std::optional<std::string> PhoneList::environmentPhone() const {
  auto serial = os_.environment("ANDROID_SERIAL");
  if (serial && serial->empty()) serial.reset();
  return serial;
}

std::optional<std::string> PhoneList::target() const {
  if (auto named = environmentPhone()) return named;
  if (current() && phones_->size() == 1) return phones_->front();
  return std::nullopt;
}

void PhoneList::askFacts() {
  stopAskingFacts();
  facts_.clear();
  toAsk_.assign(phones_->begin(), phones_->end());
  if (auto named = environmentPhone()) toAsk_.push_back(std::move(*named));
}

bool PhoneList::factsPending() const {
  const auto phone = target();
  if (!phone) return false;
  if (factsQuery_.running() && asking_ == *phone) return true;
  return std::find(toAsk_.begin(), toAsk_.end(), *phone) != toAsk_.end();
}

std::optional<PhoneFacts> PhoneList::targetFacts() const {
  const auto phone = target();
  if (!phone) return std::nullopt;
  const auto found = facts_.find(*phone);
  if (found == facts_.end()) return std::nullopt;
  return found->second;
}

void PhoneList::stopAskingFacts() {
  toAsk_.clear();
  factsQuery_.end();
}

void PhoneList::tickFacts(Clock::time_point now) {
  if (factsQuery_.running()) {
    const auto outcome = factsQuery_.poll(now);
    // A phone that did not answer in time says nothing: everything runs as it would without.
    if (!outcome || !outcome->complete) return;
    facts_[asking_] = readPhoneFacts(outcome->written);
    // The panel about the list names the phone now, where it shows.
    if (boxShowsList()) feedback_.deviceList(listOutcome());
    return;
  }
  const auto named = environmentPhone();
  while (!toAsk_.empty() && !runner_.busy()) {
    asking_ = toAsk_.front();
    toAsk_.pop_front();
    const auto command = named && asking_ == *named ? std::optional(environmentPhoneFactsCommand())
                                                    : phoneFactsCommand(asking_);
    if (command && factsQuery_.start(*command, now, kQueryLimit)) return;
  }
}

bool PhoneList::boxShowsList() {
  return !runner_.busy() && listShown_ && controls_.text(ControlId::CMDTeXT) == *listShown_;
}

Outcome PhoneList::listOutcome() const {
  Outcome outcome = deviceListOutcome(*phones_);
  const auto facts = targetFacts();
  const std::string said = facts ? describePhone(*facts) : std::string();
  if (!said.empty() && outcome.kind != Outcome::Kind::severalPhones) {
    return {Outcome::Kind::onePhone, said, {}, {}};
  }
  if (outcome.kind == Outcome::Kind::severalPhones) {
    outcome.detail = serialsWithModels(outcome.serials, facts_);
  }
  return outcome;
}

void PhoneList::tick() {
  const auto now = clock_();
  // One client at a time: a phone a client asks for its variables is held by it, and a list
  // taken meanwhile could miss it. The phones are asked only while the list's query neither runs
  // nor is due, and whatever makes it due (a change, askNow) ends the asking first.
  if (query_.running()) {
    const auto outcome = query_.poll(now);
    // An unanswered query leaves the list before it as it was.
    if (outcome && outcome->complete) {
      taken(listedPhones(outcome->written), querySince_);
      refreshed(outcome->collected);
    }
    return;
  }
  if (!dueAt_ || now < *dueAt_) {
    tickFacts(now);
    return;
  }
  if (runner_.busy()) return;
  dueAt_.reset();
  // The query sees every change made before it starts; one after that asks again. One that
  // cannot start is asked for again at the next change or press.
  querySince_ = generation_;
  query_.start(std::string(texts::kDeviceQuery), now, kQueryLimit);
}

void PhoneList::refreshed(const std::string& shownText) {
  // The new list replaces only a device list, so no command's output is ever lost.
  if (!boxShowsList()) return;
  if (shownText != *listShown_) controls_.setText(ControlId::CMDTeXT, shownText);
  shown(controls_.text(ControlId::CMDTeXT));
  // A panel that told of no phone or of several follows the list it was about.
  feedback_.deviceList(listOutcome());
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
