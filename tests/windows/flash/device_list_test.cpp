// The device list following the phones, with the real program and the simulated phone, whose
// list a test changes between queries. Windows broadcasts WM_DEVICECHANGE when a device comes or
// goes; nothing sends it under Wine, so the tests post it to the window.

#include <gtest/gtest.h>
#include <windows.h>
// dbt.h needs the types of windows.h.
#include <dbt.h>

#include <string>
#include <vector>

#include "support/app_folder.h"
#include "window/layout.h"

namespace quorlane {
namespace {

using testsupport::App;
using testsupport::AppFolder;
using testsupport::contains;
using testsupport::startApp;
using testsupport::writeFile;
using window::ControlId;

const std::string kBootImage = "ANDROID!" + std::string(4096, 'b');
const std::string kQuick = "send_ms=10\nwrite_ms=10\n";

class DeviceListTest : public ::testing::Test {
 protected:
  App start(const std::string& settings) {
    folder.settings(settings);
    App app = startApp(folder);
    EXPECT_TRUE(App::waitRuns(folder, 1));  // the device query at start-up
    EXPECT_TRUE(gui::waitFor([&] { return !box(app).empty(); }));
    return app;
  }
  static std::string box(const App& app) { return app.text(ControlId::CMDTeXT); }
  // As Windows tells every top-level window when a device node was added or removed.
  static void devicesChanged(const App& app) {
    ASSERT_TRUE(PostMessageW(app.window, WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0));
  }
  std::vector<testsupport::SimRun> runsOf(const std::string& command) const {
    std::vector<testsupport::SimRun> found;
    for (const auto& run : folder.runs()) {
      if (!run.args.empty() && run.args[0] == command) found.push_back(run);
    }
    return found;
  }
  std::string image() const {
    const std::string path = folder.file("images\\twrp.img");
    writeFile(path, kBootImage);
    return path;
  }
  // Presses a flash button (Start with `path` in Combo1) and returns the warning that shows.
  static std::optional<gui::MessageBoxInfo> pressExpectingWarning(const App& app, ControlId button,
                                                                  const std::string& path) {
    if (button == ControlId::Command1) {
      EXPECT_TRUE(gui::setText(app.control(ControlId::Combo1), path));
      EXPECT_TRUE(gui::waitFor([&] { return gui::enabled(app.control(button)); }));
    }
    EXPECT_TRUE(gui::click(app.control(button)));
    return gui::waitMessageBox(app.process.pid());
  }
  static void expectWarningNaming(const std::optional<gui::MessageBoxInfo>& warning,
                                  const std::vector<std::string>& serials) {
    ASSERT_TRUE(warning.has_value());
    EXPECT_EQ(warning->title, "连接了多部手机");
    for (const auto& serial : serials) EXPECT_TRUE(contains(warning->prompt, serial)) << serial;
    EXPECT_TRUE(contains(warning->prompt, "只连接要刷入的那一部手机")) << warning->prompt;
    EXPECT_TRUE(warning->hasIcon);
    ASSERT_TRUE(gui::pressOk(warning->hwnd));
    ASSERT_TRUE(gui::waitClosed(warning->hwnd));
  }

