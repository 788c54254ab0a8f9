#include "win32/feedback_win32.h"

#include <shobjidl.h>

#include <algorithm>
#include <array>
#include <vector>

#include "win32/common_controls.h"
#include "win32/default_handling.h"
#include "win32/dpi.h"
#include "win32/failure_barrier.h"
#include "win32/system_dll.h"
#include "win32/text.h"

namespace quorlane::win32 {

namespace {

// Space between a panel's border and its text, around its buttons and between them, in pixels
// at 96 DPI.
constexpr int kPadding = 4;
constexpr int kButtonMargin = 10;  // a button's caption to its sides, and its height to a line
// The result panel's buttons, in the order of ResultButtons: their ids are the clicks they report.
constexpr std::array<int, 2> kResultButtonIds = {
    static_cast<int>(window::ControlId::ResultAction),
    static_cast<int>(window::ControlId::ResultAction2)};

int scaled(int pixels, HWND hwnd) {
  return MulDiv(pixels, dpi::forWindow(hwnd), USER_DEFAULT_SCREEN_DPI);
}

void registerPanelClass(const wchar_t* name, WNDPROC proc) {
  WNDCLASSEXW panel{};
  panel.cbSize = sizeof(panel);
  panel.lpfnWndProc = proc;
  panel.hInstance = GetModuleHandleW(nullptr);
  panel.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  panel.lpszClassName = name;
  RegisterClassExW(&panel);  // fails harmlessly when the class is there already
}

// A panel keeps the control it lies over, whose font it draws with: the anchor's own, at the
// anchor's DPI, read whenever it is needed, so a font the anchor has let go is never used.
HWND anchorOf(HWND panel) {
  return reinterpret_cast<HWND>(GetWindowLongPtrW(panel, GWLP_USERDATA));
}
HFONT fontOf(HWND panel) {
  HWND anchor = anchorOf(panel);
  return anchor != nullptr ? controlFont(anchor) : nullptr;
}
HGDIOBJ drawingFont(HWND panel) {
  return fontOrStock(anchorOf(panel), DEFAULT_GUI_FONT);  // no anchor: no font, the stock one
}

// The panel's buttons that are to be shown, in order (only the result panel has buttons). Their
// style says so even while the panel itself is hidden.
std::vector<HWND> shownButtons(HWND panel) {
  std::vector<HWND> shown;
  for (const int id : kResultButtonIds) {
    HWND button = GetDlgItem(panel, id);
    if (button != nullptr && (GetWindowLongPtrW(button, GWL_STYLE) & WS_VISIBLE) != 0) {
      shown.push_back(button);
    }
  }
  return shown;
}

// The text's rectangle inside a panel of the given client size, left of a column of buttons of
// that width.
RECT textArea(HWND panel, const RECT& client, int buttonWidth) {
  const int pad = scaled(kPadding, panel);
  RECT area{client.left + pad, client.top + pad, client.right - pad, client.bottom - pad};
  if (buttonWidth > 0) area.right -= buttonWidth + pad;
  return area;
}

int widthOf(HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  return r.right - r.left;
}

// The vertical extent of the anchor's last line with text on it (output often ends in empty
// lines) in its client area. An edit control tells where a character is drawn; other controls
// count as full.
struct LastLine {
  int top = 0;
  int bottom = 0;
};
LastLine lastLine(HWND anchor, int clientHeight, int lineHeight) {
  const std::wstring text = windowText(anchor);
  const auto last = text.find_last_not_of(L" \t\r\n");
  if (last == std::wstring::npos) return {};
  const LRESULT pos = SendMessageW(anchor, EM_POSFROMCHAR, static_cast<WPARAM>(last), 0);
  if (pos == -1) return {clientHeight - lineHeight, clientHeight};
  const int top = static_cast<short>(HIWORD(pos));
  return {top, top + lineHeight};
}

// Lays the panel (and its buttons, one below the other at its right, all as wide as the widest)
// out over the anchor's client area, which leaves out the anchor's scroll bar: across its width,
// as tall as the text or the buttons, below the anchor's last line when it fits there, otherwise
// above it, at the top, so the newest line stays in view either way.
void placePanel(HWND main, HWND panel, HWND anchor) {
  const std::vector<HWND> buttons = shownButtons(panel);
  RECT client;
  GetClientRect(anchor, &client);
  const int clientHeight = client.bottom - client.top;
  MapWindowPoints(anchor, main, reinterpret_cast<POINT*>(&client), 2);
  const int border = dpi::metric(SM_CYBORDER, dpi::forWindow(anchor));
  const int pad = scaled(kPadding, panel);
  const std::wstring text = windowText(panel);

  int lineHeight = 0;
  SIZE buttonSize{0, 0};
  int column = 0;  // the buttons' height, one below the other
  RECT measure{};
  {
    WindowDC dc(panel);
    Selection selected(dc.get(), drawingFont(panel));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc.get(), &metrics);
    lineHeight = metrics.tmHeight;
    for (HWND button : buttons) {
      // The caption as the button draws it: its access key's & takes no room.
      const std::wstring caption = windowText(button);
      RECT c{0, 0, 0, 0};
      DrawTextW(dc.get(), caption.c_str(), static_cast<int>(caption.size()), &c,
                DT_SINGLELINE | DT_CALCRECT);
      buttonSize.cx = std::max<int>(buttonSize.cx, c.right - c.left);
    }
    if (!buttons.empty()) {
      buttonSize = {buttonSize.cx + 2 * scaled(kButtonMargin, panel),
                    lineHeight + scaled(kButtonMargin, panel)};
      const int count = static_cast<int>(buttons.size());
      column = count * buttonSize.cy + (count - 1) * pad;
    }
    measure =
        textArea(panel, RECT{0, 0, client.right - client.left - 2 * border, 0}, buttonSize.cx);
    measure.bottom = measure.top + 1000;
    DrawTextW(dc.get(), text.c_str(), static_cast<int>(text.size()), &measure,
              DT_LEFT | DT_TOP | DT_WORDBREAK | DT_NOPREFIX | DT_CALCRECT);
  }
  const int wanted = std::max<int>(measure.bottom - measure.top, column) + 2 * pad + 2 * border;
  const LastLine last = lastLine(anchor, clientHeight, lineHeight);
  const int below = clientHeight - last.bottom;
  const int above = last.top;
  // Where it fits whole; should it fit nowhere, the larger side, the panel cut to it.
  const bool atBottom = wanted <= below || (wanted > above && below >= above);
  const int height = std::max(0, std::min(wanted, atBottom ? below : above));
  const int top = atBottom ? client.bottom - height : client.top;
  SetWindowPos(panel, HWND_TOP, client.left, top, client.right - client.left, height,
               SWP_NOACTIVATE | SWP_SHOWWINDOW);
  RECT inside;
  GetClientRect(panel, &inside);
  int buttonTop = pad;
  for (HWND button : buttons) {
    SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(fontOf(panel)), FALSE);
    SetWindowPos(button, nullptr, inside.right - pad - buttonSize.cx, buttonTop, buttonSize.cx,
                 buttonSize.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    buttonTop += buttonSize.cy + pad;
  }
  RedrawWindow(panel, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// The panels' messages.

LRESULT onPanelPaint(HWND hwnd) {
  Paint paint(hwnd);
  RECT client;
  GetClientRect(hwnd, &client);
  FillRect(paint.dc(), &client, GetSysColorBrush(COLOR_INFOBK));
  const std::wstring text = windowText(hwnd);
  Selection selected(paint.dc(), drawingFont(hwnd));
  SetTextColor(paint.dc(), GetSysColor(COLOR_INFOTEXT));
  SetBkMode(paint.dc(), TRANSPARENT);
  const std::vector<HWND> buttons = shownButtons(hwnd);
  RECT area = textArea(hwnd, client, buttons.empty() ? 0 : widthOf(buttons.front()));
  DrawTextW(paint.dc(), text.c_str(), static_cast<int>(text.size()), &area,
            DT_LEFT | DT_TOP | DT_WORDBREAK | DT_NOPREFIX);
  return 0;
}

// The keyboard focus, when it is on `window` or inside it, goes to the panel's anchor: a window
// about to be hidden must not keep it.
void focusAnchorInstead(HWND panel, HWND window) {
  HWND focus = GetFocus();
  if (focus != nullptr && (focus == window || IsChild(window, focus))) {
    HWND anchor = anchorOf(panel);
    if (anchor != nullptr && IsWindowEnabled(anchor)) SetFocus(anchor);
  }
}

// Hides the result panel; the keyboard focus, when it was on a button, goes to the anchor.
void hideResultPanel(HWND panel) {
  if (panel == nullptr || !IsWindowVisible(panel)) return;
  focusAnchorInstead(panel, panel);
  ShowWindow(panel, SW_HIDE);
}

LRESULT panelMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, bool clickable,
                     const DefaultHandling& defaultHandling) {
  switch (message) {
    case WM_NCHITTEST:
      // The hint lets clicks and the wheel through to the control underneath.
      return clickable ? defaultHandling() : HTTRANSPARENT;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      return onPanelPaint(hwnd);
    case WM_SETTEXT:
      return handledThenRedrawn(hwnd, defaultHandling, true);
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(fontOf(hwnd));
    case WM_LBUTTONDOWN:
      // The result has been read.
      if (clickable) hideResultPanel(hwnd);
      return 0;
    case WM_COMMAND:
      // The button's click goes, as it came, to the window whose events it is.
      return SendMessageW(GetParent(hwnd), WM_COMMAND, wParam, lParam);
    default:
      return defaultHandling();
  }
}

LRESULT panelProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, bool clickable) {
  const DefaultHandling defaultHandling(DefWindowProcW, hwnd, message, wParam, lParam);
  return guarded(
      [&] { return panelMessage(hwnd, message, wParam, lParam, clickable, defaultHandling); },
      defaultHandling);
}

}  // namespace

