#pragma once
// What the window shows about a command besides its output, on Windows: a hint panel laid over a
// control while the command waits, a result panel (with up to two buttons where the user can
// act) after it, the taskbar button's progress (ITaskbarList3, where the system has it), and
// flashing the taskbar button.
//
// Both panels are children of the main window laid over their anchor, clear of its last line,
// and draw with the anchor's current font; they follow the anchor when its font or place
// changes, as on a change of DPI.

#include <windows.h>

#include <cstddef>
#include <memory>
#include <string>

#include "ports/window.h"
#include "win32/default_handling.h"
#include "win32/handles.h"

struct ITaskbarList3;

namespace quorlane::win32 {

class Win32Feedback final : public window::Feedback {
 public:
  static constexpr const wchar_t* kHintClassName = L"QuorlaneHint";
  static constexpr const wchar_t* kResultClassName = L"QuorlaneResult";
  // The panels' control ids among the main window's children.
  static constexpr int kHintId = 2501;
  static constexpr int kResultId = 2502;

  // Without `useTaskbar` it behaves as on a system without the taskbar interface.
  explicit Win32Feedback(HWND mainWindow, bool useTaskbar = true);
  ~Win32Feedback() override;
  Win32Feedback(const Win32Feedback&) = delete;
  Win32Feedback& operator=(const Win32Feedback&) = delete;

  void setHint(window::ControlId anchor, std::string_view text) override;
  void setProgress(window::Progress progress) override;
  bool inForeground() override;
  void flashUntilActive() override;
  void showResult(window::ControlId anchor, std::string_view text,
                  const window::ResultButtons& buttons) override;
  void hideResult() override;

  HWND hint() const { return hint_.get(); }
  HWND result() const { return result_.get(); }
  // The result panel's first or second button (children of the panel); nullptr before the first
  // result.
  HWND resultButton(std::size_t index = 0) const;
  // Whether the taskbar interface could be reached; without it progress is simply not shown.
  bool hasTaskbar();

 private:
  struct ComReleaser {
    void operator()(ITaskbarList3* list) const;
  };
  static LRESULT CALLBACK hintProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK resultProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK anchorProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR subclass, DWORD_PTR self);
  LRESULT anchorMessage(HWND hwnd, UINT message, const DefaultHandling& defaultHandling);
  LRESULT onAnchorPaint(HWND hwnd, const DefaultHandling& defaultHandling);
  LRESULT onAnchorChanged(HWND hwnd, const DefaultHandling& defaultHandling);
  LRESULT onAnchorNcDestroy(HWND hwnd, const DefaultHandling& defaultHandling);

  // Shows `panel` over `target` with `text`, clear of the target's last line.
  void show(HWND panel, HWND target, std::string_view text);
  // Lays `target`'s visible panels out again, for its current font and place.
  void replace(HWND target);
  // Follows `target`'s painting, font and place from now on.
  void follow(HWND target);

  HWND main_;
  UniqueWindow hint_;
  UniqueWindow result_;
  HWND anchor_ = nullptr;  // the control the panels lie over, once there was one
  std::unique_ptr<ITaskbarList3, ComReleaser> taskbar_;
  bool taskbarTried_ = false;
};

}  // namespace quorlane::win32
