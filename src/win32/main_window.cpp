#include "win32/main_window.h"

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "resource_ids.h"
#include "win32/dpi.h"
#include "win32/failure_barrier.h"
#include "win32/frame_win32.h"
#include "win32/shell_win32.h"
#include "win32/system_dll.h"
#include "win32/tab_stops.h"
#include "win32/text.h"
#include "window/placement.h"

namespace quorlane::win32 {

namespace {

using window::ControlId;
using window::ControlRow;
using window::Kind;

constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kWindowExStyle = 0;
// Height of Combo1's drop-down list (it has no entries; the list only needs to open).
constexpr int kComboListTwips = 1500;

HWND childOf(HWND parent, ControlId id) {
  return GetDlgItem(parent, static_cast<int>(id));
}

COLORREF toColorRef(const window::Rgb& c) {
  return RGB(c.r, c.g, c.b);
}

RECT toRect(const window::PixelRect& r) {
  return RECT{r.left, r.top, r.right, r.bottom};
}

UniqueFont makeFont(const LOGFONTW& description) {
  UniqueFont font(CreateFontIndirectW(&description));
  if (!font) throw std::runtime_error("CreateFontIndirectW failed");
  return font;
}

}  // namespace

void MainWindow::registerClass(HINSTANCE instance) {
  WNDCLASSEXW main{};
  main.cbSize = sizeof(main);
  main.lpfnWndProc = &MainWindow::windowProc;
  main.hInstance = instance;
  main.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  main.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  main.lpszClassName = kClassName;
  main.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_QUORLANE));  // shared: never destroyed
  if (!RegisterClassExW(&main) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
    throw std::runtime_error("RegisterClassExW(Form1) failed");
  }
}

MainWindow::MainWindow(HINSTANCE instance, unsigned timerMs)
    : instance_(instance), runnerFace_(instance) {
  registerClass(instance);
  RunnerFace::registerClass(instance);

  const std::wstring caption = widen(window::form().caption);
  // WM_NCCREATE hands the handle to window_.
  HWND hwnd =
      CreateWindowExW(kWindowExStyle, kClassName, caption.c_str(), kWindowStyle, CW_USEDEFAULT,
                      CW_USEDEFAULT, 640, 480, nullptr, nullptr, instance, this);
  if (hwnd == nullptr) throw std::runtime_error("CreateWindowExW(Form1) failed");
  try {
    dpi_ = dpi::forWindow(hwnd);
    createControls();
    applyDpi(dpi_);
    // Files dropped on the window arrive as WM_DROPFILES. This is what DragAcceptFiles does, set
    // here directly so that shell32 is loaded with the first drop, not while the program starts.
    SetWindowLongPtrW(hwnd, GWL_EXSTYLE, GetWindowLongPtrW(hwnd, GWL_EXSTYLE) | WS_EX_ACCEPTFILES);
    if (SetTimer(hwnd, kTimerId, timerMs, nullptr) == 0) {
      throw std::runtime_error("SetTimer failed");
    }
  } catch (...) {
    // The window goes without reaching this half-made object (its WM_DESTROY would end the
    // message loop that is to show the failure).
    detach();
    throw;
  }
}

MainWindow::~MainWindow() {
  // Destroying the window also ends its timer.
  detach();
}

void MainWindow::detach() {
  if (window_) SetWindowLongPtrW(window_.get(), GWLP_USERDATA, 0);
}

HWND MainWindow::control(ControlId id) const {
  return childOf(window_.get(), id);
}

void MainWindow::makeFonts() {
  NONCLIENTMETRICSW metrics{};
  dpi::nonClientMetrics(metrics, dpi_);
  uiFont_ = makeFont(metrics.lfMessageFont);

  const window::Font& font = *window::control(ControlId::Combo1).font;
  LOGFONTW path{};
  path.lfHeight = -MulDiv(font.points, dpi_, 72);
  path.lfWeight = font.weight;
  path.lfCharSet = static_cast<BYTE>(font.charset);
  const std::wstring face = widen(font.face);
  face.copy(path.lfFaceName, LF_FACESIZE - 1);
  pathFont_ = makeFont(path);
}

