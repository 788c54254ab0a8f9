// The window as a whole, what it shows of a command besides its output (the hint, the result
// panel and its buttons), its other controls, and the program's end.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <utility>

#include "form_fixture.h"

namespace quorlane::window {
namespace {

// ---- what the window shows of a command ------------------------------------------------------

// The window follows the running command's output with it: for the hint, and for whether the
// command may outlive the program.
TEST(PhoneWaitWatch, FollowsTheLatestLineAcrossPieces) {
  PhoneWaitWatch watch;
  EXPECT_FALSE(watch.waiting());
  watch.add("< waiting for any device >\r\n");
  EXPECT_TRUE(watch.waiting());
  watch.add("\r\n\r\n");  // blank lines do not move the output on
  EXPECT_TRUE(watch.waiting());
  watch.add("Sending 'recovery' (4 KB)");  // the next line, still without its end
  EXPECT_FALSE(watch.waiting());
  watch.reset();
  EXPECT_FALSE(watch.waiting());
  // Split anywhere, with a serial, with bare line feeds.
  watch.add("0123\tfastboot\n< wait");
  EXPECT_FALSE(watch.waiting());
  watch.add("ing for 0123456789ABCDEF >");
  EXPECT_TRUE(watch.waiting());
  watch.add("\n");
  EXPECT_TRUE(watch.waiting());
  // Only the start of the line counts.
  watch.reset();
  watch.add("fastboot: < waiting for any device >\r\n");
  EXPECT_FALSE(watch.waiting());
  // A very long line is no trouble.
  watch.add(std::string(100000, '#') + "\r\n" + kWaiting);
  EXPECT_TRUE(watch.waiting());
}

TEST_F(FormTest, ACommandThatWaitsForAPhoneShowsTheHintAndEndsWithTheProgramUntilItSends) {
  startWithOnePhone();
  std::vector<bool> shown;
  std::string boxDuringHint;
  os.reads = {{PipeState::data, kWaiting, true},
              {PipeState::empty, "", true},
              {PipeState::data, "Sending 'recovery' (4 KB)", true},
              {PipeState::data, "   OKAY [  0.100s]\r\nFinished.\r\n", true},
              {PipeState::broken, "", false}};
  os.onPump = [&](int) {
    shown.push_back(feedback.hintShown());
    if (feedback.hintShown()) boxDuringHint = box();
  };
  controls.texts[ControlId::CMDTeXT] = "devices\r\n";
  controls.texts[ControlId::Combo1] = "x.img";
  form.click(ControlId::Command1);
  // Pumps before the reads of: the wait, an empty look, Sending, OKAY, the broken pipe.
  EXPECT_EQ(shown, (std::vector<bool>{false, true, true, false, false}));
  // The hint comes after the text it keeps clear of.
  EXPECT_EQ(boxDuringHint, "devices\r\n< waiting for any device >\r\n\r\n");
  // Its processes end with the program from their start until the first line that sends:
  // killed from outside, the program takes a wait with it, never a command that sends.
  std::vector<std::string> jobSettings;
  for (const auto& entry : os.journal) {
    if (contains(entry, "program") || entry == "start write" || entry == "read") {
      jobSettings.push_back(entry);
    }
  }
  EXPECT_EQ(jobSettings, (std::vector<std::string>{"start write", "end with program job", "read",
                                                   "read", "outlive program job", "read"}));
}

TEST_F(FormTest, EachCommandEndsWithItsResultAndAFlashWithoutRecoveryOffersAStartFromMemory) {
  // Start-up: no phone in the list.
  os.reads = chunks({});
  ASSERT_TRUE(form.Form_Load());
  EXPECT_TRUE(contains(feedback.result(), "没有找到 FastBoot 模式的手机")) << feedback.result();
  // No flash to start from memory yet.
  form.click(ControlId::ResultAction);
  EXPECT_EQ(os.commandLines.size(), 1u);

  // A flash the phone refuses for want of the partition: the panel says why and offers the
  // button, and the taskbar shows the failure.
  const std::string path = "D:\\my img\\r.img";
  shell.addImage(path);
  controls.texts[ControlId::Combo1] = path;
  os.reads = chunks({"Writing 'recovery'  FAILED (remote: 'partition does not exist')",
                     "fastboot: error: Command failed"});
  os.exitCodeResult = 1;
  form.click(ControlId::Command1);
  EXPECT_TRUE(contains(feedback.result(), "没有 recovery 分区")) << feedback.result();
  EXPECT_TRUE(contains(feedback.result(), "[临时启动(&T)]"));
  // The failure stays on the taskbar over the timer's ticks, until the window is seen.
  form.Timer1_Timer();
  EXPECT_EQ(feedback.progress.back(), Progress::failed);
  form.Form_Activate();
  EXPECT_EQ(feedback.progress.back(), Progress::none);

  // The button starts that same image, checked and quoted as for the flash, whatever the path
  // box says now.
  controls.texts[ControlId::Combo1] = "b.img";
  os.reads = chunks({"Booting  OKAY [  0.000s]", "Finished. Total time: 0.003s"});
  os.exitCodeResult = 0;
  const auto looks = shell.looks.size();
  form.click(ControlId::ResultAction);
  EXPECT_EQ(lastCommand(), "fastboot boot \"D:\\my img\\r.img\"");
  ASSERT_EQ(shell.looks.size(), looks + 1);
  EXPECT_EQ(shell.looks.back().first, path);
  EXPECT_TRUE(contains(feedback.result(), "正在临时启动")) << feedback.result();
}

// After a flash the panel offers the restarts. Into recovery: the command every client knows,
// then once the OEM one when the client or the bootloader refuses it, then the keys to hold;
// each under the list rule of a flash. The plain restart has no second try.
TEST_F(FormTest, ThePanelRestartsThePhoneIntoRecoveryOrOutOfFastbootAndFallsBackToTheKeys) {
  startWithOnePhone();
  controls.texts[ControlId::Combo1] = "a.img";
  os.reads = chunks({"Writing 'recovery'  OKAY [  0.001s]", "Finished. Total time: 0.002s"});
  form.click(ControlId::Command1);
  EXPECT_TRUE(contains(feedback.result(), "[重启进入 Recovery(&R)] [重启手机(&P)]"))
      << feedback.result();

  const std::string refused =
      "FAILED (remote: 'unknown command')\r\nfastboot: error: Command failed\r\n";
  os.exitCodeResult = 1;
  os.reads = then(chunks({refused}), chunks({refused}));
  form.click(ControlId::ResultAction);
  ASSERT_EQ(os.commandLines.size(), 3u);
  EXPECT_TRUE(os.commandLines[1].find("\"fastboot reboot recovery\"") != std::string::npos);
  EXPECT_EQ(lastCommand(), "fastboot oem reboot-recovery");
  EXPECT_TRUE(contains(feedback.result(), "音量加")) << feedback.result();  // the keys
  // No button on that panel: another click runs nothing.
  form.click(ControlId::ResultAction);
  EXPECT_EQ(os.commandLines.size(), 3u);

  // The list has changed since: the restart waits for it as a flash would, and runs on it.
  os.reads = chunks({"Writing 'recovery'  OKAY [  0.001s]", "Finished. Total time: 0.002s"});
  os.exitCodeResult = 0;
  form.click(ControlId::Command1);
  form.devicesChanged();
  os.reads = then(chunks({kOnePhone}), chunks({"Rebooting  OKAY [  0.001s]", "Finished."}));
  form.click(ControlId::ResultAction2);
  ASSERT_EQ(os.commandLines.size(), 6u);
  EXPECT_NE(os.commandLines[4].find("\"fastboot devices\""), std::string::npos);
  EXPECT_EQ(lastCommand(), "fastboot reboot");
  EXPECT_TRUE(contains(feedback.result(), "正在重启")) << feedback.result();
}

// ---- the window's other controls, and the program's end --------------------------------------

TEST_F(FormTest, SelectPutsTheChosenPathInTheBoxAndIgnoresCancelAndFailure) {
  controls.texts[ControlId::Combo1] = "kept.img";
  shell.dialog = FakeShell::Dialog::cancel;
  form.click(ControlId::Command3);
  EXPECT_EQ(controls.texts[ControlId::Combo1], "kept.img");
  shell.dialog = FakeShell::Dialog::fail;
  form.click(ControlId::Command3);
  EXPECT_EQ(controls.texts[ControlId::Combo1], "kept.img");
  EXPECT_TRUE(shell.boxes.empty());
  shell.dialog = FakeShell::Dialog::choose;
  form.click(ControlId::Command3);
  EXPECT_EQ(controls.texts[ControlId::Combo1], "D:\\img\\recovery.img");
  ASSERT_EQ(shell.dialogs.size(), 3u);
  EXPECT_EQ(shell.dialogs[0].filter, "Recovery线刷包(*.img)|*.img|");
  EXPECT_TRUE(shell.dialogs[0].overwritePrompt);
}

TEST_F(FormTest, DroppingOneImageFileSetsThePath) {
  form.filesDropped({"D:\\a\\b.txt"});
  form.filesDropped({"D:\\a\\one.img", "D:\\a\\two.img"});
  EXPECT_EQ(controls.texts[ControlId::Combo1], "");
  form.filesDropped({"D:\\下载\\TWRP.IMG"});
  EXPECT_EQ(controls.texts[ControlId::Combo1], "D:\\下载\\TWRP.IMG");
}

TEST_F(FormTest, HelpLinksAndExit) {
  form.click(ControlId::Command10);
  ASSERT_EQ(shell.boxes.size(), 1u);
  EXPECT_EQ(shell.boxes[0].prompt,
            "先重启手机，然后在手机关机的时候，安装 音量减 键，再按住关机\r\n"
            "键，然后手机会不断重启，在手机关闭后立即松开关机键，然后会进\r\n"
            "入FastBoot，一个米兔在修安卓机器人的图案。");
  EXPECT_EQ(shell.boxes[0].style, MessageStyle::ok);
  EXPECT_EQ(shell.boxes[0].title, "进入FastBoot方法");

  form.click(ControlId::Command2);
  form.click(ControlId::Command6);
  form.click(ControlId::Command5);
  ASSERT_EQ(shell.started.size(), 3u);
  for (const auto& line : shell.started) {
    EXPECT_EQ(line.rfind("EXPLORER https://", 0), 0u) << line;
    EXPECT_EQ(line.substr(line.size() - 11), " @minimized");
  }
  EXPECT_NE(shell.started[0], shell.started[1]);
  EXPECT_EQ(shell.boxes.size(), 1u);
  EXPECT_FALSE(shell.ended);

  // A page that cannot be opened is reported and the program lives on.
  shell.startFails = true;
  form.click(ControlId::Command2);
  ASSERT_EQ(shell.boxes.size(), 2u);
  EXPECT_EQ(shell.boxes[1].style, MessageStyle::critical);
  EXPECT_TRUE(contains(shell.boxes[1].prompt, "系统找不到指定的文件。"));
  EXPECT_FALSE(shell.ended);

  form.click(ControlId::Command4);
  EXPECT_TRUE(shell.ended);
  shell.ended = false;
  form.Form_Unload();
  EXPECT_TRUE(shell.ended);
  EXPECT_TRUE(os.commandLines.empty());
  EXPECT_EQ(os.ended, 0);  // with nothing running there is nothing to end
}

// Exit or closing the window ends a command that may still wait for a phone, before the program
// ends, and leaves one that has begun to send to finish; a device query ends with the program.
TEST_F(FormTest, ExitEndsACommandThatWaitsForAPhoneAndKeepsOneThatSends) {
  struct Case {
    std::string name;
    std::vector<std::string> output;  // what the command has printed when Exit is pressed
    bool viaClose;
    bool ends;
  };
  const std::vector<Case> cases = {
      {"waiting, Exit", {kWaiting}, false, true},
      {"waiting, close", {kWaiting}, true, true},
      {"waiting for one phone", {"< waiting for 0123456789ABCDEF >\r\n"}, false, true},
      {"moved on to sending", {kWaiting, "Sending 'recovery' (4 KB)"}, false, false},
      {"writing", {"Sending 'recovery' (4 KB)   OKAY\r\n", "Writing 'recovery'"}, true, false},
      // Not yet talking to a phone: it may be about to wait for one.
      {"nothing yet", {}, false, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakeForm fresh;
    auto& [ctl, sh, sk, p, fb, clock, f] = fresh;
    fresh.startWithOnePhone();
    for (const auto& piece : c.output) p.reads.push_back({PipeState::data, piece, true});
    for (int i = 0; i < 5; ++i) p.reads.push_back({PipeState::empty, "", true});
    const int exitAt = static_cast<int>(c.output.size()) + 2;
    p.onPump = [&](int n) {
      if (n != exitAt) return;
      if (c.viaClose) {
        f.Form_Unload();
      } else {
        f.click(ControlId::Command4);
      }
    };
    bool programStillThere = false;
    p.onEnd = [&] {
      programStillThere = !sh.ended;
      p.reads = chunks({});
    };
    ctl.texts[ControlId::Combo1] = "x.img";
    f.click(ControlId::Command1);
    EXPECT_TRUE(sh.ended);
    EXPECT_EQ(p.ended, c.ends ? 1 : 0);
    // The command is ended with its job, before the program ends.
    EXPECT_EQ(std::count(p.journal.begin(), p.journal.end(), "end process job"), c.ends ? 1 : 0);
    EXPECT_TRUE(programStillThere || !c.ends);
  }

  // A device query still running when the program ends is ended with it.
  startWithOnePhone();
  form.devicesChanged();
  os.silentPipes = {1};
  now += PhoneList::kSettle;
  form.Timer1_Timer();
  ASSERT_EQ(os.commandLines.size(), 1u);
  form.Form_Unload();
  EXPECT_TRUE(shell.ended);
  EXPECT_EQ(os.ended, 1);
  EXPECT_EQ(os.openHandles, 0);
}

}  // namespace
}  // namespace quorlane::window