void Win32Feedback::ComReleaser::operator()(ITaskbarList3* list) const {
  if (list != nullptr) list->Release();
}

Win32Feedback::Win32Feedback(HWND mainWindow, bool useTaskbar)
    : main_(mainWindow), taskbarTried_(!useTaskbar) {}

Win32Feedback::~Win32Feedback() {
  if (anchor_ != nullptr && IsWindow(anchor_)) removeWindowSubclass(anchor_, &anchorProc, 0);
}

LRESULT CALLBACK Win32Feedback::hintProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return panelProc(hwnd, message, wParam, lParam, false);
}

LRESULT CALLBACK Win32Feedback::resultProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return panelProc(hwnd, message, wParam, lParam, true);
}

LRESULT CALLBACK Win32Feedback::anchorProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                           UINT_PTR, DWORD_PTR self) {
  // No message of the anchor needs its parameters: each handler receives only the default
  // handling.
  const DefaultHandling defaultHandling(defSubclassProc, hwnd, message, wParam, lParam);
  return guarded(
      [&] {
        return reinterpret_cast<Win32Feedback*>(self)->anchorMessage(hwnd, message,
                                                                     defaultHandling);
      },
      defaultHandling);
}

LRESULT Win32Feedback::anchorMessage(HWND hwnd, UINT message,
                                     const DefaultHandling& defaultHandling) {
  switch (message) {
    case WM_PAINT:
      return onAnchorPaint(hwnd, defaultHandling);
    case WM_SETFONT:
    case WM_WINDOWPOSCHANGED:
      return onAnchorChanged(hwnd, defaultHandling);
    case WM_NCDESTROY:
      return onAnchorNcDestroy(hwnd, defaultHandling);
    default:
      return defaultHandling();
  }
}