void MainWindow::createControls() {
  HWND parent = window_.get();
  for (const ControlRow* row : window::creationOrder(window::controls())) {
    const wchar_t* className = L"BUTTON";
    DWORD style = WS_CHILD | WS_VISIBLE;
    DWORD exStyle = 0;
    LPVOID param = nullptr;
    switch (row->kind) {
      case Kind::frame:
        style |= BS_GROUPBOX;
        break;
      case Kind::button:
        style |= BS_PUSHBUTTON;
        break;
      case Kind::combo:
        className = L"COMBOBOX";
        style |= WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL;
        break;
      case Kind::edit:
        className = L"EDIT";
        exStyle |= WS_EX_CLIENTEDGE;
        style |= ES_LEFT |
                 (row->multiline ? ES_MULTILINE | WS_VSCROLL | ES_AUTOVSCROLL : ES_AUTOHSCROLL);
        if (row->readOnly) style |= ES_READONLY;
        break;
      case Kind::label:
        className = L"STATIC";
        style |= SS_LEFT | SS_NOPREFIX;
        break;
      case Kind::runner:
        className = RunnerFace::kClassName;
        param = &runnerFace_;
        break;
    }
    if (row->tabStop && window::takesFocus(row->kind)) style |= WS_TABSTOP;
    if (!row->enabled) style |= WS_DISABLED;

    const RECT r = toRect(window::pixelRect(*row, dpi_));
    const std::wstring caption = widen(row->caption);
    HWND child = CreateWindowExW(
        exStyle, className, caption.c_str(), style, r.left, r.top, r.right - r.left,
        r.bottom - r.top, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(static_cast<int>(row->id))), instance_, param);
    if (child == nullptr) throw std::runtime_error("CreateWindowExW(control) failed");

    if (row->kind == Kind::frame) {
      paintFrameItself(child);
      // Frames go to the bottom of the z-order, under the controls they hold. They never take
      // the focus, so the tab order of the others stays as created.
      SetWindowPos(child, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    if (row->kind == Kind::edit && row->multiline) {
      // No cap on the output box: 0 asks for the largest limit the control has.
      SendMessageW(child, EM_SETLIMITTEXT, 0, 0);
    }
  }
}

void MainWindow::placeControls() {
  HWND parent = window_.get();
  for (const auto& row : window::controls()) {
    HWND child = childOf(parent, row.id);
    if (child == nullptr) continue;
    const RECT r = toRect(window::pixelRect(row, dpi_));
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    if (row.kind != Kind::runner) {
      HFONT font = row.kind == Kind::combo ? pathFont_.get() : uiFont_.get();
      SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
    if (row.kind == Kind::combo) {
      // A drop-down combo box takes the height of its selection field from its font; the height
      // given here is that of the open list. Set the field to the table's height.
      const int list = window::twipsToPixels(kComboListTwips, dpi_);
      SetWindowPos(child, nullptr, r.left, r.top, width, height + list,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      // Systems differ in how the item height they report relates to the one they take, so
      // correct by what the last setting actually gave.
      LRESULT item = SendMessageW(child, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
      for (int attempt = 0; attempt < 4 && item != CB_ERR; ++attempt) {
        RECT actual;
        GetWindowRect(child, &actual);
        const int delta = height - (actual.bottom - actual.top);
        if (delta == 0 || item + delta <= 0) break;
        item += delta;
        SendMessageW(child, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), item);
      }
    } else {
      SetWindowPos(child, nullptr, r.left, r.top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // The output box's tab stops are in units of its font: renew them for the new one.
    if (row.kind == Kind::edit && row.multiline) setTabStops(child, kOutputTabTwips, dpi_);
  }
}

void MainWindow::loadIcons() {
  const int big = dpi::metric(SM_CXICON, dpi_);
  const int small = dpi::metric(SM_CXSMICON, dpi_);
  UniqueIcon bigIcon(static_cast<HICON>(
      LoadImageW(instance_, MAKEINTRESOURCEW(IDI_QUORLANE), IMAGE_ICON, big, big, 0)));
  UniqueIcon smallIcon(static_cast<HICON>(
      LoadImageW(instance_, MAKEINTRESOURCEW(IDI_QUORLANE), IMAGE_ICON, small, small, 0)));
  if (bigIcon)
    SendMessageW(window_.get(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon.get()));
  if (smallIcon) {
    SendMessageW(window_.get(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon.get()));
  }
  // The window now shows the new icons; the old ones can go.
  if (bigIcon) bigIcon_ = std::move(bigIcon);
  if (smallIcon) smallIcon_ = std::move(smallIcon);
}

void MainWindow::applyDpi(int dpi) {
  dpi_ = dpi;
  // New fonts first, then the controls switch to them, then the old ones are released.
  UniqueFont oldUi = std::move(uiFont_);
  UniqueFont oldPath = std::move(pathFont_);
  makeFonts();
  placeControls();
  oldUi.reset();
  oldPath.reset();
  loadIcons();
  fitClientArea();
  InvalidateRect(window_.get(), nullptr, TRUE);
}

void MainWindow::fitClientArea() {
  HWND hwnd = window_.get();
  const int wantWidth = window::twipsToPixels(window::form().clientWidth, dpi_);
  const int wantHeight = window::twipsToPixels(window::form().clientHeight, dpi_);
  RECT outer{0, 0, wantWidth, wantHeight};
  dpi::adjustWindowRect(outer, kWindowStyle, kWindowExStyle, dpi_);
  const int width = outer.right - outer.left;
  const int height = outer.bottom - outer.top;
  SetWindowPos(hwnd, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  // Should the frame's real size differ from the computed one, correct by the difference, so
  // the client area is exactly the table's.
  RECT client;
  GetClientRect(hwnd, &client);
  if (client.right != wantWidth || client.bottom != wantHeight) {
    SetWindowPos(hwnd, nullptr, 0, 0, width + wantWidth - client.right,
                 height + wantHeight - client.bottom, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void MainWindow::show() {
  HWND hwnd = window_.get();
  RECT outer;
  GetWindowRect(hwnd, &outer);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  if (GetMonitorInfoW(MonitorFromWindow(hwnd, MONITOR_DEFAULTTOPRIMARY), &monitor)) {
    const RECT& work = monitor.rcWork;
    const int width = outer.right - outer.left;
    const int height = outer.bottom - outer.top;
    // Centred; on a screen too small for it, the title bar stays on the screen.
    const int x = std::max<int>(work.left, work.left + ((work.right - work.left) - width) / 2);
    const int y = std::max<int>(work.top, work.top + ((work.bottom - work.top) - height) / 2);
    SetWindowPos(hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  ShowWindow(hwnd, SW_SHOW);
  UpdateWindow(hwnd);
  if (HWND first = firstFocusable()) {
    lastFocus_ = first;
    SetFocus(first);
  }
}

HWND MainWindow::firstFocusable() const {
  for (const ControlRow* row : window::creationOrder(window::controls())) {
    HWND child = control(row->id);
    if (child == nullptr) continue;
    const LONG_PTR style = GetWindowLongPtrW(child, GWL_STYLE);
    if ((style & WS_TABSTOP) != 0 && IsWindowEnabled(child) && IsWindowVisible(child)) {
      return child;
    }
  }
  return nullptr;
}

LRESULT CALLBACK MainWindow::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return guarded([&] { return dispatch(hwnd, message, wParam, lParam); },
                 [&] { return DefWindowProcW(hwnd, message, wParam, lParam); });
}

LRESULT MainWindow::dispatch(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) attach(hwnd, *reinterpret_cast<const CREATESTRUCTW*>(lParam));
  auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
  return self->handleMessage(message, wParam, lParam);
}

void MainWindow::attach(HWND hwnd, const CREATESTRUCTW& create) {
  auto* self = static_cast<MainWindow*>(create.lpCreateParams);
  self->window_.reset(hwnd);
  SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
}

LRESULT MainWindow::handleMessage(UINT message, WPARAM w, LPARAM l) {
  const DefaultHandling defaultHandling(DefWindowProcW, window_.get(), message, w, l);
  switch (message) {
    case WM_COMMAND:
      return onCommand(LOWORD(w), HIWORD(w), reinterpret_cast<HWND>(l), defaultHandling);
    case WM_TIMER:
      return onTimer(static_cast<UINT_PTR>(w), defaultHandling);
    case WM_CTLCOLORSTATIC:
      return onCtlColorStatic(reinterpret_cast<HDC>(w), reinterpret_cast<HWND>(l), defaultHandling);
    case WM_DROPFILES:
      return onDropFiles(reinterpret_cast<HDROP>(w));
    case WM_DEVICECHANGE:
      return onDeviceChange(defaultHandling);
    case WM_DPICHANGED:
      return onDpiChanged(HIWORD(w), *reinterpret_cast<const RECT*>(l));
    case WM_PARENTNOTIFY:
      return onParentNotify(LOWORD(w), defaultHandling);
    case WM_LBUTTONDOWN:
      return onLButtonDown(defaultHandling);
    case WM_ACTIVATE:
      return onActivate(LOWORD(w), HIWORD(w) != 0, defaultHandling);
    case WM_NEXTDLGCTL:
      // The low word of `l` tells whether `w` is the control or the direction.
      return onNextDlgCtl(LOWORD(l) != 0 ? std::optional(reinterpret_cast<HWND>(w)) : std::nullopt,
                          w != 0);
    case WM_CLOSE:
      return onClose();
    case WM_DESTROY:
      return onDestroy();
    case WM_NCDESTROY:
      return onNcDestroy(defaultHandling);
    default:
      return defaultHandling();
  }
}

void MainWindow::activated() {
  if (events_ != nullptr) events_->Form_Activate();
}

LRESULT MainWindow::onCommand(int id, UINT code, HWND control,
                              const DefaultHandling& defaultHandling) {
  // Clicks (also by access key or Enter through IsDialogMessage) come from a control; the dialog
  // manager's IDOK / IDCANCEL for Enter and Esc come without one and are ignored.
  if (code != BN_CLICKED || control == nullptr) return defaultHandling();
  const ControlRow* row = window::findRow(id);
  // The table's buttons, and the result panel's, whose clicks the panel passes on.
  const bool button = (row != nullptr && row->kind == Kind::button) ||
                      id == static_cast<int>(ControlId::ResultAction) ||
                      id == static_cast<int>(ControlId::ResultAction2);
  if (button && events_ != nullptr) events_->click(static_cast<ControlId>(id));
  return 0;
}

LRESULT MainWindow::onTimer(UINT_PTR timerId, const DefaultHandling& defaultHandling) {
  if (timerId != kTimerId) return defaultHandling();
  if (events_ != nullptr) events_->Timer1_Timer();
  return 0;
}

LRESULT MainWindow::onDeviceChange(const DefaultHandling& defaultHandling) {
  // Sent to every top-level window when a device comes or goes (DBT_DEVNODES_CHANGED, with no
  // registration). Whatever the event, the device list may have changed; the default answer
  // grants any request the event makes.
  if (events_ != nullptr) events_->devicesChanged();
  return defaultHandling();
}

LRESULT MainWindow::onDpiChanged(int dpi, const RECT& suggested) {
  // The window goes where the system suggests; its size follows from the new DPI.
  SetWindowPos(window_.get(), nullptr, suggested.left, suggested.top, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  applyDpi(dpi);
  return 0;
}

LRESULT MainWindow::onParentNotify(UINT event, const DefaultHandling& defaultHandling) {
  if (event == WM_LBUTTONDOWN) activated();
  return defaultHandling();
}

LRESULT MainWindow::onLButtonDown(const DefaultHandling& defaultHandling) {
  activated();
  return defaultHandling();
}

LRESULT MainWindow::onActivate(UINT state, bool minimized, const DefaultHandling& defaultHandling) {
  HWND hwnd = window_.get();
  if (state == WA_INACTIVE) {
    // Remembered, so that coming back to the window gives the focus back to that control.
    HWND focus = GetFocus();
    if (focus != nullptr && IsChild(hwnd, focus)) lastFocus_ = focus;
    return defaultHandling();
  }
  activated();
  if (!minimized) {
    HWND target = lastFocus_;
    if (target == nullptr || !IsWindow(target) || !IsWindowEnabled(target) ||
        !IsWindowVisible(target)) {
      target = firstFocusable();
    }
    if (target != nullptr) {
      SetFocus(target);
      return 0;
    }
  }
  return defaultHandling();
}

LRESULT MainWindow::onNextDlgCtl(std::optional<HWND> control, bool previous) {
  // A multi-line edit box in dialog mode asks its parent to move the focus on Tab.
  HWND target =
      control ? *control : GetNextDlgTabItem(window_.get(), GetFocus(), previous ? TRUE : FALSE);
  if (target != nullptr) SetFocus(target);
  return 0;
}

LRESULT MainWindow::onClose() {
  if (events_ != nullptr) events_->Form_Unload();
  DestroyWindow(window_.get());
  return 0;
}

LRESULT MainWindow::onDestroy() {
  KillTimer(window_.get(), kTimerId);
  PostQuitMessage(0);
  return 0;
}

LRESULT MainWindow::onNcDestroy(const DefaultHandling& defaultHandling) {
  SetWindowLongPtrW(window_.get(), GWLP_USERDATA, 0);
  (void)window_.release();  // the window is gone; nothing left to destroy
  return defaultHandling();
}

LRESULT MainWindow::onCtlColorStatic(HDC dc, HWND child, const DefaultHandling& defaultHandling) {
  const ControlRow* row = window::findRow(GetDlgCtrlID(child));
  if (row == nullptr) return defaultHandling();
  switch (row->kind) {
    case Kind::label:
    case Kind::frame:
      SetTextColor(dc, row->textColor ? toColorRef(*row->textColor) : GetSysColor(COLOR_BTNTEXT));
      SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
      // Labels draw their text over the window's own background. The brush fills the label
      // before each drawing, so a changed text leaves nothing of the old one behind.
      if (row->kind == Kind::label) SetBkMode(dc, TRANSPARENT);
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    case Kind::edit:
      // Read-only boxes stay white like the editable ones: the output box is read, not greyed.
      SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
      SetBkColor(dc, GetSysColor(COLOR_WINDOW));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
    default:
      return defaultHandling();
  }
}

LRESULT MainWindow::onDropFiles(HDROP dropped) {
  const std::vector<std::string> paths = droppedFiles(dropped);
  if (events_ != nullptr && !paths.empty()) events_->filesDropped(paths);
  return 0;
}

}  // namespace quorlane::win32
