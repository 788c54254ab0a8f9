#pragma once
// USB devices made up for a test, registered in the Wine prefix's device tree with the ids a
// test chooses, as a bus driver and a device's driver would leave them: present, and with
// Android's USB interface enabled where asked. Wine 8 lists such a device as present once it is
// registered (SetupDiRegisterDeviceInfo), and an interface once its Control\Linked value is 1 (what
// Wine's kernel writes when a driver enables it). Registering needs the administrator's rights
// that Wine gives every program; Windows would refuse an ordinary user.

#include <string>
#include <vector>

namespace quorlane::testsupport {

struct FakeUsbDevice {
  std::string instanceId;  // USB\VID_18D1&PID_D00D\<serial>; under ROOT\ for a device not on USB
  std::vector<std::string> hardwareIds;
  std::vector<std::string> compatibleIds;
  std::string friendlyName;  // empty: none
  enum class Interface { none, enabled, disabled } androidInterface = Interface::none;
};

// What every fake device's serial (the last part of its instance id) begins with.
inline constexpr const char* kFakeSerial = "QUORLANEFAKE";

// Registered for the owner's life; removed with it, interfaces and all.
class RegisteredUsb {
 public:
  explicit RegisteredUsb(const FakeUsbDevice& device);
  ~RegisteredUsb();
  RegisteredUsb(const RegisteredUsb&) = delete;
  RegisteredUsb& operator=(const RegisteredUsb&) = delete;
  // Nothing when everything was registered, otherwise the step that failed with its error code.
  const std::string& failure() const { return failure_; }

 private:
  std::string instanceId_;
  std::string failure_;
};

// Removes the fake devices (serial beginning with kFakeSerial) that an ended run left behind.
void removeFakeUsbDevices();

}  // namespace quorlane::testsupport
