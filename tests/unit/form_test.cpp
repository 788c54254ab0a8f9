#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <deque>
#include <utility>

#include "fake_form.h"
#include "fake_process.h"
#include "fake_window.h"
#include "window/Form1.h"
#include "window/command_text.h"

namespace quorlane::window {
namespace {

using testing::chunks;
using testing::FakeControls;
using testing::FakeProcess;
using testing::FakeShell;
using testing::FakeSkin;
using testing::PipeState;

constexpr const char* kCmd = R"(C:\windows\system32\cmd.exe /c ")";

class FormTest : public ::testing::Test {
 protected:
  FormTest() : form(controls, shell, skin, os, os) {
    // A second passes in each of the runner's pauses, so every piece of live output is due at
    // once unless a test makes appends slow.
    form.setClock([this] { return now; });
    os.onEachWait = [this] { now += std::chrono::seconds(1); };
    // Every image these tests flash is a boot image, so its check lets it through unasked.
    for (const char* image :
         {"a.img", "b.img", "x.img", "C:\\img\\r.img", "RE\\recovery1.img", "RE\\recovery2.img",
          "RE\\recovery3.img", "D:\\নতুন\\twrp.img", "D:\\img\\ok.img"}) {
      shell.addImage(image);
    }
    form.setFeedback(&feedback);
  }

  std::string box() { return controls.texts[ControlId::CMDTeXT]; }
  // The text the runner was asked to run, from the command line it formed.
  std::string lastCommand() const {
    const std::string& line = os.commandLines.back();
    return line.substr(std::string(kCmd).size(), line.size() - std::string(kCmd).size() - 1);
  }

