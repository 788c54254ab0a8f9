// A small window for the driver's own tests: buttons inside a frame that open a message box with
// an icon, one without, the open-file dialog, a disabled and a hidden button, a status edit where
// each action writes its result (at start: the current folder), an input edit (at start: the
// command-line arguments), and a button that quits with exit code 7.

#include <windows.h>
// after windows.h, which it needs
#include <commdlg.h>

#include <string>

#include "driver/target_ids.h"

namespace {

using namespace quorlane::gui::target;

HWND g_status = nullptr;

void setStatus(const std::wstring& s) {
  SetWindowTextW(g_status, s.c_str());
}

void openFile(HWND owner) {
  wchar_t path[MAX_PATH] = {};
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = L"镜像文件 (*.img)\0*.img\0所有文件 (*.*)\0*.*\0";
  ofn.lpstrFile = path;
  ofn.nMaxFile = MAX_PATH;
  ofn.lpstrTitle = L"选择镜像";
  ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
  if (GetOpenFileNameW(&ofn)) {
    setStatus(path);
  } else {
    setStatus(L"<cancel " + std::to_wstring(CommDlgExtendedError()) + L">");
  }
}

// The frame only hosts controls; their notifications go on to the main window.
LRESULT CALLBACK frameProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_COMMAND) return SendMessageW(GetParent(hwnd), msg, wp, lp);
  return DefWindowProcW(hwnd, msg, wp, lp);
}

LRESULT CALLBACK mainProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND:
      if (HIWORD(wp) != BN_CLICKED) break;
      switch (LOWORD(wp)) {
        case kInfoButton:
          setStatus(L"msgbox:" + std::to_wstring(MessageBoxW(hwnd, kInfoPromptW, kInfoTitleW,
                                                             MB_OK | MB_ICONINFORMATION)));
          return 0;
        case kAskButton:
          setStatus(L"msgbox:" +
                    std::to_wstring(MessageBoxW(hwnd, L"继续吗？", L"询问", MB_YESNO)));
          return 0;
        case kOpenButton:
          openFile(hwnd);
          return 0;
        case kDisabledButton:
        case kHiddenButton:
          setStatus(L"unreachable button clicked");
          return 0;
        case kQuitButton:
          DestroyWindow(hwnd);
          return 0;
      }
      break;
    case WM_DESTROY:
      PostQuitMessage(kExitCode);
      return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

HWND make(const wchar_t* cls, const wchar_t* text, DWORD style, RECT r, HWND parent, int id) {
  return CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, r.left, r.top,
                         r.right - r.left, r.bottom - r.top, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                         GetModuleHandleW(nullptr), nullptr);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR args, int show) {
  WNDCLASSW wc{};
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpfnWndProc = mainProc;
  wc.lpszClassName = kMainClassW;
  RegisterClassW(&wc);
  wc.lpfnWndProc = frameProc;
  wc.lpszClassName = L"QuorlaneDriverFrame";
  RegisterClassW(&wc);

  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  RECT outer{0, 0, kClientWidth, kClientHeight};
  AdjustWindowRect(&outer, style, FALSE);
  const HWND main = CreateWindowExW(0, kMainClassW, kTitleW, style, CW_USEDEFAULT, CW_USEDEFAULT,
                                    outer.right - outer.left, outer.bottom - outer.top, nullptr,
                                    nullptr, instance, nullptr);
  const HWND frame = make(L"QuorlaneDriverFrame", L"", 0, kFrameRect, main, kFrame);
  make(L"BUTTON", L"提示", BS_PUSHBUTTON, kInfoRect, frame, kInfoButton);
  make(L"BUTTON", L"询问", BS_PUSHBUTTON, {130, 30, 230, 58}, frame, kAskButton);
  make(L"BUTTON", L"打开…", BS_PUSHBUTTON, {240, 30, 340, 58}, frame, kOpenButton);
  make(L"BUTTON", L"禁用", BS_PUSHBUTTON | WS_DISABLED, {20, 70, 120, 98}, frame, kDisabledButton);
  make(L"BUTTON", L"退出", BS_PUSHBUTTON, {130, 70, 230, 98}, frame, kQuitButton);
  ShowWindow(make(L"BUTTON", L"隐藏", BS_PUSHBUTTON, {240, 70, 340, 98}, frame, kHiddenButton),
             SW_HIDE);
  g_status = make(L"EDIT", L"", WS_BORDER | ES_AUTOHSCROLL | ES_READONLY, {20, 120, 360, 144},
                  frame, kStatusEdit);
  make(L"EDIT", args, WS_BORDER | ES_AUTOHSCROLL, {20, 160, 360, 184}, frame, kInputEdit);
  wchar_t folder[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, folder);
  setStatus(folder);
  ShowWindow(main, show);

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}
