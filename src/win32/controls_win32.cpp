#include "win32/controls_win32.h"

#include <algorithm>
#include <string>

#include "win32/handles.h"
#include "win32/text.h"

namespace quorlane::win32 {

namespace {

bool isMultilineEdit(HWND hwnd) {
  wchar_t className[16] = {};
  GetClassNameW(hwnd, className, 16);
  return CompareStringOrdinal(className, -1, L"Edit", -1, TRUE) == CSTR_EQUAL &&
         (GetWindowLongPtrW(hwnd, GWL_STYLE) & ES_MULTILINE) != 0;
}

// How many whole lines the edit control shows.
int visibleLines(HWND edit) {
  RECT format{};
  SendMessageW(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
  WindowDC dc(edit);
  TEXTMETRICW metrics{};
  {
    Selection selected(dc.get(), fontOrStock(edit, SYSTEM_FONT));
    GetTextMetricsW(dc.get(), &metrics);
  }
  const int lineHeight = std::max<int>(1, metrics.tmHeight);
  return std::max<int>(1, (format.bottom - format.top) / lineHeight);
}

struct EditSelection {
  DWORD start = 0;
  DWORD end = 0;
};

EditSelection selection(HWND edit) {
  EditSelection s;
  SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&s.start),
               reinterpret_cast<LPARAM>(&s.end));
  return s;
}

}  // namespace

bool endInView(HWND edit) {
  const auto first = static_cast<int>(SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0));
  const auto count = static_cast<int>(SendMessageW(edit, EM_GETLINECOUNT, 0, 0));
  return first + visibleLines(edit) >= count;
}

void scrollToEnd(HWND edit) {
  const auto first = static_cast<int>(SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0));
  const auto count = static_cast<int>(SendMessageW(edit, EM_GETLINECOUNT, 0, 0));
  const int top = std::max(0, count - visibleLines(edit));
  if (top != first) SendMessageW(edit, EM_LINESCROLL, 0, top - first);
}

HWND Win32Controls::child(window::ControlId id) const {
  return GetDlgItem(main_, static_cast<int>(id));
}

std::string Win32Controls::text(window::ControlId id) {
  HWND hwnd = child(id);
  return hwnd == nullptr ? std::string() : narrow(windowText(hwnd));
}

void Win32Controls::setText(window::ControlId id, std::string_view text) {
  HWND hwnd = child(id);
  if (hwnd == nullptr) return;
  const std::wstring wide = widen(text);
  if (!isMultilineEdit(hwnd)) {
    SetWindowTextW(hwnd, wide.c_str());
    return;
  }
  // Replacing the whole text scrolls to the top; put the view back where the user had it.
  const bool atEnd = endInView(hwnd);
  const auto first = static_cast<int>(SendMessageW(hwnd, EM_GETFIRSTVISIBLELINE, 0, 0));
  SetWindowTextW(hwnd, wide.c_str());
  if (atEnd) {
    scrollToEnd(hwnd);
  } else {
    const auto now = static_cast<int>(SendMessageW(hwnd, EM_GETFIRSTVISIBLELINE, 0, 0));
    if (now != first) SendMessageW(hwnd, EM_LINESCROLL, 0, first - now);
  }
}

void Win32Controls::appendText(window::ControlId id, std::string_view text) {
  HWND hwnd = child(id);
  if (hwnd == nullptr || text.empty()) return;
  if (!isMultilineEdit(hwnd)) {
    SetWindowTextW(hwnd, (windowText(hwnd) + widen(text)).c_str());
    return;
  }
  const bool atEnd = endInView(hwnd);
  const EditSelection kept = selection(hwnd);
  const auto first = static_cast<int>(SendMessageW(hwnd, EM_GETFIRSTVISIBLELINE, 0, 0));
  // Insert at the end: only the new text goes into the control, however long the old one is.
  const auto length = static_cast<WPARAM>(GetWindowTextLengthW(hwnd));
  SendMessageW(hwnd, EM_SETSEL, length, static_cast<LPARAM>(length));
  const std::wstring wide = widen(text);
  SendMessageW(hwnd, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(wide.c_str()));
  SendMessageW(hwnd, EM_SETSEL, kept.start, static_cast<LPARAM>(kept.end));
  if (atEnd) {
    scrollToEnd(hwnd);
  } else {
    // The insertion may have scrolled the caret into view; the reader stays where he was.
    const auto now = static_cast<int>(SendMessageW(hwnd, EM_GETFIRSTVISIBLELINE, 0, 0));
    if (now != first) SendMessageW(hwnd, EM_LINESCROLL, 0, first - now);
  }
}

bool Win32Controls::enabled(window::ControlId id) {
  HWND hwnd = child(id);
  return hwnd != nullptr && IsWindowEnabled(hwnd) != FALSE;
}

void Win32Controls::setEnabled(window::ControlId id, bool enabled) {
  HWND hwnd = child(id);
  if (hwnd != nullptr) EnableWindow(hwnd, enabled ? TRUE : FALSE);
}

}  // namespace quorlane::win32
