// Flashing with the real program and the simulated phone: a chosen file, typed paths the command
// interpreter would otherwise take apart, the built-in images, and how they meet a running flash.

#include <gtest/gtest.h>
#include <windows.h>

// shlobj.h (DROPFILES) needs the types of windows.h.
#include <shlobj.h>

#include "support/app_folder.h"
#include "window/layout.h"

namespace quorlane {
namespace {

using testsupport::App;
using testsupport::AppFolder;
using testsupport::readFile;
using testsupport::shortPath;
using testsupport::startApp;
using testsupport::writeFile;
using window::ControlId;

int id(ControlId c) {
  return static_cast<int>(c);
}

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
    EXPECT_TRUE(gui::waitFor([&] { return !app.text(id(ControlId::CMDTeXT)).empty(); }));
    return app;
  }

  // Sets the image path as a user typing or pasting would, waits for the timer to enable Start,
  // presses it and waits for the simulated phone to finish.
  void flashPath(App& app, const std::string& path) {
    const std::size_t before = folder.runs().size();
    ASSERT_TRUE(gui::setText(app.control(id(ControlId::Combo1)), path));
    // The box can end like an idle one's while the last command still ends (a line break read
    // on its own): a press refused then as busy does nothing, and Start is pressed again.
    for (int tries = 0; tries < 5; ++tries) {
      ASSERT_TRUE(gui::waitFor([&] { return gui::enabled(app.control(id(ControlId::Command1))); }));
      ASSERT_TRUE(gui::click(app.control(id(ControlId::Command1))));
      if (gui::waitFor([&] { return folder.runs().size() > before; }, 2000)) break;
    }
    ASSERT_TRUE(App::waitRuns(folder, before + 1)) << app.text(id(ControlId::CMDTeXT));
    waitIdle(app);
  }

  // The phone has finished when its log says so; the program a moment later, when it has read
  // the broken pipe and put the collected text, with its closing line break, in the box. Until
  // then a click on Start is refused as the runner is busy.
  static void waitIdle(App& app) {
    ASSERT_TRUE(gui::waitFor([&] {
      const std::string box = app.text(id(ControlId::CMDTeXT));
      return box.size() >= 6 && box.compare(box.size() - 6, 6, "\r\n\r\n\r\n") == 0;
    })) << app.text(id(ControlId::CMDTeXT));
  }

  void pressAndWait(App& app, ControlId button) {
    const std::size_t before = folder.runs().size();
    ASSERT_TRUE(gui::waitFor([&] { return gui::enabled(app.control(id(button))); }));
    ASSERT_TRUE(gui::click(app.control(id(button))));
    ASSERT_TRUE(App::waitRuns(folder, before + 1));
    ASSERT_TRUE(gui::waitFor([&] { return gui::enabled(app.control(id(button))); }));
  }

  AppFolder folder;
};

