#pragma once
// The main window Form1 and its controls, created from the control table in window/layout.h.
// Positions and fonts follow the window's DPI (per-monitor aware); the window reports clicks,
// timer ticks, dropped files, closing, activation and devices that come or go to the events set
// with setEvents.

#include <windows.h>
// HDROP; needs windows.h first.
#include <shellapi.h>

#include <optional>

#include "ports/window_events.h"
#include "win32/default_handling.h"
#include "win32/handles.h"
#include "win32/runner_face_win32.h"
#include "window/layout.h"

namespace quorlane::win32 {

class MainWindow {
 public:
  static constexpr UINT_PTR kTimerId = 1;
  static constexpr const wchar_t* kClassName = L"Form1";

  // Creates the window hidden, with every control, Command1 disabled and the timer running at
  // `timerMs`. Throws std::runtime_error when the window cannot be created.
  MainWindow(HINSTANCE instance, unsigned timerMs);
  ~MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  HWND handle() const { return window_.get(); }
  HWND control(window::ControlId id) const;
  int dpi() const { return dpi_; }
  void setEvents(window::WindowEvents* events) { events_ = events; }

  // Centres the window on its monitor's work area, shows it and puts the focus on the first
  // control in tab order that can take it.
  void show();
  // That control: the lowest tab index among enabled, visible tab stops.
  HWND firstFocusable() const;

  // Lays everything out again for another DPI (what WM_DPICHANGED does after moving the window).
  void applyDpi(int dpi);

 private:
  static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT dispatch(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  // The window's first message ties it to the object that creates it.
  static void attach(HWND hwnd, const CREATESTRUCTW& create);
  static void registerClass(HINSTANCE instance);
  // Decodes the message's parameters for its handler.
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void detach();

  // Message handlers, one a message. Those that may leave the message to DefWindowProcW take
  // `defaultHandling` for it.
  LRESULT onCommand(int id, UINT code, HWND control, const DefaultHandling& defaultHandling);
  LRESULT onTimer(UINT_PTR timerId, const DefaultHandling& defaultHandling);
  LRESULT onCtlColorStatic(HDC dc, HWND child, const DefaultHandling& defaultHandling);
  LRESULT onDropFiles(HDROP drop);
  LRESULT onDeviceChange(const DefaultHandling& defaultHandling);
  LRESULT onDpiChanged(int dpi, const RECT& suggested);
  LRESULT onParentNotify(UINT event, const DefaultHandling& defaultHandling);
  LRESULT onLButtonDown(const DefaultHandling& defaultHandling);
  LRESULT onActivate(UINT state, bool minimized, const DefaultHandling& defaultHandling);
  // To `control` when given, otherwise to the next (or `previous`) control in tab order.
  LRESULT onNextDlgCtl(std::optional<HWND> control, bool previous);
  LRESULT onClose();
  LRESULT onDestroy();
  LRESULT onNcDestroy(const DefaultHandling& defaultHandling);

  void createControls();
  void makeFonts();
  void placeControls();
  void loadIcons();
  void fitClientArea();
  void activated();

  HINSTANCE instance_;
  int dpi_ = USER_DEFAULT_SCREEN_DPI;
  window::WindowEvents* events_ = nullptr;
  HWND lastFocus_ = nullptr;
  // Fonts, icons and pictures outlive the window that uses them: declared before it, destroyed
  // after it.
  UniqueFont uiFont_;
  UniqueFont pathFont_;
  UniqueIcon bigIcon_;
  UniqueIcon smallIcon_;
  RunnerFace runnerFace_;
  UniqueWindow window_;
};

}  // namespace quorlane::win32
