#include "support/screen_shot.h"

#include <fstream>

#include "win32/text.h"

namespace quorlane::testsupport {

Shot capture(HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  Shot shot;
  shot.width = r.right - r.left;
  shot.height = r.bottom - r.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = shot.width;
  info.bmiHeader.biHeight = shot.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, shot.width, shot.height, screen, r.left, r.top, SRCCOPY);
  GdiFlush();
  const int stride = (shot.width * 3 + 3) & ~3;
  const auto* begin = static_cast<const unsigned char*>(bits);
  shot.pixels.assign(begin, begin + stride * shot.height);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return shot;
}

void saveBmp(const Shot& shot, const std::string& path) {
  BITMAPFILEHEADER file{};
  BITMAPINFOHEADER header{};
  header.biSize = sizeof(header);
  header.biWidth = shot.width;
  header.biHeight = shot.height;
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = BI_RGB;
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof(file) + sizeof(header);
  file.bfSize = file.bfOffBits + static_cast<DWORD>(shot.pixels.size());
  std::ofstream out(win32::widen(path).c_str(), std::ios::binary);
  out.write(reinterpret_cast<const char*>(&file), sizeof(file));
  out.write(reinterpret_cast<const char*>(&header), sizeof(header));
  out.write(reinterpret_cast<const char*>(shot.pixels.data()),
            static_cast<std::streamsize>(shot.pixels.size()));
}

bool panelDrawn(HWND window, HWND panel, Shot& shot) {
  // A panel whose text has just changed still shows the old one until it has been painted anew.
  if (GetUpdateRect(panel, nullptr, FALSE)) return false;
  const COLORREF background = GetSysColor(COLOR_INFOBK);
  RECT outer;
  GetWindowRect(window, &outer);
  RECT onScreen;
  GetWindowRect(panel, &onScreen);
  shot = capture(window);
  int panelPixels = 0;
  int textPixels = 0;
  for (int y = onScreen.top + 2; y < onScreen.bottom - 2; ++y) {
    for (int x = onScreen.left + 2; x < onScreen.right - 2; ++x) {
      ++(shot.at(x - outer.left, y - outer.top) == background ? panelPixels : textPixels);
    }
  }
  return panelPixels > (onScreen.right - onScreen.left) * (onScreen.bottom - onScreen.top) / 2 &&
         textPixels > 200;
}

}  // namespace quorlane::testsupport
