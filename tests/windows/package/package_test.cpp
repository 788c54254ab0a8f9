// The unpacked download, with the simulated phone added, starts and lists the phone.
//   package_test.exe FOLDER   (FOLDER: a Windows path)

#include <gtest/gtest.h>

#include <filesystem>

#include "driver/gui_driver.h"
#include "window/layout.h"

namespace quorlane {
namespace {

std::string folder;

TEST(PackageTest, UnpackedProgramStartsAndListsThePhone) {
  ASSERT_FALSE(folder.empty()) << "usage: package_test FOLDER";
  // What a user unpacks: the program and its files, and no image anyone could flash by mistake.
  namespace fs = std::filesystem;
  std::vector<std::string> re;
  for (const auto& entry : fs::directory_iterator(win32::widen(folder + "\\RE"))) {
    re.push_back(win32::narrow(entry.path().filename().wstring()));
  }
  EXPECT_EQ(re, std::vector<std::string>{"说明.txt"});
  for (const char* name : {"Quorlane.exe", "Config.dll", "Config.INI", "使用说明.txt", "LICENSE"}) {
    EXPECT_TRUE(fs::exists(win32::widen(folder + "\\" + name))) << name;
  }

  gui::Process app = gui::Process::start(folder + "\\Quorlane.exe", folder);
  HWND window = gui::waitTopWindow(app.pid(), "QuorlaneBeta1 -- Tessivo");
  ASSERT_NE(window, nullptr);
  HWND box = gui::child(window, static_cast<int>(window::ControlId::CMDTeXT));
  EXPECT_TRUE(gui::waitFor(
      [&] { return gui::text(box).find("0123456789ABCDEF\tfastboot") != std::string::npos; }));
  PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_TRUE(app.waitExit());
}

}  // namespace
}  // namespace quorlane

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (argc > 1) quorlane::folder = argv[1];
  return RUN_ALL_TESTS();
}
