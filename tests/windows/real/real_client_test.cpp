// End to end with Google's own fastboot client: the real program, the real command interpreter,
// the client built from third_party/ beside the program, and the simulated phone on the network,
// reached through ANDROID_SERIAL=tcp:127.0.0.1:PORT in the program's environment (so its command
// lines are the ones users' phones get). Every flash compares the bytes the phone kept with the
// image. After each command the result panel over the output box says in Chinese what came of
// it; its text is read as a screen reader would, and its picture is kept beside the test as
// result-NAME-DPI.bmp.

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "real/network_phone.h"
#include "support/app_folder.h"
#include "support/screen_shot.h"
#include "win32/feedback_win32.h"
#include "win32/module_path.h"
#include "win32/text.h"
#include "window/layout.h"

namespace quorlane {
namespace {

using realtest::NetworkPhone;
using realtest::ScopedEnvironment;
using testsupport::App;
using testsupport::AppFolder;
using testsupport::readFile;
using testsupport::shortPath;
using testsupport::startApp;
using testsupport::writeFile;
using window::ControlId;

// A transfer to a slow phone may take a while; every other wait is the driver's usual one.
constexpr int kTransferTimeoutMs = 60000;

// Bytes that begin like an Android boot image, then depend only on seed and length.
std::string imageBytes(std::size_t length, unsigned seed) {
  std::string bytes = "ANDROID!";
  unsigned x = seed * 2654435761u + 1;
  while (bytes.size() < length) {
    x = x * 1103515245u + 12345u;
    bytes += static_cast<char>(x >> 24);
  }
  return bytes;
}

class RealClientTest : public ::testing::Test {
 protected:
  RealClientTest() : folder("demo-real") {}

  ~RealClientTest() override {
    // A client that lost its phone would spin for ever, one with no phone would wait for ever.
    gui::endProcessesIn(folder.path());
  }

  // The program started with the phone's serial in its environment, once its start-up device
  // query has finished: the client lists USB phones only, so the list is empty and the box
  // holds only the line break the program ends every command's output with.
  App start(const NetworkPhone& phone) {
    const ScopedEnvironment serial("ANDROID_SERIAL", phone.serial());
    App app = startApp(folder);
    EXPECT_TRUE(gui::waitFor([&] { return box(app) == "\r\n"; })) << "[" << box(app) << "]";
    return app;
  }

  // Writes `bytes` as the image `name` in the test's folder, starts the program for `phone` and
  // presses Start with that image.
  App startFlash(const NetworkPhone& phone, const std::string& name, const std::string& bytes) {
    writeFile(folder.file(name), bytes);
    App app = start(phone);
    EXPECT_TRUE(app.pressStart(folder.file(name)));
    return app;
  }

  static std::string box(const App& app) { return app.text(ControlId::CMDTeXT); }

  // The result panel once it is shown with `part` in its text, drawn on the screen, inside the
  // output box and off its last line; the box's own text holds nothing of it.
  static HWND expectResult(const App& app, const std::string& part, const std::string& shotName) {
    HWND panel = nullptr;
    const bool shown = gui::waitFor(
        [&] {
          panel = app.control(win32::Win32Feedback::kResultId);
          return panel != nullptr && gui::visible(panel) &&
                 gui::text(panel).find(part) != std::string::npos;
        },
        kTransferTimeoutMs);
    EXPECT_TRUE(shown) << "[" << (panel != nullptr ? gui::text(panel) : "no panel") << "]";
    if (!shown) return nullptr;
    EXPECT_EQ(box(app).find(part), std::string::npos);

    HWND output = app.control(ControlId::CMDTeXT);
    const RECT inBox = gui::clientRectInParent(output, app.window);
    const RECT r = gui::clientRectInParent(panel, app.window);
    EXPECT_GE(r.top, inBox.top);
    EXPECT_LE(r.bottom, inBox.bottom);
    const std::string text = box(app);
    if (!text.empty()) {
      // The last line that has text on it: its first character's place is outside the panel.
      const std::string upToLast = text.substr(0, text.find_last_not_of("\r\n") + 1);
      const auto start = upToLast.find_last_of('\n') + 1;
      const LRESULT pos =
          SendMessageW(output, EM_POSFROMCHAR, win32::widen(upToLast.substr(0, start)).size(), 0);
      EXPECT_NE(pos, -1);
      POINT line{static_cast<short>(LOWORD(pos)) + 2, static_cast<short>(HIWORD(pos)) + 2};
      MapWindowPoints(output, app.window, &line, 1);
      EXPECT_FALSE(PtInRect(&r, line))
          << line.y << " in " << r.top << ".." << r.bottom << " [" << text << "]";
    }

    // The same picture twice: Wine hands what a window drew to the screen a moment later.
    testsupport::Shot shot;
    testsupport::Shot before;
    EXPECT_TRUE(gui::waitFor([&] {
      if (!testsupport::panelDrawn(app.window, panel, shot)) return false;
      const bool settled = shot.pixels == before.pixels;
      before = shot;
      return settled;
    }));
    const char* dpi = std::getenv("QUORLANE_SYSTEM_DPI");
    testsupport::saveBmp(shot, win32::narrow(win32::executableFolder()) + "\\result-" + shotName +
                                   "-" + (dpi != nullptr ? dpi : "96") + ".bmp");
    return panel;
  }

