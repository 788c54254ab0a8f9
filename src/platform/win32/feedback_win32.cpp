#include "platform/win32/feedback_win32.h"

#include <commctrl.h>
#include <shobjidl.h>

#include <algorithm>

#include "platform/win32/dpi.h"
#include "platform/win32/failure_barrier.h"
#include "platform/win32/text.h"

namespace quorlane::win32 {

namespace {

// Space between the panel's border and its text, in pixels at 96 DPI.
constexpr int kPadding = 4;

int scaled(int pixels, HWND hwnd) {
  return MulDiv(pixels, dpi::forWindow(hwnd), USER_DEFAULT_SCREEN_DPI);
}

void registerHintClass(WNDPROC proc) {
  static const bool registered = [proc] {
    WNDCLASSEXW hint{};
    hint.cbSize = sizeof(hint);
    hint.lpfnWndProc = proc;
    hint.hInstance = GetModuleHandleW(nullptr);
    hint.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    hint.lpszClassName = Win32Feedback::kHintClassName;
    return RegisterClassExW(&hint) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  }();
  (void)registered;
}

// The text's rectangle inside a panel of the given client size.
RECT textArea(HWND hint, const RECT& client) {
  const int pad = scaled(kPadding, hint);
  return RECT{client.left + pad, client.top + pad, client.right - pad, client.bottom - pad};
}

}  // namespace

void Win32Feedback::ComReleaser::operator()(ITaskbarList3* list) const {
  if (list != nullptr) list->Release();
}

Win32Feedback::Win32Feedback(HWND mainWindow, bool useTaskbar)
    : main_(mainWindow), taskbarTried_(!useTaskbar) {}

Win32Feedback::~Win32Feedback() {
  if (anchor_ != nullptr && IsWindow(anchor_)) RemoveWindowSubclass(anchor_, &anchorProc, 0);
}

namespace {

// The panel's messages.

LRESULT onHintPaint(HWND hwnd) {
  Paint paint(hwnd);
  RECT client;
  GetClientRect(hwnd, &client);
  FillRect(paint.dc(), &client, GetSysColorBrush(COLOR_INFOBK));
  const std::wstring text = windowText(hwnd);
  HFONT font = reinterpret_cast<HFONT>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  Selection selected(
      paint.dc(), font != nullptr ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
  SetTextColor(paint.dc(), GetSysColor(COLOR_INFOTEXT));
  SetBkMode(paint.dc(), TRANSPARENT);
  RECT area = textArea(hwnd, client);
  DrawTextW(paint.dc(), text.c_str(), static_cast<int>(text.size()), &area,
            DT_LEFT | DT_TOP | DT_WORDBREAK | DT_NOPREFIX);
  return 0;
}

LRESULT onHintSetText(HWND hwnd, WPARAM wParam, LPARAM lParam) {
  const LRESULT result = DefWindowProcW(hwnd, WM_SETTEXT, wParam, lParam);
  InvalidateRect(hwnd, nullptr, TRUE);
  return result;
}

LRESULT hintMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NCHITTEST:
      return HTTRANSPARENT;  // clicks and the wheel reach the control underneath
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      return onHintPaint(hwnd);
    case WM_SETTEXT:
      return onHintSetText(hwnd, wParam, lParam);
    default:
      return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

}  // namespace

LRESULT CALLBACK Win32Feedback::anchorProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                           UINT_PTR, DWORD_PTR self) {
  return guarded(
      [&] {
        return reinterpret_cast<Win32Feedback*>(self)->anchorMessage(hwnd, message, wParam, lParam);
      },
      [&] { return DefSubclassProc(hwnd, message, wParam, lParam); });
}

LRESULT Win32Feedback::anchorMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      return onAnchorPaint(hwnd, wParam, lParam);
    case WM_NCDESTROY:
      return onAnchorNcDestroy(hwnd, wParam, lParam);
    default:
      return DefSubclassProc(hwnd, message, wParam, lParam);
  }
}

LRESULT Win32Feedback::onAnchorPaint(HWND hwnd, WPARAM wParam, LPARAM lParam) {
  const LRESULT result = DefSubclassProc(hwnd, WM_PAINT, wParam, lParam);
  // Sibling controls draw over each other where they overlap: whenever the anchor has drawn
  // itself, the panel draws itself again on top.
  HWND hint = hint_.get();
  if (hint != nullptr && IsWindowVisible(hint)) {
    RedrawWindow(hint, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  }
  return result;
}

LRESULT Win32Feedback::onAnchorNcDestroy(HWND hwnd, WPARAM wParam, LPARAM lParam) {
  RemoveWindowSubclass(hwnd, &anchorProc, 0);
  anchor_ = nullptr;
  return DefSubclassProc(hwnd, WM_NCDESTROY, wParam, lParam);
}

LRESULT CALLBACK Win32Feedback::hintProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return guarded([&] { return hintMessage(hwnd, message, wParam, lParam); },
                 [&] { return DefWindowProcW(hwnd, message, wParam, lParam); });
}

