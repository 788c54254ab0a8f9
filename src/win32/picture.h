#pragma once
// A picture with one transparent colour, drawn with plain GDI: a monochrome mask marks the
// transparent pixels, and the colour bitmap has them black, so SRCAND of the mask followed by
// SRCPAINT of the colours leaves the background wherever the picture is transparent. Both are
// made once; drawing stretches them alike to the size asked for.

#include <windows.h>

#include "win32/handles.h"

namespace quorlane::win32 {

class MaskedPicture {
 public:
  MaskedPicture() = default;
  // Takes the bitmap (a DIB section or a device-dependent bitmap); `transparent` is the colour
  // that lets the background through. Owns nothing when `picture` is null or GDI fails.
  MaskedPicture(UniqueBitmap picture, COLORREF transparent);

  explicit operator bool() const { return colour_ && mask_; }
  SIZE size() const { return size_; }
  // Draws the picture stretched to `target`, over what the device context already shows there.
  void draw(HDC dc, const RECT& target) const;

 private:
  UniqueBitmap colour_;
  UniqueBitmap mask_;
  SIZE size_{};
};

}  // namespace quorlane::win32
