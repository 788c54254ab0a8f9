#pragma once
// The frames (group boxes) paint themselves: a themed group box draws its caption in the theme's
// colour whatever WM_CTLCOLORSTATIC says, and not every system lets SetWindowTheme switch that
// off. The frame draws an etched edge and its caption in the colours its parent gives for it.

#include <windows.h>

namespace quorlane::win32 {

// Subclasses the group box so it paints itself; the subclass removes itself with the window.
void paintFrameItself(HWND frame);

}  // namespace quorlane::win32