  FakeControls controls;
  FakeShell shell;
  FakeSkin skin;
  FakeProcess os;
  testing::FakeFeedback feedback;
  Form1 form;
  Form1::Clock::time_point now{};
};

TEST_F(FormTest, LoadChecksComponentsAppliesSkinAndShowsTheDeviceList) {
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
  EXPECT_TRUE(shell.boxes.empty());
  EXPECT_FALSE(shell.ended);
  EXPECT_FALSE(form.runner().busy());

  // Without its components the program ends before it asks anything of a phone.
  testing::FakeForm missing;
  missing.shell.files.erase("C:\\Quorlane\\fastboot.exe");
  EXPECT_FALSE(missing.form.Form_Load());
  EXPECT_TRUE(missing.shell.ended);
  EXPECT_TRUE(missing.os.commandLines.empty());
}

TEST_F(FormTest, OutputOfEachCommandIsAppendedAndRefusalsAddNothing) {
  os.reads = chunks({"first"});
  form.Form_Load();
  controls.texts[ControlId::Combo1] = "a.img";
  os.reads = chunks({});
  form.click(ControlId::Command1);
  EXPECT_EQ(box(), "first\r\n\r\n\r\n");
  // Nothing to run: the prefix is empty, and an empty path is stopped by the image check.
  controls.texts[ControlId::Text2] = "";
  controls.texts[ControlId::Combo1] = "";
  form.click(ControlId::Command1);
  EXPECT_EQ(box(), "first\r\n\r\n\r\n");
  ASSERT_EQ(shell.boxes.size(), 1u);
  EXPECT_EQ(os.commandLines.size(), 2u);
  shell.boxes.clear();
  // The runner cannot start the interpreter: nothing is shown either.
  controls.texts[ControlId::Combo1] = "b.img";
  os.startFails = true;
  form.click(ControlId::Command1);
  EXPECT_EQ(box(), "first\r\n\r\n\r\n");
  EXPECT_TRUE(controls.states[ControlId::Command1]);
}

TEST_F(FormTest, StartRunsPrefixAndPathAndStaysUsableDuringItsOwnFlash) {
  testing::startWithOnePhone(form, os, controls, shell, &feedback);
  EXPECT_FALSE(controls.states[ControlId::Command1]);  // disabled before anything ran
  form.Timer1_Timer();
  EXPECT_FALSE(controls.states[ControlId::Command1]);
  controls.texts[ControlId::Combo1] = "C:\\img\\r.img";
  form.Timer1_Timer();
  EXPECT_TRUE(controls.states[ControlId::Command1]);

  // Pumps come before every read: before "Sending", before "OKAY", before the broken pipe.
  std::vector<bool> startEnabled;
  int pump = 0;
  os.reads = chunks({"Sending", "OKAY"});
  os.onPump = [&](int) {
    ++pump;
    startEnabled.push_back(controls.states[ControlId::Command1]);
    if (pump == 2) form.Timer1_Timer();  // the timer enables Start during its own flash
    if (pump == 3) {
      form.click(ControlId::Command1);  // refused, as the runner is busy, and enabled at once
      EXPECT_TRUE(controls.states[ControlId::Command1]);
    }
  };
  controls.texts[ControlId::CMDTeXT] = "old\r\n";
  form.click(ControlId::Command1);
  EXPECT_EQ(startEnabled, (std::vector<bool>{false, false, true}));
  ASSERT_EQ(os.commandLines.size(), 1u);
  EXPECT_EQ(lastCommand(), "fastboot flash recovery C:\\img\\r.img");
  EXPECT_EQ(box(), "old\r\nSending\r\nOKAY\r\n\r\n");  // appended, not cleared
  EXPECT_TRUE(controls.states[ControlId::Command1]);

  // The prefix is read afresh for every flash. Output gathered while appends are slow shows at
  // the timer's tick, also while the command is silent.
  controls.onAppend = [this] { now += std::chrono::seconds(1); };
  os.reads = {
      {PipeState::data, "A", true}, {PipeState::data, "B", true}, {PipeState::empty, "", true}};
  std::string beforeTick;
  std::string afterTick;
  pump = 0;
  os.onPump = [&](int) {
    if (++pump != 3) return;  // B has come and waits to be shown
    beforeTick = box();
    now += std::chrono::seconds(20);
    form.Timer1_Timer();
    afterTick = box();
  };
  controls.texts[ControlId::Text2] = "fastboot -w flash recovery ";
  form.click(ControlId::Command1);
  EXPECT_EQ(afterTick, beforeTick + "B\r\n");
  EXPECT_EQ(lastCommand(), "fastboot -w flash recovery C:\\img\\r.img");
}

TEST_F(FormTest, BuiltInButtonsClearTheBoxAndFlashTheImageBesideTheProgram) {
  testing::startWithOnePhone(form, os, controls, shell, &feedback);
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
}

TEST_F(FormTest, BuiltInPressedDuringStartEmptiesTheBoxAndTheRunningFlashFillsIt) {
  testing::startWithOnePhone(form, os, controls, shell, &feedback);
  controls.texts[ControlId::Combo1] = "C:\\img\\r.img";
  controls.texts[ControlId::CMDTeXT] = "devices\r\n";
  os.reads = chunks({"Sending", "Writing", "Finished"});
  os.onPump = [&](int n) {
    if (n == 2) form.click(ControlId::Command8);
  };
  form.click(ControlId::Command1);
  EXPECT_EQ(os.commandLines.size(), 1u);  // the built-in image was not started
  EXPECT_EQ(box(), "Sending\r\nWriting\r\nFinished\r\n\r\n");
  EXPECT_TRUE(controls.states[ControlId::Command8]);
}

TEST_F(FormTest, BuiltInImagesAreCheckedLikeAChosenFile) {
  testing::startWithOnePhone(form, os, controls, shell, &feedback);
  shell.nonAnsiPaths["RE\\recovery2.img"] = "";
  form.click(ControlId::Command8);
  EXPECT_TRUE(os.commandLines.empty());
  ASSERT_EQ(shell.boxes.size(), 1u);
  EXPECT_NE(shell.boxes[0].prompt.find("RE\\recovery2.img"), std::string::npos);
  EXPECT_TRUE(controls.states[ControlId::Command8]);
}

TEST_F(FormTest, EachCommandEndsWithItsResultAndAFlashWithoutRecoveryOffersAStartFromMemory) {
  // Start-up: no phone in the list.
  os.reads = chunks({});
  ASSERT_TRUE(form.Form_Load());
  EXPECT_NE(feedback.result().find("没有找到 FastBoot 模式的手机"), std::string::npos);
  // No flash to start from memory yet.
  form.click(ControlId::ResultAction);
  EXPECT_EQ(os.commandLines.size(), 1u);

  // A flash the phone refuses for want of the partition: the box keeps the client's words, the
  // panel says why and offers the button.
  const std::string path = "D:\\my img\\r.img";
  shell.addImage(path);
  controls.texts[ControlId::Combo1] = path;
  bool hiddenWhileRunning = false;
  os.onPump = [&](int) { hiddenWhileRunning = feedback.result().empty(); };
  os.reads = chunks({"Writing 'recovery'  FAILED (remote: 'partition does not exist')",
                     "fastboot: error: Command failed"});
  os.exitCodeResult = 1;
  form.click(ControlId::Command1);
  EXPECT_TRUE(hiddenWhileRunning);
  EXPECT_NE(box().find("FAILED (remote: 'partition does not exist')"), std::string::npos);
  EXPECT_NE(feedback.result().find("没有 recovery 分区"), std::string::npos) << feedback.result();
  EXPECT_NE(feedback.result().find("[从内存启动(&R)]"), std::string::npos);

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
  EXPECT_NE(feedback.result().find("正在从内存启动"), std::string::npos) << feedback.result();
}

TEST_F(FormTest, LiveOutputShowsChunksAndEndsAsTheCollectedText) {
  testing::startWithOnePhone(form, os, controls, shell, &feedback);
  std::vector<std::string> seen;
  os.reads = chunks({"Sending 'recovery'", "OKAY"});
  os.onPump = [&](int) { seen.push_back(box()); };
  controls.texts[ControlId::CMDTeXT] = "old\r\n";
  controls.texts[ControlId::Combo1] = "x.img";
  form.click(ControlId::Command1);
  EXPECT_EQ(seen, (std::vector<std::string>{"old\r\n", "old\r\nSending 'recovery'\r\n",
                                            "old\r\nSending 'recovery'\r\nOKAY\r\n"}));
  EXPECT_EQ(box(), "old\r\nSending 'recovery'\r\nOKAY\r\n\r\n");

  // A command that prints nothing adds only the runner's one CR LF.
  os.onPump = nullptr;
  os.reads = chunks({});
  form.click(ControlId::Command1);
  EXPECT_EQ(box(), "old\r\nSending 'recovery'\r\nOKAY\r\n\r\n\r\n");

  // A built-in button empties the box in the middle of a command: later chunks show in the
  // empty box, and at the end the whole output replaces them.
  seen.clear();
  int pump = 0;
  os.reads = chunks({"A", "B", "C"});
  os.onPump = [&](int) {
    if (++pump == 3) form.click(ControlId::Command9);
    seen.push_back(box());
  };
  form.click(ControlId::Command1);
  EXPECT_EQ(seen[2], "");
  EXPECT_EQ(seen[3], "C\r\n");
  EXPECT_EQ(box(), "A\r\nB\r\nC\r\n\r\n");
}

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
  EXPECT_NE(shell.boxes[1].prompt.find("系统找不到指定的文件。"), std::string::npos);
  EXPECT_FALSE(shell.ended);

