#pragma once
// The DPI functions the window needs, on every Windows from 7 SP1 to 11. Windows 10 (1607) has
// per-window DPI functions in user32; they are looked up at run time, never imported, so the
// program starts where they are missing. Windows 8.1 has the monitor's DPI in shcore.dll (loaded
// from the system folder when needed); Windows 7 and 8 have the system DPI alone, and the metrics
// they report are scaled to the DPI asked for.

#include <windows.h>

namespace quorlane::win32::dpi {

// Which DPI functions this process may use. Everything the system has, unless a test asks for
// less to see the program as an older Windows runs it.
enum class Functions {
  all,
  windows81,  // no Windows 10 functions: the monitor's DPI from shcore.dll
  windows7,   // the system DPI only
};
void limitFunctions(Functions functions);
Functions limit();

// The system DPI: the screen's LOGPIXELSX.
int system();
// The DPI a window is drawn at: its own (Windows 10), its monitor's (8.1), or the system's.
int forWindow(HWND window);
// A system metric (SM_CXICON, ...) at `dpi`.
int metric(int index, int dpi);
// The non-client metrics, fonts included, at `dpi`. False when the system gave none.
bool nonClientMetrics(NONCLIENTMETRICSW& metrics, int dpi);
// The window rectangle for a client rectangle at `dpi`.
bool adjustWindowRect(RECT& rect, DWORD style, DWORD exStyle, int dpi);

}  // namespace quorlane::win32::dpi
