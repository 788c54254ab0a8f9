#pragma once
// How the program's loops hand on the window thread's messages: the main loop, the runner's pump
// while a command runs, and the wait for a slow look at an image.

#include <windows.h>

namespace quorlane::win32 {

// Hands one message on: keyboard messages for `dialog` (when set) go through the dialog manager
// first, so that Tab, Enter and the access keys (Alt+A, Alt+B, Alt+C) work; everything else is
// translated and dispatched.
void dispatchMessage(MSG& message, HWND dialog);

// Hands on every message waiting for this thread, without waiting for more. A WM_QUIT ends it:
// posted again for the main loop, which alone ends on it; then false.
bool dispatchWaiting(HWND dialog);

// The main loop, until WM_QUIT; returns the exit code it carries.
int runMessageLoop(HWND dialog);

}  // namespace quorlane::win32