LRESULT Win32Feedback::onAnchorPaint(HWND hwnd, const DefaultHandling& defaultHandling) {
  const LRESULT result = defaultHandling();
  // Sibling controls draw over each other where they overlap: whenever the anchor has drawn
  // itself, the panels draw themselves again on top.
  for (HWND panel : {hint_.get(), result_.get()}) {
    if (panel != nullptr && anchorOf(panel) == hwnd && IsWindowVisible(panel)) {
      RedrawWindow(panel, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    }
  }
  return result;
}

LRESULT Win32Feedback::onAnchorChanged(HWND hwnd, const DefaultHandling& defaultHandling) {
  // A new font (the window's DPI changed, and the old font is about to go) or a new place: the
  // panels measure and place themselves again.
  const LRESULT result = defaultHandling();
  replace(hwnd);
  return result;
}

LRESULT Win32Feedback::onAnchorNcDestroy(HWND hwnd, const DefaultHandling& defaultHandling) {
  removeWindowSubclass(hwnd, &anchorProc, 0);
  anchor_ = nullptr;
  for (HWND panel : {hint_.get(), result_.get()}) {
    if (panel != nullptr && anchorOf(panel) == hwnd) SetWindowLongPtrW(panel, GWLP_USERDATA, 0);
  }
  return defaultHandling();
}

void Win32Feedback::follow(HWND target) {
  if (anchor_ == target) return;
  if (anchor_ != nullptr && IsWindow(anchor_)) removeWindowSubclass(anchor_, &anchorProc, 0);
  anchor_ = setWindowSubclass(target, &anchorProc, 0, reinterpret_cast<DWORD_PTR>(this)) ? target
                                                                                         : nullptr;
}

void Win32Feedback::show(HWND panel, HWND target, std::string_view text) {
  SetWindowLongPtrW(panel, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(target));
  const std::wstring wide = widen(text);
  SetWindowTextW(panel, wide.c_str());
  follow(target);
  placePanel(main_, panel, target);
}

void Win32Feedback::replace(HWND target) {
  for (HWND panel : {hint_.get(), result_.get()}) {
    if (panel != nullptr && anchorOf(panel) == target && IsWindowVisible(panel)) {
      placePanel(main_, panel, target);
    }
  }
}

void Win32Feedback::setHint(window::ControlId anchor, std::string_view text) {
  HWND target = GetDlgItem(main_, static_cast<int>(anchor));
  if (text.empty() || target == nullptr) {
    if (hint_) ShowWindow(hint_.get(), SW_HIDE);
    return;
  }
  if (!hint_) {
    registerPanelClass(kHintClassName, &hintProc);
    hint_.reset(CreateWindowExW(0, kHintClassName, L"", WS_CHILD | WS_BORDER, 0, 0, 0, 0, main_,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(kHintId)),
                                GetModuleHandleW(nullptr), nullptr));
    if (!hint_) return;
  }
  show(hint_.get(), target, text);
}

