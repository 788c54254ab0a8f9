#include "platform/win32/main_window.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <stdexcept>

#include "platform/win32/dpi.h"
#include "platform/win32/tab_stops.h"
#include "platform/win32/text.h"
#include "resource_ids.h"

namespace quorlane::win32 {

namespace {

using window::ControlId;
using window::ControlRow;
using window::Kind;

constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kWindowExStyle = 0;
constexpr COLORREF kTransparentKey = RGB(255, 0, 255);
// Height of Combo1's drop-down list (it has no entries; the list only needs to open).
constexpr int kComboListTwips = 1500;

HWND childOf(HWND parent, ControlId id) {
  return GetDlgItem(parent, static_cast<int>(id));
}

COLORREF toColorRef(const window::Rgb& c) {
  return RGB(c.r, c.g, c.b);
}

}  // namespace

void initCommonControls() {
  INITCOMMONCONTROLSEX classes{};
  classes.dwSize = sizeof(classes);
  classes.dwICC = ICC_STANDARD_CLASSES;
  InitCommonControlsEx(&classes);
}

RECT pixelRect(const ControlRow& row, int dpi) {
  const window::TwipsRect t = window::absoluteRect(row);
  RECT r;
  r.left = window::twipsToPixels(t.left, dpi);
  r.top = window::twipsToPixels(t.top, dpi);
  r.right = window::twipsToPixels(t.left + t.width, dpi);
  r.bottom = window::twipsToPixels(t.top + t.height, dpi);
  return r;
}

std::vector<const ControlRow*> creationOrder(std::span<const ControlRow> rows) {
  std::vector<const ControlRow*> order;
  order.reserve(rows.size());
  for (const auto& row : rows) order.push_back(&row);
  std::stable_sort(order.begin(), order.end(), [](const ControlRow* a, const ControlRow* b) {
    const bool aHas = a->tabIndex >= 0;
    const bool bHas = b->tabIndex >= 0;
    if (aHas != bHas) return aHas;
    return aHas && a->tabIndex < b->tabIndex;
  });
  return order;
}

const ControlRow* findRow(int id) {
  for (const auto& row : window::controls()) {
    if (static_cast<int>(row.id) == id) return &row;
  }
  return nullptr;
}

void MainWindow::registerClasses(HINSTANCE instance) {
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

  WNDCLASSEXW runner{};
  runner.cbSize = sizeof(runner);
  runner.lpfnWndProc = &MainWindow::runnerProc;
  runner.hInstance = instance;
  runner.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  runner.lpszClassName = kRunnerClassName;
  if (!RegisterClassExW(&runner) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
    throw std::runtime_error("RegisterClassExW(runner) failed");
  }
}

MainWindow::MainWindow(HINSTANCE instance, unsigned timerMs) : instance_(instance) {
  registerClasses(instance);
  console_ = MaskedPicture(
      UniqueBitmap(static_cast<HBITMAP>(LoadImageW(instance, MAKEINTRESOURCEW(IDB_CONSOLE),
                                                   IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION))),
      kTransparentKey);
  runnerBackground_.reset(CreateSolidBrush(toColorRef(window::kRunnerBackground)));
  runnerFace_ = RunnerFace{&console_, runnerBackground_.get()};

  const std::wstring caption = widen(window::form().caption);
  // WM_NCCREATE hands the handle to window_.
  HWND hwnd =
      CreateWindowExW(kWindowExStyle, kClassName, caption.c_str(), kWindowStyle, CW_USEDEFAULT,
                      CW_USEDEFAULT, 640, 480, nullptr, nullptr, instance, this);
  if (hwnd == nullptr) throw std::runtime_error("CreateWindowExW(Form1) failed");

  dpi_ = dpi::forWindow(hwnd);
  makeFonts();
  createControls();
  applyDpi(dpi_);
  DragAcceptFiles(hwnd, TRUE);
  SetTimer(hwnd, kTimerId, timerMs, nullptr);
}

MainWindow::~MainWindow() {
  if (window_) {
    KillTimer(window_.get(), kTimerId);
    SetWindowLongPtrW(window_.get(), GWLP_USERDATA, 0);
  }
}

HWND MainWindow::control(ControlId id) const {
  return childOf(window_.get(), id);
}

void MainWindow::makeFonts() {
  NONCLIENTMETRICSW metrics{};
  dpi::nonClientMetrics(metrics, dpi_);
  uiFont_.reset(CreateFontIndirectW(&metrics.lfMessageFont));

  const window::Font& font = *window::control(ControlId::Combo1).font;
  LOGFONTW path{};
  path.lfHeight = -MulDiv(font.points, dpi_, 72);
  path.lfWeight = font.weight;
  path.lfCharSet = static_cast<BYTE>(font.charset);
  const std::wstring face = widen(font.face);
  face.copy(path.lfFaceName, LF_FACESIZE - 1);
  pathFont_.reset(CreateFontIndirectW(&path));
}

void MainWindow::createControls() {
  HWND parent = window_.get();
  for (const ControlRow* row : creationOrder(window::controls())) {
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
        className = kRunnerClassName;
        param = &runnerFace_;
        break;
    }
    if (row->tabStop && window::takesFocus(row->kind)) style |= WS_TABSTOP;
    if (!row->enabled) style |= WS_DISABLED;

    const RECT r = pixelRect(*row, dpi_);
    const std::wstring caption = widen(row->caption);
    HWND child = CreateWindowExW(
        exStyle, className, caption.c_str(), style, r.left, r.top, r.right - r.left,
        r.bottom - r.top, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(static_cast<int>(row->id))), instance_, param);
    if (child == nullptr) throw std::runtime_error("CreateWindowExW(control) failed");

