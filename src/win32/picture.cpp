#include "win32/picture.h"

#include <utility>

namespace quorlane::win32 {

namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

// Sets a device context's text and background colours, and puts the previous ones back.
class Colours {
 public:
  Colours(HDC dc, COLORREF text, COLORREF background)
      : dc_(dc), text_(SetTextColor(dc, text)), background_(SetBkColor(dc, background)) {}
  ~Colours() {
    SetTextColor(dc_, text_);
    SetBkColor(dc_, background_);
  }
  Colours(const Colours&) = delete;
  Colours& operator=(const Colours&) = delete;

 private:
  HDC dc_;
  COLORREF text_;
  COLORREF background_;
};

}  // namespace

MaskedPicture::MaskedPicture(UniqueBitmap picture, COLORREF transparent) {
  if (!picture) return;
  BITMAP info{};
  if (GetObjectW(picture.get(), sizeof(info), &info) == 0) return;
  const int width = info.bmWidth;
  const int height = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
  UniqueBitmap mask(CreateBitmap(width, height, 1, 1, nullptr));
  MemoryDC colourDc(nullptr);
  MemoryDC maskDc(nullptr);
  if (!mask || colourDc.get() == nullptr || maskDc.get() == nullptr) return;
  {
    Selection colourSelected(colourDc.get(), picture.get());
    Selection maskSelected(maskDc.get(), mask.get());
    // Colour to monochrome: pixels of the source's background colour become 1 (white), all
    // others 0 (black).
    SetBkColor(colourDc.get(), transparent);
    if (!BitBlt(maskDc.get(), 0, 0, width, height, colourDc.get(), 0, 0, SRCCOPY)) return;
    // Monochrome to colour takes the destination's colours: 1 becomes its background (black),
    // 0 its text colour (white). ANDed in, the transparent pixels turn black, the rest stay.
    Colours colours(colourDc.get(), kWhite, kBlack);
    if (!BitBlt(colourDc.get(), 0, 0, width, height, maskDc.get(), 0, 0, SRCAND)) return;
  }
  colour_ = std::move(picture);
  mask_ = std::move(mask);
  size_ = SIZE{width, height};
}

void MaskedPicture::draw(HDC dc, const RECT& target) const {
  if (!*this) return;
  MemoryDC source(dc);
  if (source.get() == nullptr) return;
  const int width = target.right - target.left;
  const int height = target.bottom - target.top;
  // One stretch mode for both, so mask and colours pick the same source pixels.
  const int previousMode = SetStretchBltMode(dc, COLORONCOLOR);
  {
    // The mask's 1 (transparent) becomes white and keeps the background; its 0 becomes black and
    // clears the picture's pixels.
    Colours colours(dc, kBlack, kWhite);
    Selection selected(source.get(), mask_.get());
    StretchBlt(dc, target.left, target.top, width, height, source.get(), 0, 0, size_.cx, size_.cy,
               SRCAND);
  }
  {
    Selection selected(source.get(), colour_.get());
    StretchBlt(dc, target.left, target.top, width, height, source.get(), 0, 0, size_.cx, size_.cy,
               SRCPAINT);
  }
  if (previousMode != 0) SetStretchBltMode(dc, previousMode);
}

}  // namespace quorlane::win32
