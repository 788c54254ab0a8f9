// Tabs in the output box: the text after a tab starts at the next tab stop, one every half inch
// at the window's DPI, both where the box places it (EM_POSFROMCHAR) and where ink is drawn;
// the stops follow a DPI change and come back with it.

#include "win32/tab_stops.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "test_support.h"
#include "win32/controls_win32.h"
#include "win32/handles.h"
#include "win32/main_window.h"
#include "window/layout.h"

namespace quorlane::wintest {
namespace {

using window::ControlId;

// What fastboot devices prints for one phone: older clients a tab, newer ones a tab and a blank.
constexpr const char* kDeviceLine = "0123456789ABCDEF\tfastboot\r\n";
constexpr const char* kNewerDeviceLine = "0123456789ABCDEF\t fastboot\r\n";

class TabStopsTest : public ShownWindowTest {
 protected:
  POINT position(int index) const {
    const LRESULT p = SendMessageW(box_, EM_POSFROMCHAR, static_cast<WPARAM>(index), 0);
    return POINT{static_cast<short>(LOWORD(p)), static_cast<short>(HIWORD(p))};
  }
  int lineStart(int line) const {
    return static_cast<int>(SendMessageW(box_, EM_LINEINDEX, static_cast<WPARAM>(line), 0));
  }
  int step() const { return window::twipsToPixels(win32::kOutputTabTwips, window_->dpi()); }

  // Where the tab at `tab` must send the text after it: the first stop beyond the end of the text
  // before it, stops counted from the start of the line.
  int expectedStop(int tab) const {
    const int line =
        static_cast<int>(SendMessageW(box_, EM_LINEFROMCHAR, static_cast<WPARAM>(tab), 0));
    const int origin = position(lineStart(line)).x;
    const int before = position(tab).x - origin;
    return origin + (before / step() + 1) * step();
  }

  // Checks the character after the tab at `tab` against the next stop, within two pixels: the box
  // keeps its stops in whole dialog units of its font, so each lies up to a pixel or two off. A
  // tab that begins within that distance before a stop (after another tab, say) may find itself
  // at the box's stop already and go on to the following one.
  void expectAtNextStop(int tab) {
    SCOPED_TRACE("tab at " + std::to_string(tab) + ", " + std::to_string(window_->dpi()) + " DPI");
    const int from = position(tab).x;
    const int to = position(tab + 1).x;
    const int next = expectedStop(tab);
    EXPECT_GT(to, from) << "the tab takes no room";
    if (next - from <= kTolerance && std::abs(to - (next + step())) <= kTolerance) return;
    EXPECT_NEAR(to, next, kTolerance);
  }
  static constexpr int kTolerance = 2;

  // Whether the box, drawn as it draws itself, has ink (dark pixels) in columns [from, to) of the
  // line whose top is `top`.
  bool inkIn(int top, int lineHeight, int from, int to) const {
    RECT client;
    GetClientRect(box_, &client);
    const std::vector<std::uint32_t> pixels =
        drawOffscreen(client.right, client.bottom, [this](HDC dc) {
          SendMessageW(box_, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc),
                       PRF_CLIENT | PRF_ERASEBKGND);
        });
    for (int y = std::max(0, top); y < std::min<int>(client.bottom, top + lineHeight); ++y) {
      for (int x = std::max(0, from); x < std::min<int>(client.right, to); ++x) {
        const std::uint32_t p = pixels[static_cast<std::size_t>(y * client.right + x)];
        if (((p >> 16 & 0xFF) + (p >> 8 & 0xFF) + (p & 0xFF)) / 3 < 160) return true;
      }
    }
    return false;
  }
};

TEST_F(TabStopsTest, TheDeviceLineShowsTheSerialAndTheWordApart) {
  ASSERT_EQ(window_->dpi(), 96);
  controls_->setText(ControlId::CMDTeXT, kDeviceLine);
  expectAtNextStop(16);
  // A blank after the tab, as newer clients print, moves the word on by a blank, no more.
  controls_->setText(ControlId::CMDTeXT, kNewerDeviceLine);
  expectAtNextStop(16);
  EXPECT_LT(position(18).x - position(17).x, step() / 2);
}

TEST_F(TabStopsTest, EveryTabOfALineGoesToItsOwnStop) {
  // A tab at the start of a line, tabs one after another, and tabs far along the line, where a
  // stop rounded once and repeated would have drifted.
  controls_->setText(ControlId::CMDTeXT, "\tA\t\tB\r\nC\tD\t\t\t\t\t\tE\r\n");
  const std::string text = controls_->text(ControlId::CMDTeXT);
  int tabs = 0;
  for (int i = 0; i < static_cast<int>(text.size()); ++i) {
    if (text[static_cast<std::size_t>(i)] != '\t') continue;
    ++tabs;
    expectAtNextStop(i);
  }
  EXPECT_EQ(tabs, 10);
  const int secondLine = lineStart(1);
  EXPECT_NEAR(position(secondLine + 9).x - position(secondLine).x, 7 * step(), kTolerance)
      << "E is at the seventh stop";
}

TEST_F(TabStopsTest, TheWordIsDrawnAtTheStopWithNothingInTheGap) {
  controls_->setText(ControlId::CMDTeXT, kDeviceLine);
  const POINT tab = position(16);
  const int stop = expectedStop(16);
  ASSERT_GT(stop - tab.x, 4) << "the serial ends too close to a stop for this test";
  TEXTMETRICW metrics{};
  {
    win32::WindowDC dc(box_);
    win32::Selection font(dc.get(),
                          reinterpret_cast<HGDIOBJ>(SendMessageW(box_, WM_GETFONT, 0, 0)));
    GetTextMetricsW(dc.get(), &metrics);
  }
  const int height = metrics.tmHeight;
  EXPECT_TRUE(inkIn(tab.y, height, position(0).x, tab.x)) << "the serial is drawn";
  EXPECT_FALSE(inkIn(tab.y, height, tab.x + 1, stop - 1)) << "the gap is empty";
  EXPECT_TRUE(inkIn(tab.y, height, stop, stop + metrics.tmAveCharWidth + 2))
      << "the word begins at the stop";
}

TEST_F(TabStopsTest, StopsFollowTheDpiAndComeBack) {
  controls_->setText(ControlId::CMDTeXT, kDeviceLine);
  const int at96 = position(17).x - position(0).x;

  RECT outer;
  GetWindowRect(window_->handle(), &outer);
  RECT suggested{outer.left, outer.top, outer.left + (outer.right - outer.left) * 3 / 2,
                 outer.top + (outer.bottom - outer.top) * 3 / 2};
  SendMessageW(window_->handle(), WM_DPICHANGED, MAKEWPARAM(144, 144),
               reinterpret_cast<LPARAM>(&suggested));
  ASSERT_EQ(window_->dpi(), 144);
  EXPECT_EQ(step(), 72);
  expectAtNextStop(16);
  controls_->setText(ControlId::CMDTeXT, "\tA\t\t\tB\r\n");
  expectAtNextStop(0);
  expectAtNextStop(4);
  EXPECT_NEAR(position(5).x - position(0).x, 4 * 72, kTolerance);

  window_->applyDpi(96);
  controls_->setText(ControlId::CMDTeXT, kDeviceLine);
  EXPECT_EQ(position(17).x - position(0).x, at96);
  expectAtNextStop(16);
}

}  // namespace
}  // namespace quorlane::wintest
