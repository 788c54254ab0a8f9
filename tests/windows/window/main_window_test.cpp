// The main window made from the control table, in this process: layout at 96 DPI and after a
// DPI change, the controls' kinds and states, tab order and first focus, access keys, colours as
// drawn, and the events the window passes on.

#include "win32/main_window.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "resource_ids.h"
#include "test_support.h"
#include "win32/dpi.h"
#include "win32/module_path.h"
#include "win32/text.h"
#include "window/layout.h"

namespace quorlane::wintest {
namespace {

using window::ControlId;
using window::ControlRow;
using window::Kind;

std::string classOf(HWND hwnd) {
  wchar_t name[64] = {};
  GetClassNameW(hwnd, name, 64);
  return win32::narrow(name);
}

std::string textOf(HWND hwnd) {
  return win32::narrow(win32::windowText(hwnd));
}

LONG_PTR styleOf(HWND hwnd) {
  return GetWindowLongPtrW(hwnd, GWL_STYLE);
}

LOGFONTW fontOf(HWND hwnd) {
  LOGFONTW font{};
  auto handle = reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0));
  if (handle != nullptr) GetObjectW(handle, sizeof(font), &font);
  return font;
}

bool focusable(const ControlRow& row) {
  return row.tabStop && row.enabled && window::takesFocus(row.kind);
}

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = std::make_unique<win32::MainWindow>(GetModuleHandleW(nullptr), 2);
    window_->setEvents(&events_);
  }
  void TearDown() override {
    window_.reset();
    pump();
  }
  HWND main() const { return window_->handle(); }
  HWND control(ControlId id) const { return window_->control(id); }
  void showAndPaint() {
    window_->show();
    RedrawWindow(main(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    pump();
  }
  // Every control where the table puts it at `dpi`, within a pixel.
  void expectLayoutAt(int dpi) {
    RECT client;
    GetClientRect(main(), &client);
    EXPECT_EQ(client.right, window::twipsToPixels(window::form().clientWidth, dpi));
    EXPECT_EQ(client.bottom, window::twipsToPixels(window::form().clientHeight, dpi));
    for (const auto& row : window::controls()) {
      SCOPED_TRACE(std::string(row.name) + " at " + std::to_string(dpi) + " DPI");
      HWND hwnd = control(row.id);
      ASSERT_NE(hwnd, nullptr);
      expectPlacedAsInTable(hwnd, row, dpi);
    }
  }
  // How many pixels of a control's face show roughly this colour.
  int pixelsLike(HWND hwnd, const RECT& area, COLORREF wanted) {
    HDC dc = GetDC(hwnd);
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y) {
      for (int x = area.left; x < area.right; ++x) {
        const COLORREF c = GetPixel(dc, x, y);
        if (c == CLR_INVALID) continue;
        if (std::abs(GetRValue(c) - GetRValue(wanted)) < 60 &&
            std::abs(GetGValue(c) - GetGValue(wanted)) < 60 &&
            std::abs(GetBValue(c) - GetBValue(wanted)) < 60) {
          ++count;
        }
      }
    }
    ReleaseDC(hwnd, dc);
    return count;
  }
  RECT clientOf(HWND hwnd) {
    RECT r;
    GetClientRect(hwnd, &r);
    return r;
  }

  EventRecorder events_;
  std::unique_ptr<win32::MainWindow> window_;
};

TEST_F(MainWindowTest, FixedWindowOfTheTablesSizeHiddenUntilShown) {
  ASSERT_EQ(window_->dpi(), 96) << "the Wine prefix is expected to run at 96 DPI";
  EXPECT_EQ(classOf(main()), "Form1");
  EXPECT_EQ(textOf(main()), "QuorlaneBeta1 -- Tessivo");
  const LONG_PTR style = styleOf(main());
  EXPECT_EQ(style & (WS_THICKFRAME | WS_MAXIMIZEBOX), 0) << "fixed single border";
  EXPECT_NE(style & WS_MINIMIZEBOX, 0);
  EXPECT_FALSE(IsWindowVisible(main())) << "shown only after start-up";

  RECT client;
  GetClientRect(main(), &client);
  EXPECT_EQ(client.right, 555);
  EXPECT_EQ(client.bottom, 401);
  // Positions and captions at 96 DPI are checked on the real program (window_startup_test).
  for (const auto& row : window::controls()) {
    EXPECT_EQ(GetParent(control(row.id)), main())
        << row.name << ": a direct child, so its WM_COMMAND reaches the window";
  }
  // Text2 lies wholly below the client area; the runners show only their top strips.
  EXPECT_GE(rectInParent(control(ControlId::Text2)).top, client.bottom);
  EXPECT_EQ(client.bottom - rectInParent(control(ControlId::MyCMD2)).top, 9);
  EXPECT_EQ(client.bottom - rectInParent(control(ControlId::MyCMD1)).top, 17);
}

