#pragma once
// Conversions between the program's UTF-8 texts and the encodings of the Win32 API.

#include <string>
#include <string_view>

namespace quorlane::win32 {

std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view utf16);
// Bytes in the ANSI code page (or any other code page) to UTF-8, and back.
std::string fromCodePage(unsigned codePage, std::string_view bytes);
std::string toCodePage(unsigned codePage, std::string_view utf8);

}  // namespace quorlane::win32
