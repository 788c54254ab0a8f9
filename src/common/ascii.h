#pragma once
// Case of the ASCII letters only, as the fastboot client's words and Windows' device names are
// compared: every other byte (a UTF-8 sequence among them) stays as it is, whatever the locale.

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

}  // namespace quorlane
