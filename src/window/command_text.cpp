#include "window/command_text.h"

#include <string_view>

namespace quorlane::window {

std::string quoteImagePath(std::string path) {
  if (path.size() >= 2 && path.front() == '"' && path.back() == '"') {
    path = path.substr(1, path.size() - 2);
  }
  constexpr std::string_view kSpecial = " \t&|<>^(),;=%!";
  if (path.find_first_of(kSpecial) == std::string::npos) return path;

  // Inside quotes cmd takes & | < > ^ ( ) , ; = and blanks literally, but it still expands
  // %NAME%. Each % is therefore written outside the quotes and escaped: "a"^%"b". The tool's own
  // argument parsing joins the pieces back into the one argument a%b.
  std::string quoted = "\"";
  for (const char c : path) {
    if (c == '%') {
      quoted += "\"^%\"";
    } else {
      quoted += c;
    }
  }
  quoted += '"';
  return quoted;
}

}  // namespace quorlane::window
