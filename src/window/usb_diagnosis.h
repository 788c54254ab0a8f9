#pragma once
// Why the fastboot client lists no phone, read from the USB devices Windows knows: a phone in
// FastBoot mode without its driver or with a wrong one, a phone started normally, a phone in an
// emergency mode. What each id means is the table texts::kUsbIds; this file applies it.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ports/device_tree.h"

namespace quorlane::window {

// What one device (the nodes with one VID and PID) tells about a phone.
struct UsbFinding {
  enum class Kind {
    fastbootWithoutDriver,  // in FastBoot mode; its driver is missing or does not work
    fastbootWrongDriver,    // in FastBoot mode; a driver works, but not one the client can use
    startedNormally,        // started as usual (files, charging, USB debugging), not in FastBoot
    unusableMode,           // an emergency or flashing mode this program cannot use
    startingMode,           // a mode the phone passes through while it starts
  };
  Kind kind = Kind::fastbootWithoutDriver;
  std::string vidPid;     // as Windows writes the digits: 18D1:4EE0
  std::string_view name;  // the maker, or for the modes the mode, from kUsbIds; may be empty
  // fastbootWrongDriver: the name Device Manager shows for it; may be empty.
  std::string deviceName;
  // fastbootWithoutDriver: its node's problem code, when it has one.
  std::optional<unsigned long> problem;
};

// One finding for each device that explains an empty list, in the order the devices come; none
// for the other devices (sticks, mice, hubs, a phone the client can see).
std::vector<UsbFinding> diagnoseUsb(const std::vector<ports::UsbDevice>& devices);

// What the window says of the findings: the result panel after an empty device list, and the
// shorter hint while the client waits for a phone. Nothing when there are no findings: the
// window then says what it always said.
struct UsbAdvice {
  std::string panel;
  std::string hint;
};
std::optional<UsbAdvice> usbAdvice(const std::vector<UsbFinding>& findings);

}  // namespace quorlane::window