TEST_F(FlashTest, ChosenFileIsFlashedAndItsOutputAppendedToTheDeviceList) {
  const std::string image = folder.file("我的 镜像\\twrp 3.7.img");
  const std::string bytes = imageBytes("twrp");
  writeFile(image, bytes);
  App app = start();
  const std::string devices = app.text(id(ControlId::CMDTeXT));
  EXPECT_FALSE(gui::enabled(app.control(id(ControlId::Command1))));

  // Cancel leaves the path as it was.
  ASSERT_TRUE(gui::click(app.control(id(ControlId::Command3))));
  ASSERT_TRUE(gui::cancelOpenDialog(app.process.pid()));
  EXPECT_EQ(app.text(id(ControlId::Combo1)), "");

  ASSERT_TRUE(gui::click(app.control(id(ControlId::Command3))));
  ASSERT_TRUE(gui::answerOpenDialog(app.process.pid(), image));
  ASSERT_TRUE(gui::waitFor([&] { return app.text(id(ControlId::Combo1)) == image; }));
  ASSERT_TRUE(gui::waitFor([&] { return gui::enabled(app.control(id(ControlId::Command1))); }));
  ASSERT_TRUE(gui::click(app.control(id(ControlId::Command1))));
  ASSERT_TRUE(App::waitRuns(folder, 2));
  ASSERT_TRUE(gui::waitFor([&] {
    return app.text(id(ControlId::CMDTeXT)).find("Finished. Total time:") != std::string::npos;
  }));

  const auto runs = folder.runs();
  EXPECT_EQ(runs[1].args, (std::vector<std::string>{"flash", "recovery", image}));
  EXPECT_EQ(runs[1].cwd, folder.path());  // the dialog did not move the current directory
  EXPECT_TRUE(folder.flashed() == bytes);
  const std::string box = app.text(id(ControlId::CMDTeXT));
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

TEST_F(FlashTest, BuiltInButtonsClearTheBoxAndFlashTheImagesBesideTheProgram) {
  App app = start();
  const std::vector<std::pair<ControlId, std::string>> buttons = {
      {ControlId::Command7, "RE\\recovery1.img"},
      {ControlId::Command8, "RE\\recovery2.img"},
      {ControlId::Command9, "RE\\recovery3.img"}};
  const std::string other = folder.file("elsewhere\\other.img");
  writeFile(other, imageBytes("other"));
  for (const auto& [button, image] : buttons) {
    pressAndWait(app, button);
    const auto run = folder.runs().back();
    EXPECT_EQ(run.args, (std::vector<std::string>{"flash", "recovery", image}));
    EXPECT_TRUE(folder.flashed() == readFile(folder.file(image))) << image;
    ASSERT_TRUE(gui::waitFor(
        [&] { return app.text(id(ControlId::CMDTeXT)).find("Finished.") != std::string::npos; }));
    EXPECT_EQ(app.text(id(ControlId::CMDTeXT)).rfind("Sending 'recovery'", 0), 0u);

    // Choosing a file elsewhere does not change where the next built-in image is looked for.
    ASSERT_TRUE(gui::click(app.control(id(ControlId::Command3))));
    ASSERT_TRUE(gui::answerOpenDialog(app.process.pid(), other));
  }
}

TEST_F(FlashTest, BuiltInPressedDuringAFlashEmptiesTheBoxAndStartsNothing) {
  folder.settings("send_ms=3000\nwrite_ms=10\n");
  const std::string image = folder.file("mine.img");
  const std::string bytes = imageBytes("mine");
  writeFile(image, bytes);
  App app = start();
  ASSERT_TRUE(gui::setText(app.control(id(ControlId::Combo1)), image));
  ASSERT_TRUE(gui::waitFor([&] { return gui::enabled(app.control(id(ControlId::Command1))); }));
  ASSERT_TRUE(gui::click(app.control(id(ControlId::Command1))));
  // The first half of the line shows while the transfer runs.
  ASSERT_TRUE(gui::waitFor([&] {
    return app.text(id(ControlId::CMDTeXT)).find("Sending 'recovery'") != std::string::npos;
  }));
  EXPECT_EQ(app.text(id(ControlId::CMDTeXT)).find("OKAY"), std::string::npos);
  // The timer has enabled Start again during its own flash.
  EXPECT_TRUE(gui::waitFor([&] { return gui::enabled(app.control(id(ControlId::Command1))); }));

  ASSERT_TRUE(gui::click(app.control(id(ControlId::Command8))));
  ASSERT_TRUE(gui::waitFor([&] { return app.text(id(ControlId::CMDTeXT)).empty(); }));
  ASSERT_TRUE(App::waitRuns(folder, 2));
  ASSERT_TRUE(gui::waitFor(
      [&] { return app.text(id(ControlId::CMDTeXT)).find("Finished.") != std::string::npos; }));
  EXPECT_EQ(folder.runs().size(), 2u);  // the built-in image was never started
  EXPECT_TRUE(folder.flashed() == bytes);
  const std::string box = app.text(id(ControlId::CMDTeXT));
  EXPECT_EQ(box.rfind("Sending 'recovery'", 0), 0u) << box;
  EXPECT_EQ(box.find("fastboot\r\n"), std::string::npos) << box;
  EXPECT_TRUE(gui::enabled(app.control(id(ControlId::Command8))));
}

std::size_t count(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

// Whether the box shows its last character.
bool endInView(HWND box) {
  const auto length = static_cast<WPARAM>(SendMessageW(box, WM_GETTEXTLENGTH, 0, 0));
  if (length == 0) return true;
  const LRESULT pos = SendMessageW(box, EM_POSFROMCHAR, length - 1, 0);
  RECT client;
  GetClientRect(box, &client);
  const int y = static_cast<short>(HIWORD(pos));
  return pos != -1 && y >= 0 && y < client.bottom;
}

TEST_F(FlashTest, LiveOutputShowsTheFirstHalfDuringTheTransferAndEndsWithoutDoubling) {
  // Thirty lines before every command's own output (several phones would stop the flash).
  std::string lines;
  for (int i = 0; i < 30; ++i) lines += "line " + std::to_string(i) + "\\r\\n";
  folder.settings("extra_stdout=" + lines + "\nsend_ms=3000\nwrite_ms=10\n");
  const std::string image = folder.file("live.img");
  writeFile(image, imageBytes("live"));
  App app = start();
  HWND box = app.control(id(ControlId::CMDTeXT));
  const std::string devices = app.text(id(ControlId::CMDTeXT));
  ASSERT_TRUE(gui::waitFor([&] { return endInView(box); }));  // thirty lines: the end shows

  flashPath(app, image);  // waits for the end
  const std::string done = app.text(id(ControlId::CMDTeXT));
  EXPECT_EQ(done.rfind(devices, 0), 0u);
  EXPECT_EQ(count(done, "Sending 'recovery'"), 1u) << done;
  EXPECT_EQ(count(done, "Finished. Total time:"), 1u) << done;
  EXPECT_TRUE(endInView(box));

  // A reader who scrolled up is not pulled down, neither by live text nor by the final append.
  SendMessageW(box, WM_VSCROLL, SB_TOP, 0);
  ASSERT_TRUE(gui::waitFor([&] { return SendMessageW(box, EM_GETFIRSTVISIBLELINE, 0, 0) == 0; }));
  ASSERT_TRUE(gui::click(app.control(id(ControlId::Command1))));
  ASSERT_TRUE(gui::waitFor(
      [&] { return count(app.text(id(ControlId::CMDTeXT)), "Sending 'recovery'") == 2; }));
  // The transfer takes three seconds: the first half of the line is there, its OKAY is not.
  EXPECT_EQ(count(app.text(id(ControlId::CMDTeXT)), "OKAY"), 2u);
  waitIdle(app);
  const std::string twice = app.text(id(ControlId::CMDTeXT));
  EXPECT_EQ(twice.rfind(done, 0), 0u);
  EXPECT_EQ(count(twice, "Finished. Total time:"), 2u);
  EXPECT_EQ(SendMessageW(box, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
}

// Posts WM_DROPFILES as the shell does after a drop: the file list lives in the target process.
void dropFiles(HANDLE process, HWND window, const std::vector<std::string>& paths) {
  std::wstring list;
  for (const auto& p : paths) list += win32::widen(p) + L'\0';
  list += L'\0';
  DROPFILES header{};
  header.pFiles = sizeof(DROPFILES);
  header.fWide = TRUE;
  std::string block(reinterpret_cast<const char*>(&header), sizeof(header));
  block.append(reinterpret_cast<const char*>(list.data()), list.size() * sizeof(wchar_t));
  void* remote =
      VirtualAllocEx(process, nullptr, block.size(), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  ASSERT_NE(remote, nullptr);
  ASSERT_TRUE(WriteProcessMemory(process, remote, block.data(), block.size(), nullptr));
  PostMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(remote), 0);
}

TEST_F(FlashTest, DroppingAnImageFileSetsThePath) {
  App app = start();
  const std::string image = folder.file("拖放\\drop me.IMG");
  writeFile(image, imageBytes("drop"));
  dropFiles(app.process.handle(), app.window, {folder.file("notes.txt")});
  dropFiles(app.process.handle(), app.window, {image, image});
  dropFiles(app.process.handle(), app.window, {image});
  ASSERT_TRUE(gui::waitFor([&] { return app.text(id(ControlId::Combo1)) == image; }));
  flashPath(app, image);
  EXPECT_EQ(folder.runs().back().args, (std::vector<std::string>{"flash", "recovery", image}));
}

}  // namespace
}  // namespace quorlane
