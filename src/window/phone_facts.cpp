#include "window/phone_facts.h"

#include <array>
#include <utility>

#include "common/strings.h"
#include "common/texts.h"

namespace quorlane::window {

namespace {

using texts::concat;
using State = Fact::State;

constexpr std::string_view kBlanks = " \t";

std::string_view trim(std::string_view text) {
  return trimmed(text, kBlanks);
}

// The variables asked for, each with the field that keeps its answer.
using Field = Fact PhoneFacts::*;
constexpr std::array<std::pair<std::string_view, Field>, 6> kVariables = {{
    {"product", &PhoneFacts::product},
    {"unlocked", &PhoneFacts::unlocked},
    {"partition-type:recovery", &PhoneFacts::partitionTypeRecovery},
    {"has-slot:recovery", &PhoneFacts::hasSlotRecovery},
    {"current-slot", &PhoneFacts::currentSlot},
    {"is-userspace", &PhoneFacts::isUserspace},
}};

// How bootloaders word a refusal of a variable they do not know: Qualcomm's and MediaTek's
// "GetVar Variable Not found", fastbootd's "Unknown variable", U-Boot's "Variable not
// implemented". Any other refusal ("Command not allowed", a broken connection) tells nothing.
// Classic bootloaders answer an unknown variable with an empty value instead.
constexpr std::array<std::string_view, 3> kUnknownWordings = {
    "variable not found", "unknown variable", "variable not implemented"};

// The answer a line of the client's output gives, if it is one for `name`.
std::optional<Fact> answer(std::string_view line, std::string_view name) {
  const std::string lowered = asciiLower(line);
  // "NAME: VALUE"; a bootloader that knows nothing of a name may answer it with nothing.
  if (lowered.starts_with(concat(name, ":"))) {
    const std::string_view value = trim(line.substr(name.size() + 1));
    if (value.empty()) return Fact{};
    return Fact{State::known, std::string(value)};
  }
  // "getvar:NAME<blanks>FAILED (reason)"
  const std::string failed = concat("getvar:", name);
  if (!lowered.starts_with(failed)) return std::nullopt;
  const std::string_view rest = std::string_view(lowered).substr(failed.size());
  if (rest.empty() || (rest.front() != ' ' && rest.front() != '\t')) return std::nullopt;
  if (!trim(rest).starts_with("failed")) return std::nullopt;
  for (const auto wording : kUnknownWordings) {
    if (contains(rest, wording)) return Fact{State::unknownVariable, {}};
  }
  return Fact{};
}

bool known(const Fact& fact, std::string_view value) {
  return fact.state == State::known && asciiLower(fact.value) == value;
}

std::optional<bool> unlocked(const PhoneFacts& facts) {
  if (known(facts.unlocked, "yes") || known(facts.unlocked, "true")) return true;
  if (known(facts.unlocked, "no") || known(facts.unlocked, "false")) return false;
  return std::nullopt;
}

// The current slot's letter (a bootloader may say _a), or nothing when the phone did not say.
std::string currentSlot(const PhoneFacts& facts) {
  if (facts.currentSlot.state != State::known) return {};
  std::string_view slot = facts.currentSlot.value;
  if (slot.starts_with("_")) slot.remove_prefix(1);
  return std::string(slot);
}

// Whether the phone has a partition called recovery. A bootloader that knows the partition's
// type knows the partition; one with a copy per slot says has-slot yes. Only an A/B phone (it
// names its current slot) lives without one, and its bootloader then knows neither variable.
std::optional<bool> hasRecovery(const PhoneFacts& facts) {
  if (known(facts.hasSlotRecovery, "yes") || facts.partitionTypeRecovery.state == State::known) {
    return true;
  }
  if (facts.hasSlotRecovery.state == State::unknownVariable &&
      facts.partitionTypeRecovery.state == State::unknownVariable && !currentSlot(facts).empty()) {
    return false;
  }
  return std::nullopt;
}

bool inFastbootd(const PhoneFacts& facts) {
  return known(facts.isUserspace, "yes");
}

constexpr MessageStyle kAskStyle =
    MessageStyle::yesNo | MessageStyle::warning | MessageStyle::secondDefault;

}  // namespace

std::optional<std::string> phoneFactsCommand(std::string_view serial) {
  if (serial.empty()) return std::nullopt;
  for (const char c : serial) {
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       c == '.' || c == '_' || c == '-';
    if (!plain) return std::nullopt;
  }
  return concat(texts::kFactsCommand, texts::kFactsSerialOption, serial, texts::kFactsQuestions);
}

std::string environmentPhoneFactsCommand() {
  return concat(texts::kFactsCommand, texts::kFactsQuestions);
}

PhoneFacts readPhoneFacts(std::string_view clientOutput) {
  PhoneFacts facts;
  while (!clientOutput.empty()) {
    const auto end = clientOutput.find_first_of("\r\n");
    const std::string_view line = trim(clientOutput.substr(0, end));
    clientOutput.remove_prefix(end == std::string_view::npos ? clientOutput.size() : end + 1);
    for (const auto& [name, field] : kVariables) {
      if (auto fact = answer(line, name)) {
        facts.*field = std::move(*fact);
        break;
      }
    }
  }
  return facts;
}

PressVerdict judgePress(Press press, const std::optional<PhoneFacts>& facts) {
  using Action = PressVerdict::Action;
  if (!facts) return {};
  if (unlocked(*facts) == false) {
    return {Action::sendOnYes,
            std::string(texts::kFactsLocked),
            std::string(texts::kFactsLockedTitle),
            kAskStyle,
            {}};
  }
  if (press == Press::boot) {
    if (!inFastbootd(*facts)) return {};
    return {Action::stop,
            std::string(texts::kFactsFastbootdBoot),
            std::string(texts::kFactsFastbootdTitle),
            MessageStyle::warning,
            {}};
  }
  if (hasRecovery(*facts) == false) {
    return {Action::bootOnYes,
            std::string(texts::kFactsNoRecovery),
            std::string(texts::kFactsNoRecoveryTitle),
            kAskStyle,
            {}};
  }
  // The client writes the current slot's copy itself.
  const std::string slot = currentSlot(*facts);
  if (known(facts->hasSlotRecovery, "yes") && !slot.empty()) {
    PressVerdict verdict;
    verdict.note = concat(texts::kFactsSlotNoteBefore, slot, texts::kFactsSlotNoteAfter);
    return verdict;
  }
  return {};
}

std::string describePhone(const PhoneFacts& facts) {
  std::vector<std::string> parts;
  if (facts.product.state == State::known)
    parts.push_back(concat(texts::kFactsModel, facts.product.value));
  if (const auto isUnlocked = unlocked(facts)) {
    parts.emplace_back(*isUnlocked ? texts::kFactsUnlocked : texts::kFactsLockedPart);
  }
  if (const auto recovery = hasRecovery(facts)) {
    parts.emplace_back(*recovery ? texts::kFactsHasRecovery : texts::kFactsNoRecoveryPart);
  }
  if (const std::string slot = currentSlot(facts); !slot.empty()) {
    parts.push_back(concat(texts::kFactsSlot, slot));
  }
  std::string text;
  if (!parts.empty()) {
    text = texts::kFactsPhoneBefore;
    for (std::size_t i = 0; i < parts.size(); ++i) {
      if (i > 0) text += texts::kFactsSeparator;
      text += parts[i];
    }
    text += texts::kFactsEnd;
  }
  if (inFastbootd(facts)) {
    if (!text.empty()) text += "\r\n";
    text += texts::kFactsFastbootd;
  }
  return text;
}

std::string serialsWithModels(const std::vector<std::string>& serials,
                              const std::map<std::string, PhoneFacts>& facts) {
  std::string list;
  for (const auto& serial : serials) {
    if (!list.empty()) list += texts::kResultSerialSeparator;
    list += serial;
    const auto found = facts.find(serial);
    if (found != facts.end() && found->second.product.state == State::known) {
      list +=
          concat(texts::kFactsModelBefore, found->second.product.value, texts::kFactsModelAfter);
    }
  }
  return list;
}

}  // namespace quorlane::window
