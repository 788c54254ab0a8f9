// Flashing with the real program and the simulated phone: a file chosen in the real dialog, and
// typed paths the command interpreter would otherwise take apart.

#include <gtest/gtest.h>
#include <windows.h>

#include "support/app_folder.h"
#include "window/layout.h"

namespace quorlane {
namespace {

using testsupport::App;
using testsupport::AppFolder;
using testsupport::shortPath;
using testsupport::startApp;
using testsupport::writeFile;
using window::ControlId;

// A boot image's first bytes, then bytes that depend on the seed.
std::string imageBytes(const std::string& seed) {
  std::string bytes = "ANDROID!";
  for (int i = 0; i < 3000; ++i) bytes += seed + std::to_string(i * 7919 % 1000);
  return bytes;
}

class FlashTest : public ::testing::Test {
 protected:
  FlashTest() { folder.settings("send_ms=30\nwrite_ms=10\n"); }

  App start() {
    App app = startApp(folder);
    EXPECT_TRUE(App::waitRuns(folder, 1));  // the device query at start-up
    EXPECT_TRUE(gui::waitFor([&] { return !app.text(ControlId::CMDTeXT).empty(); }));
    return app;
  }

  // Sets the image path as a user typing or pasting would, waits for the timer to enable Start,
  // presses it and waits for the simulated phone to finish.
  void flashPath(App& app, const std::string& path) {
    const std::size_t before = folder.runs().size();
    ASSERT_TRUE(gui::setText(app.control(ControlId::Combo1), path));
    // The box can end like an idle one's while the last command still ends (a line break read
    // on its own): a press refused then as busy does nothing, and Start is pressed again.
    for (int tries = 0; tries < 5; ++tries) {
      ASSERT_TRUE(app.press(ControlId::Command1));
      if (gui::waitFor([&] { return folder.runs().size() > before; }, 2000)) break;
    }
    ASSERT_TRUE(App::waitRuns(folder, before + 1)) << app.text(ControlId::CMDTeXT);
    waitIdle(app);
  }

  // The phone has finished when its log says so; the program a moment later, when it has read
  // the broken pipe and put the collected text, with its closing line break, in the box. Until
  // then a click on Start is refused as the runner is busy.
  static void waitIdle(App& app) {
    ASSERT_TRUE(gui::waitFor([&] {
      const std::string box = app.text(ControlId::CMDTeXT);
      return box.size() >= 6 && box.compare(box.size() - 6, 6, "\r\n\r\n\r\n") == 0;
    })) << app.text(ControlId::CMDTeXT);
  }

  AppFolder folder;
};

TEST_F(FlashTest, ChosenFileIsFlashedAndItsOutputAppendedToTheDeviceList) {
  const std::string image = folder.file("我的 镜像\\twrp 3.7.img");
  const std::string bytes = imageBytes("twrp");
  writeFile(image, bytes);
  App app = start();
  const std::string devices = app.text(ControlId::CMDTeXT);
  EXPECT_FALSE(gui::enabled(app.control(ControlId::Command1)));

  // Cancel leaves the path as it was.
  ASSERT_TRUE(gui::click(app.control(ControlId::Command3)));
  ASSERT_TRUE(gui::cancelOpenDialog(app.process.pid()));
  EXPECT_EQ(app.text(ControlId::Combo1), "");

  ASSERT_TRUE(gui::click(app.control(ControlId::Command3)));
  ASSERT_TRUE(gui::answerOpenDialog(app.process.pid(), image));
  ASSERT_TRUE(gui::waitFor([&] { return app.text(ControlId::Combo1) == image; }));
  ASSERT_TRUE(app.press(ControlId::Command1));
  ASSERT_TRUE(App::waitRuns(folder, 2));
  ASSERT_TRUE(gui::waitFor([&] {
    return app.text(ControlId::CMDTeXT).find("Finished. Total time:") != std::string::npos;
  }));

  const auto runs = folder.runs();
  EXPECT_EQ(runs[1].args, (std::vector<std::string>{"flash", "recovery", image}));
  EXPECT_EQ(runs[1].cwd, folder.path());  // the dialog did not move the current directory
  EXPECT_TRUE(folder.flashed() == bytes);
  const std::string box = app.text(ControlId::CMDTeXT);
  EXPECT_EQ(box.rfind(devices, 0), 0u) << box;  // appended after the device list
  EXPECT_NE(box.find("Sending 'recovery'", devices.size()), std::string::npos);
  EXPECT_NE(box.find("OKAY [", devices.size()), std::string::npos);
}

TEST_F(FlashTest, EveryPathReachesTheToolAsOneArgumentExactly) {
  App app = start();
  const std::vector<std::string> names = {"a b.img",    "a&b.img",      "50%off.img",
                                          "%PATH%.img", "中文镜像.img", "ক\xF0\x9F\x98\x80.img",
                                          "x!y.img",    "(1),;=^.img",  "a b&c%d%e.img"};
  for (const auto& name : names) {
    const std::string image = folder.file("images\\" + name);
    const std::string bytes = imageBytes(name);
    writeFile(image, bytes);
    flashPath(app, image);
    const auto run = folder.runs().back();
    // A name the ANSI code page (GBK here) cannot represent reaches the tool as its short form.
    const std::string expected = name.rfind("ক", 0) == 0 ? shortPath(image) : image;
    EXPECT_NE(expected, "");
    EXPECT_EQ(run.args, (std::vector<std::string>{"flash", "recovery", expected})) << name;
    EXPECT_EQ(run.finished, 0) << name;
    EXPECT_TRUE(folder.flashed() == bytes) << name;
  }
}

}  // namespace
}  // namespace quorlane
