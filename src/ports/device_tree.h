#pragma once
// What Windows knows of the USB devices present: its device tree, looked at apart from the user
// interface. The fastboot client lists only phones that expose Android's USB interface through a
// working driver; Windows also knows the phone without a driver, the one started normally and
// the one in a chip maker's emergency mode. Texts are UTF-8. As every port of the program, it
// never throws; a call that can fail returns nothing when it failed.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quorlane::ports {

// A node of the device tree under the USB bus: a whole device, or one function of a composite
// device (an interface child, `USB\VID_18D1&PID_4EE7&MI_01\...`).
struct UsbDevice {
  std::string instanceId;                  // USB\VID_18D1&PID_4EE0\0123456789ABCDEF
  std::vector<std::string> hardwareIds;    // USB\VID_18D1&PID_4EE0&REV_0100, USB\VID_18D1&PID_4EE0
  std::vector<std::string> compatibleIds;  // USB\Class_ff&SubClass_42&Prot_03, ...
  // The name Device Manager shows: its friendly name, else its description; may be empty.
  std::string name;
  // The node's problem code (CM_PROB_*, kProblemNoDriver when no driver is installed), when it
  // has one.
  std::optional<unsigned long> problem;
  // Whether a driver has been started for it.
  bool driverStarted = false;
  // Whether it exposes Android's USB interface class {F72FE0D4-CBCB-407D-8814-9ED673D0DD6B},
  // enabled: the only way the fastboot client (and adb) find a phone on Windows.
  bool androidInterface = false;
};

// CM_PROB_FAILED_INSTALL: no driver is installed for the device.
inline constexpr unsigned long kProblemNoDriver = 28;

// A look under way; destroying it before its delivery cancels the delivery.
class DeviceLook {
 public:
  virtual ~DeviceLook() = default;
};

// The USB devices present, as they reach the user interface; nothing when the system could not
// be asked.
using UsbDelivery = std::function<void(std::optional<std::vector<UsbDevice>> devices)>;

class DeviceTree {
 public:
  virtual ~DeviceTree() = default;
  // Looks at the USB devices present on a thread of its own, never holding up the caller's
  // thread, and hands what it found once to `deliver` on the caller's (the window's) thread, by
  // whichever message loop runs there (a message box's or a dialog's too). Several looks may be
  // under way at once. Nothing when the look could not be started.
  virtual std::unique_ptr<DeviceLook> lookAtUsb(UsbDelivery deliver) = 0;
};

}  // namespace quorlane::ports