  // Whether the output box shows `text` in time; when not, a message box the program shows
  // instead is named.
  static bool waitBoxHas(const App& app, const std::string& text,
                         int timeoutMs = kTransferTimeoutMs) {
    if (gui::waitFor([&] { return box(app).find(text) != std::string::npos; }, timeoutMs)) {
      return true;
    }
    if (const auto shown = gui::findMessageBox(app.process.pid())) {
      ADD_FAILURE() << "a box instead: " << shown->title << ": " << shown->prompt;
    }
    return false;
  }

  AppFolder folder;
};

TEST_F(RealClientTest, EachBuiltInImageReachesThePhone) {
  NetworkPhone phone;
  App app = start(phone);
  const std::vector<std::pair<ControlId, std::string>> buttons = {
      {ControlId::Command7, "RE\\recovery1.img"},
      {ControlId::Command8, "RE\\recovery2.img"},
      {ControlId::Command9, "RE\\recovery3.img"}};
  std::size_t flashed = 0;
  for (const auto& [button, image] : buttons) {
    ASSERT_TRUE(app.press(button));
    ASSERT_TRUE(waitBoxHas(app, "Finished. Total time:")) << box(app);
    ++flashed;
    ASSERT_TRUE(gui::waitFor([&] { return phone.logCount("flashed recovery") == flashed; }));
    const std::string bytes = readFile(folder.file(image));
    ASSERT_EQ(bytes.rfind("ANDROID!", 0), 0u);
    EXPECT_TRUE(phone.partition() == bytes) << image;
    // The box was cleared for this image: its output alone, in the client's own words.
    const std::string text = box(app);
    const std::string kib = std::to_string(bytes.size() / 1024) + " KB)";
    EXPECT_EQ(text.rfind("Sending 'recovery' (" + kib, 0), 0u) << text;
    EXPECT_NE(text.find("OKAY [", 0), std::string::npos) << text;
    EXPECT_NE(text.find("\r\nWriting 'recovery'"), std::string::npos) << text;
  }
}

TEST_F(RealClientTest, ChosenFileWithBlankAmpersandPercentBangAndChinese) {
  NetworkPhone phone;
  const std::string image = folder.file("我的 镜像 & 100%!\\twrp 3.7 & 50%off!.img");
  const std::string bytes = imageBytes(300 * 1024 + 17, 1);
  writeFile(image, bytes);
  App app = start(phone);
  ASSERT_TRUE(gui::click(app.control(ControlId::Command3)));
  ASSERT_TRUE(gui::answerOpenDialog(app.process.pid(), image));
  ASSERT_TRUE(gui::waitFor([&] { return app.text(ControlId::Combo1) == image; }));
  ASSERT_TRUE(app.press(ControlId::Command1));
  ASSERT_TRUE(waitBoxHas(app, "Finished. Total time:")) << box(app);
  EXPECT_TRUE(phone.partition() == bytes);
  EXPECT_NE(box(app).find("Sending 'recovery' (300 KB)"), std::string::npos) << box(app);
  EXPECT_EQ(box(app).find("error"), std::string::npos) << box(app);
}

TEST_F(RealClientTest, PathOutsideTheAnsiCodePageReachesTheClientAsItsShortForm) {
  NetworkPhone phone;
  // Bengali and an emoji: GBK, the ANSI code page here, has neither.
  const std::string image = folder.file("নতুন \xF0\x9F\x98\x80\\twrp নতুন.img");
  const std::string bytes = imageBytes(64 * 1024, 2);
  writeFile(image, bytes);
  ASSERT_NE(shortPath(image), "");
  App app = start(phone);
  ASSERT_TRUE(app.pressStart(image));
  ASSERT_TRUE(waitBoxHas(app, "Finished. Total time:")) << box(app);
  EXPECT_TRUE(phone.partition() == bytes);
  EXPECT_EQ(box(app).find("cannot load"), std::string::npos) << box(app);
  EXPECT_FALSE(gui::findMessageBox(app.process.pid()).has_value());
}

TEST_F(RealClientTest, LiveOutputDuringASlowTransferComesPieceByPiece) {
  // An image larger than the phone's download size goes in sparse pieces, each reported on its
  // own line as it completes; the phone takes 512 KiB a second, so the transfer lasts seconds.
  constexpr int kPieceKiB = 256;
  NetworkPhone phone({"--rate", std::to_string(512 * 1024), "--max-download-size",
                      std::to_string(kPieceKiB * 1024)});
  const std::string bytes = imageBytes(2 * 1024 * 1024, 4);  // whole 4 KiB blocks
  App app = startFlash(phone, "images\\big.img", bytes);

  // The first piece's line is shown while later pieces are still on their way.
  ASSERT_TRUE(waitBoxHas(app, "Sending sparse 'recovery' 1/")) << box(app);
  const std::string early = box(app);
  const std::size_t piecesFlashedThen = phone.logCount("flashed recovery");
  EXPECT_EQ(early.find("Finished."), std::string::npos) << early;

  ASSERT_TRUE(waitBoxHas(app, "Finished. Total time:")) << box(app);
  const std::size_t pieces = phone.logCount("flashed recovery");
  EXPECT_GT(pieces, 4u);
  EXPECT_LT(piecesFlashedThen, pieces);
  EXPECT_TRUE(phone.partition() == bytes);
  // The live view ended as the whole output: the early text is its beginning, no line doubled.
  const std::string text = box(app);
  EXPECT_EQ(text.rfind(early.substr(0, early.rfind("\r\n")), 0), 0u) << early << "\n--\n" << text;
  std::size_t firstPieceLines = 0;
  for (auto at = text.find("Sending sparse 'recovery' 1/"); at != std::string::npos;
       at = text.find("Sending sparse 'recovery' 1/", at + 1)) {
    ++firstPieceLines;
  }
  EXPECT_EQ(firstPieceLines, 1u) << text;
}

// A command that has not shown it talks to the phone ends with the program: it may be waiting for
// one. This client writes "Sending ..." only once the image is on the phone, so Exit during the
// first transfer ends it, and nothing is written. From the first piece it reports sent, the
// flash is left to finish.
TEST_F(RealClientTest, ExitEndsATransferNotYetReportedAndLeavesOneReportedToFinish) {
  {
    NetworkPhone phone({"--rate", std::to_string(200 * 1024)});
    App app = startFlash(phone, "images\\exit.img", imageBytes(2 * 1024 * 1024, 5));
    ASSERT_TRUE(gui::waitFor([&] { return phone.logCount("command download:") == 1; }));
    ASSERT_TRUE(gui::click(app.control(ControlId::Command4)));
    EXPECT_TRUE(app.process.waitExit());
    EXPECT_TRUE(
        gui::waitFor([&] { return gui::processesOf(folder.file("fastboot.exe")).empty(); }, 3000));
    EXPECT_EQ(phone.logCount("flashed recovery"), 0u);
    EXPECT_EQ(phone.partition(), std::nullopt);
  }
  // Sparse pieces of 256 KiB at 512 KiB a second.
  NetworkPhone phone(
      {"--rate", std::to_string(512 * 1024), "--max-download-size", std::to_string(256 * 1024)});
  const std::string bytes = imageBytes(2 * 1024 * 1024, 6);
  App app = startFlash(phone, "images\\exit-later.img", bytes);
  ASSERT_TRUE(waitBoxHas(app, "Sending sparse 'recovery' 1/")) << box(app);
  ASSERT_TRUE(gui::click(app.control(ControlId::Command4)));
  EXPECT_TRUE(app.process.waitExit());
  // Gone well before the last of its eight pieces.
  EXPECT_LT(phone.logCount("flashed recovery"), 8u);
  ASSERT_TRUE(gui::waitFor([&] { return phone.partition() == std::optional<std::string>(bytes); },
                           kTransferTimeoutMs));
}

// The client's device list holds USB phones only, so the network phone is not in it; it is the
// one ANDROID_SERIAL names, and the panel says what it said of itself. The flash then works and
// says what to do next.
TEST_F(RealClientTest, PanelAfterAWorkingFlashSaysToStartRecoveryNow) {
  NetworkPhone phone;
  const std::string image = folder.file("images\\good.img");
  const std::string bytes = imageBytes(64 * 1024, 6);
  writeFile(image, bytes);
  App app = start(phone);
  expectResult(app, "型号 quorlane-phone", "phone");
  ASSERT_TRUE(app.pressStart(image));
  ASSERT_TRUE(waitBoxHas(app, "Finished. Total time:")) << box(app);
  HWND panel = expectResult(app, "刷入成功", "flashed");
  EXPECT_TRUE(phone.partition() == bytes);
  // With the two restarts it offers.
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(gui::text(gui::child(panel, static_cast<int>(ControlId::ResultAction))),
            "重启进入 Recovery(&R)");
  EXPECT_EQ(gui::text(gui::child(panel, static_cast<int>(ControlId::ResultAction2))),
            "重启手机(&P)");
}

TEST_F(RealClientTest, PanelOnAPhoneWithoutRecoveryStartsTheSameImageFromMemoryByItsButton) {
  NetworkPhone phone({"--refuse", "flash:recovery=partition does not exist"});
  const std::string bytes = imageBytes(96 * 1024 + 5, 7);
  App app = startFlash(phone, "images\\no recovery & 100%.img", bytes);
  HWND panel = expectResult(app, "没有 recovery 分区", "no-recovery");
  ASSERT_NE(panel, nullptr);
  EXPECT_NE(box(app).find("FAILED (remote: 'partition does not exist')"), std::string::npos);

  // The path box may say something else by now: the button starts the image that was refused.
  ASSERT_TRUE(gui::setText(app.control(ControlId::Combo1), folder.file("images\\other.img")));
  HWND button = gui::child(panel, static_cast<int>(ControlId::ResultAction));
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(gui::text(button), "临时启动(&T)");
  ASSERT_TRUE(gui::click(button));
  expectResult(app, "正在临时启动", "booted");
  EXPECT_NE(box(app).find("Sending 'boot.img' (96 KB)"), std::string::npos) << box(app);
  EXPECT_NE(box(app).find("Booting"), std::string::npos) << box(app);
  // The phone got the image's exact bytes and stored nothing.
  EXPECT_TRUE(phone.booted() == bytes);
  EXPECT_TRUE(phone.logHas("booted " + std::to_string(bytes.size()) + " bytes"));
  EXPECT_EQ(phone.partition(), std::nullopt);
  EXPECT_EQ(phone.logCount("flashed"), 0u);
}

TEST_F(RealClientTest, PanelSaysWhenThePhoneCannotStartAnImageFromMemory) {
  NetworkPhone phone(
      {"--refuse", "flash:recovery=partition not found", "--refuse", "boot=unknown command"});
  App app = startFlash(phone, "images\\a.img", imageBytes(8192, 8));
  ASSERT_NE(expectResult(app, "没有 recovery 分区", "no-recovery-2"), nullptr);
  // The button's access key, Alt+T, starts it as a click does.
  ASSERT_TRUE(PostMessageW(app.window, WM_SYSCHAR, L't', 1 | (1 << 29)));
  expectResult(app, "不支持临时启动", "cannot-boot");
  EXPECT_NE(box(app).find("FAILED (remote: 'unknown command')"), std::string::npos) << box(app);
  EXPECT_EQ(phone.booted(), std::nullopt);
}

// A refusal is shown in the client's own words, after the image was sent, and nothing is written.
TEST_F(RealClientTest, PanelSaysALockedBootloaderWroteNothing) {
  NetworkPhone phone({"--refuse", "flash:recovery=Flashing is not allowed in Lock State"});
  App app = startFlash(phone, "images\\locked.img", imageBytes(8192, 9));
  expectResult(app, "Bootloader 未解锁", "locked");
  const std::string text = box(app);
  const auto writing = text.find("Writing 'recovery'");
  ASSERT_NE(writing, std::string::npos) << text;
  EXPECT_NE(text.find("FAILED (remote: 'Flashing is not allowed in Lock State')", writing),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("fastboot: error: Command failed"), std::string::npos) << text;
  EXPECT_EQ(text.find("Finished."), std::string::npos) << text;
  EXPECT_TRUE(phone.logHas("received 8192 bytes"));
  EXPECT_EQ(phone.partition(), std::nullopt);
}

// What the phone says of itself is asked before anything is sent: a locked one gets nothing
// unless the user says so, and one without a recovery partition is offered the image from memory
// instead, so that no flash ever reaches it.
TEST_F(RealClientTest, APhoneLockedOrWithoutRecoveryIsAskedAboutBeforeAnythingIsSent) {
  {
    NetworkPhone phone({"--var", "product=sunfish", "--var", "unlocked=no"});
    App app = startFlash(phone, "images\\locked-phone.img", imageBytes(8192, 11));
    const auto box = gui::waitMessageBox(app.process.pid());
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->title, "Bootloader 未解锁");
    ASSERT_TRUE(gui::pressButton(box->hwnd, IDNO));
    expectResult(app, "型号 sunfish", "locked-phone");
    EXPECT_EQ(phone.logCount("command download"), 0u);
    EXPECT_EQ(phone.logCount("command getvar:product"), 1u);
  }
  NetworkPhone phone({"--var", "current-slot=a", "--unknown-var", "has-slot:recovery",
                      "--unknown-var", "partition-type:recovery"});
  const std::string bytes = imageBytes(8192, 12);
  App app = startFlash(phone, "images\\ab-phone.img", bytes);
  const auto box = gui::waitMessageBox(app.process.pid());
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->title, "没有 recovery 分区");
  ASSERT_TRUE(gui::pressButton(box->hwnd, IDYES));
  expectResult(app, "正在临时启动", "ab-phone");
  EXPECT_TRUE(phone.booted() == bytes);
  EXPECT_EQ(phone.logCount("command flash"), 0u);
}

