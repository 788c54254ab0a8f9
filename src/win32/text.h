#pragma once
// Conversions between the program's UTF-8 texts and the encodings of the Win32 API, and reading a
// window's text and the font it is drawn in.

#include <windows.h>

#include <string>
#include <string_view>

namespace quorlane::win32 {

// Bytes in a code page (CP_UTF8, CP_ACP, ...) to UTF-16, and back.
std::wstring toWide(unsigned codePage, std::string_view bytes);
std::string fromWide(unsigned codePage, std::wstring_view wide);

inline std::wstring widen(std::string_view utf8) {
  return toWide(CP_UTF8, utf8);
}
inline std::string narrow(std::wstring_view utf16) {
  return fromWide(CP_UTF8, utf16);
}
// Bytes in the ANSI code page (or any other code page) to UTF-8, and back.
inline std::string fromCodePage(unsigned codePage, std::string_view bytes) {
  return narrow(toWide(codePage, bytes));
}
inline std::string toCodePage(unsigned codePage, std::string_view utf8) {
  return fromWide(codePage, widen(utf8));
}

// The window's text (a caption, an edit control's contents); empty when there is none.
std::wstring windowText(HWND window);

// The font a control draws its text in (WM_GETFONT); nullptr when it has none of its own.
inline HFONT controlFont(HWND control) {
  return reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
}

// That font, or the stock font `stockFont` (SYSTEM_FONT, DEFAULT_GUI_FONT) when it has none of its
// own; for selecting into a device context to measure or draw as the control does.
inline HGDIOBJ fontOrStock(HWND control, int stockFont) {
  const HFONT font = controlFont(control);
  return font != nullptr ? static_cast<HGDIOBJ>(font) : GetStockObject(stockFont);
}

}  // namespace quorlane::win32
