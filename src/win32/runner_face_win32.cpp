#include "win32/runner_face_win32.h"

#include <stdexcept>

#include "resource_ids.h"
#include "win32/default_handling.h"
#include "win32/failure_barrier.h"
#include "window/layout.h"

namespace quorlane::win32 {

namespace {

// The picture's colour that lets the background through.
constexpr COLORREF kTransparentKey = RGB(255, 0, 255);

const RunnerFace* faceOf(HWND hwnd) {
  return reinterpret_cast<const RunnerFace*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

// The face comes as the creation parameter.
LRESULT onNcCreate(HWND hwnd, const CREATESTRUCTW& create, const DefaultHandling& defaultHandling) {
  SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create.lpCreateParams));
  return defaultHandling();
}

LRESULT onPaint(HWND hwnd) {
  Paint paint(hwnd);
  const RunnerFace* face = faceOf(hwnd);
  if (face == nullptr) return 0;
  RECT client;
  GetClientRect(hwnd, &client);
  FillRect(paint.dc(), &client, face->background.get());
  // The picture is 32 x 32; at other DPIs it is stretched to the control's size.
  face->picture.draw(paint.dc(), client);
  return 0;
}

LRESULT handleMessage(HWND hwnd, UINT message, LPARAM l, const DefaultHandling& defaultHandling) {
  switch (message) {
    case WM_NCCREATE:
      return onNcCreate(hwnd, *reinterpret_cast<const CREATESTRUCTW*>(l), defaultHandling);
    case WM_ERASEBKGND:
      return 1;  // WM_PAINT covers every pixel
    case WM_PAINT:
      return onPaint(hwnd);
    default:
      return defaultHandling();
  }
}

LRESULT CALLBACK runnerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  const DefaultHandling defaultHandling(DefWindowProcW, hwnd, message, wParam, lParam);
  return guarded([&] { return handleMessage(hwnd, message, lParam, defaultHandling); },
                 defaultHandling);
}

}  // namespace

RunnerFace::RunnerFace(HINSTANCE instance)
    : picture(
          UniqueBitmap(static_cast<HBITMAP>(LoadImageW(instance, MAKEINTRESOURCEW(IDB_CONSOLE),
                                                       IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION))),
          kTransparentKey),
      background(CreateSolidBrush(RGB(window::kRunnerBackground.r, window::kRunnerBackground.g,
                                      window::kRunnerBackground.b))) {}

void RunnerFace::registerClass(HINSTANCE instance) {
  WNDCLASSEXW runner{};
  runner.cbSize = sizeof(runner);
  runner.lpfnWndProc = &runnerProc;
  runner.hInstance = instance;
  runner.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  runner.lpszClassName = kClassName;
  if (!RegisterClassExW(&runner) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
    throw std::runtime_error("RegisterClassExW(runner) failed");
  }
}

}  // namespace quorlane::win32
