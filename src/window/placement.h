#pragma once
// How the control table becomes windows: the order they are created in (which is the tab order)
// and a control's rectangle in pixels at a DPI.

#include <span>
#include <vector>

#include "window/layout.h"

namespace quorlane::window {

// The order in which the controls are created, which is also the tab order: by tab index, the
// controls without one (-1) last, in table order.
std::vector<const ControlRow*> creationOrder(std::span<const ControlRow> rows);

// A rectangle in pixels, relative to the window's client area; right and bottom are exclusive.
struct PixelRect {
  int left, top, right, bottom;
  int width() const { return right - left; }
  int height() const { return bottom - top; }
  friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// A control's rectangle at `dpi`. Each edge is converted on its own, so controls that meet in
// twips still meet in pixels.
PixelRect pixelRect(const ControlRow& row, int dpi);

}  // namespace quorlane::window
