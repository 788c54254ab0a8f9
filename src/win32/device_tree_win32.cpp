#include "win32/device_tree_win32.h"

#include <windows.h>
// setupapi.h and cfgmgr32.h need the types of windows.h.
#include <cfgmgr32.h>
#include <setupapi.h>

#include <algorithm>
#include <cwchar>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "win32/handles.h"
#include "win32/handover.h"
#include "win32/system_dll.h"
#include "win32/text.h"

namespace quorlane::win32 {

namespace {

// Android's USB interface class: what the driver of a phone in FastBoot mode (and of adb)
// registers, and the one way the fastboot client finds a phone.
constexpr GUID kAndroidUsbClass = {
    0xF72FE0D4, 0xCBCB, 0x407D, {0x88, 0x14, 0x9E, 0xD6, 0x73, 0xD0, 0xDD, 0x6B}};

// The functions of setupapi.dll a look needs, from the reference the look holds.
struct SetupApi {
  decltype(&SetupDiGetClassDevsW) getClassDevs = nullptr;
  decltype(&SetupDiDestroyDeviceInfoList) destroyList = nullptr;
  decltype(&SetupDiEnumDeviceInfo) enumDevice = nullptr;
  decltype(&SetupDiGetDeviceInstanceIdW) instanceId = nullptr;
  decltype(&SetupDiGetDeviceRegistryPropertyW) property = nullptr;
  decltype(&SetupDiEnumDeviceInterfaces) enumInterface = nullptr;
  decltype(&SetupDiGetDeviceInterfaceDetailW) interfaceDetail = nullptr;
  decltype(&CM_Get_DevNode_Status) nodeStatus = nullptr;

  static std::optional<SetupApi> from(HMODULE library) {
    SetupApi api;
    api.getClassDevs = procAddress<decltype(api.getClassDevs)>(library, "SetupDiGetClassDevsW");
    api.destroyList =
        procAddress<decltype(api.destroyList)>(library, "SetupDiDestroyDeviceInfoList");
    api.enumDevice = procAddress<decltype(api.enumDevice)>(library, "SetupDiEnumDeviceInfo");
    api.instanceId = procAddress<decltype(api.instanceId)>(library, "SetupDiGetDeviceInstanceIdW");
    api.property =
        procAddress<decltype(api.property)>(library, "SetupDiGetDeviceRegistryPropertyW");
    api.enumInterface =
        procAddress<decltype(api.enumInterface)>(library, "SetupDiEnumDeviceInterfaces");
    api.interfaceDetail =
        procAddress<decltype(api.interfaceDetail)>(library, "SetupDiGetDeviceInterfaceDetailW");
    api.nodeStatus = procAddress<decltype(api.nodeStatus)>(library, "CM_Get_DevNode_Status");
    const bool complete = api.getClassDevs && api.destroyList && api.enumDevice && api.instanceId &&
                          api.property && api.enumInterface && api.interfaceDetail &&
                          api.nodeStatus;
    if (!complete) return std::nullopt;
    return api;
  }
};

// A device information set, destroyed with its owner.
class DeviceSet {
 public:
  DeviceSet(const SetupApi& api, HDEVINFO set) : api_(api), set_(set) {}
  ~DeviceSet() {
    if (*this) api_.destroyList(set_);
  }
  DeviceSet(const DeviceSet&) = delete;
  DeviceSet& operator=(const DeviceSet&) = delete;
  explicit operator bool() const { return set_ != INVALID_HANDLE_VALUE && set_ != nullptr; }
  HDEVINFO get() const { return set_; }

