// The look at the device tree through the real SetupAPI, against USB devices registered in the
// test's Wine prefix with the ids of phones: what it reports of each, on which thread it arrives,
// and that a look destroyed before its delivery never delivers.
//
// What Wine cannot show: a node's problem code and whether its driver runs. Wine 8's
// CM_Get_DevNode_Status is a stub that answers success with status 0 and problem 0 for every
// node, and nothing a program does changes that; so a registered device reads as one without
// problem and without a started driver, whatever Windows would say.

#include <gtest/gtest.h>
#include <windows.h>
// tlhelp32.h needs the types of windows.h.
#include <tlhelp32.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "support/fake_usb.h"
#include "win32/device_tree_win32.h"
#include "win32/handles.h"
#include "win32/process_win32.h"
#include "window/usb_diagnosis.h"

namespace quorlane {
namespace {

using testsupport::FakeUsbDevice;
using Interface = FakeUsbDevice::Interface;
using Clock = std::chrono::steady_clock;

// A serial of this run: tests of other runs may leave theirs behind only if they crashed.
std::string serial(char which) {
  return testsupport::kFakeSerial + std::to_string(GetCurrentProcessId()) + which;
}

std::size_t threadsOfThisProcess() {
  const win32::UniqueFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
  if (!snapshot) return 0;
  std::size_t n = 0;
  THREADENTRY32 entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Thread32First(snapshot.get(), &entry); more;
       more = Thread32Next(snapshot.get(), &entry)) {
    if (entry.th32OwnerProcessID == GetCurrentProcessId()) ++n;
  }
  return n;
}

// Dispatches this thread's messages until `done` holds or 10 s have passed.
bool pumpUntil(const std::function<bool()>& done) {
  win32::Win32Pump pump;
  const auto deadline = Clock::now() + std::chrono::seconds(10);
  while (!done() && Clock::now() < deadline) pump.waitEvents();
  return done();
}

const ports::UsbDevice* find(const std::vector<ports::UsbDevice>& devices, const std::string& id) {
  const auto at = std::find_if(devices.begin(), devices.end(),
                               [&id](const ports::UsbDevice& d) { return d.instanceId == id; });
  return at != devices.end() ? &*at : nullptr;
}

class DeviceTreeTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { testsupport::removeFakeUsbDevices(); }

  void SetUp() override {
    for (const auto& device : devices_) {
      registered_.push_back(std::make_unique<testsupport::RegisteredUsb>(device));
      ASSERT_EQ(registered_.back()->failure(), "") << device.instanceId;
    }
  }

  // A phone in FastBoot mode with a driver that registered no Android interface.
  const FakeUsbDevice fastboot_{
      "USB\\VID_18D1&PID_D00D\\" + serial('A'),
      {"USB\\VID_18D1&PID_D00D&REV_0100", "USB\\VID_18D1&PID_D00D"},
      {"USB\\Class_ff&SubClass_42&Prot_03", "USB\\Class_ff&SubClass_42", "USB\\Class_ff"},
      "测试手机 Android"};
  // A started phone with USB debugging: a composite device whose second function has the
  // interface.
  const FakeUsbDevice composite_{
      "USB\\VID_18D1&PID_4EE7\\" + serial('B'),
      {"USB\\VID_18D1&PID_4EE7&REV_0440", "USB\\VID_18D1&PID_4EE7"},
      {"USB\\DevClass_00&SubClass_00&Prot_00", "USB\\DevClass_00", "USB\\COMPOSITE"},
      ""};
  const FakeUsbDevice adb_{
      "USB\\VID_18D1&PID_4EE7&MI_01\\" + serial('C'),
      {"USB\\VID_18D1&PID_4EE7&REV_0440&MI_01", "USB\\VID_18D1&PID_4EE7&MI_01"},
      {"USB\\Class_ff&SubClass_42&Prot_01", "USB\\Class_ff&SubClass_42", "USB\\Class_ff"},
      "Android Composite ADB Interface",
      Interface::enabled};
  // Its interface registered once but not enabled now: the client cannot open it.
  const FakeUsbDevice disabled_{"USB\\VID_2717&PID_FF48&MI_01\\" + serial('D'),
                                {"USB\\VID_2717&PID_FF48&MI_01"},
                                {"USB\\Class_ff&SubClass_42&Prot_01"},
                                "",
                                Interface::disabled};
  // The same ids on a node that is not on the USB bus.
  const FakeUsbDevice notUsb_{"ROOT\\QUORLANE\\" + serial('E'),
                              {"USB\\VID_18D1&PID_D00E"},
                              {"USB\\Class_ff&SubClass_42&Prot_03"},
                              "",
                              Interface::enabled};
  const std::vector<FakeUsbDevice> devices_{fastboot_, composite_, adb_, disabled_, notUsb_};
  std::vector<std::unique_ptr<testsupport::RegisteredUsb>> registered_;
};

