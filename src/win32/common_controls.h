#pragma once
// The common controls (comctl32), loaded when the window is about to be built rather than with the
// program: loading them takes tens of milliseconds, which the device query of the start-up spends
// meanwhile. The functions the window needs of them, for the window's thread only.

#include <windows.h>
// commctrl.h needs the types of windows.h.
#include <commctrl.h>

namespace quorlane::win32 {

// Loads the common controls and registers the standard control classes.
void initCommonControls();

// SetWindowSubclass, RemoveWindowSubclass and DefSubclassProc of the loaded library. The first
// two return FALSE when the system has no such function, and the window is then left as it is.
BOOL setWindowSubclass(HWND window, SUBCLASSPROC proc, UINT_PTR id, DWORD_PTR data);
BOOL removeWindowSubclass(HWND window, SUBCLASSPROC proc, UINT_PTR id);
LRESULT CALLBACK defSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace quorlane::win32