 private:
  const SetupApi& api_;
  HDEVINFO set_;
};

// Instance ids are compared as Windows does: without regard to case.
std::wstring upper(std::wstring text) {
  for (wchar_t& c : text) {
    if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
  }
  return text;
}

std::optional<std::wstring> instanceIdOf(const SetupApi& api, HDEVINFO set,
                                         SP_DEVINFO_DATA& device) {
  std::wstring id(MAX_DEVICE_ID_LEN + 1, L'\0');
  DWORD needed = 0;
  if (!api.instanceId(set, &device, id.data(), static_cast<DWORD>(id.size()), &needed)) {
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || needed <= id.size()) return std::nullopt;
    id.assign(needed, L'\0');
    if (!api.instanceId(set, &device, id.data(), needed, nullptr)) return std::nullopt;
  }
  id.resize(std::wcslen(id.c_str()));
  return id;
}

// A text property (REG_SZ or REG_MULTI_SZ) as the system stores it, its strings separated by
// null characters; empty when the device has none.
std::wstring propertyOf(const SetupApi& api, HDEVINFO set, SP_DEVINFO_DATA& device, DWORD which) {
  std::wstring buffer(256, L'\0');
  for (int attempt = 0; attempt < 2; ++attempt) {
    DWORD type = 0;
    DWORD needed = 0;
    const DWORD bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    if (api.property(set, &device, which, &type, reinterpret_cast<BYTE*>(buffer.data()), bytes,
                     &needed)) {
      if (type != REG_SZ && type != REG_MULTI_SZ && type != REG_EXPAND_SZ) return {};
      buffer.resize(std::min<std::size_t>(buffer.size(), needed / sizeof(wchar_t)));
      return buffer;
    }
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return {};
    buffer.assign(needed / sizeof(wchar_t) + 1, L'\0');
  }
  return {};
}

// The strings of a REG_MULTI_SZ, up to the empty one that ends them.
std::vector<std::string> strings(const std::wstring& multi) {
  std::vector<std::string> list;
  std::size_t at = 0;
  while (at < multi.size()) {
    const std::size_t end = std::min(multi.find(L'\0', at), multi.size());
    if (end == at) break;
    list.push_back(narrow(std::wstring_view(multi).substr(at, end - at)));
    at = end + 1;
  }
  return list;
}

std::string firstString(const std::wstring& text) {
  const auto list = strings(text);
  return list.empty() ? std::string() : list.front();
}

// The instance ids (upper case) of the devices that expose Android's USB interface, as the
// fastboot client sees them: present, enabled, not being removed.
std::optional<std::set<std::wstring>> androidInterfaceDevices(const SetupApi& api) {
  const DeviceSet set(api, api.getClassDevs(&kAndroidUsbClass, nullptr, nullptr,
                                            DIGCF_DEVICEINTERFACE | DIGCF_PRESENT));
  if (!set) return std::nullopt;
  std::set<std::wstring> devices;
  SP_DEVICE_INTERFACE_DATA found{};
  found.cbSize = sizeof(found);
  for (DWORD i = 0; api.enumInterface(set.get(), nullptr, &kAndroidUsbClass, i, &found); ++i) {
    if ((found.Flags & SPINT_ACTIVE) == 0 || (found.Flags & SPINT_REMOVED) != 0) continue;
    // The detail is only the way to the device: its size first, then the device with it.
    DWORD needed = 0;
    api.interfaceDetail(set.get(), &found, nullptr, 0, &needed, nullptr);
    if (needed < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)) continue;
    std::vector<SP_DEVICE_INTERFACE_DETAIL_DATA_W> detail(
        needed / sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W) + 1);
    detail.front().cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof(device);
    const auto bytes =
        static_cast<DWORD>(detail.size() * sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W));
    if (!api.interfaceDetail(set.get(), &found, detail.data(), bytes, nullptr, &device)) continue;
    if (const auto id = instanceIdOf(api, set.get(), device)) devices.insert(upper(*id));
  }
  return devices;
}

std::optional<std::vector<ports::UsbDevice>> usbDevices(const SetupApi& api) {
  const auto android = androidInterfaceDevices(api);
  if (!android) return std::nullopt;
  const DeviceSet set(api,
                      api.getClassDevs(nullptr, L"USB", nullptr, DIGCF_ALLCLASSES | DIGCF_PRESENT));
  if (!set) return std::nullopt;
  std::vector<ports::UsbDevice> devices;
  SP_DEVINFO_DATA node{};
  node.cbSize = sizeof(node);
  for (DWORD i = 0; api.enumDevice(set.get(), i, &node); ++i) {
    const auto id = instanceIdOf(api, set.get(), node);
    ULONG status = 0;
    ULONG problem = 0;
    // A node whose status cannot be read has gone since the list was made.
    if (!id || api.nodeStatus(&status, &problem, node.DevInst, 0) != CR_SUCCESS) continue;
    ports::UsbDevice device;
    device.instanceId = narrow(*id);
    device.hardwareIds = strings(propertyOf(api, set.get(), node, SPDRP_HARDWAREID));
    device.compatibleIds = strings(propertyOf(api, set.get(), node, SPDRP_COMPATIBLEIDS));
    device.name = firstString(propertyOf(api, set.get(), node, SPDRP_FRIENDLYNAME));
    if (device.name.empty()) {
      device.name = firstString(propertyOf(api, set.get(), node, SPDRP_DEVICEDESC));
    }
    if ((status & DN_HAS_PROBLEM) != 0) device.problem = problem;
    device.driverStarted = (status & DN_STARTED) != 0;
    device.androidInterface = android->count(upper(*id)) != 0;
    devices.push_back(std::move(device));
  }
  return devices;
}