TEST_F(DeviceTreeTest, LooksApartAndDeliversOnTheWindowThreadOnlyTheLooksStillWanted) {
  win32::Win32DeviceTree tree;

  std::optional<std::optional<std::vector<ports::UsbDevice>>> delivered;
  DWORD deliveredOn = 0;
  auto look = tree.lookAtUsb([&](std::optional<std::vector<ports::UsbDevice>> devices) {
    deliveredOn = GetCurrentThreadId();
    delivered = std::move(devices);
  });
  ASSERT_NE(look, nullptr);
  ASSERT_TRUE(pumpUntil([&] { return delivered.has_value(); }));
  EXPECT_EQ(deliveredOn, GetCurrentThreadId());
  ASSERT_TRUE(delivered->has_value());
  const auto& devices = **delivered;

  const auto* fastboot = find(devices, fastboot_.instanceId);
  ASSERT_NE(fastboot, nullptr);
  EXPECT_EQ(fastboot->hardwareIds, fastboot_.hardwareIds);
  EXPECT_EQ(fastboot->compatibleIds, fastboot_.compatibleIds);
  EXPECT_EQ(fastboot->name, "测试手机 Android");
  EXPECT_FALSE(fastboot->androidInterface);
  const auto* composite = find(devices, composite_.instanceId);
  ASSERT_NE(composite, nullptr);
  EXPECT_FALSE(composite->androidInterface);
  const auto* adb = find(devices, adb_.instanceId);
  ASSERT_NE(adb, nullptr);
  EXPECT_TRUE(adb->androidInterface);
  EXPECT_EQ(adb->compatibleIds, adb_.compatibleIds);
  const auto* disabled = find(devices, disabled_.instanceId);
  ASSERT_NE(disabled, nullptr);
  EXPECT_FALSE(disabled->androidInterface);
  EXPECT_EQ(find(devices, notUsb_.instanceId), nullptr);

  // What the window will say of them (under Wine no node has a started driver).
  const auto findings = window::diagnoseUsb(devices);
  const auto finding = [&findings](const std::string& vidPid) {
    const auto at = std::find_if(findings.begin(), findings.end(),
                                 [&vidPid](const auto& f) { return f.vidPid == vidPid; });
    return at != findings.end() ? std::optional(at->kind) : std::nullopt;
  };
  EXPECT_EQ(finding("18D1:D00D"), window::UsbFinding::Kind::fastbootWithoutDriver);
  EXPECT_EQ(finding("18D1:4EE7"), window::UsbFinding::Kind::startedNormally);
  EXPECT_EQ(finding("2717:FF48"), window::UsbFinding::Kind::startedNormally);
  EXPECT_EQ(finding("18D1:D00E"), std::nullopt);

  // Looks destroyed while under way deliver nothing, also once their threads have ended; the one
  // kept delivers once, and may end itself in its delivery.
  const std::size_t threadsBefore = threadsOfThisProcess();
  int cancelledDeliveries = 0;
  int keptDeliveries = 0;
  std::vector<std::unique_ptr<ports::DeviceLook>> cancelled;
  for (int i = 0; i < 3; ++i) {
    cancelled.push_back(tree.lookAtUsb([&](auto) { ++cancelledDeliveries; }));
  }
  std::unique_ptr<ports::DeviceLook> kept;
  kept = tree.lookAtUsb([&](auto devices) {
    ++keptDeliveries;
    EXPECT_TRUE(devices.has_value());
    kept.reset();
  });
  ASSERT_NE(kept, nullptr);
  cancelled.clear();
  ASSERT_TRUE(pumpUntil([&] { return keptDeliveries == 1; }));
  EXPECT_EQ(kept, nullptr);
  ASSERT_TRUE(pumpUntil([&] { return threadsOfThisProcess() <= threadsBefore; }))
      << threadsOfThisProcess() << " threads, " << threadsBefore << " before";
  win32::Win32Pump().pumpEvents();
  EXPECT_EQ(cancelledDeliveries, 0);
  EXPECT_EQ(keptDeliveries, 1);
}

}  // namespace
}  // namespace quorlane
