#include "window/outcome.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "common/strings.h"
#include "common/texts.h"

namespace quorlane::window {

namespace {

using OutcomeKind = Outcome::Kind;

// Where in a failure line a row's words count: anywhere, only in what the phone said (its
// "(bootloader)" text or the message of "remote:"), or only in the client's own words.
enum class Source { any, phone, client };

// The words by which a failure is recognised, in the order they are tried: the first row with a
// word in any failure line decides. The client's own wording comes first (it names the file or
// the broken connection), then what bootloaders are known to answer.
struct Row {
  OutcomeKind kind;
  std::initializer_list<std::string_view> words;
  Source source = Source::any;
  bool bootOnly = false;  // only in answer to a start from memory
};

// clang-format off
const std::array<Row, 7> kFailureRows = {{
    // The client's own "cannot load 'FILE': No such file or directory"; the same words from the
    // phone mean a partition it does not have.
    {OutcomeKind::imageNotOpened, {"cannot load", "cannot open"}, Source::client},
    {OutcomeKind::connectionBroke, {"write to device failed", "status read failed",
                                    "read from device failed", "no link", "too many links",
                                    "data transfer failure", "command write failed",
                                    "send failed in", "failed to write all", "usb_write failed"}},
    // A bootloader that cannot start an image sent from the PC does not know the command
    // (fastbootd, the recovery's own fastboot, calls it unrecognised).
    {OutcomeKind::cannotBoot, {"unknown command", "unrecognized command"}, Source::any, true},
    {OutcomeKind::locked, {"not allowed in lock state", "in locked state", "flashing is not allowed",
                           "download is not allowed on locked", "not supported in locked",
                           "device is locked", "command not allowed", "lock flag is locked",
                           "unlock device to use this command", "not available in locked device"}},
    {OutcomeKind::tooLarge, {"too large", "exceeds", "more than max", "requested download size",
                             "volume full"}},
    {OutcomeKind::noRecoveryPartition, {"partition does not exist", "partition not found",
                                        "no such partition", "invalid partition name",
                                        "unknown partition", "partition table doesn't exist",
                                        "partition length get error",
                                        "could not check if partition recovery has slot"}},
    // fastbootd's answer to a partition it does not have.
    {OutcomeKind::noRecoveryPartition, {"no such file or directory"}, Source::phone},
}};

// The interpreter's exit codes that say the client could not run, as their 32 bits.
struct ExitRow {
  std::uint32_t code;
  OutcomeKind kind;
};
const std::array<ExitRow, 6> kExitRows = {{
    {9009, OutcomeKind::clientNotFound},                    // cmd: not a command or program
    {0xC0000135, OutcomeKind::clientLibraryMissing},        // STATUS_DLL_NOT_FOUND
    {0xC0000139, OutcomeKind::clientTooNew},                // STATUS_ENTRYPOINT_NOT_FOUND
    {0xC000007B, OutcomeKind::clientWrongArchitecture},     // STATUS_INVALID_IMAGE_FORMAT
    {0xC0000005, OutcomeKind::clientCrashed},               // STATUS_ACCESS_VIOLATION
    {0xC0000409, OutcomeKind::clientCrashed},               // STATUS_STACK_BUFFER_OVERRUN
}};
// clang-format on

// The line with blanks at its ends taken off and every run of blanks inside made one: the client
// pads its status text to a column.
std::string tidy(std::string_view line) {
  std::string out;
  for (const char c : line) {
    const bool blank = c == ' ' || c == '\t';
    if (blank) {
      if (!out.empty() && out.back() != ' ') out += ' ';
    } else {
      out += c;
    }
  }
  if (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

std::vector<std::string_view> splitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    if (i == text.size() || text[i] == '\r' || text[i] == '\n') {
      if (i > start) lines.push_back(text.substr(start, i - start));
      start = i + 1;
    }
  }
  return lines;
}

// A line in which the client reports a failure: a step's "FAILED", or a fatal error.
bool isFailedLine(std::string_view lowered) {
  return contains(lowered, "failed (") || lowered == "failed" ||
         (lowered.ends_with(" failed") && !lowered.starts_with("fastboot: error:") &&
          !lowered.starts_with("error:"));
}
// A fatal error, or a command line the client refused ("fastboot: usage: unknown reboot
// target recovery" from clients before 29.0.1).
bool isErrorLine(std::string_view lowered) {
  return lowered.starts_with("error:") || lowered.starts_with("fastboot: error:") ||
         lowered.starts_with("fastboot: usage:");
}

// Where the phone's own words begin in a tidied line, and how they end: an "(bootloader) ..."
// message (which the client prints even in the middle of a step's line), or the message of
// "FAILED (remote: 'text')" (older clients: "FAILED (remote: text)").
constexpr std::string_view kBootloader = "(bootloader)";
constexpr std::string_view kRemote = "remote:";
std::size_t phoneStart(std::string_view lowered) {
  if (const auto at = lowered.find(kBootloader); at != std::string_view::npos) return at;
  return lowered.find(kRemote);
}
std::string phoneWordsOf(std::string_view line, std::string_view lowered) {
  const auto at = phoneStart(lowered);
  if (at == std::string_view::npos) return {};
  std::string_view said = line.substr(at);
  if (lowered.substr(at).starts_with(kBootloader)) {
    said.remove_prefix(kBootloader.size());
  } else {
    said.remove_prefix(kRemote.size());
    if (said.ends_with(')')) said.remove_suffix(1);
  }
  while (!said.empty() && said.front() == ' ') said.remove_prefix(1);
  while (!said.empty() && said.back() == ' ') said.remove_suffix(1);
  if (said.size() >= 2 && said.front() == '\'' && said.back() == '\'') {
    said = said.substr(1, said.size() - 2);
  }
  return std::string(said);
}

// The file named in "cannot load 'FILE': reason" (also without the quotes of older clients).
std::string namedFile(std::string_view line) {
  const auto open = line.find('\'');
  if (open == std::string_view::npos) return std::string(line);
  const auto close = line.find('\'', open + 1);
  if (close == std::string_view::npos) return std::string(line);
  return std::string(line.substr(open + 1, close - open - 1));
}

// A line that may say why a command failed, as printed and in lower case, split into the
// client's words and the phone's.
struct SaidLine {
  std::string original;
  std::string lowered;
  std::size_t phoneAt;  // where the phone's words begin; npos: the client's words only
  bool failed;          // a step's FAILED or a fatal error
  std::string_view part(Source source) const {
    const std::string_view all(lowered);
    if (phoneAt == std::string_view::npos) return source == Source::phone ? "" : all;
    if (source == Source::phone) return all.substr(phoneAt);
    if (source == Source::client) return all.substr(0, phoneAt);
    return all;
  }
  std::string phoneWords() const { return phoneWordsOf(original, lowered); }
};

bool isRestart(CommandKind command) {
  return command == CommandKind::rebootRecovery || command == CommandKind::oemRebootRecovery ||
         command == CommandKind::reboot;
}

// The first row with a word in one of the lines: its kind, that line and where the word is.
struct Decision {
  OutcomeKind kind = OutcomeKind::otherFailure;
  const SaidLine* line = nullptr;
  std::size_t at = 0;
};
Decision decidingRow(CommandKind command, const std::vector<SaidLine>& said) {
  for (const auto& row : kFailureRows) {
    if (row.bootOnly && command != CommandKind::boot) continue;
    for (const auto& line : said) {
      const auto text = line.part(row.source);
      for (const auto word : row.words) {
        // Every part begins where the line begins or where the phone's words do.
        const auto at = text.find(word);
        if (at == std::string_view::npos) continue;
        return {row.kind, &line, at + static_cast<std::size_t>(text.data() - line.lowered.data())};
      }
    }
  }
  return {};
}

// What the phone said about a failure no row explains: the message of the first failure, or
// when that is empty (some bootloaders give their reason in an "(bootloader)" line and then
// fail with "remote: ''"), the last thing it said before.
std::string phoneReason(const std::vector<SaidLine>& said) {
  std::string before;
  for (const auto& line : said) {
    std::string words = line.phoneWords();
    if (line.failed) return words.empty() ? before : words;
    if (!words.empty()) before = std::move(words);
  }
  return before;
}

Outcome failure(CommandKind command, const std::vector<std::string_view>& lines) {
  // The lines that may say why: the client's failure lines and what the phone said meanwhile.
  std::vector<SaidLine> said;
  std::string firstFailed;
  std::string firstError;
  for (const auto line : lines) {
    std::string tidied = tidy(line);
    std::string lowered = asciiLower(tidied);
    const bool failed = isFailedLine(lowered);
    const bool error = isErrorLine(lowered);
    if (failed && firstFailed.empty()) firstFailed = tidied;
    if (error && firstError.empty()) firstError = tidied;
    const auto phoneAt = phoneStart(lowered);
    if (failed || error || contains(lowered, kBootloader)) {
      said.push_back({std::move(tidied), std::move(lowered), phoneAt, failed || error});
    }
  }
  const Decision decision = decidingRow(command, said);
  const OutcomeKind kind = decision.kind;
  Outcome outcome{
      kind, {}, {}, decision.line != nullptr ? decision.line->phoneWords() : phoneReason(said)};
  if (kind == OutcomeKind::imageNotOpened) {
    outcome.detail = namedFile(std::string_view(decision.line->original).substr(decision.at));
  }
  if (kind == OutcomeKind::otherFailure) {
    outcome.detail = !firstFailed.empty() ? firstFailed : firstError;
    if (outcome.detail.empty() && !lines.empty()) outcome.detail = tidy(lines.back());
  }
  // A restart the phone cannot make: whatever its words, unless the link broke, which a phone
  // that restarts at once can cause itself.
  if (isRestart(command) && kind != OutcomeKind::connectionBroke) {
    outcome.kind = OutcomeKind::restartRefused;
    outcome.detail.clear();
  }
  return outcome;
}

// The client could not run at all: the interpreter found none, or the system could not start it
// or it crashed.
std::optional<OutcomeKind> clientDidNotRun(const std::vector<std::string_view>& lines,
                                           const std::optional<long>& exitCode) {
  if (exitCode) {
    const auto code = static_cast<std::uint32_t>(*exitCode);
    for (const auto& row : kExitRows) {
      if (row.code == code) return row.kind;
    }
  }
  for (const auto line : lines) {
    for (const auto words : texts::kCmdNotRecognised) {
      if (contains(line, words)) return OutcomeKind::clientNotFound;
    }
  }
  return std::nullopt;
}

bool finished(const std::vector<std::string_view>& lines, std::string_view step) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string lowered = asciiLower(tidy(lines[i]));
    if (lowered.starts_with("finished. total time")) return true;
    // The step's own OKAY: on its line, or (older clients) on the next.
    if (lowered.starts_with(step) &&
        (contains(lowered, "okay") ||
         (i + 1 < lines.size() && asciiLower(tidy(lines[i + 1])).starts_with("okay")))) {
      return true;
    }
  }
  return false;
}

