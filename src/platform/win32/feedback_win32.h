#pragma once
// What the window shows about a running command besides its output, on Windows: a hint panel
// laid over the top of a control, the taskbar button's progress (ITaskbarList3, where the system
// has it), and flashing the taskbar button.

#include <windows.h>

#include <memory>
#include <string>

#include "platform/win32/handles.h"
#include "window/ports.h"

struct ITaskbarList3;

namespace quorlane::win32 {

class Win32Feedback final : public window::Feedback {
 public:
  static constexpr const wchar_t* kHintClassName = L"QuorlaneHint";
  // The hint panel's control id among the main window's children.
  static constexpr int kHintId = 2501;

  // Without `useTaskbar` it behaves as on a system without the taskbar interface.
  explicit Win32Feedback(HWND mainWindow, bool useTaskbar = true);
  ~Win32Feedback() override;
  Win32Feedback(const Win32Feedback&) = delete;
  Win32Feedback& operator=(const Win32Feedback&) = delete;

  void setHint(window::ControlId anchor, std::string_view text) override;
  void setProgress(window::Progress progress) override;
  bool inForeground() override;
  void flashUntilActive() override;

  HWND hint() const { return hint_.get(); }
  // Whether the taskbar interface could be reached; without it progress is simply not shown.
  bool hasTaskbar();

 private:
  struct ComReleaser {
    void operator()(ITaskbarList3* list) const;
  };
  static LRESULT CALLBACK hintProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK anchorProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR subclass, DWORD_PTR self);
  LRESULT anchorMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT onAnchorPaint(HWND hwnd, WPARAM wParam, LPARAM lParam);
  LRESULT onAnchorNcDestroy(HWND hwnd, WPARAM wParam, LPARAM lParam);

  HWND main_;
  UniqueWindow hint_;
  HWND anchor_ = nullptr;  // the control the hint lies over, once there was one
  std::unique_ptr<ITaskbarList3, ComReleaser> taskbar_;
  bool taskbarTried_ = false;
};

}  // namespace quorlane::win32
