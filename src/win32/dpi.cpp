#include "win32/dpi.h"

#include "win32/handles.h"
#include "win32/system_dll.h"

namespace quorlane::win32::dpi {

namespace {

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
using GetSystemMetricsForDpiFunction = int(WINAPI*)(int, UINT);
using SystemParametersInfoForDpiFunction = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);
using AdjustWindowRectExForDpiFunction = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
// shcore.dll, Windows 8.1: GetDpiForMonitor(monitor, MDT_EFFECTIVE_DPI, &x, &y).
using GetDpiForMonitorFunction = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
constexpr int kEffectiveDpi = 0;

// The Windows 10 functions of user32, looked up once.
struct Windows10 {
  GetDpiForWindowFunction getDpiForWindow;
  GetSystemMetricsForDpiFunction getSystemMetricsForDpi;
  SystemParametersInfoForDpiFunction systemParametersInfoForDpi;
  AdjustWindowRectExForDpiFunction adjustWindowRectExForDpi;
};

Functions limited = Functions::all;

const Windows10* windows10() {
  if (limited != Functions::all) return nullptr;
  static const Windows10 functions = [] {
    HMODULE user = GetModuleHandleW(L"user32.dll");  // imported: always loaded
    return Windows10{
        procAddress<GetDpiForWindowFunction>(user, "GetDpiForWindow"),
        procAddress<GetSystemMetricsForDpiFunction>(user, "GetSystemMetricsForDpi"),
        procAddress<SystemParametersInfoForDpiFunction>(user, "SystemParametersInfoForDpi"),
        procAddress<AdjustWindowRectExForDpiFunction>(user, "AdjustWindowRectExForDpi")};
  }();
  return &functions;
}

GetDpiForMonitorFunction getDpiForMonitor() {
  if (limited == Functions::windows7) return nullptr;
  // Windows 7 has no shcore.dll.
  return laterFunction<GetDpiForMonitorFunction>(L"shcore.dll", "GetDpiForMonitor");
}

int scaled(int value, int dpi) {
  const int from = system();
  return from == dpi ? value : MulDiv(value, dpi, from);
}

}  // namespace

void limitFunctions(Functions functions) {
  limited = functions;
}

Functions limit() {
  return limited;
}

int system() {
  WindowDC screen(nullptr);
  const int dpi = screen.get() != nullptr ? GetDeviceCaps(screen.get(), LOGPIXELSX) : 0;
  return dpi > 0 ? dpi : USER_DEFAULT_SCREEN_DPI;
}

int forWindow(HWND window) {
  if (const Windows10* w = windows10(); w != nullptr && w->getDpiForWindow != nullptr) {
    const UINT dpi = w->getDpiForWindow(window);
    if (dpi > 0) return static_cast<int>(dpi);
  }
  if (const GetDpiForMonitorFunction forMonitor = getDpiForMonitor()) {
    UINT x = 0;
    UINT y = 0;
    HMONITOR monitor = MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST);
    if (SUCCEEDED(forMonitor(monitor, kEffectiveDpi, &x, &y)) && x > 0) {
      return static_cast<int>(x);
    }
  }
  return system();
}

int metric(int index, int dpi) {
  if (const Windows10* w = windows10(); w != nullptr && w->getSystemMetricsForDpi != nullptr) {
    return w->getSystemMetricsForDpi(index, static_cast<UINT>(dpi));
  }
  return scaled(GetSystemMetrics(index), dpi);
}

bool nonClientMetrics(NONCLIENTMETRICSW& metrics, int dpi) {
  if (const Windows10* w = windows10(); w != nullptr && w->systemParametersInfoForDpi != nullptr) {
    metrics = NONCLIENTMETRICSW{};
    metrics.cbSize = sizeof(metrics);
    if (w->systemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0,
                                      static_cast<UINT>(dpi))) {
      return true;
    }
  }
  // The system's metrics are those of the system DPI: scale the fonts the window uses.
  metrics = NONCLIENTMETRICSW{};
  metrics.cbSize = sizeof(metrics);
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) return false;
  for (LOGFONTW* font : {&metrics.lfCaptionFont, &metrics.lfSmCaptionFont, &metrics.lfMenuFont,
                         &metrics.lfStatusFont, &metrics.lfMessageFont}) {
    font->lfHeight = scaled(font->lfHeight, dpi);
  }
  return true;
}

bool adjustWindowRect(RECT& rect, DWORD style, DWORD exStyle, int dpi) {
  if (const Windows10* w = windows10(); w != nullptr && w->adjustWindowRectExForDpi != nullptr) {
    return w->adjustWindowRectExForDpi(&rect, style, FALSE, exStyle, static_cast<UINT>(dpi)) !=
           FALSE;
  }
  // The frame of the system DPI; the window corrects any difference once it has its size.
  return AdjustWindowRectEx(&rect, style, FALSE, exStyle) != FALSE;
}

}  // namespace quorlane::win32::dpi
