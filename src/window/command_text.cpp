#include "window/command_text.h"

#include <string_view>
#include <utility>

namespace quorlane::window {

std::string unquotePath(std::string path) {
  if (path.size() >= 2 && path.front() == '"' && path.back() == '"') {
    path = path.substr(1, path.size() - 2);
  }
  return path;
}

std::string quoteImagePath(std::string path) {
  path = unquotePath(std::move(path));
  constexpr std::string_view kSpecial = " \t&|<>^(),;=%!";
  if (path.find_first_of(kSpecial) == std::string::npos) return path;

  // Inside quotes cmd takes & | < > ^ ( ) , ; = and blanks literally, but it still expands
  // %NAME%. Each % therefore stands outside the quotes, between a closing and an opening quote:
  // "a"%"b". For cmd the name after such a % then begins with a quote, which no variable has, so
  // the text is left alone; the tool's own argument parsing joins the pieces into one argument.
  // Backslashes right before an inserted quote are doubled, since that parsing halves them there.
  std::string quoted = "\"";
  auto closeQuote = [&quoted] {
    const std::size_t end = quoted.find_last_not_of('\\') + 1;
    quoted.append(quoted.size() - end, '\\');
    quoted += '"';
  };
  for (const char c : path) {
    if (c == '%') {
      closeQuote();
      quoted += "%\"";
    } else {
      quoted += c;
    }
  }
  closeQuote();
  return quoted;
}

}  // namespace quorlane::window
