// The instruction box and the link buttons, with the real program.

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "support/app_folder.h"
#include "window/layout.h"

namespace quorlane {
namespace {

using testsupport::App;
using testsupport::AppFolder;
using testsupport::readFile;
using testsupport::startApp;
using testsupport::writeFile;
using window::ControlId;

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) out.push_back(line);
  return out;
}

std::string recorder() {
  return win32::narrow(win32::executableFolder()) + "\\explorer_recorder.exe";
}

TEST(HelpTest, InstructionBoxShowsThreeLinesWithoutAnIcon) {
  AppFolder folder;
  App app = startApp(folder);
  ASSERT_TRUE(gui::click(app.control(ControlId::Command10)));
  const auto box = gui::waitMessageBox(app.process.pid());
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->title, "进入FastBoot方法");
  EXPECT_EQ(box->prompt,
            "先重启手机，然后在手机关机的时候，安装 音量减 键，再按住关机\r\n"
            "键，然后手机会不断重启，在手机关闭后立即松开关机键，然后会进\r\n"
            "入FastBoot，一个米兔在修安卓机器人的图案。");
  EXPECT_FALSE(box->hasIcon);
  EXPECT_EQ(box->buttons.size(), 1u);
  ASSERT_TRUE(gui::pressOk(box->hwnd));
  ASSERT_TRUE(gui::waitClosed(box->hwnd));
  EXPECT_TRUE(app.process.running());
}

TEST(HelpTest, EachLinkButtonStartsOneExplorerCommandAndTheWindowStaysUsable) {
  AppFolder folder;
  std::filesystem::copy_file(win32::widen(recorder()), win32::widen(folder.file("EXPLORER.EXE")));
  App app = startApp(folder);
  const std::vector<ControlId> buttons = {ControlId::Command2, ControlId::Command6,
                                          ControlId::Command5};
  for (std::size_t i = 0; i < buttons.size(); ++i) {
    ASSERT_TRUE(gui::click(app.control(buttons[i])));
    ASSERT_TRUE(
        gui::waitFor([&] { return lines(readFile(folder.file("explorer.log"))).size() > i; }));
  }
  const auto started = lines(readFile(folder.file("explorer.log")));
  ASSERT_EQ(started.size(), 3u);
  for (const auto& line : started) {
    EXPECT_EQ(line.rfind("EXPLORER https://", 0), 0u) << line;
    EXPECT_EQ(line.find(' ', 9), std::string::npos) << line;  // one blank, then the address
  }
  EXPECT_NE(started[0], started[1]);
  EXPECT_NE(started[1], started[2]);
  EXPECT_FALSE(gui::findMessageBox(app.process.pid()).has_value());
  // Still answering: the instruction box opens.
  ASSERT_TRUE(gui::click(app.control(ControlId::Command10)));
  const auto box = gui::waitMessageBox(app.process.pid());
  ASSERT_TRUE(box.has_value());
  gui::pressOk(box->hwnd);
}

TEST(HelpTest, ALinkThatCannotStartIsReportedAndTheProgramLivesOn) {
  AppFolder folder;
  writeFile(folder.file("EXPLORER.EXE"), "this is not a program\r\n");
  App app = startApp(folder);
  const std::string log = app.text(ControlId::CMDTeXT);
  ASSERT_TRUE(gui::click(app.control(ControlId::Command2)));
  const auto box = gui::waitMessageBox(app.process.pid());
  ASSERT_TRUE(box.has_value());
  EXPECT_TRUE(box->hasIcon);
  EXPECT_NE(box->prompt.find("https://"), std::string::npos) << box->prompt;
  ASSERT_TRUE(gui::pressOk(box->hwnd));
  ASSERT_TRUE(gui::waitClosed(box->hwnd));
  EXPECT_TRUE(app.process.running());
  EXPECT_EQ(app.text(ControlId::CMDTeXT), log);
}

}  // namespace
}  // namespace quorlane