  form.click(ControlId::Command4);
  EXPECT_TRUE(shell.ended);
  shell.ended = false;
  form.Form_Unload();
  EXPECT_TRUE(shell.ended);
  EXPECT_TRUE(os.commandLines.empty());
}

// ---- the device list -----------------------------------------------------------------------

const std::string kOnePhone = "AAA\tfastboot\r\n";
const std::string kTwoPhones = "AAA\tfastboot\r\nBBB\t fastboot\r\n";

class DeviceListTest : public FormTest {
 protected:
  // The timer ticking every 100 ms for that long, with what a running query has written by then
  // arriving between two ticks.
  void tickFor(std::chrono::milliseconds span) {
    const auto tick = [this] {
      while (!os.reads.empty() && os.deliverNext()) {
      }
      form.Timer1_Timer();
    };
    for (const auto end = now + span; now < end; now += std::chrono::milliseconds(100)) tick();
    tick();
  }
  // Scripted reads of one command after those of another.
  static std::deque<testing::ReadStep> then(std::deque<testing::ReadStep> first,
                                            const std::deque<testing::ReadStep>& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
  }
  // The warnings about several phones shown so far, and about a list that could not be known.
  std::vector<testing::Box> boxesTitled(const std::string& title) const {
    std::vector<testing::Box> found;
    for (const auto& b : shell.boxes) {
      if (b.title == title) found.push_back(b);
    }
    return found;
  }
  std::vector<testing::Box> warnings() const { return boxesTitled("连接了多部手机"); }
  std::vector<testing::Box> unknownListWarnings() const {
    return boxesTitled("无法确定连接的手机");
  }
};

