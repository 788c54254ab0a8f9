#pragma once
// Small text operations the program's readers of other programs' output share. Case is that of the
// ASCII letters only, as the fastboot client's words and Windows' device names are compared: every
// other byte (a UTF-8 sequence among them) stays as it is, whatever the locale.

#include <string>
#include <string_view>

namespace quorlane {

inline std::string asciiLower(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

inline std::string asciiUpper(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

// The text without the characters of `blanks` at its ends.
inline std::string_view trimmed(std::string_view text, std::string_view blanks) {
  const auto first = text.find_first_not_of(blanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

inline bool contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

}  // namespace quorlane
