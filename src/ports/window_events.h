#pragma once
// What the main window reports to the code behind it: clicks, timer ticks, dropped files, closing,
// activation and devices that come or go. The platform layer calls these from its window procedure.

#include <string>
#include <vector>

#include "ports/control_id.h"

namespace quorlane::window {

class WindowEvents {
 public:
  virtual ~WindowEvents() = default;
  // A button was clicked (by mouse, access key or Enter); ids without a handler are ignored.
  virtual void click(ControlId id) = 0;
  virtual void Timer1_Timer() = 0;
  // Files dropped on the window, in the order the system gives them.
  virtual void filesDropped(const std::vector<std::string>& paths) = 0;
  // The window is being closed.
  virtual void Form_Unload() = 0;
  // The user brought the window to the front or clicked in it.
  virtual void Form_Activate() {}
  // A device was connected or removed somewhere in the system.
  virtual void devicesChanged() {}
};

}  // namespace quorlane::window
