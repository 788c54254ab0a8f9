#pragma once
// Tab stops of a multi-line edit control, set in pixels at the window's DPI.
//
// An edit control measures its tab stops in dialog units of its own font (a quarter of the
// font's average character width each); left alone, it puts one every 32 of them. fastboot
// separates a phone's serial from the word "fastboot" with a tab, and with those stops a
// 16-character serial at 96 DPI ended three pixels short of one: the two words ran together. The
// output box therefore sets its stops itself, at fixed distances on the screen, and renews them
// whenever its font changes with the DPI.

#include <windows.h>

namespace quorlane::win32 {

// The output box has a tab stop every half inch.
inline constexpr int kOutputTabTwips = 720;

// Gives the multi-line edit control `edit` a tab stop every `twips` at `dpi`, in the units of the
// font it has now, and redraws it. Call it again after every change of its font.
bool setTabStops(HWND edit, int twips, int dpi);

}  // namespace quorlane::win32