TEST_F(DeviceListTest, SeveralPhonesStopEveryFlashNamingThemAndNothingRuns) {
  os.reads = chunks({kTwoPhones});
  ASSERT_TRUE(form.Form_Load());
  const std::string list = box();
  controls.texts[ControlId::Combo1] = "a.img";
  std::size_t warned = 0;
  for (const auto button :
       {ControlId::Command1, ControlId::Command7, ControlId::Command8, ControlId::Command9}) {
    const std::size_t before = os.commandLines.size();
    os.reads = chunks({kTwoPhones});  // asked again at the press: still two
    form.click(button);
    ASSERT_EQ(warnings().size(), ++warned);
    const auto warning = warnings().back();
    EXPECT_NE(warning.prompt.find("AAA\r\nBBB\r\n"), std::string::npos) << warning.prompt;
    EXPECT_NE(warning.prompt.find("只连接要刷入的那一部手机"), std::string::npos);
    EXPECT_EQ(warning.style, MessageStyle::warning);
    ASSERT_EQ(os.commandLines.size(), before + 1);
    EXPECT_EQ(lastCommand(), "fastboot devices");
    EXPECT_EQ(box(), list);  // not even a built-in button empties it
    EXPECT_TRUE(controls.states[button]);
  }
  // One of them has gone without the system saying so: the list asked for at the press shows
  // it, replaces the one in the box, and the flash runs.
  os.reads = then(chunks({kOnePhone}), chunks({"Finished"}));
  form.click(ControlId::Command1);
  EXPECT_EQ(warnings().size(), warned);
  EXPECT_EQ(lastCommand(), "fastboot flash recovery a.img");
  EXPECT_EQ(box(), kOnePhone + "\r\n\r\n" + "Finished\r\n\r\n");
}

// A command that writes to or starts a phone runs only on a list that is known and has not
// changed since it was taken. Otherwise the list is asked for and waited for, about three
// seconds at most; what cannot be known in that time runs nothing, and the user is told.
TEST_F(DeviceListTest, APressRunsOnlyOnAListKnownAndUnchangedSinceItWasTaken) {
  os.reads = chunks({kOnePhone});
  ASSERT_TRUE(form.Form_Load());
  controls.texts[ControlId::Combo1] = "a.img";
  const auto pressedAt = [&] { return now; };

  // The query asked for after a change hangs: the press gives up after three seconds and runs
  // nothing; the query is ended five seconds after it began.
  form.devicesChanged();
  os.silentPipes = {1};
  os.onPump = [&](int) { form.Timer1_Timer(); };
  auto pressed = pressedAt();
  form.click(ControlId::Command1);
  EXPECT_LE(now - pressed, std::chrono::seconds(4));
  ASSERT_EQ(os.commandLines.size(), 2u);
  EXPECT_EQ(lastCommand(), "fastboot devices");
  ASSERT_EQ(unknownListWarnings().size(), 1u);
  EXPECT_EQ(unknownListWarnings()[0].style, MessageStyle::warning);
  EXPECT_EQ(os.ended, 0);
  tickFor(std::chrono::seconds(2));
  EXPECT_EQ(os.ended, 1);

  // Unanswered once, it is asked for again at the next press, which runs on the answer.
  os.onPump = nullptr;
  os.reads = then(chunks({kOnePhone}), chunks({"Finished"}));
  form.click(ControlId::Command1);
  ASSERT_EQ(os.commandLines.size(), 4u);
  EXPECT_EQ(os.commandLines[2], os.commandLines[1]);
  EXPECT_EQ(lastCommand(), "fastboot flash recovery a.img");
  // Nothing changed since: the next press asks nothing.
  os.reads = chunks({"Finished"});
  form.click(ControlId::Command1);
  ASSERT_EQ(os.commandLines.size(), 5u);
  EXPECT_EQ(lastCommand(), "fastboot flash recovery a.img");

  // A phone rebooting into fastboot sends a burst of changes: while they keep coming, no list
  // is current, and the press runs nothing rather than the list before them.
  os.reads = {};
  form.devicesChanged();
  os.onPump = [&](int) {
    form.devicesChanged();
    form.Timer1_Timer();
  };
  form.click(ControlId::Command7);
  EXPECT_EQ(unknownListWarnings().size(), 2u);
  EXPECT_EQ(lastCommand(), "fastboot devices");
  EXPECT_TRUE(controls.states[ControlId::Command7]);

  // A box opened during the wait holds the press; once it closes, long after, the press is
  // dropped even though the list has come meanwhile.
  os.onPump = nullptr;
  tickFor(std::chrono::seconds(6));
  form.devicesChanged();
  os.reads = chunks({kOnePhone});
  bool opened = false;
  os.onPump = [&](int) {
    if (!std::exchange(opened, true)) form.click(ControlId::Command10);
  };
  shell.onBox = [&] { now += std::chrono::minutes(1); };
  const auto before = os.commandLines.size();
  form.click(ControlId::Command1);
  shell.onBox = nullptr;
  EXPECT_EQ(shell.boxes.end()[-2].title, "进入FastBoot方法");
  EXPECT_EQ(unknownListWarnings().size(), 3u);
  ASSERT_EQ(os.commandLines.size(), before + 1);
  EXPECT_EQ(lastCommand(), "fastboot devices");

  // A second phone connected just before the press: the flash waits for the list, with the
  // window serviced meanwhile (where presses of flash buttons are refused), and stops.
  form.devicesChanged();
  os.reads = chunks({kTwoPhones});
  int pumps = 0;
  os.onPump = [&](int) {
    ++pumps;
    form.click(ControlId::Command1);
    form.click(ControlId::Command9);
  };
  form.click(ControlId::Command1);
  EXPECT_GT(pumps, 0);
  EXPECT_EQ(warnings().size(), 1u);
  EXPECT_EQ(unknownListWarnings().size(), 3u);
  EXPECT_EQ(lastCommand(), "fastboot devices");
}

