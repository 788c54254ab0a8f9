#include "window/usb_diagnosis.h"

#include <cstddef>
#include <string>
#include <utility>

#include "common/strings.h"
#include "common/texts.h"

namespace quorlane::window {

namespace {

using Kind = UsbFinding::Kind;
using texts::UsbIdMeaning;

// Windows writes the ids in either case.
bool startsWith(std::string_view text, std::string_view start) {
  return asciiLower(text.substr(0, start.size())) == asciiLower(start);
}

// Whether `id` is the row's id or begins with it followed by '&'.
bool matches(std::string_view id, std::string_view rowId) {
  return startsWith(id, rowId) && (id.size() == rowId.size() || id[rowId.size()] == '&');
}

bool isHex(std::string_view digits) {
  for (const char c : asciiLower(digits)) {
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
  }
  return true;
}

// "18D1:4EE0" from an id that begins USB\VID_18D1&PID_4EE0; nothing from any other.
std::optional<std::string> vidPidIn(std::string_view id) {
  constexpr std::string_view kVid = "USB\\VID_";
  constexpr std::string_view kPid = "&PID_";
  constexpr std::size_t kDigits = 4;
  const std::size_t pidAt = kVid.size() + kDigits;
  if (!startsWith(id, kVid) || id.size() < pidAt + kPid.size() + kDigits) return std::nullopt;
  if (!startsWith(id.substr(pidAt), kPid)) return std::nullopt;
  const std::string_view vid = id.substr(kVid.size(), kDigits);
  const std::string_view pid = id.substr(pidAt + kPid.size(), kDigits);
  if (!isHex(vid) || !isHex(pid)) return std::nullopt;
  return asciiUpper(vid) + ':' + asciiUpper(pid);
}

std::optional<std::string> vidPidOf(const ports::UsbDevice& node) {
  if (auto found = vidPidIn(node.instanceId)) return found;
  for (const auto& id : node.hardwareIds) {
    if (auto found = vidPidIn(id)) return found;
  }
  return std::nullopt;
}

// What the nodes of one device tell together.
struct Device {
  std::string vidPid;
  bool adb = false;
  bool phoneFunction = false;
  bool maker = false;
  std::string_view makerName;
  const texts::UsbIdRow* mode = nullptr;
  bool androidInterface = false;
  // Its nodes in FastBoot mode: whether any of them lacks a working driver (and the problem code
  // of the first that has one), and what Device Manager calls the first of them.
  bool fastboot = false;
  bool withoutDriver = false;
  std::optional<unsigned long> problem;
  std::string fastbootName;
};

void take(Device& device, const ports::UsbDevice& node) {
  device.androidInterface = device.androidInterface || node.androidInterface;
  bool fastboot = false;
  for (const auto* ids : {&node.hardwareIds, &node.compatibleIds}) {
    for (const auto& id : *ids) {
      for (const auto& row : texts::kUsbIds) {
        if (!matches(id, row.id)) continue;
        switch (row.meaning) {
          case UsbIdMeaning::fastboot:
            fastboot = true;
            break;
          case UsbIdMeaning::adb:
            device.adb = true;
            break;
          case UsbIdMeaning::phoneFunction:
            device.phoneFunction = true;
            break;
          case UsbIdMeaning::maker:
            device.maker = true;
            device.makerName = row.name;
            break;
          case UsbIdMeaning::unusableMode:
          case UsbIdMeaning::startingMode:
            if (device.mode == nullptr) device.mode = &row;
            break;
        }
      }
    }
  }
  if (!fastboot) return;
  if (!device.fastboot) device.fastbootName = node.name;
  device.fastboot = true;
  if (node.problem || !node.driverStarted) device.withoutDriver = true;
  if (node.problem && !device.problem) device.problem = node.problem;
}

std::optional<UsbFinding> findingFor(const Device& device) {
  UsbFinding finding;
  finding.vidPid = device.vidPid;
  if (device.mode != nullptr) {
    finding.kind = device.mode->meaning == UsbIdMeaning::startingMode ? Kind::startingMode
                                                                      : Kind::unusableMode;
    finding.name = device.mode->name;
    return finding;
  }
  if (device.fastboot) {
    if (device.withoutDriver) {
      finding.kind = Kind::fastbootWithoutDriver;
      finding.problem = device.problem;
      return finding;
    }
    // A working driver that registered Android's interface: the client can see the phone.
    if (device.androidInterface) return std::nullopt;
    finding.kind = Kind::fastbootWrongDriver;
    finding.deviceName = device.fastbootName;
    return finding;
  }
  if (device.adb || (device.maker && device.phoneFunction)) {
    finding.kind = Kind::startedNormally;
    finding.name = device.makerName;
    return finding;
  }
  return std::nullopt;
}

// 小米手机（2717:FF40）, or 手机（18D1:4EE0） without a maker.
std::string phone(std::string_view maker, const std::string& vidPid) {
  return texts::concat(maker, texts::kUsbPhone, texts::kUsbIdBefore, vidPid, texts::kUsbIdAfter);
}

std::string panelSentence(const UsbFinding& finding) {
  switch (finding.kind) {
    case Kind::fastbootWithoutDriver:
      if (finding.problem && *finding.problem != ports::kProblemNoDriver) {
        return texts::concat(phone({}, finding.vidPid), texts::kUsbDriverFailsBefore,
                             std::to_string(*finding.problem), texts::kUsbDriverFailsAfter);
      }
      return texts::concat(phone({}, finding.vidPid), texts::kUsbNoDriver);
    case Kind::fastbootWrongDriver: {
      std::string sentence = phone({}, finding.vidPid);
      sentence += texts::kUsbWrongDriverBefore;
      if (!finding.deviceName.empty()) {
        sentence += texts::concat(texts::kUsbWrongDriverNameBefore, finding.deviceName,
                                  texts::kUsbWrongDriverNameAfter);
      }
      sentence += texts::kUsbWrongDriverAfter;
      return sentence;
    }
    case Kind::startedNormally:
      return texts::concat(phone(finding.name, finding.vidPid), texts::kUsbStartedNormally);
    case Kind::unusableMode:
      return texts::concat(phone({}, finding.vidPid), texts::kUsbModeBefore, finding.name,
                           texts::kUsbUnusableAfter);
    case Kind::startingMode:
      return texts::concat(phone({}, finding.vidPid), texts::kUsbModeBefore, finding.name,
                           texts::kUsbStartingAfter);
  }
  return {};
}

std::string hintLine(const UsbFinding& finding) {
  const std::string id = texts::concat(texts::kUsbIdBefore, finding.vidPid, texts::kUsbIdAfter);
  switch (finding.kind) {
    case Kind::fastbootWithoutDriver:
      return texts::concat(texts::kUsbHintFastboot, id, texts::kUsbHintNoDriver);
    case Kind::fastbootWrongDriver:
      return texts::concat(texts::kUsbHintFastboot, id, texts::kUsbHintWrongDriver);
    case Kind::startedNormally:
      return texts::concat(phone(finding.name, finding.vidPid), texts::kUsbHintStartedNormally);
    case Kind::unusableMode:
      return texts::concat(phone({}, finding.vidPid), texts::kUsbModeBefore, finding.name,
                           texts::kUsbHintUnusable);
    case Kind::startingMode:
      return texts::concat(phone({}, finding.vidPid), texts::kUsbModeBefore, finding.name,
                           texts::kUsbHintStarting);
  }
  return {};
}

void addLine(std::string& text, std::string_view line) {
  if (!text.empty()) text += "\r\n";
  text += line;
}

}  // namespace

std::vector<UsbFinding> diagnoseUsb(const std::vector<ports::UsbDevice>& devices) {
  std::vector<Device> found;
  for (const auto& node : devices) {
    const auto vidPid = vidPidOf(node);
    if (!vidPid) continue;  // a root hub or a node without ids
    Device* device = nullptr;
    for (auto& d : found) {
      if (d.vidPid == *vidPid) device = &d;
    }
    if (device == nullptr) {
      found.emplace_back();
      device = &found.back();
      device->vidPid = *vidPid;
    }
    take(*device, node);
  }
  std::vector<UsbFinding> findings;
  for (const auto& device : found) {
    if (auto finding = findingFor(device)) findings.push_back(std::move(*finding));
  }
  return findings;
}

std::optional<UsbAdvice> usbAdvice(const std::vector<UsbFinding>& findings) {
  if (findings.empty()) return std::nullopt;
  UsbAdvice advice;
  bool driver = false;
  bool started = false;
  bool mode = false;
  for (const auto& finding : findings) {
    addLine(advice.panel, panelSentence(finding));
    addLine(advice.hint, hintLine(finding));
    driver = driver || finding.kind == Kind::fastbootWithoutDriver ||
             finding.kind == Kind::fastbootWrongDriver;
    started = started || finding.kind == Kind::startedNormally;
    mode = mode || finding.kind == Kind::unusableMode || finding.kind == Kind::startingMode;
  }
  // What to do, once for all the devices that need it.
  if (driver) addLine(advice.panel, texts::kUsbDriverSteps);
  if (started) addLine(advice.panel, texts::kUsbEnterFastboot);
  if (mode) addLine(advice.panel, texts::kUsbLeaveMode);
  return advice;
}

}  // namespace quorlane::window
