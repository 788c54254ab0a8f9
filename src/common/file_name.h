#pragma once
// The file name at the end of a Windows path: what follows its last backslash or slash, the whole
// path when it has neither. For paths in UTF-8 and in UTF-16 alike.

#include <string_view>

namespace quorlane {

namespace detail {
template <typename Char>
std::basic_string_view<Char> fileName(std::basic_string_view<Char> path) {
  constexpr Char kSeparators[] = {Char('\\'), Char('/'), Char(0)};
  const auto separator = path.find_last_of(kSeparators);
  return separator == std::basic_string_view<Char>::npos ? path : path.substr(separator + 1);
}
}  // namespace detail

inline std::string_view fileName(std::string_view path) {
  return detail::fileName(path);
}
inline std::wstring_view fileName(std::wstring_view path) {
  return detail::fileName(path);
}

}  // namespace quorlane
