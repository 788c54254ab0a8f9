#include "window/placement.h"

#include <algorithm>

namespace quorlane::window {

std::vector<const ControlRow*> creationOrder(std::span<const ControlRow> rows) {
  std::vector<const ControlRow*> order;
  order.reserve(rows.size());
  for (const auto& row : rows) order.push_back(&row);
  std::stable_sort(order.begin(), order.end(), [](const ControlRow* a, const ControlRow* b) {
    const bool aHas = a->tabIndex >= 0;
    const bool bHas = b->tabIndex >= 0;
    if (aHas != bHas) return aHas;
    return aHas && a->tabIndex < b->tabIndex;
  });
  return order;
}

PixelRect pixelRect(const ControlRow& row, int dpi) {
  const TwipsRect t = absoluteRect(row);
  return PixelRect{twipsToPixels(t.left, dpi), twipsToPixels(t.top, dpi),
                   twipsToPixels(t.left + t.width, dpi), twipsToPixels(t.top + t.height, dpi)};
}

}  // namespace quorlane::window
