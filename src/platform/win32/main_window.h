#pragma once
// The main window Form1 and its controls, created from the control table in window/layout.h.
// Positions and fonts follow the window's DPI (per-monitor aware); the window forwards clicks,
// timer ticks, dropped files and closing to the handlers set with setEvents.

#include <windows.h>

#include <span>
#include <string>
#include <vector>

#include "platform/win32/handles.h"
#include "platform/win32/picture.h"
#include "window/layout.h"

namespace quorlane::win32 {

// A control's rectangle in pixels at `dpi`, relative to the window's client area. Each edge is
// converted on its own, so controls that meet in twips still meet in pixels.
RECT pixelRect(const window::ControlRow& row, int dpi);

// The order in which the controls are created, which is also the tab order: by tab index, the
// controls without one (-1) last, in table order.
std::vector<const window::ControlRow*> creationOrder(std::span<const window::ControlRow> rows);

// The table row of a control id, or nullptr.
const window::ControlRow* findRow(int id);

// Registers the common controls (version 6, by the manifest) the window is made of.
void initCommonControls();

// What the window reports to its owner.
class WindowEvents {
 public:
  virtual ~WindowEvents() = default;
  virtual void click(window::ControlId id) = 0;
  virtual void timer() = 0;
  virtual void filesDropped(const std::vector<std::string>& paths) = 0;
  virtual void closing() = 0;
  // The user brought the window to the front or clicked in it.
  virtual void activated() {}
};

class MainWindow {
 public:
  static constexpr UINT_PTR kTimerId = 1;
  static constexpr const wchar_t* kClassName = L"Form1";
  static constexpr const wchar_t* kRunnerClassName = L"QuorlaneRunner";

  // Creates the window hidden, with every control, Command1 disabled and the timer running at
  // `timerMs`. Throws std::runtime_error when the window cannot be created.
  MainWindow(HINSTANCE instance, unsigned timerMs);
  ~MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  HWND handle() const { return window_.get(); }
  HWND control(window::ControlId id) const;
  int dpi() const { return dpi_; }
  void setEvents(WindowEvents* events) { events_ = events; }

  // Centres the window on its monitor's work area, shows it and puts the focus on the first
  // control in tab order that can take it.
  void show();
  // That control: the lowest tab index among enabled, visible tab stops.
  HWND firstFocusable() const;

  // Lays everything out again for another DPI (what WM_DPICHANGED does after moving the window).
  void applyDpi(int dpi);

 private:
  static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK runnerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK frameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                    UINT_PTR subclass, DWORD_PTR data);
  static void registerClasses(HINSTANCE instance);
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT colorStatic(HDC dc, HWND control);
  void createControls();
  void makeFonts();
  void placeControls();
  void loadIcons();
  SIZE outerSize() const;
  void dropFiles(WPARAM drop);  // an HDROP

  HINSTANCE instance_;
  int dpi_ = USER_DEFAULT_SCREEN_DPI;
  WindowEvents* events_ = nullptr;
  HWND lastFocus_ = nullptr;
  // Fonts, icons and pictures outlive the window that uses them: declared before it, destroyed
  // after it.
  UniqueFont uiFont_;
  UniqueFont pathFont_;
  UniqueIcon bigIcon_;
  UniqueIcon smallIcon_;
  MaskedPicture console_;
  UniqueBrush runnerBackground_;
  struct RunnerFace {
    const MaskedPicture* picture;
    HBRUSH background;
  } runnerFace_{};
  UniqueWindow window_;
};

}  // namespace quorlane::win32