  AppFolder folder;
};

TEST_F(DeviceListTest, APhoneConnectedLaterAppearsAndTwoPhonesStopStartAndABuiltInButton) {
  App app = start("devices=\n" + kQuick);
  EXPECT_EQ(box(app), "\r\n");

  folder.settings("devices=PHONE-A\n" + kQuick);
  devicesChanged(app);
  ASSERT_TRUE(gui::waitFor([&] { return box(app) == "PHONE-A\tfastboot\r\n\r\n\r\n"; }))
      << box(app);

  folder.settings("devices=PHONE-A,PHONE-B\n" + kQuick);
  devicesChanged(app);
  const std::string two = "PHONE-A\tfastboot\r\nPHONE-B\tfastboot\r\n\r\n\r\n";
  ASSERT_TRUE(gui::waitFor([&] { return box(app) == two; })) << box(app);

  const std::string path = image();
  for (const auto button : {ControlId::Command1, ControlId::Command7}) {
    expectWarningNaming(pressExpectingWarning(app, button, path), {"PHONE-A", "PHONE-B"});
    ASSERT_TRUE(gui::waitFor([&] { return gui::enabled(app.control(button)); }));
  }
  EXPECT_TRUE(runsOf("flash").empty());
  EXPECT_EQ(box(app), two);
}

TEST_F(DeviceListTest, AChangeDuringAFlashIsTakenUpAfterItAndTheFlashOutputStays) {
  const std::string slow = "send_ms=2500\nwrite_ms=10\n";
  App app = start("devices=PHONE-A\n" + slow);
  ASSERT_TRUE(gui::click(app.control(ControlId::Command7)));
  ASSERT_TRUE(gui::waitFor([&] { return contains(box(app), "Sending 'recovery'"); }));
  // The flash has read its settings; the next query finds a second phone.
  folder.settings("devices=PHONE-A,PHONE-B\n" + slow);
  devicesChanged(app);

  // Nothing is asked while the flash runs, more than a second after the change.
  bool askedDuringFlash = false;
  ASSERT_TRUE(gui::waitFor([&] {
    const auto runs = folder.runs();
    const bool flashing = !contains(box(app), "Finished.");
    if (flashing && runs.size() > 2) askedDuringFlash = true;
    return !flashing;
  }));
  EXPECT_FALSE(askedDuringFlash);
  ASSERT_TRUE(App::waitRuns(folder, 3));
  EXPECT_EQ(folder.runs().back().args, std::vector<std::string>{"devices"});
  const std::string flashed = box(app);
  EXPECT_EQ(flashed.rfind("Sending 'recovery'", 0), 0u) << flashed;

  // The list it found is the one a flash looks at; the box keeps the flash's output.
  expectWarningNaming(pressExpectingWarning(app, ControlId::Command1, image()),
                      {"PHONE-A", "PHONE-B"});
  EXPECT_EQ(runsOf("flash").size(), 1u);
  EXPECT_EQ(box(app), flashed);
}

// A press on a list that cannot be known runs nothing and says so; the hung query is ended, and
// the next press asks for the list again.
TEST_F(DeviceListTest, APressOnAListThatCannotBeKnownRunsNothingAndTheNextAsksAgain) {
  App app = start("devices=PHONE-A\n" + kQuick);
  const std::string list = box(app);
  folder.settings("devices=PHONE-A\ndevices_ms=forever\n" + kQuick);
  devicesChanged(app);
  ASSERT_TRUE(gui::waitFor([&] { return folder.runs().size() == 2; }));

  // The window answers all the while the press waits for the list, until it gives up.
  ASSERT_TRUE(app.pressStart(image()));
  std::optional<gui::MessageBoxInfo> warning;
  ASSERT_TRUE(gui::waitFor([&] {
    DWORD_PTR result = 0;
    EXPECT_NE(SendMessageTimeoutW(app.window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &result), 0);
    return (warning = gui::findMessageBox(app.process.pid())).has_value();
  }));
  EXPECT_EQ(warning->title, "无法确定连接的手机");
  EXPECT_TRUE(contains(warning->prompt, "再点一次")) << warning->prompt;
  ASSERT_TRUE(gui::pressOk(warning->hwnd));
  EXPECT_TRUE(runsOf("flash").empty());

  // The query was ended with everything it started, and never finished by itself.
  ASSERT_TRUE(gui::waitFor([&] { return gui::processesOf(folder.file("fastboot.exe")).empty(); }));
  auto queries = runsOf("devices");
  ASSERT_EQ(queries.size(), 2u);
  EXPECT_FALSE(queries[1].finished.has_value());

  // fastboot answers again: the next press asks for the list, then flashes.
  folder.settings("devices=PHONE-A\n" + kQuick);
  ASSERT_TRUE(app.pressStart(image()));
  ASSERT_TRUE(gui::waitFor([&] {
    const auto flashes = runsOf("flash");
    return !flashes.empty() && flashes.back().finished.has_value();
  }));
  queries = runsOf("devices");
  ASSERT_EQ(queries.size(), 3u);
  EXPECT_TRUE(queries[2].finished.has_value());
  ASSERT_TRUE(gui::waitFor([&] { return contains(box(app), "Finished."); }));
  EXPECT_EQ(box(app).rfind(list, 0), 0u) << box(app);  // the list stays, the output follows
}

}  // namespace
}  // namespace quorlane