// After a flash the panel restarts the phone into recovery with the client's own command; a
// phone that knows neither that nor the OEM one gets the keys to hold.
TEST_F(RealClientTest, ThePanelRestartsIntoRecoveryOrTellsTheKeysToHold) {
  {
    NetworkPhone phone;
    App app = startFlash(phone, "images\\restart.img", imageBytes(8192, 13));
    ASSERT_NE(expectResult(app, "刷入成功", "flashed-2"), nullptr);
    ASSERT_TRUE(PostMessageW(app.window, WM_SYSCHAR, L'r', 1 | (1 << 29)));
    expectResult(app, "正在重启进入 Recovery", "restarting");
    EXPECT_EQ(phone.logCount("command reboot-recovery"), 1u);
  }
  NetworkPhone phone({"--refuse", "reboot-recovery=unknown command", "--refuse",
                      "oem reboot-recovery=unknown command"});
  App app = startFlash(phone, "images\\restart-keys.img", imageBytes(8192, 14));
  ASSERT_NE(expectResult(app, "刷入成功", "flashed-3"), nullptr);
  ASSERT_TRUE(PostMessageW(app.window, WM_SYSCHAR, L'r', 1 | (1 << 29)));
  expectResult(app, "音量加", "recovery-keys");
  EXPECT_EQ(phone.logCount("command reboot-recovery"), 1u);
  EXPECT_EQ(phone.logCount("command oem reboot-recovery"), 1u);
}

}  // namespace
}  // namespace quorlane