TEST_F(MainWindowTest, ControlsHaveTheirKindsFontsAndStates) {
  HWND frame = control(ControlId::Frame1);
  EXPECT_EQ(classOf(frame), "Button");
  EXPECT_EQ(styleOf(frame) & BS_TYPEMASK, BS_GROUPBOX);

  HWND combo = control(ControlId::Combo1);
  EXPECT_EQ(classOf(combo), "ComboBox");
  EXPECT_EQ(styleOf(combo) & 3, CBS_DROPDOWN) << "editable, with a list";
  EXPECT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), 0);
  const LOGFONTW path = fontOf(combo);
  EXPECT_EQ(win32::narrow(path.lfFaceName), "楷体_GB2312");
  EXPECT_EQ(path.lfHeight, -16) << "12 points at 96 DPI";
  EXPECT_EQ(path.lfWeight, 400);
  EXPECT_EQ(path.lfCharSet, 134);
  EXPECT_FALSE(path.lfItalic || path.lfUnderline || path.lfStrikeOut);

  HWND output = control(ControlId::CMDTeXT);
  EXPECT_EQ(classOf(output), "Edit");
  EXPECT_EQ(styleOf(output) & (ES_MULTILINE | WS_VSCROLL | ES_READONLY),
            ES_MULTILINE | WS_VSCROLL | ES_READONLY);
  EXPECT_GT(SendMessageW(output, EM_GETLIMITTEXT, 0, 0), 0x7FFF0000) << "no 32K cap";

  HWND prefix = control(ControlId::Text2);
  EXPECT_EQ(styleOf(prefix) & (ES_MULTILINE | ES_READONLY | WS_TABSTOP), ES_READONLY);
  EXPECT_EQ(textOf(prefix), "fastboot flash recovery ");

  // Only Command1 starts disabled; every control but Combo1 has the system's message font.
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, 96);
  for (const auto& row : window::controls()) {
    SCOPED_TRACE(row.name);
    HWND hwnd = control(row.id);
    EXPECT_EQ(IsWindowEnabled(hwnd) != FALSE, row.id != ControlId::Command1);
    if (row.kind == Kind::runner || row.kind == Kind::combo) continue;
    const LOGFONTW font = fontOf(hwnd);
    EXPECT_EQ(std::wstring(font.lfFaceName), std::wstring(metrics.lfMessageFont.lfFaceName));
    EXPECT_EQ(font.lfHeight, metrics.lfMessageFont.lfHeight);
  }
  EXPECT_NE(SendMessageW(main(), WM_GETICON, ICON_SMALL, 0), 0);
  EXPECT_NE(SendMessageW(main(), WM_GETICON, ICON_BIG, 0), 0);
}

TEST_F(MainWindowTest, ManifestGivesPerMonitorAwarenessAndCommonControls6) {
  // This test program carries the program's own resources, manifest included.
  EXPECT_EQ(GetAwarenessFromDpiAwarenessContext(GetWindowDpiAwarenessContext(main())),
            DPI_AWARENESS_PER_MONITOR_AWARE);
  // The buttons' window procedure lives in comctl32 version 6, not in user32.
  const auto procedure = GetWindowLongPtrW(control(ControlId::Command3), GWLP_WNDPROC);
  HMODULE library = nullptr;
  ASSERT_TRUE(GetModuleHandleExW(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCWSTR>(procedure), &library));
  const std::wstring name = win32::modulePath(library);
  std::wstring path = name;
  CharLowerW(path.data());
  // The side-by-side assembly the manifest asks for: ...common-controls_<key>_6.0.<build>...
  EXPECT_NE(path.find(L"common-controls_6595b64144ccf1df_6.0."), std::wstring::npos)
      << win32::narrow(name);
}

