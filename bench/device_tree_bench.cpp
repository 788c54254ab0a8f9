// What one look at the device tree costs: from asking for it on the window's thread to its
// delivery there, through the real SetupAPI. First the prefix as it is (Wine has no devices on
// its USB bus), then with 30 made-up USB devices registered, about as many nodes as a PC with a
// phone, a hub, a keyboard, a mouse and a stick shows under USB; two of them expose Android's
// interface. Printed: the first look (which loads setupapi.dll), the median of the looks after
// it, and the median time the window's thread spends starting a look.

#include <windows.h>

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "bench_support.h"
#include "support/fake_usb.h"
#include "win32/device_tree_win32.h"
#include "win32/process_win32.h"

namespace {

using namespace quorlane;
using bench::Clock;
using bench::median;
using bench::seconds;

struct Look {
  double total = 0;  // from the request to the delivery, seconds
  double start = 0;  // the request alone, seconds
  std::size_t devices = 0;
};

Look look(win32::Win32DeviceTree& tree) {
  win32::Win32Pump pump;
  std::optional<std::size_t> found;
  const auto begin = Clock::now();
  auto pending = tree.lookAtUsb([&found](auto devices) { found = devices ? devices->size() : 0; });
  const auto started = Clock::now();
  while (pending && !found) pump.waitEvents();
  return {seconds(Clock::now() - begin), seconds(started - begin), found.value_or(0)};
}

void measure(const char* what, win32::Win32DeviceTree& tree, bool first) {
  constexpr int kRounds = 20;
  if (first) {
    const Look once = look(tree);
    std::printf("%s: first look %.1f ms (%zu USB nodes)\n", what, once.total * 1000, once.devices);
  }
  std::vector<double> totals;
  std::vector<double> starts;
  std::size_t devices = 0;
  for (int i = 0; i < kRounds; ++i) {
    const Look l = look(tree);
    totals.push_back(l.total);
    starts.push_back(l.start);
    devices = l.devices;
  }
  std::printf("%s: one look %.2f ms median of %d (%zu USB nodes); the window's thread %.3f ms\n",
              what, median(totals) * 1000, kRounds, devices, median(starts) * 1000);
}

std::string serial(int n) {
  return testsupport::kFakeSerial + std::to_string(GetCurrentProcessId()) + "N" + std::to_string(n);
}

}  // namespace

int wmain() {
  testsupport::removeFakeUsbDevices();
  win32::Win32DeviceTree tree;
  measure("no USB devices", tree, true);

  std::vector<std::unique_ptr<testsupport::RegisteredUsb>> registered;
  for (int n = 0; n < 30; ++n) {
    testsupport::FakeUsbDevice device;
    const bool phone = n < 2;
    device.instanceId =
        (phone ? "USB\\VID_18D1&PID_4EE7&MI_01\\" : "USB\\VID_0781&PID_5583\\") + serial(n);
    device.hardwareIds = {phone ? "USB\\VID_18D1&PID_4EE7&MI_01" : "USB\\VID_0781&PID_5583"};
    device.compatibleIds = {phone ? "USB\\Class_ff&SubClass_42&Prot_01"
                                  : "USB\\Class_08&SubClass_06&Prot_50"};
    device.friendlyName = phone ? "Android Composite ADB Interface" : "USB 大容量存储设备";
    device.androidInterface = phone ? testsupport::FakeUsbDevice::Interface::enabled
                                    : testsupport::FakeUsbDevice::Interface::none;
    registered.push_back(std::make_unique<testsupport::RegisteredUsb>(device));
    if (!registered.back()->failure().empty()) {
      std::printf("cannot register a device: %s\n", registered.back()->failure().c_str());
      return 1;
    }
  }
  measure("30 USB devices", tree, false);
  return 0;
}
