#include "support/fake_usb.h"

#include <windows.h>
// setupapi.h and devguid.h need the types of windows.h.
#include <cfgmgr32.h>
#include <devguid.h>
#include <setupapi.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "win32/handles.h"
#include "win32/text.h"

namespace quorlane::testsupport {

namespace {

using win32::narrow;
using win32::widen;

constexpr GUID kAndroidUsbClass = {
    0xF72FE0D4, 0xCBCB, 0x407D, {0x88, 0x14, 0x9E, 0xD6, 0x73, 0xD0, 0xDD, 0x6B}};
constexpr const wchar_t* kDeviceClasses =
    L"System\\CurrentControlSet\\Control\\DeviceClasses\\"
    L"{F72FE0D4-CBCB-407D-8814-9ED673D0DD6B}\\";

// A device information set; "none" is INVALID_HANDLE_VALUE, as for files.
using DeviceSet = std::unique_ptr<void, win32::InvalidValueReleaser<SetupDiDestroyDeviceInfoList>>;
using UniqueKey = win32::Unique<HKEY, RegCloseKey>;

std::wstring multiString(const std::vector<std::string>& strings) {
  std::wstring multi;
  for (const auto& s : strings) {
    multi += widen(s);
    multi += L'\0';
  }
  multi += L'\0';
  return multi;
}

bool setText(HDEVINFO set, SP_DEVINFO_DATA& device, DWORD property, const std::wstring& text) {
  return SetupDiSetDeviceRegistryPropertyW(set, &device, property,
                                           reinterpret_cast<const BYTE*>(text.c_str()),
                                           static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

std::string failed(const char* step) {
  return std::string(step) + " failed: " + std::to_string(GetLastError());
}

// Marks the interface enabled as Wine's kernel does: Linked = 1 under the key of its reference
// string ("#" when it has none), named after its path with "\\?\" written "##?#".
std::string enable(HDEVINFO set, SP_DEVICE_INTERFACE_DATA& found) {
  DWORD needed = 0;
  SetupDiGetDeviceInterfaceDetailW(set, &found, nullptr, 0, &needed, nullptr);
  std::vector<SP_DEVICE_INTERFACE_DETAIL_DATA_W> detail(
      needed / sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W) + 1);
  detail.front().cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
  if (!SetupDiGetDeviceInterfaceDetailW(
          set, &found, detail.data(),
          static_cast<DWORD>(detail.size() * sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)), nullptr,
          nullptr)) {
    return failed("SetupDiGetDeviceInterfaceDetailW");
  }
  std::wstring path = detail.front().DevicePath;
  if (path.rfind(L"\\\\?\\", 0) != 0) return "unexpected interface path " + narrow(path);
  const std::wstring key = kDeviceClasses + (L"##?#" + path.substr(4)) + L"\\#\\Control";
  HKEY created = nullptr;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                      &created, nullptr) != ERROR_SUCCESS) {
    return "cannot create " + narrow(key);
  }
  const UniqueKey control(created);
  const DWORD linked = 1;
  const LSTATUS stored = RegSetValueExW(control.get(), L"Linked", 0, REG_DWORD,
                                        reinterpret_cast<const BYTE*>(&linked), sizeof(linked));
  return stored == ERROR_SUCCESS ? std::string() : "cannot set Linked under " + narrow(key);
}

}  // namespace

RegisteredUsb::RegisteredUsb(const FakeUsbDevice& device) : instanceId_(device.instanceId) {
  const DeviceSet set(SetupDiCreateDeviceInfoList(nullptr, nullptr));
  if (!set) {
    failure_ = failed("SetupDiCreateDeviceInfoList");
    return;
  }
  SP_DEVINFO_DATA node{};
  node.cbSize = sizeof(node);
  const std::wstring id = widen(device.instanceId);
  if (!SetupDiCreateDeviceInfoW(set.get(), id.c_str(), &GUID_DEVCLASS_USB, nullptr, nullptr, 0,
                                &node)) {
    failure_ = failed("SetupDiCreateDeviceInfoW");
    return;
  }
  if (!setText(set.get(), node, SPDRP_HARDWAREID, multiString(device.hardwareIds)) ||
      !setText(set.get(), node, SPDRP_COMPATIBLEIDS, multiString(device.compatibleIds)) ||
      (!device.friendlyName.empty() &&
       !setText(set.get(), node, SPDRP_FRIENDLYNAME, widen(device.friendlyName)))) {
    failure_ = failed("SetupDiSetDeviceRegistryPropertyW");
    return;
  }
  if (!SetupDiRegisterDeviceInfo(set.get(), &node, 0, nullptr, nullptr, nullptr)) {
    failure_ = failed("SetupDiRegisterDeviceInfo");
    return;
  }
  if (device.androidInterface == FakeUsbDevice::Interface::none) return;
  SP_DEVICE_INTERFACE_DATA found{};
  found.cbSize = sizeof(found);
  if (!SetupDiCreateDeviceInterfaceW(set.get(), &node, &kAndroidUsbClass, nullptr, 0, &found)) {
    failure_ = failed("SetupDiCreateDeviceInterfaceW");
    return;
  }
  if (device.androidInterface == FakeUsbDevice::Interface::enabled) {
    failure_ = enable(set.get(), found);
  }
}

RegisteredUsb::~RegisteredUsb() {
  const DeviceSet set(SetupDiCreateDeviceInfoList(nullptr, nullptr));
  if (!set) return;
  SP_DEVINFO_DATA node{};
  node.cbSize = sizeof(node);
  const std::wstring id = widen(instanceId_);
  if (SetupDiOpenDeviceInfoW(set.get(), id.c_str(), nullptr, 0, &node)) {
    SetupDiRemoveDevice(set.get(), &node);
  }
}

void removeFakeUsbDevices() {
  for (const wchar_t* enumerator : {L"USB", L"ROOT"}) {
    const DeviceSet set(SetupDiGetClassDevsW(nullptr, enumerator, nullptr, DIGCF_ALLCLASSES));
    if (!set) continue;
    SP_DEVINFO_DATA node{};
    node.cbSize = sizeof(node);
    std::vector<SP_DEVINFO_DATA> fake;
    for (DWORD i = 0; SetupDiEnumDeviceInfo(set.get(), i, &node); ++i) {
      wchar_t id[MAX_DEVICE_ID_LEN + 1] = {};
      if (!SetupDiGetDeviceInstanceIdW(set.get(), &node, id, MAX_DEVICE_ID_LEN + 1, nullptr)) {
        continue;
      }
      const std::wstring_view instance(id);
      const auto serialAt = instance.rfind(L'\\');
      if (serialAt != std::wstring_view::npos &&
          instance.substr(serialAt + 1).rfind(widen(kFakeSerial), 0) == 0) {
        fake.push_back(node);
      }
    }
    for (auto& node : fake) SetupDiRemoveDevice(set.get(), &node);
  }
}

}  // namespace quorlane::testsupport
