// The program itself tells what Windows knows of a phone the client cannot see: with a phone in
// FastBoot mode registered in the prefix's device tree, whose driver Wine never starts, the panel
// after the empty device list and the hint while a flash waits name it and say what to do. They
// are drawn on the screen and kept as usb-panel-DPI.bmp and usb-hint-DPI.bmp beside the test.

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>

#include "support/app_folder.h"
#include "support/fake_usb.h"
#include "support/screen_shot.h"
#include "win32/feedback_win32.h"
#include "win32/module_path.h"
#include "win32/text.h"
#include "window/layout.h"

namespace quorlane {
namespace {

using testsupport::App;
using testsupport::AppFolder;
using window::ControlId;

// The panel or hint of the program's window with `part` in its text, once it is drawn, kept as
// a picture named `name`.
HWND drawnWith(const App& app, int id, const std::string& part, const std::string& name) {
  HWND panel = nullptr;
  testsupport::Shot shot;
  const auto says = [&] {
    return panel != nullptr && gui::visible(panel) &&
           gui::text(panel).find(part) != std::string::npos;
  };
  // Saying it before the picture is taken and still after: a device change may have the program
  // look again meanwhile, and show the general words until it has. And the same picture twice:
  // Wine hands what a window drew to the screen a moment later.
  testsupport::Shot before;
  const bool shown = gui::waitFor([&] {
    panel = app.control(static_cast<ControlId>(id));
    if (!says() || !testsupport::panelDrawn(app.window, panel, shot) || !says()) return false;
    const bool settled = shot.pixels == before.pixels;
    before = shot;
    return settled;
  });
  EXPECT_TRUE(shown) << (panel != nullptr ? gui::text(panel) : std::string("no panel"));
  if (!shown) return nullptr;
  const char* dpi = std::getenv("QUORLANE_SYSTEM_DPI");
  testsupport::saveBmp(shot, win32::narrow(win32::executableFolder()) + "\\usb-" + name + "-" +
                                 (dpi != nullptr ? dpi : "96") + ".bmp");
  return panel;
}

TEST(UsbAdviceTest, APhoneInFastbootWithoutItsDriverIsNamedInThePanelAndTheHint) {
  testsupport::removeFakeUsbDevices();
  const testsupport::RegisteredUsb phone(
      {"USB\\VID_18D1&PID_4EE0\\" + std::string(testsupport::kFakeSerial) + "ADVICE",
       {"USB\\VID_18D1&PID_4EE0&REV_0100", "USB\\VID_18D1&PID_4EE0"},
       {"USB\\Class_ff&SubClass_42&Prot_03", "USB\\Class_ff&SubClass_42", "USB\\Class_ff"},
       "Android"});
  ASSERT_EQ(phone.failure(), "");
  AppFolder folder;
  folder.settings("devices=\n");
  App app = testsupport::startApp(folder);
  HWND panel = drawnWith(app, win32::Win32Feedback::kResultId, "18D1:4EE0", "panel");
  ASSERT_NE(panel, nullptr);
  EXPECT_NE(gui::text(panel).find("Android Bootloader Interface"), std::string::npos);

  ASSERT_TRUE(gui::click(app.control(ControlId::Command7)));
  HWND hint = drawnWith(app, win32::Win32Feedback::kHintId, "18D1:4EE0", "hint");
  ASSERT_NE(hint, nullptr);
  EXPECT_NE(gui::text(hint).find("退出"), std::string::npos) << gui::text(hint);
  ASSERT_TRUE(gui::click(app.control(ControlId::Command4)));
  EXPECT_TRUE(app.process.waitExit());
}

}  // namespace
}  // namespace quorlane