TEST_F(MainWindowTest, FollowsADpiChangeAndBack) {
  RECT outer;
  GetWindowRect(main(), &outer);
  RECT suggested{outer.left, outer.top, outer.left + (outer.right - outer.left) * 3 / 2,
                 outer.top + (outer.bottom - outer.top) * 3 / 2};
  SendMessageW(main(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
  EXPECT_EQ(window_->dpi(), 144);
  expectLayoutAt(144);
  EXPECT_EQ(fontOf(control(ControlId::Combo1)).lfHeight, -24) << "12 points at 144 DPI";
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, 144);
  EXPECT_EQ(fontOf(control(ControlId::Command3)).lfHeight, metrics.lfMessageFont.lfHeight);

  window_->applyDpi(96);
  expectLayoutAt(96);
  EXPECT_EQ(fontOf(control(ControlId::Combo1)).lfHeight, -16);
}

TEST_F(MainWindowTest, ShownCentredOnItsMonitor) {
  showAndPaint();
  EXPECT_TRUE(IsWindowVisible(main()));
  RECT outer;
  GetWindowRect(main(), &outer);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  ASSERT_TRUE(GetMonitorInfoW(MonitorFromWindow(main(), MONITOR_DEFAULTTONEAREST), &monitor));
  const RECT& work = monitor.rcWork;
  EXPECT_NEAR(outer.left + outer.right, work.left + work.right, 2);
  EXPECT_NEAR(outer.top + outer.bottom, work.top + work.bottom, 2);
}

TEST_F(MainWindowTest, FirstFocusAndTabOrderFollowTheTabIndexes) {
  // Focusable controls by tab index: frames, labels, Text2 (no tab stop) and the disabled
  // Command1 are passed over.
  std::vector<const ControlRow*> expected;
  for (const auto& row : window::controls()) {
    if (focusable(row)) expected.push_back(&row);
  }
  std::sort(expected.begin(), expected.end(),
            [](const ControlRow* a, const ControlRow* b) { return a->tabIndex < b->tabIndex; });
  ASSERT_EQ(expected.front()->id, ControlId::Command2);

  showAndPaint();
  ASSERT_TRUE(pumpUntil([&] { return GetFocus() != nullptr; }));
  EXPECT_EQ(GetFocus(), control(ControlId::Command2));
  EXPECT_NE(GetFocus(), control(ControlId::Text2));

  // Tab through the dialog manager, as the message loop does, all the way round.
  std::vector<ControlId> seen;
  for (std::size_t i = 0; i <= expected.size(); ++i) {
    HWND focus = GetFocus();
    HWND direct = focus;
    while (direct != nullptr && GetParent(direct) != main()) direct = GetParent(direct);
    ASSERT_NE(direct, nullptr);
    seen.push_back(static_cast<ControlId>(GetDlgCtrlID(direct)));
    MSG tab{focus, WM_KEYDOWN, VK_TAB, 0x000F0001, 0, {}};
    EXPECT_TRUE(IsDialogMessageW(main(), &tab));
    pump();
  }
  std::vector<ControlId> wanted;
  for (const ControlRow* row : expected) wanted.push_back(row->id);
  wanted.push_back(expected.front()->id);  // and round again
  EXPECT_EQ(seen, wanted);
}

TEST_F(MainWindowTest, AccessKeysClickTheirButtonsThroughTheDialogManager) {
  showAndPaint();
  auto press = [&](wchar_t key) {
    MSG alt{GetFocus(), WM_SYSCHAR, key, 0x20000001, 0, {}};
    IsDialogMessageW(main(), &alt);
    pump();
  };
  press(L'a');
  press(L'c');
  press(L'b');  // Command1 is disabled: nothing
  EXPECT_EQ(events_.clicks, (std::vector<ControlId>{ControlId::Command3, ControlId::Command4}));
  EnableWindow(control(ControlId::Command1), TRUE);
  press(L'b');
  EXPECT_EQ(events_.clicks.back(), ControlId::Command1);
}

TEST_F(MainWindowTest, CaptionsAndLabelsShowInTheirColours) {
  showAndPaint();
  const COLORREF red = RGB(255, 0, 0);
  const COLORREF blue = RGB(0, 0, 255);
  for (ControlId frameId : {ControlId::Frame1, ControlId::Frame2}) {
    HWND frame = control(frameId);
    RECT caption = clientOf(frame);
    caption.bottom = 16;  // the caption's line
    // Text is drawn smoothed: only some of its pixels are the pure colour, none when black.
    EXPECT_GT(pixelsLike(frame, caption, red), 5) << static_cast<int>(frameId);
    EXPECT_LT(pixelsLike(frame, caption, RGB(0, 0, 0)), pixelsLike(frame, caption, red));
  }
  EXPECT_GT(pixelsLike(control(ControlId::Label6), clientOf(control(ControlId::Label6)), red), 10);
  EXPECT_GT(pixelsLike(control(ControlId::Label3), clientOf(control(ControlId::Label3)), blue), 10);
  EXPECT_GT(pixelsLike(control(ControlId::Label5), clientOf(control(ControlId::Label5)), blue), 10);
  EXPECT_EQ(pixelsLike(control(ControlId::Label5), clientOf(control(ControlId::Label5)), red), 0);

  // A shorter text leaves nothing of the longer one behind.
  HWND label = control(ControlId::Label6);
  SetWindowTextW(label, L"注");
  UpdateWindow(label);
  pump();
  RECT rest = clientOf(label);
  rest.left = 30;
  EXPECT_EQ(pixelsLike(label, rest, red), 0);
}

TEST_F(MainWindowTest, RunnerShowsItsConsoleOverLightGrey) {
  showAndPaint();
  HWND runner = control(ControlId::MyCMD2);
  HDC dc = GetDC(runner);
  const COLORREF corner = GetPixel(dc, 0, 0);     // a transparent pixel of the picture
  const COLORREF titleBar = GetPixel(dc, 10, 7);  // inside the blue title bar
  ReleaseDC(runner, dc);
  EXPECT_EQ(corner, RGB(224, 224, 224));
  EXPECT_LT(GetRValue(titleBar), 80);
  EXPECT_GT(GetBValue(titleBar), 120);
}

TEST_F(MainWindowTest, PassesOnTimerTicksClicksDropsAndClosing) {
  EXPECT_TRUE(pumpUntil([&] { return events_.ticks >= 3; })) << "the timer runs from creation";

  SendMessageW(control(ControlId::Command7), BM_CLICK, 0, 0);
  SendMessageW(control(ControlId::Command10), BM_CLICK, 0, 0);
  EXPECT_EQ(events_.clicks, (std::vector<ControlId>{ControlId::Command7, ControlId::Command10}));

  // Two files dropped at once, one with a Chinese name and a blank.
  const std::wstring first = L"C:\\镜像\\rec one.img";
  const std::wstring second = L"D:\\b.img";
  const std::size_t chars = first.size() + 1 + second.size() + 1 + 1;
  HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + chars * sizeof(wchar_t));
  ASSERT_NE(memory, nullptr);
  auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
  drop->pFiles = sizeof(DROPFILES);
  drop->fWide = TRUE;
  auto* names = reinterpret_cast<wchar_t*>(reinterpret_cast<char*>(drop) + sizeof(DROPFILES));
  std::memcpy(names, first.c_str(), (first.size() + 1) * sizeof(wchar_t));
  std::memcpy(names + first.size() + 1, second.c_str(), (second.size() + 1) * sizeof(wchar_t));
  GlobalUnlock(memory);
  SendMessageW(main(), WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);  // frees it
  ASSERT_EQ(events_.drops.size(), 1u);
  EXPECT_EQ(events_.drops[0], (std::vector<std::string>{"C:\\镜像\\rec one.img", "D:\\b.img"}));

  HWND hwnd = main();
  SendMessageW(hwnd, WM_CLOSE, 0, 0);
  EXPECT_EQ(events_.closings, 1);
  EXPECT_FALSE(IsWindow(hwnd));
  MSG quit;
  EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the loop ends";
}