// What a look shares with its thread. The thread may outlive the look: it then finds no
// handover and drops what it found.
struct LookState {
  CriticalSection section;
  Handover* handover = nullptr;                        // under section; none once the look went
  std::optional<std::vector<ports::UsbDevice>> found;  // under section
  bool done = false;                                   // under section
};

class UsbLook final : public ports::DeviceLook {
 public:
  explicit UsbLook(ports::UsbDelivery deliver)
      : state_(std::make_shared<LookState>()),
        deliver_(std::move(deliver)),
        handover_([this] { deliverFound(); }) {}
  ~UsbLook() override {
    // From here on the thread cannot reach the handover, which goes with this look.
    const Locked locked(state_->section);
    state_->handover = nullptr;
  }
  UsbLook(const UsbLook&) = delete;
  UsbLook& operator=(const UsbLook&) = delete;

  bool start() {
    if (!handover_.ready()) return false;
    {
      const Locked locked(state_->section);
      state_->handover = &handover_;
    }
    // The thread's own share of the state, handed over with the thread's start.
    auto share = std::make_unique<std::shared_ptr<LookState>>(state_);
    const UniqueHandle thread(CreateThread(nullptr, 0, lookMain, share.get(), 0, nullptr));
    if (!thread) return false;
    static_cast<void>(share.release());  // the thread's now
    return true;
  }

 private:
  static DWORD WINAPI lookMain(LPVOID parameter) {
    const std::unique_ptr<std::shared_ptr<LookState>> share(
        static_cast<std::shared_ptr<LookState>*>(parameter));
    const std::shared_ptr<LookState> state = *share;
    std::optional<std::vector<ports::UsbDevice>> found;
    try {
      found = presentUsbDevices();
    } catch (...) {
      found.reset();  // out of memory: told as a look that failed
    }
    {
      const Locked locked(state->section);
      state->found = std::move(found);
      state->done = true;
    }
    // The message must arrive while the look waits for it; a full queue is tried again.
    for (;;) {
      {
        const Locked locked(state->section);
        if (state->handover == nullptr || state->handover->notify()) return 0;
      }
      Sleep(kRetryMs);
    }
  }

  void deliverFound() {
    std::optional<std::vector<ports::UsbDevice>> found;
    {
      const Locked locked(state_->section);
      if (!state_->done) return;
      state_->done = false;
      found = std::move(state_->found);
    }
    // Delivered once; the delivery may destroy this look, so nothing of it is touched after.
    const ports::UsbDelivery deliver = std::exchange(deliver_, nullptr);
    if (deliver) deliver(std::move(found));
  }

  static constexpr DWORD kRetryMs = 50;

  std::shared_ptr<LookState> state_;
  ports::UsbDelivery deliver_;
  Handover handover_;
};

}  // namespace

std::optional<std::vector<ports::UsbDevice>> presentUsbDevices() {
  // Loaded from the first look on until the program ends, so later looks find it loaded.
  static const UniqueModule resident = loadSystemLibrary(L"setupapi.dll");
  // This look's own reference: the library stays while the look runs in it.
  const UniqueModule library = loadSystemLibrary(L"setupapi.dll");
  if (!library) return std::nullopt;
  const auto api = SetupApi::from(library.get());
  if (!api) return std::nullopt;
  return usbDevices(*api);
}

std::unique_ptr<ports::DeviceLook> Win32DeviceTree::lookAtUsb(ports::UsbDelivery deliver) {
  auto look = std::make_unique<UsbLook>(std::move(deliver));
  if (!look->start()) return nullptr;
  return look;
}

}  // namespace quorlane::win32
