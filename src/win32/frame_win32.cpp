#include "win32/frame_win32.h"

#include <algorithm>
#include <string>

#include "win32/common_controls.h"
#include "win32/default_handling.h"
#include "win32/dpi.h"
#include "win32/failure_barrier.h"
#include "win32/handles.h"
#include "win32/text.h"

namespace quorlane::win32 {

namespace {

LRESULT CALLBACK frameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                           DWORD_PTR);

LRESULT onPaint(HWND hwnd) {
  Paint paint(hwnd);
  HDC dc = paint.dc();
  Selection selectedFont(dc, fontOrStock(hwnd, DEFAULT_GUI_FONT));
  // The colours come from the parent, as for any static control: the caption's red.
  auto brush = reinterpret_cast<HBRUSH>(SendMessageW(GetParent(hwnd), WM_CTLCOLORSTATIC,
                                                     reinterpret_cast<WPARAM>(dc),
                                                     reinterpret_cast<LPARAM>(hwnd)));
  if (brush == nullptr) brush = GetSysColorBrush(COLOR_BTNFACE);

  RECT client;
  GetClientRect(hwnd, &client);
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  RECT frame = client;
  frame.top += metrics.tmHeight / 2 - 1;
  DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);

  const std::wstring caption = windowText(hwnd);
  if (!caption.empty()) {
    // The caption sits on the frame's top line, a little in from the left, on the window's
    // background with a pixel of margin either side.
    const int inset = MulDiv(8, dpi::forWindow(hwnd), 96);
    RECT text{client.left + inset, client.top, client.right - inset, client.top};
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
              DT_SINGLELINE | DT_LEFT | DT_TOP | DT_CALCRECT);
    text.right = std::min(text.right, client.right - inset);
    RECT background{text.left - 1, text.top, text.right + 1, text.bottom};
    FillRect(dc, &background, brush);
    SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
              DT_SINGLELINE | DT_LEFT | DT_TOP | DT_END_ELLIPSIS);
  }
  return 0;
}

// The standard group box draws itself right away on a new text, enabled state or focus cues;
// it is drawn our way afterwards.
LRESULT onStateChange(HWND hwnd, const DefaultHandling& defaultHandling) {
  return handledThenRedrawn(hwnd, defaultHandling, false);
}

LRESULT onNcDestroy(HWND hwnd, const DefaultHandling& defaultHandling) {
  removeWindowSubclass(hwnd, &frameProc, 0);
  return defaultHandling();
}

LRESULT handleMessage(HWND hwnd, UINT message, const DefaultHandling& defaultHandling) {
  switch (message) {
    case WM_PAINT:
      return onPaint(hwnd);
    case WM_ERASEBKGND:
      return 1;  // like any group box: the parent's background shows through
    case WM_SETTEXT:
    case WM_ENABLE:
    case WM_UPDATEUISTATE:
      return onStateChange(hwnd, defaultHandling);
    case WM_NCDESTROY:
      return onNcDestroy(hwnd, defaultHandling);
    default:
      return defaultHandling();
  }
}

LRESULT CALLBACK frameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                           DWORD_PTR) {
  // No message of a frame needs its parameters: each handler receives only the default handling.
  const DefaultHandling defaultHandling(defSubclassProc, hwnd, message, wParam, lParam);
  return guarded([&] { return handleMessage(hwnd, message, defaultHandling); }, defaultHandling);
}

}  // namespace

void paintFrameItself(HWND frame) {
  setWindowSubclass(frame, &frameProc, 0, 0);
}

}  // namespace quorlane::win32
