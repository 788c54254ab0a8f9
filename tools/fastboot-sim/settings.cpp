#include "settings.h"

#include <charconv>
#include <limits>
#include <system_error>

#include "common/strings.h"

namespace quorlane::fastboot_sim {

namespace {

std::string_view trim(std::string_view s) {
  return quorlane::trimmed(s, " \t\r\n");
}

template <typename Number>
std::optional<Number> toNumber(std::string_view s) {
  Number value{};
  const char* end = s.data() + s.size();
  const auto [ptr, error] = std::from_chars(s.data(), end, value);
  if (s.empty() || error != std::errc{} || ptr != end) return std::nullopt;
  return value;
}

std::vector<std::string> splitSerials(std::string_view list) {
  std::vector<std::string> serials;
  while (true) {
    const auto comma = list.find(',');
    const std::string_view item = trim(list.substr(0, comma));
    if (!item.empty()) serials.emplace_back(item);
    if (comma == std::string_view::npos) break;
    list.remove_prefix(comma + 1);
  }
  return serials;
}

// extra_stdout takes \r, \n, \t and \\ so a value can hold line ends.
std::optional<std::string> unescape(std::string_view s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '\\') {
      out += s[i];
      continue;
    }
    if (++i == s.size()) return std::nullopt;
    switch (s[i]) {
      case 'r':
        out += '\r';
        break;
      case 'n':
        out += '\n';
        break;
      case 't':
        out += '\t';
        break;
      case '\\':
        out += '\\';
        break;
      default:
        return std::nullopt;
    }
  }
  return out;
}

std::optional<unsigned> toCodePage(std::string_view s) {
  const std::string name = quorlane::asciiLower(s);
  if (name == "acp") return 0u;
  if (name == "oem") return 1u;
  if (name == "utf8" || name == "utf-8") return 65001u;
  const auto number = toNumber<unsigned>(s);
  if (!number || *number > std::numeric_limits<unsigned short>::max()) return std::nullopt;
  return number;
}

// getvar=NAME=VALUE and getvar_unknown=NAME, for every phone or (after @SERIAL in the key) for
// one.
std::string applyVariable(Settings& settings, const std::string& key, std::string_view phone,
                          std::string_view value) {
  Variables& variables = phone.empty() ? settings.getvar : settings.phoneGetvar[std::string(phone)];
  if (key == "getvar_unknown") {
    if (value.empty()) return "'getvar_unknown' needs a variable's name";
    variables[std::string(value)] = std::nullopt;
    return {};
  }
  const auto equals = value.find('=');
  const std::string_view name = trim(value.substr(0, equals));
  if (equals == std::string_view::npos || name.empty()) return "'getvar' is NAME=VALUE";
  variables[std::string(name)] = std::string(trim(value.substr(equals + 1)));
  return {};
}

// Applies one key; an empty result means the value was used.
std::string apply(Settings& settings, const std::string& key, std::string_view value) {
  const auto milliseconds = [&](unsigned& into) -> std::string {
    const auto number = toNumber<unsigned>(value);
    if (!number) return "'" + key + "' needs a number of milliseconds";
    into = *number;
    return {};
  };
  if (key == "devices") {
    settings.devices = splitSerials(value);
    return {};
  }
  if (key == "send_ms") return milliseconds(settings.sendMs);
  if (key == "write_ms") return milliseconds(settings.writeMs);
  if (key == "chunk_ms") return milliseconds(settings.chunkMs);
  if (key == "silent_ms") {
    unsigned ms = 0;
    std::string problem = milliseconds(ms);
    if (problem.empty()) settings.silentMs = ms;
    return problem;
  }
  // A number of milliseconds, or forever (unset).
  const auto orForever = [&](std::optional<unsigned>& into) -> std::string {
    if (quorlane::asciiLower(value) == "forever") {
      into.reset();
      return {};
    }
    unsigned ms = 0;
    std::string problem = milliseconds(ms);
    if (problem.empty()) into = ms;
    return problem;
  };
  if (key == "wait_ms") return orForever(settings.waitMs);
  if (key == "getvar_ms") return orForever(settings.getvarMs);
  if (key == "getvar" || key == "getvar_unknown") return applyVariable(settings, key, {}, value);
  if (key == "huawei") {
    settings.huawei = splitSerials(value);
    return {};
  }
  if (key == "devices_ms") return orForever(settings.devicesMs);
  if (key == "fail") {
    const std::string mode = quorlane::asciiLower(value);
    if (mode == "none") {
      settings.fail = Failure::none;
    } else if (mode == "remote") {
      settings.fail = Failure::remote;
    } else if (mode == "crash") {
      settings.fail = Failure::crash;
    } else {
      return "'fail' is none, remote or crash";
    }
    return {};
  }
  if (key == "codepage") {
    const auto codePage = toCodePage(value);
    if (!codePage) return "'codepage' is a code page number, acp, oem or utf8";
    settings.codePage = *codePage;
    return {};
  }
  if (key == "chunk") {
    const auto bytes = toNumber<std::size_t>(value);
    if (!bytes) return "'chunk' needs a number of bytes";
    settings.chunk = *bytes;
    return {};
  }
  if (key == "extra_stdout") {
    auto text = unescape(value);
    if (!text) return "'extra_stdout' knows only the escapes \\r \\n \\t \\\\";
    settings.extraStdout = std::move(*text);
    return {};
  }
  return "unknown key '" + key + "'";
}

}  // namespace

ParsedSettings parseSettings(std::string_view text) {
  ParsedSettings parsed;
  constexpr std::string_view bom = "\xEF\xBB\xBF";
  if (text.substr(0, bom.size()) == bom) text.remove_prefix(bom.size());

  int number = 0;
  while (!text.empty()) {
    ++number;
    const auto newline = text.find('\n');
    const std::string_view line = trim(text.substr(0, newline));
    text.remove_prefix(newline == std::string_view::npos ? text.size() : newline + 1);
    if (line.empty() || line.front() == '#') continue;

    const std::string where = "line " + std::to_string(number) + ": ";
    const auto equals = line.find('=');
    if (equals == std::string_view::npos) {
      parsed.problems.push_back(where + "expected key=value");
      continue;
    }
    // A key may name one phone after an @, its serial kept as written.
    const std::string_view rawKey = trim(line.substr(0, equals));
    const auto at = rawKey.find('@');
    const std::string key = quorlane::asciiLower(trim(rawKey.substr(0, at)));
    const std::string_view value = trim(line.substr(equals + 1));
    std::string problem;
    if (at == std::string_view::npos) {
      problem = apply(parsed.settings, key, value);
    } else if (key != "getvar" && key != "getvar_unknown") {
      problem = "only getvar and getvar_unknown take @SERIAL";
    } else if (const auto phone = trim(rawKey.substr(at + 1)); phone.empty()) {
      problem = "'" + key + "@' needs a serial";
    } else {
      problem = applyVariable(parsed.settings, key, phone, value);
    }
    if (!problem.empty()) parsed.problems.push_back(where + problem);
  }
  return parsed;
}

}  // namespace quorlane::fastboot_sim
