// Why no phone is listed, from the USB devices Windows knows: the ids Windows gives phones in
// FastBoot mode, started normally and in emergency modes, and devices that are no phones, each as
// Device Manager shows them, together with the words the window shows for them.

#include "window/usb_diagnosis.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace quorlane::window {
namespace {

using Kind = UsbFinding::Kind;
using ports::UsbDevice;

UsbDevice node(std::string instanceId, std::vector<std::string> hardwareIds,
               std::vector<std::string> compatibleIds, std::string name,
               std::optional<unsigned long> problem = std::nullopt, bool started = true,
               bool android = false) {
  return UsbDevice{std::move(instanceId),
                   std::move(hardwareIds),
                   std::move(compatibleIds),
                   std::move(name),
                   problem,
                   started,
                   android};
}

const std::vector<std::string> kFastbootIds = {"USB\\Class_ff&SubClass_42&Prot_03",
                                               "USB\\Class_ff&SubClass_42", "USB\\Class_ff"};

// clang-format off
const UsbDevice kPixelNoDriver = node("USB\\VID_18D1&PID_4EE0\\8ABX0B2CD",
    {"USB\\VID_18D1&PID_4EE0&REV_0100", "USB\\VID_18D1&PID_4EE0"}, kFastbootIds, "Android", 28,
    false);
const UsbDevice kXiaomiGoogleDriver = node("USB\\VID_18D1&PID_D00D\\D4F5A6B7",
    {"USB\\VID_18D1&PID_D00D&REV_0100", "USB\\VID_18D1&PID_D00D"}, kFastbootIds,
    "Android Bootloader Interface", std::nullopt, true, true);
// Bound to WinUSB by a driver tool: the driver runs, but registers no Android interface.
const UsbDevice kXiaomiWinUsb = node("USB\\VID_18D1&PID_D00D\\D4F5A6B7",
    {"USB\\VID_18D1&PID_D00D&REV_0100", "USB\\VID_18D1&PID_D00D"}, kFastbootIds, "Android",
    std::nullopt, true, false);
// Lower-case digits, as some hubs report them, and a driver that cannot start (code 10).
const UsbDevice kOnePlusFailing = node("USB\\VID_18d1&PID_d00d\\5C3E2A1B",
    {"USB\\VID_18d1&PID_d00d&REV_0100", "USB\\VID_18d1&PID_d00d"},
    {"USB\\Class_FF&SubClass_42&Prot_03", "USB\\Class_FF&SubClass_42", "USB\\Class_FF"},
    "Android Bootloader Interface", 10, false);
// Neither problem nor driver, as a node shows while its driver is being installed.
const UsbDevice kSonyNotStarted = node("USB\\VID_0FCE&PID_0DDE\\CB5A1XYZ12",
    {"USB\\VID_0FCE&PID_0DDE&REV_0100", "USB\\VID_0FCE&PID_0DDE"}, kFastbootIds, "S1Boot Fastboot",
    std::nullopt, false);
const UsbDevice kOnePlusMtp = node("USB\\VID_2A70&PID_F003\\9A8B7C6D",
    {"USB\\VID_2A70&PID_F003&REV_0414", "USB\\VID_2A70&PID_F003"},
    {"USB\\MS_COMP_MTP", "USB\\Class_ff&SubClass_ff&Prot_00", "USB\\Class_ff&SubClass_ff",
     "USB\\Class_ff"}, "ONEPLUS A6003");
const UsbDevice kQualcomm9008 = node("USB\\VID_05C6&PID_9008\\5&2C9D0B2A&0&3",
    {"USB\\VID_05C6&PID_9008&REV_0000", "USB\\VID_05C6&PID_9008"},
    {"USB\\Class_ff&SubClass_ff&Prot_ff", "USB\\Class_ff&SubClass_ff", "USB\\Class_ff"},
    "QUSB__BULK", 28, false);
const UsbDevice kMediaTekBrom = node("USB\\VID_0E8D&PID_0003\\5&1A2B3C4D&0&2",
    {"USB\\VID_0E8D&PID_0003&REV_0100", "USB\\VID_0E8D&PID_0003"},
    {"USB\\Class_02&SubClass_02&Prot_01", "USB\\Class_02&SubClass_02", "USB\\Class_02"},
    "MediaTek USB Port");
const UsbDevice kMediaTekPreloader = node("USB\\VID_0E8D&PID_2000\\5&1A2B3C4D&0&2",
    {"USB\\VID_0E8D&PID_2000&REV_0100", "USB\\VID_0E8D&PID_2000"},
    {"USB\\Class_02&SubClass_02&Prot_01", "USB\\Class_02&SubClass_02", "USB\\Class_02"},
    "MediaTek PreLoader USB VCOM (Android)", 28, false);
// A composite device: the device, then its functions (media transfer, modem).
const UsbDevice kSamsungMtp = node("USB\\VID_04E8&PID_6860\\R58M12ABCDE",
    {"USB\\VID_04E8&PID_6860&REV_0400", "USB\\VID_04E8&PID_6860"},
    {"USB\\DevClass_00&SubClass_00&Prot_00", "USB\\DevClass_00&SubClass_00", "USB\\DevClass_00",
     "USB\\COMPOSITE"}, "SAMSUNG Mobile USB Composite Device");
const UsbDevice kSamsungMtpFiles = node("USB\\VID_04E8&PID_6860&MI_00\\6&2F1E0D3C&0&0000",
    {"USB\\VID_04E8&PID_6860&REV_0400&MI_00", "USB\\VID_04E8&PID_6860&MI_00"},
    {"USB\\Class_06&SubClass_01&Prot_01", "USB\\Class_06&SubClass_01", "USB\\Class_06"},
    "Galaxy S10");
const UsbDevice kSamsungMtpModem = node("USB\\VID_04E8&PID_6860&MI_01\\6&2F1E0D3C&0&0001",
    {"USB\\VID_04E8&PID_6860&REV_0400&MI_01", "USB\\VID_04E8&PID_6860&MI_01"},
    {"USB\\Class_02&SubClass_02&Prot_01", "USB\\Class_02&SubClass_02", "USB\\Class_02"},
    "SAMSUNG Mobile USB Modem");
// A started phone with USB debugging on and Google's driver for it, on its second function.
const UsbDevice kPixelAdb = node("USB\\VID_18D1&PID_4EE7\\0A1B2C3D",
    {"USB\\VID_18D1&PID_4EE7&REV_0440", "USB\\VID_18D1&PID_4EE7"},
    {"USB\\DevClass_00&SubClass_00&Prot_00", "USB\\DevClass_00&SubClass_00", "USB\\DevClass_00",
     "USB\\COMPOSITE"}, "USB Composite Device");
const UsbDevice kPixelAdbFiles = node("USB\\VID_18D1&PID_4EE7&MI_00\\7&3A4B5C6D&0&0000",
    {"USB\\VID_18D1&PID_4EE7&REV_0440&MI_00", "USB\\VID_18D1&PID_4EE7&MI_00"},
    {"USB\\MS_COMP_MTP", "USB\\Class_ff&SubClass_ff&Prot_00", "USB\\Class_ff&SubClass_ff",
     "USB\\Class_ff"}, "Pixel 7");
const UsbDevice kPixelAdbDebug = node("USB\\VID_18D1&PID_4EE7&MI_01\\7&3A4B5C6D&0&0001",
    {"USB\\VID_18D1&PID_4EE7&REV_0440&MI_01", "USB\\VID_18D1&PID_4EE7&MI_01"},
    {"USB\\Class_ff&SubClass_42&Prot_01", "USB\\Class_ff&SubClass_42", "USB\\Class_ff"},
    "Android Composite ADB Interface", std::nullopt, true, true);
// USB debugging on, no driver for it: still a started phone.
const UsbDevice kXiaomiAdbNoDriver = node("USB\\VID_2717&PID_FF48&MI_01\\7&1F2E3D4C&0&0001",
    {"USB\\VID_2717&PID_FF48&REV_0223&MI_01", "USB\\VID_2717&PID_FF48&MI_01"},
    {"USB\\Class_ff&SubClass_42&Prot_01", "USB\\Class_ff&SubClass_42", "USB\\Class_ff"},
    "ADB Interface", 28, false);
const UsbDevice kUsbStick = node("USB\\VID_0781&PID_5583\\4C530001230812109582",
    {"USB\\VID_0781&PID_5583&REV_0100", "USB\\VID_0781&PID_5583"},
    {"USB\\Class_08&SubClass_06&Prot_50", "USB\\Class_08&SubClass_06", "USB\\Class_08"},
    "USB 大容量存储设备");
// Makers of phones make other devices too: a Samsung disk, a Xiaomi mouse's receiver.
const UsbDevice kSamsungDisk = node("USB\\VID_04E8&PID_61F5\\S5SUNG0N123456",
    {"USB\\VID_04E8&PID_61F5&REV_0100", "USB\\VID_04E8&PID_61F5"},
    {"USB\\Class_08&SubClass_06&Prot_50", "USB\\Class_08&SubClass_06", "USB\\Class_08"},
    "USB 大容量存储设备");
const UsbDevice kXiaomiMouse = node("USB\\VID_2717&PID_5014\\6&1B2C3D4E&0&4",
    {"USB\\VID_2717&PID_5014&REV_0100", "USB\\VID_2717&PID_5014"},
    {"USB\\Class_03&SubClass_01&Prot_02", "USB\\Class_03&SubClass_01", "USB\\Class_03"},
    "USB 输入设备");
const UsbDevice kRootHub = node("USB\\ROOT_HUB30\\4&1B2C3D4E&0&0",
    {"USB\\ROOT_HUB30&VID8086&PID9D2F&REV0021", "USB\\ROOT_HUB30&VID8086&PID9D2F",
     "USB\\ROOT_HUB30"}, {}, "USB 根集线器(USB 3.0)");
// clang-format on

struct Expected {
  Expected(Kind kind, std::string vidPid, std::string nameHas = "",
           std::optional<unsigned long> problem = std::nullopt)
      : kind(kind), vidPid(std::move(vidPid)), nameHas(std::move(nameHas)), problem(problem) {}
  Kind kind;
  std::string vidPid;
  std::string nameHas;  // a part of the maker's or mode's name; empty: no name
  std::optional<unsigned long> problem;
};

struct Case {
  const char* what;
  std::vector<UsbDevice> nodes;
  std::vector<Expected> findings;
};

std::size_t count(const std::string& text, std::string_view part) {
  std::size_t n = 0;
  for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

TEST(UsbDiagnosis, TellsWhyEachPhoneIsNotListedAndWhatToDo) {
  // clang-format off
  const Case cases[] = {
      {"fastboot, no driver", {kPixelNoDriver},
       {{Kind::fastbootWithoutDriver, "18D1:4EE0", "", 28}}},
      {"fastboot, Google's driver: the client sees it", {kXiaomiGoogleDriver}, {}},
      {"fastboot, WinUSB without Android's interface", {kXiaomiWinUsb},
       {{Kind::fastbootWrongDriver, "18D1:D00D", "", std::nullopt}}},
      {"fastboot, driver failing", {kOnePlusFailing},
       {{Kind::fastbootWithoutDriver, "18D1:D00D", "", 10}}},
      {"fastboot, driver not started", {kSonyNotStarted},
       {{Kind::fastbootWithoutDriver, "0FCE:0DDE", "", std::nullopt}}},
      {"started, media transfer", {kOnePlusMtp}, {{Kind::startedNormally, "2A70:F003", "一加"}}},
      {"started, composite of files and modem", {kSamsungMtp, kSamsungMtpFiles, kSamsungMtpModem},
       {{Kind::startedNormally, "04E8:6860", "三星"}}},
      {"started, USB debugging with a driver", {kPixelAdb, kPixelAdbFiles, kPixelAdbDebug},
       {{Kind::startedNormally, "18D1:4EE7", ""}}},
      {"started, USB debugging without a driver", {kXiaomiAdbNoDriver},
       {{Kind::startedNormally, "2717:FF48", "小米"}}},
      {"Qualcomm's emergency download", {kQualcomm9008}, {{Kind::unusableMode, "05C6:9008", "9008"}}},
      {"MediaTek's boot ROM", {kMediaTekBrom}, {{Kind::unusableMode, "0E8D:0003", "BROM"}}},
      {"MediaTek's preloader", {kMediaTekPreloader},
       {{Kind::startingMode, "0E8D:2000", "Preloader"}}},
      {"no phones", {kUsbStick, kSamsungDisk, kXiaomiMouse, kRootHub}, {}},
      {"nothing at all", {}, {}},
      {"several at once, in their order, among other devices",
       {kRootHub, kQualcomm9008, kUsbStick, kPixelNoDriver, kXiaomiMouse, kSamsungMtpModem,
        kXiaomiWinUsb, kSamsungMtpFiles, kMediaTekPreloader, kSamsungMtp},
       {{Kind::unusableMode, "05C6:9008", "9008"},
        {Kind::fastbootWithoutDriver, "18D1:4EE0", "", 28},
        {Kind::startedNormally, "04E8:6860", "三星"},
        {Kind::fastbootWrongDriver, "18D1:D00D", "", std::nullopt},
        {Kind::startingMode, "0E8D:2000", "Preloader"}}},
  };
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const auto findings = diagnoseUsb(c.nodes);
    ASSERT_EQ(findings.size(), c.findings.size());
    bool driver = false;
    bool started = false;
    bool mode = false;
    for (std::size_t i = 0; i < findings.size(); ++i) {
      const auto& found = findings[i];
      const auto& expected = c.findings[i];
      EXPECT_EQ(found.kind, expected.kind) << i;
      EXPECT_EQ(found.vidPid, expected.vidPid) << i;
      EXPECT_EQ(found.problem, expected.problem) << i;
      if (expected.nameHas.empty()) {
        EXPECT_EQ(found.name, "") << i;
      } else {
        EXPECT_NE(found.name.find(expected.nameHas), std::string_view::npos) << found.name;
      }
      driver = driver || expected.kind == Kind::fastbootWithoutDriver ||
               expected.kind == Kind::fastbootWrongDriver;
      started = started || expected.kind == Kind::startedNormally;
      mode = mode || expected.kind == Kind::unusableMode || expected.kind == Kind::startingMode;
    }

    const auto advice = usbAdvice(findings);
    ASSERT_EQ(advice.has_value(), !findings.empty());
    if (!advice) continue;
    // Each device is named in the panel and in the hint, the hint a line for each.
    for (const auto& found : findings) {
      EXPECT_NE(advice->panel.find(found.vidPid), std::string::npos) << found.vidPid;
      EXPECT_NE(advice->hint.find(found.vidPid), std::string::npos) << found.vidPid;
      if (!found.name.empty()) {
        EXPECT_NE(advice->hint.find(found.name), std::string::npos);
      }
    }
    EXPECT_EQ(count(advice->hint, "\r\n"), findings.size() - 1);
    EXPECT_LT(advice->hint.size(), advice->panel.size());
    // What to do comes once, for every device that needs it.
    EXPECT_EQ(count(advice->panel, "Android Bootloader Interface"), driver ? 1U : 0U);
    EXPECT_EQ(count(advice->panel, "同时按住“音量减”和电源键"), started ? 1U : 0U);
    EXPECT_EQ(count(advice->panel, "按住电源键 10～15 秒"), mode ? 1U : 0U);
    if (driver) {
      EXPECT_NE(advice->panel.find("设备管理器"), std::string::npos);
    }
  }
  // The wrong driver is named as Device Manager shows it; a failing one by its problem code.
  const auto wrong = usbAdvice(diagnoseUsb({kXiaomiWinUsb}));
  ASSERT_TRUE(wrong);
  EXPECT_NE(wrong->panel.find("“Android”"), std::string::npos) << wrong->panel;
  const auto failing = usbAdvice(diagnoseUsb({kOnePlusFailing}));
  ASSERT_TRUE(failing);
  EXPECT_NE(failing->panel.find("代码 10"), std::string::npos) << failing->panel;
}

}  // namespace
}  // namespace quorlane::window