    if (row->kind == Kind::frame) {
      // A themed group box draws its caption in the theme's colour whatever WM_CTLCOLORSTATIC
      // says, and not every system lets SetWindowTheme switch that off; the frame paints itself.
      SetWindowSubclass(child, &MainWindow::frameProc, 0, 0);
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
    const RECT r = pixelRect(row, dpi_);
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

SIZE MainWindow::outerSize() const {
  RECT r{0, 0, window::twipsToPixels(window::form().clientWidth, dpi_),
         window::twipsToPixels(window::form().clientHeight, dpi_)};
  dpi::adjustWindowRect(r, kWindowStyle, kWindowExStyle, dpi_);
  return SIZE{r.right - r.left, r.bottom - r.top};
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

  HWND hwnd = window_.get();
  const SIZE size = outerSize();
  SetWindowPos(hwnd, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  // Should the frame's real size differ from the computed one, correct by the difference, so
  // the client area is exactly the table's.
  RECT client;
  GetClientRect(hwnd, &client);
  const int wantWidth = window::twipsToPixels(window::form().clientWidth, dpi_);
  const int wantHeight = window::twipsToPixels(window::form().clientHeight, dpi_);
  if (client.right != wantWidth || client.bottom != wantHeight) {
    SetWindowPos(hwnd, nullptr, 0, 0, size.cx + wantWidth - client.right,
                 size.cy + wantHeight - client.bottom, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  InvalidateRect(hwnd, nullptr, TRUE);
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
  for (const ControlRow* row : creationOrder(window::controls())) {
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
  if (message == WM_NCCREATE) {
    auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->window_.reset(hwnd);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    (void)self->window_.release();  // the window is gone; nothing left to destroy
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }
  return self->handleMessage(message, wParam, lParam);
}

LRESULT MainWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  HWND hwnd = window_.get();
  switch (message) {
    case WM_COMMAND:
      // Clicks (also by access key or Enter through IsDialogMessage) come from a control; the
      // dialog manager's IDOK / IDCANCEL for Enter and Esc come without one and are ignored.
      if (HIWORD(wParam) == BN_CLICKED && lParam != 0) {
        const ControlRow* row = findRow(LOWORD(wParam));
        if (row != nullptr && row->kind == Kind::button && events_ != nullptr) {
          events_->click(row->id);
        }
        return 0;
      }
      break;
    case WM_TIMER:
      if (wParam == kTimerId) {
        if (events_ != nullptr) events_->timer();
        return 0;
      }
      break;
    case WM_CTLCOLORSTATIC:
      return colorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_DROPFILES:
      dropFiles(wParam);
      return 0;
    case WM_DPICHANGED: {
      const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
      SetWindowPos(hwnd, nullptr, suggested->left, suggested->top,
                   suggested->right - suggested->left, suggested->bottom - suggested->top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      applyDpi(HIWORD(wParam));
      return 0;
    }
    case WM_PARENTNOTIFY:
      if (LOWORD(wParam) == WM_LBUTTONDOWN && events_ != nullptr) events_->activated();
      break;
    case WM_LBUTTONDOWN:
      if (events_ != nullptr) events_->activated();
      break;
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE && events_ != nullptr) events_->activated();
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus != nullptr && IsChild(hwnd, focus)) lastFocus_ = focus;
      } else if (HIWORD(wParam) == 0) {
        HWND target = lastFocus_;
        if (target == nullptr || !IsWindow(target) || !IsWindowEnabled(target)) {
          target = firstFocusable();
        }
        if (target != nullptr) {
          SetFocus(target);
          return 0;
        }
      }
      break;
    case WM_NEXTDLGCTL: {
      // A multi-line edit box in dialog mode asks its parent to move the focus on Tab.
      HWND target = LOWORD(lParam) != 0
                        ? reinterpret_cast<HWND>(wParam)
                        : GetNextDlgTabItem(hwnd, GetFocus(), wParam != 0 ? TRUE : FALSE);
      if (target != nullptr) SetFocus(target);
      return 0;
    }
    case WM_CLOSE:
      if (events_ != nullptr) events_->closing();
      DestroyWindow(hwnd);
      return 0;
    case WM_DESTROY:
      KillTimer(hwnd, kTimerId);
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT MainWindow::colorStatic(HDC dc, HWND child) {
  const ControlRow* row = findRow(GetDlgCtrlID(child));
  if (row == nullptr) {
    return DefWindowProcW(window_.get(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                          reinterpret_cast<LPARAM>(child));
  }
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
      return DefWindowProcW(window_.get(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                            reinterpret_cast<LPARAM>(child));
  }
}

void MainWindow::dropFiles(WPARAM dropped) {
  const UniqueDrop owned(reinterpret_cast<HDROP>(dropped));
  HDROP drop = owned.get();
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  std::vector<std::string> paths;
  paths.reserve(count);
  for (UINT i = 0; i < count; ++i) {
    const UINT length = DragQueryFileW(drop, i, nullptr, 0);
    std::wstring path(length + 1, L'\0');
    const UINT got = DragQueryFileW(drop, i, path.data(), length + 1);
    path.resize(got);
    paths.push_back(narrow(path));
  }
  if (events_ != nullptr && !paths.empty()) events_->filesDropped(paths);
}

LRESULT CALLBACK MainWindow::frameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR, DWORD_PTR) {
  switch (message) {
    case WM_PAINT: {
      Paint paint(hwnd);
      HDC dc = paint.dc();
      HFONT font = reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0));
      Selection selectedFont(
          dc, font != nullptr ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
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
    case WM_ERASEBKGND:
      return 1;  // like any group box: the parent's background shows through inside
    case WM_SETTEXT:
    case WM_ENABLE:
    case WM_UPDATEUISTATE: {
      // The standard group box draws itself right away on these; draw it our way afterwards.
      const LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
      InvalidateRect(hwnd, nullptr, FALSE);
      return result;
    }
    case WM_NCDESTROY:
      RemoveWindowSubclass(hwnd, &MainWindow::frameProc, 0);
      break;
    default:
      break;
  }
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK MainWindow::runnerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NCCREATE:
      SetWindowLongPtrW(
          hwnd, GWLP_USERDATA,
          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
      break;
    case WM_ERASEBKGND:
      return 1;  // WM_PAINT covers every pixel
    case WM_PAINT: {
      const auto* face =
          reinterpret_cast<const RunnerFace*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
      Paint paint(hwnd);
      RECT client;
      GetClientRect(hwnd, &client);
      if (face == nullptr) return 0;
      FillRect(paint.dc(), &client, face->background);
      // The picture is 32 x 32; at other DPIs it is stretched to the control's size.
      if (face->picture != nullptr) face->picture->draw(paint.dc(), client);
      return 0;
    }
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace quorlane::win32
