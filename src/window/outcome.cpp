#include "window/outcome.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "common/texts.h"

namespace quorlane::window {

namespace {

using OutcomeKind = Outcome::Kind;

// The words by which a failure is recognised, in the order they are tried: the first row with a
// word in any failure line decides. The client's own wording comes first (it names the file or
// the broken connection), then what bootloaders are known to answer.
struct Row {
  OutcomeKind kind;
  std::initializer_list<std::string_view> words;
  bool bootOnly = false;  // only in answer to a start from memory
};

// clang-format off
const std::array<Row, 6> kFailureRows = {{
    {OutcomeKind::imageNotOpened, {"cannot load", "cannot open"}},
    {OutcomeKind::connectionBroke, {"write to device failed", "status read failed",
                             "read from device failed", "no link", "too many links",
                             "data transfer failure", "command write failed",
                             "send failed in"}},
    // A bootloader that cannot start an image sent from the PC does not know the command.
    {OutcomeKind::cannotBoot, {"unknown command"}, true},
    {OutcomeKind::locked, {"not allowed in lock state", "in locked state", "flashing is not allowed",
                    "download is not allowed on locked", "not supported in locked",
                    "device is locked"}},
    {OutcomeKind::tooLarge, {"too large", "exceeds", "more than max", "requested download size"}},
    {OutcomeKind::noRecoveryPartition, {"partition does not exist", "partition not found",
                                 "no such partition", "invalid partition name",
                                 "unknown partition",
                                 "could not check if partition recovery has slot"}},
}};
// clang-format on

std::string lower(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return out;
}

bool contains(std::string_view text, std::string_view word) {
  return text.find(word) != std::string_view::npos;
}

bool startsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

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
         (lowered.size() > 7 && lowered.substr(lowered.size() - 7) == " failed" &&
          !startsWith(lowered, "fastboot: error:") && !startsWith(lowered, "error:"));
}
bool isErrorLine(std::string_view lowered) {
  return startsWith(lowered, "error:") || startsWith(lowered, "fastboot: error:");
}

// The file named in "cannot load 'FILE': reason" (also without the quotes of older clients).
std::string namedFile(std::string_view line) {
  const auto open = line.find('\'');
  if (open == std::string_view::npos) return std::string(line);
  const auto close = line.find('\'', open + 1);
  if (close == std::string_view::npos) return std::string(line);
  return std::string(line.substr(open + 1, close - open - 1));
}

Outcome failure(CommandKind command, const std::vector<std::string_view>& lines) {
  // The lines that may say why: the client's failure lines and what the phone said meanwhile.
  std::vector<std::string> said;
  std::vector<std::string> original;
  std::string firstFailed;
  std::string firstError;
  for (const auto line : lines) {
    const std::string tidied = tidy(line);
    const std::string lowered = lower(tidied);
    const bool failed = isFailedLine(lowered);
    const bool error = isErrorLine(lowered);
    if (failed && firstFailed.empty()) firstFailed = tidied;
    if (error && firstError.empty()) firstError = tidied;
    if (failed || error || startsWith(lowered, "(bootloader)")) {
      said.push_back(lowered);
      original.push_back(tidied);
    }
  }
  for (const auto& row : kFailureRows) {
    if (row.bootOnly && command != CommandKind::boot) continue;
    for (std::size_t i = 0; i < said.size(); ++i) {
      for (const auto word : row.words) {
        if (!contains(said[i], word)) continue;
        if (row.kind == OutcomeKind::imageNotOpened) {
          return {row.kind, namedFile(original[i].substr(said[i].find(word))), {}};
        }
        return {row.kind, {}, {}};
      }
    }
  }
  std::string line = !firstFailed.empty() ? firstFailed : firstError;
  if (line.empty() && !lines.empty()) line = tidy(lines.back());
  return {OutcomeKind::otherFailure, line, {}};
}

bool finished(const std::vector<std::string_view>& lines, std::string_view step) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string lowered = lower(tidy(lines[i]));
    if (startsWith(lowered, "finished. total time")) return true;
    // The step's own OKAY: on its line, or (older clients) on the next.
    if (startsWith(lowered, step) &&
        (contains(lowered, "okay") ||
         (i + 1 < lines.size() && startsWith(lower(tidy(lines[i + 1])), "okay")))) {
      return true;
    }
  }
  return false;
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
  if (phones.empty()) return {OutcomeKind::noPhone, {}, {}};
  if (phones.size() > 1) return {OutcomeKind::severalPhones, {}, std::move(phones)};
  return {};
}

