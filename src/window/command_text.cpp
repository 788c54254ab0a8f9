#include "window/command_text.h"

#include <string_view>
#include <utility>

#include "common/strings.h"

namespace quorlane::window {

std::string unquotePath(std::string path) {
  constexpr std::string_view kBlanks = " \t\r\n";
  path = std::string(trimmed(path, kBlanks));
  if (path.size() >= 2 && path.front() == '"' && path.back() == '"') {
    path = std::string(trimmed(path.substr(1, path.size() - 2), kBlanks));
  }
  // A path in the system's literal form (\\?\) keeps its slashes and its end as they are.
  if (path.rfind("\\\\?\\", 0) == 0) return path;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  // "." and ".." name folders; only a name with more than dots loses its dots at the end.
  const std::size_t nameStart = path.find_last_of("\\:") + 1;
  const std::size_t end = path.find_last_not_of(". ");
  if (end != std::string::npos && end >= nameStart &&
      path.find_first_not_of('.', nameStart) <= end) {
    path.resize(end + 1);
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
