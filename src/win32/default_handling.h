#pragma once
// What the system does with the message being handled. Each window procedure decodes a message's
// parameters in its switch, one line a message, so that a handler's signature says what it
// receives; a handler that also leaves the message to the system (DefWindowProcW, or in a
// subclass the next procedure, DefSubclassProc) takes a DefaultHandling for it rather than the
// raw parameters.

#include <windows.h>

namespace quorlane::win32 {

class DefaultHandling {
 public:
  DefaultHandling(WNDPROC next, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
      : next_(next), hwnd_(hwnd), message_(message), wParam_(wParam), lParam_(lParam) {}

  // Hands the message, as it came, to the system's handling and returns its answer.
  LRESULT operator()() const { return next_(hwnd_, message_, wParam_, lParam_); }

 private:
  WNDPROC next_;
  HWND hwnd_;
  UINT message_;
  WPARAM wParam_;
  LPARAM lParam_;
};

// Leaves the message to the system's handling, then has the window drawn again our way: some
// controls draw themselves at once, their own way, on a new text or state.
inline LRESULT handledThenRedrawn(HWND hwnd, const DefaultHandling& defaultHandling, bool erase) {
  const LRESULT result = defaultHandling();
  InvalidateRect(hwnd, nullptr, erase ? TRUE : FALSE);
  return result;
}

}  // namespace quorlane::win32
