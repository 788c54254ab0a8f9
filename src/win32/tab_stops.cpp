#include "win32/tab_stops.h"

#include <algorithm>
#include <cstddef>
#include <vector>

#include "win32/handles.h"
#include "win32/text.h"
#include "window/layout.h"

namespace quorlane::win32 {

namespace {

// The average width of the Latin letters in the font selected into `dc`, in pixels, the way
// Windows computes a font's dialog base unit (at least 1).
int averageCharWidth(HDC dc) {
  static constexpr wchar_t kLetters[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  SIZE size{};
  if (!GetTextExtentPoint32W(dc, kLetters, 52, &size)) {
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    return std::max(1, static_cast<int>(metrics.tmAveCharWidth));
  }
  return std::max(1, static_cast<int>((size.cx / 26 + 1) / 2));
}

// The stops, in dialog units of a font whose average character width is `averageWidth`, that put
// one stop every `stepPixels` pixels from 0 up to `widthPixels` and one beyond. Each stop is
// rounded on its own, so the error stays under a unit however far along the line it is.
std::vector<int> tabStopUnits(int stepPixels, int widthPixels, int averageWidth) {
  std::vector<int> units;
  if (stepPixels <= 0 || averageWidth <= 0) return units;
  const int count = std::max(0, widthPixels) / stepPixels + 1;
  units.reserve(static_cast<std::size_t>(count));
  for (int i = 1; i <= count; ++i) {
    // pixels x 4 / average width, rounded to the nearest unit.
    const long long quarterPixels = 4LL * stepPixels * i;
    units.push_back(static_cast<int>((quarterPixels + averageWidth / 2) / averageWidth));
  }
  return units;
}

}  // namespace

bool setTabStops(HWND edit, int twips, int dpi) {
  const int step = window::twipsToPixels(twips, dpi);
  int average = 1;
  {
    WindowDC dc(edit);
    if (dc.get() == nullptr) return false;
    Selection selected(dc.get(), fontOrStock(edit, SYSTEM_FONT));
    average = averageCharWidth(dc.get());
  }
  RECT client{};
  GetClientRect(edit, &client);
  std::vector<int> units = tabStopUnits(step, client.right - client.left, average);
  if (units.empty()) return false;
  const BOOL set = static_cast<BOOL>(
      SendMessageW(edit, EM_SETTABSTOPS, units.size(), reinterpret_cast<LPARAM>(units.data())));
  InvalidateRect(edit, nullptr, TRUE);
  return set != FALSE;
}

}  // namespace quorlane::win32
