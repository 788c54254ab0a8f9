#pragma once
// What the screen shows of a window, for tests that check a panel is really drawn and keep a
// picture of it to look at.

#include <windows.h>

#include <string>
#include <vector>

namespace quorlane::testsupport {

// A 24-bit bottom-up picture of what the screen shows of a window.
struct Shot {
  int width = 0;
  int height = 0;
  std::vector<unsigned char> pixels;  // BGR rows, bottom up, padded to 4 bytes
  COLORREF at(int x, int y) const {
    const int stride = (width * 3 + 3) & ~3;
    const unsigned char* p = &pixels[static_cast<std::size_t>((height - 1 - y) * stride + x * 3)];
    return RGB(p[2], p[1], p[0]);
  }
};

// The window as the screen shows it, frame included.
Shot capture(HWND window);
// Writes the picture as a BMP file (path UTF-8).
void saveBmp(const Shot& shot, const std::string& path);

// Whether `panel` (a child of `window`) is drawn on the screen as it now is: nothing of it waits
// to be painted, and it is mostly the tooltip background the program's panels have, with text on
// it. `shot` then holds the window's picture.
bool panelDrawn(HWND window, HWND panel, Shot& shot);

}  // namespace quorlane::testsupport