Outcome recogniseOutcome(CommandKind command, std::string_view output,
                         const std::optional<long>& exitCode) {
  const auto lines = splitLines(output);
  bool failed = exitCode && *exitCode != 0;
  for (const auto line : lines) {
    const std::string lowered = lower(tidy(line));
    if (isFailedLine(lowered) || isErrorLine(lowered)) failed = true;
  }
  if (failed) return failure(command, lines);
  switch (command) {
    case CommandKind::deviceQuery:
      return deviceListOutcome(listedPhones(output));
    case CommandKind::flash:
      return finished(lines, "writing") ? Outcome{OutcomeKind::flashed, {}, {}} : Outcome{};
    case CommandKind::boot:
      return finished(lines, "booting") ? Outcome{OutcomeKind::booted, {}, {}} : Outcome{};
  }
  return {};
}

std::optional<ResultPanel> resultPanel(const Outcome& outcome, CommandKind command) {
  namespace t = texts;
  switch (outcome.kind) {
    case OutcomeKind::none:
      return std::nullopt;
    case OutcomeKind::flashed:
      return ResultPanel{outcome.detail.empty()
                             ? std::string(t::kResultFlashed)
                             : texts::concat(t::kResultFlashed, "\r\n", outcome.detail),
                         {}};
    case OutcomeKind::noRecoveryPartition:
      return ResultPanel{std::string(t::kResultNoRecovery), std::string(t::kResultBootButton)};
    case OutcomeKind::booted:
      return ResultPanel{std::string(t::kResultBooted), {}};
    case OutcomeKind::cannotBoot:
      return ResultPanel{std::string(t::kResultCannotBoot), {}};
    case OutcomeKind::locked:
      return ResultPanel{std::string(t::kResultLocked), {}};
    case OutcomeKind::tooLarge:
      return ResultPanel{std::string(t::kResultTooLarge), {}};
    case OutcomeKind::connectionBroke:
      return ResultPanel{std::string(t::kResultConnectionBroke), {}};
    case OutcomeKind::imageNotOpened:
      return ResultPanel{std::string(t::kResultNotOpenedBefore) + outcome.detail +
                             std::string(t::kResultNotOpenedAfter),
                         {}};
    case OutcomeKind::otherFailure: {
      std::string text(command == CommandKind::deviceQuery ? t::kResultQueryFailed
                       : command == CommandKind::boot      ? t::kResultBootFailed
                                                           : t::kResultFlashFailed);
      text += outcome.detail.empty() ? std::string(t::kResultNoReason)
                                     : std::string(t::kResultReasonBefore) + outcome.detail;
      return ResultPanel{text, {}};
    }
    case OutcomeKind::noPhone:
      return ResultPanel{std::string(t::kResultNoPhone), {}};
    case OutcomeKind::noAnswer:
      return ResultPanel{std::string(t::kResultNoAnswer), {}};
    case OutcomeKind::onePhone:
      return ResultPanel{outcome.detail, {}};
    case OutcomeKind::severalPhones: {
      std::string names = outcome.detail;
      for (const auto& serial : outcome.serials) {
        if (!outcome.detail.empty()) break;
        if (!names.empty()) names += t::kResultSerialSeparator;
        names += serial;
      }
      return ResultPanel{
          std::string(t::kResultSeveralBefore) + std::to_string(outcome.serials.size()) +
              std::string(t::kResultSeveralMiddle) + names + std::string(t::kResultSeveralAfter),
          {}};
    }
  }
  return std::nullopt;
}

}  // namespace quorlane::window
