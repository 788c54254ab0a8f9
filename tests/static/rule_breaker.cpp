// A console program that breaks every rule the checks of Quorlane.exe enforce: it imports a
// Windows 10 function, a function of a DLL that can be planted beside it (msimg32), a function
// the reviewed list does not have, and comctl32 without a manifest; its header asks for
// Windows 10. It is never run.

#include <windows.h>

// commctrl.h needs the types of windows.h.
#include <commctrl.h>

int main() {
  HDC dc = GetDC(nullptr);
  const UINT dpi = GetDpiForWindow(GetDesktopWindow());
  TransparentBlt(dc, 0, 0, 1, 1, dc, 0, 0, 1, 1, 0);
  Beep(440, static_cast<DWORD>(dpi));
  InitCommonControls();
  ReleaseDC(nullptr, dc);
  return 0;
}