void Win32Feedback::showResult(window::ControlId anchor, std::string_view text,
                               const window::ResultButtons& buttons) {
  HWND target = GetDlgItem(main_, static_cast<int>(anchor));
  if (text.empty() || target == nullptr) {
    hideResult();
    return;
  }
  if (!result_) {
    registerPanelClass(kResultClassName, &resultProc);
    // A control parent, so that Tab and the button's access key reach the button inside it.
    result_.reset(CreateWindowExW(WS_EX_CONTROLPARENT, kResultClassName, L"",
                                  WS_CHILD | WS_BORDER | WS_CLIPCHILDREN, 0, 0, 0, 0, main_,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(kResultId)),
                                  GetModuleHandleW(nullptr), nullptr));
    if (!result_) return;
    // Destroyed with the panel; Tab goes through them in this order.
    for (const int id : kResultButtonIds) {
      CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 0, 0,
                      result_.get(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                      GetModuleHandleW(nullptr), nullptr);
    }
  }
  for (std::size_t i = 0; i < buttons.size(); ++i) {
    HWND action = resultButton(i);
    if (action == nullptr) continue;
    if (buttons[i].empty()) focusAnchorInstead(result_.get(), action);
    const std::wstring caption = widen(buttons[i]);
    SetWindowTextW(action, caption.c_str());
    ShowWindow(action, buttons[i].empty() ? SW_HIDE : SW_SHOWNA);
  }
  show(result_.get(), target, text);
}

void Win32Feedback::hideResult() {
  hideResultPanel(result_.get());
}

HWND Win32Feedback::resultButton(std::size_t index) const {
  return result_ && index < kResultButtonIds.size()
             ? GetDlgItem(result_.get(), kResultButtonIds[index])
             : nullptr;
}

bool Win32Feedback::hasTaskbar() {
  if (!taskbarTried_) {
    taskbarTried_ = true;
    enterCom();
    const auto create =
        laterFunction<decltype(&CoCreateInstance)>(L"ole32.dll", "CoCreateInstance");
    ITaskbarList3* list = nullptr;
    if (create != nullptr &&
        SUCCEEDED(create(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskbarList3,
                         reinterpret_cast<void**>(&list))) &&
        list != nullptr) {
      taskbar_.reset(list);
      if (FAILED(taskbar_->HrInit())) taskbar_.reset();
    }
  }
  return taskbar_ != nullptr;
}

void Win32Feedback::setProgress(window::Progress progress) {
  // A hidden window has no taskbar button, and the taskbar takes no progress for a window before
  // its button exists: while the start-up's device query runs the window is not shown yet, so
  // the taskbar's interface is left uncreated until the window shows.
  if (!IsWindowVisible(main_)) return;
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
