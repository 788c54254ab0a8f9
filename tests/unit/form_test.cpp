// The window as a whole: each event handed to the part whose job it is, and what only the whole
// shows: the start-up, a press from its checks to its command's end, the live output, the result
// panel's button, and the program's end. Each part's own rules are tested on the part.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <utility>

#include "fake_process.h"
#include "fake_window.h"
#include "window/Form1.h"

namespace quorlane::window {
namespace {

using testing::chunks;
using testing::contains;
using testing::FakeControls;
using testing::FakeFeedback;
using testing::FakeProcess;
using testing::FakeShell;
using testing::FakeSkin;
using testing::kOnePhone;
using testing::kTwoPhones;
using testing::PipeState;
using testing::then;

constexpr const char* kCmd = R"(C:\windows\system32\cmd.exe /c ")";
constexpr const char* kWaiting = "< waiting for any device >\r\n";

// The form over fakes of its own.
struct FakeForm {
  FakeForm() {
    // A second passes in each of the runner's pauses, so every piece of live output is due at
    // once unless a test makes appends slow.
    form.setClock([this] { return now; });
    os.onEachWait = [this] { now += std::chrono::seconds(1); };
    // Every image these tests flash is a boot image, so its check lets it through unasked.
    for (const char* image : {"a.img", "b.img", "x.img", "C:\\img\\r.img", "RE\\recovery1.img",
                              "RE\\recovery2.img", "RE\\recovery3.img"}) {
      shell.addImage(image);
    }
    form.setFeedback(&feedback);
  }
  // Runs the start-up with one phone listed, as a flash runs only on a known list, then forgets
  // what it ran and showed, so that a test sees only what its own presses do.
  void startWithOnePhone() {
    os.reads = chunks({kOnePhone});
    form.Form_Load();
    os.commandLines.clear();
    os.journal.clear();
    os.pumps = 0;
    controls.texts[ControlId::CMDTeXT].clear();
    shell.journal.clear();
    feedback = FakeFeedback();
  }