// The window where the Windows 10 DPI functions are missing: at the system DPI (96 here, 144 in
// the run at that DPI), positions and fonts as with them.
class SystemDpiFallbackTest : public ::testing::TestWithParam<win32::dpi::Functions> {
 protected:
  void SetUp() override { win32::dpi::limitFunctions(GetParam()); }
  void TearDown() override {
    window_.reset();
    pump();
    win32::dpi::limitFunctions(win32::dpi::Functions::all);
  }
  std::unique_ptr<win32::MainWindow> window_;
};

TEST_P(SystemDpiFallbackTest, LayoutAndFontsFollowTheSystemDpi) {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  window_ = std::make_unique<win32::MainWindow>(GetModuleHandleW(nullptr), 2);
  ASSERT_EQ(window_->dpi(), dpi);
  RECT client;
  GetClientRect(window_->handle(), &client);
  EXPECT_EQ(client.right, window::twipsToPixels(window::form().clientWidth, dpi));
  EXPECT_EQ(client.bottom, window::twipsToPixels(window::form().clientHeight, dpi));
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  ASSERT_TRUE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0));
  for (const auto& row : window::controls()) {
    SCOPED_TRACE(std::string(row.name) + " at " + std::to_string(dpi) + " DPI");
    HWND hwnd = window_->control(row.id);
    ASSERT_NE(hwnd, nullptr);
    expectPlacedAsInTable(hwnd, row, dpi);
    if (row.kind == Kind::runner) continue;
    const LOGFONTW font = fontOf(hwnd);
    if (row.kind == Kind::combo) {
      EXPECT_EQ(font.lfHeight, -MulDiv(12, dpi, 72)) << "12 points";
    } else {
      EXPECT_EQ(std::wstring(font.lfFaceName), std::wstring(metrics.lfMessageFont.lfFaceName));
      EXPECT_EQ(font.lfHeight, metrics.lfMessageFont.lfHeight);
    }
  }
  EXPECT_NE(SendMessageW(window_->handle(), WM_GETICON, ICON_BIG, 0), 0);

  // Moved to a monitor of another DPI (Windows 8.1 tells a per-monitor aware window so too):
  // the message font is the system's, scaled.
  const int other = dpi == 96 ? 144 : 96;
  window_->applyDpi(other);
  EXPECT_EQ(fontOf(window_->control(ControlId::Command3)).lfHeight,
            MulDiv(metrics.lfMessageFont.lfHeight, other, dpi));
  EXPECT_EQ(fontOf(window_->control(ControlId::Combo1)).lfHeight, -MulDiv(12, other, 72));
  GetClientRect(window_->handle(), &client);
  EXPECT_EQ(client.right, window::twipsToPixels(window::form().clientWidth, other));
}

