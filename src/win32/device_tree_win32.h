#pragma once
// The device tree's port on Windows: the USB devices present, asked of SetupAPI on a thread of
// the look's own and handed to the window's thread through its messages (see Handover).
//
// setupapi.dll, a KnownDLL that also holds the configuration manager's functions on Windows 7
// (cfgmgr32.dll is no KnownDLL there), is not imported: each look loads it from the system folder
// on its own thread (loadSystemLibrary, which any thread may call) and holds that reference until
// it is done, so the library can never go while a look still runs in it, not even while the
// program ends. From the first look on, one more reference keeps it loaded until the program
// ends, so later looks find it loaded. Every function used is in Windows 2000.

#include <optional>
#include <vector>

#include "ports/device_tree.h"

namespace quorlane::win32 {

// The USB devices present now, asked on the calling thread (any thread); nothing when
// setupapi.dll cannot be loaded or the system cannot list them.
std::optional<std::vector<ports::UsbDevice>> presentUsbDevices();

class Win32DeviceTree final : public ports::DeviceTree {
 public:
  std::unique_ptr<ports::DeviceLook> lookAtUsb(ports::UsbDelivery deliver) override;
};

}  // namespace quorlane::win32