void Win32Feedback::setHint(window::ControlId anchor, std::string_view text) {
  HWND target = GetDlgItem(main_, static_cast<int>(anchor));
  if (text.empty() || target == nullptr) {
    if (hint_) ShowWindow(hint_.get(), SW_HIDE);
    return;
  }
  if (!hint_) {
    registerHintClass(&hintProc);
    hint_.reset(CreateWindowExW(0, kHintClassName, L"", WS_CHILD | WS_BORDER, 0, 0, 0, 0, main_,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(kHintId)),
                                GetModuleHandleW(nullptr), nullptr));
    if (!hint_) return;
  }
  HWND hint = hint_.get();
  const std::wstring wide = widen(text);
  SetWindowTextW(hint, wide.c_str());
  // The anchor's own font, at the anchor's DPI; the panel does not own it.
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(target, WM_GETFONT, 0, 0));
  SetWindowLongPtrW(hint, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(font));

  // Across the anchor's client area (which leaves out its scroll bar), as tall as the text: at
  // the bottom while the anchor's text ends above that, otherwise at the top, so the newest line
  // stays in view either way.
  RECT client;
  GetClientRect(target, &client);
  const int clientHeight = client.bottom - client.top;
  MapWindowPoints(target, main_, reinterpret_cast<POINT*>(&client), 2);
  const int border = dpi::metric(SM_CYBORDER, dpi::forWindow(target));
  RECT measure = textArea(hint, RECT{0, 0, client.right - client.left - 2 * border, 0});
  int lineHeight = 0;
  {
    WindowDC dc(hint);
    Selection selected(
        dc.get(), font != nullptr ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
    measure.bottom = measure.top + 1000;
    DrawTextW(dc.get(), wide.c_str(), static_cast<int>(wide.size()), &measure,
              DT_LEFT | DT_TOP | DT_WORDBREAK | DT_NOPREFIX | DT_CALCRECT);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc.get(), &metrics);
    lineHeight = metrics.tmHeight;
  }
  const int height = std::min<int>(
      clientHeight, (measure.bottom - measure.top) + 2 * scaled(kPadding, hint) + 2 * border);
  // Where the anchor's last character is drawn (an edit control tells; others count as full).
  int textEnd = clientHeight;
  const auto length = static_cast<WPARAM>(GetWindowTextLengthW(target));
  if (length == 0) {
    textEnd = 0;
  } else {
    const LRESULT pos = SendMessageW(target, EM_POSFROMCHAR, length - 1, 0);
    if (pos != -1) textEnd = static_cast<short>(HIWORD(pos)) + lineHeight;
  }
  const bool atBottom = textEnd <= clientHeight - height;
  RECT panel{client.left, atBottom ? client.bottom - height : client.top, client.right, 0};
  panel.bottom = panel.top + height;

  if (anchor_ != target) {
    if (anchor_ != nullptr && IsWindow(anchor_)) RemoveWindowSubclass(anchor_, &anchorProc, 0);
    anchor_ = SetWindowSubclass(target, &anchorProc, 0, reinterpret_cast<DWORD_PTR>(this))
                  ? target
                  : nullptr;
  }
  SetWindowPos(hint, HWND_TOP, panel.left, panel.top, panel.right - panel.left,
               panel.bottom - panel.top, SWP_NOACTIVATE | SWP_SHOWWINDOW);
  InvalidateRect(hint, nullptr, TRUE);
}

bool Win32Feedback::hasTaskbar() {
  if (!taskbarTried_) {
    taskbarTried_ = true;
    ITaskbarList3* list = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_ITaskbarList3, reinterpret_cast<void**>(&list))) &&
        list != nullptr) {
      taskbar_.reset(list);
      if (FAILED(taskbar_->HrInit())) taskbar_.reset();
    }
  }
  return taskbar_ != nullptr;
}

void Win32Feedback::setProgress(window::Progress progress) {
  if (!hasTaskbar()) return;
  switch (progress) {
    case window::Progress::none:
      taskbar_->SetProgressState(main_, TBPF_NOPROGRESS);
      break;
    case window::Progress::running:
      taskbar_->SetProgressState(main_, TBPF_INDETERMINATE);
      break;
    case window::Progress::failed:
      // A full bar in the error colour.
      taskbar_->SetProgressState(main_, TBPF_ERROR);
      taskbar_->SetProgressValue(main_, 1, 1);
      break;
  }
}

bool Win32Feedback::inForeground() {
  if (!IsWindowVisible(main_)) return true;  // nothing shown, nothing to draw attention to
  if (IsIconic(main_)) return false;
  HWND front = GetForegroundWindow();
  // A box or dialog the window owns counts as the window.
  return front != nullptr && (front == main_ || GetAncestor(front, GA_ROOTOWNER) == main_);
}

void Win32Feedback::flashUntilActive() {
  FLASHWINFO flash{};
  flash.cbSize = sizeof(flash);
  flash.hwnd = main_;
  flash.dwFlags = FLASHW_TRAY | FLASHW_TIMERNOFG;
  FlashWindowEx(&flash);
}

}  // namespace quorlane::win32
