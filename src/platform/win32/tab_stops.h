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

#include <vector>

namespace quorlane::win32 {

// The output box has a tab stop every half inch.
inline constexpr int kOutputTabTwips = 720;

// The average width of the Latin letters in the font selected into `dc`, in pixels, the way
// Windows computes a font's dialog base unit (at least 1).
int averageCharWidth(HDC dc);

// The stops, in dialog units of a font whose average character width is `averageWidth`, that put
// one stop every `stepPixels` pixels from 0 up to `widthPixels` and one beyond. Each stop is
// rounded on its own, so the error stays under a unit however far along the line it is.
std::vector<int> tabStopUnits(int stepPixels, int widthPixels, int averageWidth);

// Gives the multi-line edit control `edit` a tab stop every `twips` at `dpi`, in the units of the
// font it has now, and redraws it. Call it again after every change of its font.
bool setTabStops(HWND edit, int twips, int dpi);

}  // namespace quorlane::win32
