#pragma once
// The window's controls for the handlers: texts and enabled states of the children of the main
// window, by control id. Texts are UTF-8.

#include <windows.h>

#include "ports/window.h"

namespace quorlane::win32 {

class Win32Controls final : public window::Controls {
 public:
  explicit Win32Controls(HWND mainWindow = nullptr) : main_(mainWindow) {}
  // For a window built after the form that uses it.
  void setMainWindow(HWND mainWindow) { main_ = mainWindow; }

  std::string text(window::ControlId id) override;
  // For the output box the newest line stays in view when the end was in view before; a user
  // who scrolled up keeps the part he was reading.
  void setText(window::ControlId id, std::string_view text) override;
  void appendText(window::ControlId id, std::string_view text) override;
  bool enabled(window::ControlId id) override;
  void setEnabled(window::ControlId id, bool enabled) override;

 private:
  HWND child(window::ControlId id) const;
  HWND main_;
};

// Edit control helpers, also used by the tests.
// Whether the last line of a multi-line edit control is within its visible lines.
bool endInView(HWND edit);
// Scrolls a multi-line edit control so that its last line is at the bottom of the view.
void scrollToEnd(HWND edit);

}  // namespace quorlane::win32