// The text of a panel, and the phone's own words after it when it gave a reason the text does
// not quote already.
std::string withPhoneSaid(std::string_view text, const Outcome& outcome) {
  std::string out(text);
  if (!outcome.phoneSaid.empty() && !contains(text, outcome.phoneSaid)) {
    out += texts::concat(texts::kResultPhoneSaid, outcome.phoneSaid);
  }
  return out;
}

}  // namespace

std::vector<std::string> listedPhones(std::string_view output) {
  constexpr std::string_view kState = "fastboot";
  std::vector<std::string> phones;
  while (!output.empty()) {
    const auto end = output.find('\n');
    std::string_view line = output.substr(0, end);
    output.remove_prefix(end == std::string_view::npos ? output.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

    const auto tab = line.find('\t');
    if (tab == 0 || tab == std::string_view::npos) continue;
    std::string_view state = line.substr(tab + 1);
    while (!state.empty() && state.front() == ' ') state.remove_prefix(1);
    while (!state.empty() && state.back() == ' ') state.remove_suffix(1);
    if (state == kState) phones.emplace_back(line.substr(0, tab));
  }
  return phones;
}

Outcome deviceListOutcome(std::vector<std::string> phones) {
  if (phones.empty()) return {OutcomeKind::noPhone, {}, {}, {}};
  if (phones.size() > 1) return {OutcomeKind::severalPhones, {}, std::move(phones), {}};
  return {};
}

Outcome recogniseOutcome(CommandKind command, std::string_view output,
                         const std::optional<long>& exitCode) {
  const auto lines = splitLines(output);
  if (const auto kind = clientDidNotRun(lines, exitCode)) return {*kind, {}, {}, {}};
  bool failed = exitCode && *exitCode != 0;
  for (const auto line : lines) {
    const std::string lowered = asciiLower(tidy(line));
    if (isFailedLine(lowered) || isErrorLine(lowered)) failed = true;
  }
  if (failed) return failure(command, lines);
  const auto done = [&](std::string_view step, OutcomeKind kind) {
    return finished(lines, step) ? Outcome{kind, {}, {}, {}} : Outcome{};
  };
  switch (command) {
    case CommandKind::deviceQuery:
      return deviceListOutcome(listedPhones(output));
    case CommandKind::flash:
      return done("writing", OutcomeKind::flashed);
    case CommandKind::boot:
      return done("booting", OutcomeKind::booted);
    case CommandKind::rebootRecovery:
    case CommandKind::oemRebootRecovery:
      // "Rebooting into recovery" (older clients: "rebooting into recovery..."); the OEM command
      // has no step name, only its "Finished".
      return done("rebooting", OutcomeKind::restartingToRecovery);
    case CommandKind::reboot:
      return done("rebooting", OutcomeKind::restarting);
  }
  return {};
}

ResultButtons ResultPanel::captions() const {
  ResultButtons captions{};
  for (std::size_t i = 0; i < buttons.size() && i < captions.size(); ++i) {
    captions[i] = buttons[i].caption;
  }
  return captions;
}

std::optional<ResultPanel> resultPanel(const Outcome& outcome, CommandKind command) {
  namespace t = texts;
  const bool boot = command == CommandKind::boot;
  const auto panel = [](std::string_view text) { return ResultPanel{std::string(text), {}}; };
  switch (outcome.kind) {
    case OutcomeKind::none:
      return std::nullopt;
    case OutcomeKind::flashed:
      return ResultPanel{outcome.detail.empty()
                             ? std::string(t::kResultFlashed)
                             : t::concat(t::kResultFlashed, "\r\n", outcome.detail),
                         {{std::string(t::kResultRecoveryButton), CommandKind::rebootRecovery},
                          {std::string(t::kResultRestartButton), CommandKind::reboot}}};
    case OutcomeKind::noRecoveryPartition:
      return ResultPanel{withPhoneSaid(t::kResultNoRecovery, outcome),
                         {{std::string(t::kResultBootButton), CommandKind::boot}}};
    case OutcomeKind::booted:
      return panel(t::kResultBooted);
    case OutcomeKind::cannotBoot:
      return panel(withPhoneSaid(t::kResultCannotBoot, outcome));
    case OutcomeKind::locked:
      return panel(withPhoneSaid(boot ? t::kResultBootLocked : t::kResultLocked, outcome));
    case OutcomeKind::tooLarge:
      return panel(withPhoneSaid(boot ? t::kResultBootTooLarge : t::kResultTooLarge, outcome));
    case OutcomeKind::connectionBroke:
      return panel(isRestart(command) ? t::kResultRestartConnectionBroke
                   : boot             ? t::kResultBootConnectionBroke
                                      : t::kResultConnectionBroke);
    case OutcomeKind::imageNotOpened:
      return panel(t::concat(t::kResultNotOpenedBefore, outcome.detail, t::kResultNotOpenedAfter));
    case OutcomeKind::otherFailure: {
      std::string text(command == CommandKind::deviceQuery ? t::kResultQueryFailed
                       : boot                              ? t::kResultBootFailed
                                                           : t::kResultFlashFailed);
      text += outcome.detail.empty() ? std::string(t::kResultNoReason)
                                     : t::concat(t::kResultReasonBefore, outcome.detail);
      return panel(withPhoneSaid(text, outcome));
    }
    case OutcomeKind::noPhone:
      return panel(t::kResultNoPhone);
    case OutcomeKind::noAnswer:
      return panel(t::kResultNoAnswer);
    case OutcomeKind::onePhone:
      return panel(outcome.detail);
    case OutcomeKind::severalPhones: {
      std::string names = outcome.detail;
      for (const auto& serial : outcome.serials) {
        if (!outcome.detail.empty()) break;
        if (!names.empty()) names += t::kResultSerialSeparator;
        names += serial;
      }
      return panel(t::concat(t::kResultSeveralBefore, std::to_string(outcome.serials.size()),
                             t::kResultSeveralMiddle, names, t::kResultSeveralAfter));
    }
    case OutcomeKind::restartingToRecovery:
      return panel(t::kResultRestartingToRecovery);
    case OutcomeKind::restarting:
      return panel(t::kResultRestarting);
    case OutcomeKind::restartRefused:
      // The keys' steps need the room more than the bootloader's words, which say no more than
      // that it does not know the command.
      return panel(command == CommandKind::reboot ? withPhoneSaid(t::kResultRestartRefused, outcome)
                                                  : std::string(t::kResultRecoveryKeys));
    case OutcomeKind::clientNotFound:
      return panel(t::kResultClientNotFound);
    case OutcomeKind::clientLibraryMissing:
      return panel(t::kResultClientLibraryMissing);
    case OutcomeKind::clientTooNew:
      return panel(t::kResultClientTooNew);
    case OutcomeKind::clientWrongArchitecture:
      return panel(t::kResultClientWrongArchitecture);
    case OutcomeKind::clientCrashed:
      return panel(t::kResultClientCrashed);
  }
  return std::nullopt;
}

}  // namespace quorlane::window