  FakeControls controls;
  FakeShell shell;
  FakeSkin skin;
  FakeProcess os;
  FakeFeedback feedback;
  Clock::time_point now{};
  Form1 form{controls, shell, skin, os, os};
};

class FormTest : public ::testing::Test, public FakeForm {
 protected:
  std::string box() { return controls.texts[ControlId::CMDTeXT]; }
  // The text the runner was asked to run, from the command line it formed.
  std::string lastCommand() const {
    const std::string& line = os.commandLines.back();
    return line.substr(std::string(kCmd).size(), line.size() - std::string(kCmd).size() - 1);
  }
};

// ---- start-up ------------------------------------------------------------------------------

TEST_F(FormTest, StartUpChecksFirstThenShowsTheListItAskedForWhileTheWindowWasBuilt) {
  os.reads = chunks({"0123456789ABCDEF\tfastboot\r\n"});
  // The first half checks and starts the device query, and touches no control: the window is
  // built meanwhile.
  ASSERT_TRUE(form.beginLoad());
  EXPECT_EQ(shell.currentDirectory, "C:\\Quorlane");
  EXPECT_EQ(os.commandLines.size(), 1u);
  EXPECT_EQ(controls.setTextCalls + controls.appends, 0);
  ASSERT_TRUE(form.Form_Load());
  ASSERT_EQ(os.commandLines.size(), 1u);
  EXPECT_EQ(lastCommand(), "fastboot devices");
  EXPECT_EQ(box(), "0123456789ABCDEF\tfastboot\r\n\r\n\r\n");
  EXPECT_EQ(feedback.result(), "");
  EXPECT_FALSE(form.runner().busy());

  // Without its components the program ends before it asks anything of a phone.
  FakeForm missing;
  missing.shell.files.erase("C:\\Quorlane\\fastboot.exe");
  EXPECT_FALSE(missing.form.Form_Load());
  EXPECT_TRUE(missing.shell.ended);
  EXPECT_TRUE(missing.os.commandLines.empty());
}

// The start-up's query ends like the watch's: after five seconds without an answer, with all it
// started; the panel says fastboot does not answer. Exit before that ends it too.
TEST_F(FormTest, AStartUpQueryWithoutAnAnswerEndsAtItsLimitOrWithTheProgram) {
  os.silentPipes = {0};
  os.onPump = [&](int) { form.Timer1_Timer(); };
  // Ended, its pipe breaks.
  os.onEnd = [&] {
    os.silentPipes.clear();
    os.reads = chunks({});
  };
  ASSERT_TRUE(form.Form_Load());
  EXPECT_EQ(os.ended, 1);
  EXPECT_GE(now - Clock::time_point{}, PhoneList::kQueryLimit);
  EXPECT_LT(now - Clock::time_point{}, PhoneList::kQueryLimit + std::chrono::seconds(2));
  EXPECT_TRUE(contains(feedback.result(), "没有回答")) << feedback.result();
  EXPECT_EQ(os.openHandles, 0);

  // Exit while the start-up's query still hangs (the window shows after three seconds).
  FakeForm fresh;
  fresh.os.silentPipes = {0};
  fresh.os.onPump = [&](int n) {
    if (n == 3) fresh.form.click(ControlId::Command4);
  };
  fresh.os.onEnd = [&] {
    fresh.os.silentPipes.clear();
    fresh.os.reads = chunks({});
  };
  fresh.form.Form_Load();
  EXPECT_TRUE(fresh.shell.ended);
  EXPECT_EQ(fresh.os.ended, 1);
  EXPECT_EQ(fresh.os.openHandles, 0);
}

// ---- a press, from its checks to its command's end -------------------------------------------

// Start runs the prefix and the path, and its output shows in the box as it arrives. During its
// own flash the timer enables Start again; presses meanwhile are refused by the busy runner and
// change nothing of the running command, though a built-in button's empties the box.
TEST_F(FormTest, StartRunsPrefixAndPathShowsItsOutputLiveAndStaysUsableDuringItsOwnFlash) {
  startWithOnePhone();
  EXPECT_FALSE(controls.states[ControlId::Command1]);  // disabled before anything ran
  form.Timer1_Timer();
  EXPECT_FALSE(controls.states[ControlId::Command1]);
  controls.texts[ControlId::Combo1] = "C:\\img\\r.img";
  form.Timer1_Timer();
  EXPECT_TRUE(controls.states[ControlId::Command1]);

  // Pumps come before every read: of "Sending", "OKAY", "Finished" and the broken pipe.
  std::vector<bool> startEnabled;
  std::vector<std::string> seen;
  os.reads = chunks({"Sending", "OKAY", "Finished"});
  os.onPump = [&](int n) {
    startEnabled.push_back(controls.states[ControlId::Command1]);
    if (n == 2) form.Timer1_Timer();
    if (n == 3) {
      form.click(ControlId::Command1);
      EXPECT_TRUE(controls.states[ControlId::Command1]);
      form.click(ControlId::Command8);
    }
    seen.push_back(box());
  };
  controls.texts[ControlId::CMDTeXT] = "old\r\n";
  form.click(ControlId::Command1);
  EXPECT_EQ(startEnabled, (std::vector<bool>{false, false, true, true}));
  EXPECT_EQ(seen, (std::vector<std::string>{"old\r\n", "old\r\nSending\r\n", "", "Finished\r\n"}));
  EXPECT_EQ(box(), "Sending\r\nOKAY\r\nFinished\r\n\r\n");
  ASSERT_EQ(os.commandLines.size(), 1u);
  EXPECT_EQ(lastCommand(), "fastboot flash recovery C:\\img\\r.img");
  EXPECT_EQ(shell.journal.front(), "look C:\\img\\r.img");  // the image is looked at first
  EXPECT_EQ(feedback.progress, (std::vector<Progress>{Progress::running, Progress::none}));
  EXPECT_TRUE(controls.states[ControlId::Command1]);
  EXPECT_TRUE(controls.states[ControlId::Command8]);

  // The prefix is read afresh for every flash, and only the image is looked at. Output gathered
  // while appends are slow shows at the timer's tick, also while the command is silent.
  controls.onAppend = [this] { now += std::chrono::seconds(1); };
  os.reads = {
      {PipeState::data, "A", true}, {PipeState::data, "B", true}, {PipeState::empty, "", true}};
  std::string beforeTick;
  std::string afterTick;
  int pumps = 0;
  os.onPump = [&](int) {
    if (++pumps != 3) return;  // B has come and waits to be shown
    beforeTick = box();
    now += std::chrono::seconds(20);
    form.Timer1_Timer();
    afterTick = box();
  };
  controls.texts[ControlId::Text2] = "fastboot -w flash recovery ";
  form.click(ControlId::Command1);
  EXPECT_EQ(afterTick, beforeTick + "B\r\n");
  EXPECT_EQ(lastCommand(), "fastboot -w flash recovery C:\\img\\r.img");
  EXPECT_EQ(shell.looks.back().first, "C:\\img\\r.img");
  // A command that cannot start shows nothing.
  const std::string shown = box();
  os.startFails = true;
  form.click(ControlId::Command1);
  EXPECT_EQ(box(), shown);
  EXPECT_EQ(feedback.progress.back(), Progress::none);
  EXPECT_TRUE(controls.states[ControlId::Command1]);
}

TEST_F(FormTest, BuiltInButtonsClearTheBoxAndFlashTheImageBesideTheProgram) {
  startWithOnePhone();
  const std::vector<std::pair<ControlId, std::string>> buttons = {
      {ControlId::Command7, "RE\\recovery1.img"},
      {ControlId::Command8, "RE\\recovery2.img"},
      {ControlId::Command9, "RE\\recovery3.img"}};
  for (const auto& [button, image] : buttons) {
    controls.texts[ControlId::CMDTeXT] = "earlier output";
    bool disabledDuring = false;
    bool othersUsable = false;
    os.reads = chunks({"done"});
    os.onPump = [&](int) {
      disabledDuring = !controls.states[button];
      othersUsable = controls.states[ControlId::Command3] && controls.states[ControlId::Command4];
    };
    form.click(button);
    EXPECT_EQ(lastCommand(), "fastboot flash recovery " + image);
    EXPECT_EQ(box(), "done\r\n\r\n");
    EXPECT_TRUE(disabledDuring);
    EXPECT_TRUE(othersUsable);
    EXPECT_TRUE(controls.states[button]);
  }
  // A built-in image's path is checked like a chosen one's; when the client could not be given
  // it, the box keeps its output.
  const std::size_t commands = os.commandLines.size();
  shell.nonAnsiPaths["RE\\recovery2.img"] = "";
  const std::string before = box();
  form.click(ControlId::Command8);
  EXPECT_EQ(os.commandLines.size(), commands);
  EXPECT_EQ(box(), before);
  EXPECT_TRUE(contains(shell.boxes.back().prompt, "RE\\recovery2.img"));
  EXPECT_TRUE(controls.states[ControlId::Command8]);
}

// A command that writes to or starts a phone runs only on a list that is known and has not
// changed since it was taken; otherwise the list is asked for and waited for, with the window
// serviced meanwhile. What the checks stop runs nothing: the box keeps its text (not even a
// built-in button empties it) and the button is usable again at once.
TEST_F(FormTest, APressRunsOnlyOnAKnownListOfOnePhoneAndWhatTheChecksStopRunsNothing) {
  os.reads = chunks({kOnePhone});
  ASSERT_TRUE(form.Form_Load());
  controls.texts[ControlId::Combo1] = "a.img";
  form.devicesChanged();
  os.reads = chunks({kOnePhone});
  os.reads.push_back({PipeState::data, "Finished", true});  // the flash, once the list is taken
  form.click(ControlId::Command1);
  ASSERT_EQ(os.commandLines.size(), 3u);
  EXPECT_EQ(os.commandLines[1], os.commandLines[0]);
  EXPECT_EQ(lastCommand(), "fastboot flash recovery a.img");
  // Nothing changed since: the next press asks nothing.
  os.reads = chunks({"Finished"});
  form.click(ControlId::Command7);
  ASSERT_EQ(os.commandLines.size(), 4u);
  EXPECT_EQ(lastCommand(), "fastboot flash recovery RE\\recovery1.img");

  // A second phone connected: every flash button waits for the list, where presses of the flash
  // buttons and of the result panel's are refused, and stops.
  const std::string shown = box();
  form.devicesChanged();
  bool pressedMeanwhile = false;
  os.onPump = [&](int) {
    if (std::exchange(pressedMeanwhile, true)) return;
    for (const auto button : {ControlId::Command1, ControlId::Command9, ControlId::ResultAction}) {
      form.click(button);
    }
  };
  for (const auto button :
       {ControlId::Command1, ControlId::Command7, ControlId::Command8, ControlId::Command9}) {
    const std::size_t before = os.commandLines.size();
    os.reads = chunks({kTwoPhones});
    form.click(button);
    ASSERT_EQ(os.commandLines.size(), before + 1);
    EXPECT_EQ(lastCommand(), "fastboot devices");
    EXPECT_EQ(box(), shown);
    EXPECT_TRUE(controls.states[button]);
  }
  EXPECT_TRUE(pressedMeanwhile);
  EXPECT_EQ(shell.boxesTitled("连接了多部手机").size(), 4u);
  EXPECT_EQ(shell.boxes.size(), 4u);

  // An image that cannot be flashed, chosen or built in: the button never disables itself.
  os.onPump = nullptr;
  controls.texts[ControlId::Combo1] = "missing.img";
  shell.images.erase("RE\\recovery1.img");
  bool enabledDuringBoxes = true;
  shell.onBox = [&] {
    enabledDuringBoxes = enabledDuringBoxes && controls.states[ControlId::Command1] &&
                         controls.states[ControlId::Command7];
  };
  form.click(ControlId::Command1);
  form.click(ControlId::Command7);
  EXPECT_TRUE(enabledDuringBoxes);
  EXPECT_EQ(shell.boxesTitled("无法刷入").size(), 2u);
  EXPECT_EQ(box(), shown);
}

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