INSTANTIATE_TEST_SUITE_P(Windows, SystemDpiFallbackTest,
                         ::testing::Values(win32::dpi::Functions::windows81,
                                           win32::dpi::Functions::windows7),
                         [](const auto& info) {
                           return info.param == win32::dpi::Functions::windows7 ? "Windows7"
                                                                                : "Windows81";
                         });

// The runner's picture, drawn with a mask and two blits, is pixel for pixel what TransparentBlt
// draws, at its own size and stretched as at 144 DPI.
TEST(MaskedPictureSystemDpiTest, DrawsExactlyWhatTransparentBltDraws) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  auto load = [&] {
    return win32::UniqueBitmap(static_cast<HBITMAP>(LoadImageW(
        instance, MAKEINTRESOURCEW(IDB_CONSOLE), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  };
  const COLORREF key = RGB(255, 0, 255);
  const COLORREF background = RGB(224, 224, 224);
  win32::MaskedPicture picture(load(), key);
  ASSERT_TRUE(picture);
  win32::UniqueBitmap original = load();
  for (int size : {32, 48}) {
    SCOPED_TRACE(size);
    HDC screen = GetDC(nullptr);
    win32::MemoryDC ours(screen);
    win32::MemoryDC theirs(screen);
    win32::MemoryDC source(screen);
    win32::UniqueBitmap oursBits(CreateCompatibleBitmap(screen, size, size));
    win32::UniqueBitmap theirsBits(CreateCompatibleBitmap(screen, size, size));
    ReleaseDC(nullptr, screen);
    win32::Selection a(ours.get(), oursBits.get());
    win32::Selection b(theirs.get(), theirsBits.get());
    win32::Selection c(source.get(), original.get());
    win32::UniqueBrush brush(CreateSolidBrush(background));
    const RECT all{0, 0, size, size};
    FillRect(ours.get(), &all, brush.get());
    FillRect(theirs.get(), &all, brush.get());
    picture.draw(ours.get(), all);
    ASSERT_TRUE(TransparentBlt(theirs.get(), 0, 0, size, size, source.get(), 0, 0,
                               picture.size().cx, picture.size().cy, key));
    int differing = 0;
    int shown = 0;
    for (int y = 0; y < size; ++y) {
      for (int x = 0; x < size; ++x) {
        const COLORREF mine = GetPixel(ours.get(), x, y);
        differing += mine != GetPixel(theirs.get(), x, y) ? 1 : 0;
        shown += mine != background ? 1 : 0;
        EXPECT_NE(mine, key) << x << "," << y;
      }
    }
    EXPECT_EQ(differing, 0);
    EXPECT_GT(shown, size * size / 2) << "the console covers most of the face";
  }
}

}  // namespace
}  // namespace quorlane::wintest
