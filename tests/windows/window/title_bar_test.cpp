// The title bar's buttons as Wine draws them: with the Marlett symbol font, a bar for minimise and
// a cross for close. Without the font (a Wine prefix set up without it) the same buttons show the
// letters "0" and "r", which these shapes tell apart.

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "test_support.h"
#include "win32/handles.h"

namespace quorlane::wintest {
namespace {

int CALLBACK countFamily(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  ++*reinterpret_cast<int*>(found);
  return 1;
}

// The ink of one caption button drawn by DrawFrameControl at the system's button size.
class Glyph {
 public:
  explicit Glyph(UINT state)
      : width_(GetSystemMetrics(SM_CXSIZE)), height_(GetSystemMetrics(SM_CYSIZE)) {
    const std::vector<std::uint32_t> pixels = drawOffscreen(width_, height_, [&](HDC dc) {
      RECT button{0, 0, width_, height_};
      DrawFrameControl(dc, &button, DFC_CAPTION, state);
    });
    if (pixels.empty()) return;
    // The symbol is drawn in the button text colour on the button face; its edges are lighter
    // and darker shades, so only what is close to the text colour counts, inside the edges.
    const COLORREF text = GetSysColor(COLOR_BTNTEXT);
    ink_.assign(pixels.size(), false);
    for (int y = 2; y < height_ - 2; ++y) {
      for (int x = 2; x < width_ - 2; ++x) {
        const std::uint32_t p = pixels[static_cast<std::size_t>(y * width_ + x)];
        const int distance = std::abs(static_cast<int>(p >> 16 & 0xFF) - GetRValue(text)) +
                             std::abs(static_cast<int>(p >> 8 & 0xFF) - GetGValue(text)) +
                             std::abs(static_cast<int>(p & 0xFF) - GetBValue(text));
        if (distance >= 150) continue;
        ink_[static_cast<std::size_t>(y * width_ + x)] = true;
        left_ = std::min(left_, x);
        right_ = std::max(right_, x);
        top_ = std::min(top_, y);
        bottom_ = std::max(bottom_, y);
      }
    }
  }

  bool empty() const { return right_ < left_; }
  int inkWidth() const { return right_ - left_ + 1; }
  int inkHeight() const { return bottom_ - top_ + 1; }
  bool ink(int x, int y) const { return ink_[static_cast<std::size_t>(y * width_ + x)]; }
  // Share of ink pixels whose mirror image across the ink's vertical centre line is ink too.
  double mirrorMatch() const {
    int inked = 0;
    int matched = 0;
    for (int y = top_; y <= bottom_; ++y) {
      for (int x = left_; x <= right_; ++x) {
        if (!ink(x, y)) continue;
        ++inked;
        if (ink(left_ + right_ - x, y)) ++matched;
      }
    }
    return inked == 0 ? 0.0 : static_cast<double>(matched) / inked;
  }
  // The glyph as text, for a failure message.
  std::string picture() const {
    std::string text;
    for (int y = 0; y < height_; ++y) {
      for (int x = 0; x < width_; ++x) text += ink(x, y) ? '#' : '.';
      text += '\n';
    }
    return text;
  }

 private:
  int width_;
  int height_;
  std::vector<bool> ink_;
  int left_ = 1 << 20;
  int right_ = -1;
  int top_ = 1 << 20;
  int bottom_ = -1;
};

TEST(TitleBar, TheSymbolFontOfItsButtonsIsInstalled) {
  win32::WindowDC screen(nullptr);
  LOGFONTW wanted{};
  wanted.lfCharSet = DEFAULT_CHARSET;
  lstrcpynW(wanted.lfFaceName, L"Marlett", LF_FACESIZE);
  int found = 0;
  EnumFontFamiliesExW(screen.get(), &wanted, &countFamily, reinterpret_cast<LPARAM>(&found), 0);
  EXPECT_GT(found, 0) << "no Marlett font in this Wine prefix: the title bar's buttons show "
                         "letters (tools/setup.sh puts the font into every prefix)";
}

TEST(TitleBar, MinimiseIsABarAtTheBottom) {
  const Glyph glyph(DFCS_CAPTIONMIN);
  ASSERT_FALSE(glyph.empty());
  // A flat bar, where the letter "0" would stand as tall as it is wide or taller.
  EXPECT_LE(glyph.inkHeight() * 3, glyph.inkWidth()) << glyph.picture();
}

TEST(TitleBar, CloseIsACross) {
  const Glyph glyph(DFCS_CAPTIONCLOSE);
  ASSERT_FALSE(glyph.empty());
  // As wide as it is high and the same either side, where an "r" is narrow and one-sided.
  EXPECT_GE(glyph.inkWidth() * 4, glyph.inkHeight() * 3) << glyph.picture();
  EXPECT_GE(glyph.inkHeight() * 4, glyph.inkWidth() * 3) << glyph.picture();
  EXPECT_GE(glyph.mirrorMatch(), 0.8) << glyph.picture();
}

}  // namespace
}  // namespace quorlane::wintest
