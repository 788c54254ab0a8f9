// The window as a whole: each event handed to the part whose job it is, and what only the whole
// shows: the start-up, and a press from its checks to its command's end with its live output.
// Each part's own rules are tested on the part.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <utility>

#include "form_fixture.h"

namespace quorlane::window {
namespace {

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

}  // namespace
}  // namespace quorlane::window
