// The start-up's checks before anything is asked of a phone: the components beside the program,
// the skin, and the folder every command runs in.

#include "window/startup.h"

#include <gtest/gtest.h>

#include "fake_window.h"

namespace quorlane::window {
namespace {

using testing::FakeShell;
using testing::FakeSkin;

// The components are checked in order, the skin is attached, and the commands are to run beside
// the executable, not where the program was started from. The first thing missing is named; a
// skin that fails is explained by its missing file, then its missing library, and only then by
// the failure itself. Each ends the program.
TEST(Startup, ChecksInOrderAndWhatIsMissingOrFailsFirstIsNamedAndTheProgramEnds) {
  FakeShell shell;
  FakeSkin skin;
  ASSERT_TRUE(Startup(shell, skin).prepare());
  EXPECT_EQ(shell.checked, (std::vector<std::string>{"C:\\Quorlane\\fastboot.exe",
                                                     "C:\\Quorlane\\AdbWinUsbApi.dll",
                                                     "C:\\Quorlane\\AdbWinApi.dll"}));
  EXPECT_EQ(skin.calls, (std::vector<std::string>{
                            "aero C:\\Quorlane\\Config.dll 1",
                            "attach C:\\Quorlane\\Config.dll C:\\Quorlane\\Config.INI []"}));
  EXPECT_EQ(shell.journal, (std::vector<std::string>{"cd C:\\Quorlane"}));

  struct Case {
    std::vector<std::string> missing;
    enum { none, aero, attach } skinFails;
    std::string prompt;
    std::size_t skinCalls;
  };
  const auto missing = [](const std::string& name) {
    return "没有找到 " + name + " ，因此这个应用程序未能启动。重新安装应用程序可能修复此问题。";
  };
  const std::string failure = "错误信息：找不到指定的程序。";
  const std::vector<Case> cases = {
      {{"fastboot.exe"}, Case::none, missing("fastboot.exe"), 0},
      {{"AdbWinUsbApi.dll", "AdbWinApi.dll"}, Case::none, missing("AdbWinUsbApi.dll"), 0},
      {{"AdbWinApi.dll"}, Case::none, missing("AdbWinApi.dll"), 0},
      {{"fastboot.exe", "AdbWinApi.dll", "Config.dll"}, Case::none, missing("fastboot.exe"), 0},
      {{"Config.ini"}, Case::aero, missing("Config.ini"), 1},
      {{"Config.ini", "Config.dll"}, Case::attach, missing("Config.ini"), 2},
      {{"Config.dll"}, Case::aero, missing("Config.dll"), 1},
      {{}, Case::aero, failure, 1},
      {{}, Case::attach, failure, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.prompt);
    shell = FakeShell();
    skin = FakeSkin();
    for (const auto& m : c.missing) shell.files.erase("C:\\Quorlane\\" + m);
    if (c.skinFails == Case::aero) skin.aeroFailure = "找不到指定的程序。";
    if (c.skinFails == Case::attach) skin.attachFailure = "找不到指定的程序。";
    EXPECT_FALSE(Startup(shell, skin).prepare());
    ASSERT_EQ(shell.boxes.size(), 1u);
    EXPECT_EQ(shell.boxes[0].prompt, c.prompt);
    EXPECT_EQ(shell.boxes[0].style, MessageStyle::critical);
    EXPECT_EQ(shell.boxes[0].title, c.prompt == failure ? "错误" : "Quorlane.exe  - 无法找到组件");
    EXPECT_EQ(shell.journal, (std::vector<std::string>{"box", "end"}));
    EXPECT_EQ(skin.calls.size(), c.skinCalls);
  }
}

}  // namespace
}  // namespace quorlane::window