// The start-up's query ends like the watch's: after five seconds without an answer, with all it
// started; the panel says fastboot does not answer, and the watch goes on. Exit before that ends
// it too.
TEST_F(DeviceListTest, AStartUpQueryWithoutAnAnswerEndsAtItsLimitOrWithTheProgram) {
  os.silentPipes = {0};
  os.onPump = [&](int) { form.Timer1_Timer(); };
  // Ended, its pipe breaks.
  os.onEnd = [&] {
    os.silentPipes.clear();
    os.reads = chunks({});
  };
  ASSERT_TRUE(form.Form_Load());
  EXPECT_EQ(os.ended, 1);
  EXPECT_GE(now - Form1::Clock::time_point{}, PhoneList::kQueryLimit);
  EXPECT_LT(now - Form1::Clock::time_point{}, PhoneList::kQueryLimit + std::chrono::seconds(2));
  EXPECT_NE(feedback.result().find("没有回答"), std::string::npos) << feedback.result();
  EXPECT_EQ(os.openHandles, 0);

  // The list is unknown: a press asks for it, and runs on the answer.
  os.onPump = nullptr;
  controls.texts[ControlId::Combo1] = "a.img";
  os.reads = then(chunks({kOnePhone}), chunks({"Finished"}));
  form.click(ControlId::Command1);
  ASSERT_EQ(os.commandLines.size(), 3u);
  EXPECT_EQ(os.commandLines[1], os.commandLines[0]);
  EXPECT_EQ(lastCommand(), "fastboot flash recovery a.img");

  // Exit while the start-up's query still hangs (the window shows after three seconds).
  testing::FakeForm fresh;
  auto& [ctl, sh, sk, p, f] = fresh;
  p.silentPipes = {0};
  p.onPump = [&](int n) {
    if (n == 3) f.click(ControlId::Command4);
  };
  p.onEnd = [&] {
    p.silentPipes.clear();
    p.reads = chunks({});
  };
  f.Form_Load();
  EXPECT_TRUE(sh.ended);
  EXPECT_EQ(p.ended, 1);
  EXPECT_EQ(p.openHandles, 0);
}

TEST_F(DeviceListTest, AChangeDuringACommandIsTakenUpAfterItAndAQueryEndsWithTheProgram) {
  os.reads = chunks({kOnePhone});
  ASSERT_TRUE(form.Form_Load());
  controls.texts[ControlId::Combo1] = "a.img";
  os.reads = chunks({"Sending", "Writing", "Finished"});
  bool changed = false;
  os.onPump = [&](int) {
    if (!std::exchange(changed, true)) form.devicesChanged();
    form.Timer1_Timer();
  };
  form.click(ControlId::Command1);
  EXPECT_EQ(os.commandLines.size(), 2u);  // nothing asked while the flash ran
  const std::string flashed = box();
  os.onPump = nullptr;
  os.reads = chunks({kTwoPhones});
  form.Timer1_Timer();
  form.Timer1_Timer();
  ASSERT_EQ(os.commandLines.size(), 3u);
  EXPECT_EQ(lastCommand(), "fastboot devices");
  EXPECT_EQ(box(), flashed);

  // A query still running when the program ends is ended with it.
  form.devicesChanged();
  os.silentPipes = {3};
  tickFor(std::chrono::milliseconds(1100));
  ASSERT_EQ(os.commandLines.size(), 4u);
  form.Form_Unload();
  EXPECT_TRUE(shell.ended);
  EXPECT_EQ(os.ended, 1);
  EXPECT_EQ(os.openHandles, 0);
}

}  // namespace
}  // namespace quorlane::window
