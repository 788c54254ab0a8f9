// The look at an image before every flash, a wait for a phone that ends with the program, the hint
// while a command waits, and the command's result on the taskbar.

#include "window/flash_safety.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "fake_form.h"
#include "fake_process.h"
#include "fake_window.h"
#include "window/Form1.h"

namespace quorlane::window {
namespace {

using testing::chunks;
using testing::FakeControls;
using testing::FakeFeedback;
using testing::FakeProcess;
using testing::FakeShell;
using testing::FakeSkin;
using testing::PipeState;
using State = FileStart::State;

constexpr const char* kWaiting = "< waiting for any device >\r\n";
constexpr MessageStyle kAskStyle =
    MessageStyle::yesNo | MessageStyle::warning | MessageStyle::secondDefault;

bool contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

class FlashSafetyTest : public ::testing::Test {
 protected:
  FlashSafetyTest() : form(controls, shell, skin, os, os) {
    form.setClock([this] { return now; });
    os.onEachWait = [this] { now += std::chrono::seconds(1); };
    form.setFeedback(&feedback);
  }

  // Presses Start with `path` in Combo1; the box shows "before" and Start is enabled, as the
  // timer leaves it.
  void start(const std::string& path) {
    controls.texts[ControlId::Combo1] = path;
    controls.states[ControlId::Command1] = true;
    form.click(ControlId::Command1);
  }

  // A command that keeps waiting until the test lets it go: `looks` empty pipes after `first`.
  static std::deque<testing::ReadStep> waitingFor(int looks, const std::string& first = kWaiting) {
    std::deque<testing::ReadStep> steps{{PipeState::data, first, true}};
    for (int i = 0; i < looks; ++i) steps.push_back({PipeState::empty, "", true});
    steps.push_back({PipeState::broken, "", false});
    return steps;
  }

  FakeControls controls;
  FakeShell shell;
  FakeSkin skin;
  FakeProcess os;
  FakeFeedback feedback;
  Form1 form;
  Form1::Clock::time_point now{};
};

// ---- the image check ---------------------------------------------------------------------------

TEST_F(FlashSafetyTest, AValidImageIsFlashedWithoutAQuestionAndOnlyItsFirstBytesAreRead) {
  testing::startWithOnePhone(form, os, controls, shell, &feedback);
  shell.addImage("D:\\img\\twrp.img", "ANDROID!" + std::string(4096, 'x'));
  controls.texts[ControlId::CMDTeXT] = "before\r\n";
  start("D:\\img\\twrp.img");
  EXPECT_TRUE(shell.boxes.empty());
  ASSERT_EQ(os.commandLines.size(), 1u);
  ASSERT_EQ(shell.looks.size(), 1u);
  EXPECT_EQ(shell.looks[0].second, 8u);
  // The look comes first, before the command starts.
  EXPECT_EQ(shell.journal.front(), "look D:\\img\\twrp.img");
}

TEST_F(FlashSafetyTest, AnImageThatCannotBeFlashedIsNamedAndNothingRuns) {
  testing::startWithOnePhone(form, os, controls, shell, &feedback);
  struct Case {
    std::string name;
    FileStart found;  // state missing: no entry at all
    std::vector<std::string> said;
  };
  const std::string path = "D:\\下载\\twrp.img";
  const std::vector<Case> cases = {
      {"missing", {State::missing, "", ""}, {"找不到要刷入的镜像文件", path}},
      {"empty", {State::file, "", ""}, {"空的", path}},
      {"folder", {State::folder, "", ""}, {"文件夹", path}},
      {"unreadable", {State::unreadable, "", "拒绝访问。"}, {"无法读取", path, "拒绝访问。"}},
      {"not a file on a disk", {State::device, "", ""}, {"不是镜像文件", path}},
      {"locked", {State::locked, "", ""}, {"占用", path}},
      {"on a removed drive", {State::noDrive, "", ""}, {"驱动器不存在", "拔出", path}},
      {"first read blocks", {State::timedOut, "", ""}, {"超时", path}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    testing::FakeForm fresh;
    auto& [ctl, sh, sk, p, f] = fresh;
    if (c.name != "missing") sh.images[path] = c.found;
    ctl.texts[ControlId::Combo1] = path;
    ctl.texts[ControlId::CMDTeXT] = "devices\r\n";
    ctl.states[ControlId::Command1] = true;
    bool startEnabledDuringBox = false;
    sh.onBox = [&] { startEnabledDuringBox = ctl.states[ControlId::Command1]; };
    f.click(ControlId::Command1);
    ASSERT_EQ(sh.boxes.size(), 1u);
    for (const auto& part : c.said) EXPECT_TRUE(contains(sh.boxes[0].prompt, part)) << part;
    EXPECT_EQ(sh.boxes[0].style, MessageStyle::warning);
    EXPECT_EQ(sh.boxes[0].title, "无法刷入");
    EXPECT_TRUE(p.commandLines.empty());
    // Start never disabled itself, and the box kept its text.
    EXPECT_TRUE(startEnabledDuringBox);
    EXPECT_TRUE(ctl.states[ControlId::Command1]);
    EXPECT_EQ(ctl.texts[ControlId::CMDTeXT], "devices\r\n");
  }
}

TEST_F(FlashSafetyTest, ThePathIsLookedAtAsTheToolWouldOpenItAndThePrefixIsNot) {
  testing::startWithOnePhone(form, os, controls, shell, &feedback);
  shell.addImage("C:\\img\\a b.img");
  controls.texts[ControlId::Text2] = "fastboot flash boot ";
  start("\"C:\\img\\a b.img\"");  // pasted with its quotes
  EXPECT_TRUE(shell.boxes.empty());
  EXPECT_EQ(shell.looks.back().first, "C:\\img\\a b.img");
  ASSERT_EQ(os.commandLines.size(), 1u);

  // An empty path names no file at all.
  start("");
  ASSERT_EQ(shell.boxes.size(), 1u);
  EXPECT_TRUE(contains(shell.boxes[0].prompt, "还没有选择"));
  EXPECT_EQ(os.commandLines.size(), 1u);
}

TEST_F(FlashSafetyTest, ABuiltInImageThatFailsSaysWhereToPutItAndLeavesTheBoxAsItWas) {
  testing::startWithOnePhone(form, os, controls, shell, &feedback);
  const std::vector<std::pair<ControlId, std::string>> buttons = {
      {ControlId::Command7, "recovery1.img"},
      {ControlId::Command8, "recovery2.img"},
      {ControlId::Command9, "recovery3.img"}};
  for (const auto& [button, name] : buttons) {
    SCOPED_TRACE(name);
    shell.boxes.clear();
    controls.texts[ControlId::CMDTeXT] = "0123456789ABCDEF\tfastboot\r\n";
    form.click(button);
    ASSERT_EQ(shell.boxes.size(), 1u);
    const std::string& prompt = shell.boxes[0].prompt;
    EXPECT_TRUE(contains(prompt, "C:\\Quorlane\\RE\\" + name)) << prompt;
    EXPECT_TRUE(contains(prompt, "RE 文件夹")) << prompt;
    EXPECT_TRUE(contains(prompt, "命名为 " + name)) << prompt;
    EXPECT_TRUE(contains(prompt, "手机的型号")) << prompt;
    EXPECT_EQ(shell.boxes[0].style, MessageStyle::warning);
    EXPECT_EQ(shell.looks.back().first, "RE\\" + name);  // as the command would open it
    EXPECT_EQ(controls.texts[ControlId::CMDTeXT], "0123456789ABCDEF\tfastboot\r\n");
    EXPECT_TRUE(controls.states[button]);
  }
  EXPECT_TRUE(os.commandLines.empty());

  // A built-in that is no boot image is asked about like any other; No keeps the box too.
  shell.addImage("RE\\recovery2.img", "PK\x03\x04....");
  form.click(ControlId::Command8);
  EXPECT_EQ(shell.boxes.back().style, kAskStyle);
  EXPECT_EQ(controls.texts[ControlId::CMDTeXT], "0123456789ABCDEF\tfastboot\r\n");
  shell.answers = {Answer::yes};
  os.reads = chunks({"done"});
  form.click(ControlId::Command8);
  EXPECT_EQ(controls.texts[ControlId::CMDTeXT], "done\r\n\r\n");
}

// ---- a wait for a phone
// --------------------------------------------------------------------------

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

TEST_F(FlashSafetyTest, ExitEndsACommandThatWaitsForAPhoneAndKeepsOneThatSends) {
  testing::startWithOnePhone(form, os, controls, shell, &feedback);
  shell.addImage("x.img");
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
    testing::FakeForm fresh;
    auto& [ctl, sh, sk, p, f] = fresh;
    testing::startWithOnePhone(f, p, ctl, sh);
    sh.addImage("x.img");
    std::deque<testing::ReadStep> steps;
    for (const auto& piece : c.output) steps.push_back({PipeState::data, piece, true});
    for (int i = 0; i < 5; ++i) steps.push_back({PipeState::empty, "", true});
    steps.push_back({PipeState::broken, "", false});
    p.reads = steps;
    int pumps = 0;
    const int exitAt = static_cast<int>(c.output.size()) + 2;
    p.onPump = [&](int) {
      if (++pumps != exitAt) return;
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

  // With no command running there is nothing to end.
  form.click(ControlId::Command4);
  EXPECT_EQ(os.ended, 0);
  EXPECT_TRUE(shell.ended);
}

// ---- the hint
// --------------------------------------------------------------------------------------

TEST_F(FlashSafetyTest, TheHintShowsWhileTheCommandWaitsAndGoesWhenTheOutputMovesOn) {
  testing::startWithOnePhone(form, os, controls, shell, &feedback);
  shell.addImage("x.img");
  std::vector<bool> shown;
  std::string boxDuringHint;
  os.reads = {{PipeState::data, kWaiting, true},
              {PipeState::empty, "", true},
              {PipeState::data, "Sending 'recovery' (4 KB)", true},
              {PipeState::data, "   OKAY [  0.100s]\r\nFinished.\r\n", true},
              {PipeState::broken, "", false}};
  os.onPump = [&](int) {
    shown.push_back(feedback.hintShown());
    if (feedback.hintShown()) boxDuringHint = controls.texts[ControlId::CMDTeXT];
  };
  controls.texts[ControlId::CMDTeXT] = "devices\r\n";
  start("x.img");
  // Pumps before the reads of: the wait, an empty look, Sending, OKAY, the broken pipe.
  EXPECT_EQ(shown, (std::vector<bool>{false, true, true, false, false}));
  // Shown once, hidden once; the box's text is the output and nothing else.
  ASSERT_EQ(feedback.hints.size(), 2u);
  EXPECT_TRUE(contains(feedback.hints[0], "等待手机"));
  EXPECT_TRUE(contains(feedback.hints[0], "FastBoot"));
  EXPECT_TRUE(contains(feedback.hints[0], "数据线"));
  EXPECT_TRUE(contains(feedback.hints[0], "USB 驱动"));
  EXPECT_TRUE(contains(feedback.hints[0], "退出"));
  EXPECT_EQ(feedback.hints[1], "");
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

  // A command that ends while it waits takes its hint with it.
  os.onPump = nullptr;
  os.reads = chunks({kWaiting});
  start("x.img");
  ASSERT_EQ(feedback.hints.size(), 4u);
  EXPECT_NE(feedback.hints[2], "");
  EXPECT_EQ(feedback.hints[3], "");
}

// ---- the result on the taskbar -----------------------------------------------------------------

TEST_F(FlashSafetyTest, TheTaskbarShowsProgressWhileACommandRunsAndAnErrorWhenItFails) {
  testing::startWithOnePhone(form, os, controls, shell, &feedback);
  shell.addImage("x.img");
  std::vector<Progress> during;
  os.onPump = [&](int) { during.push_back(feedback.progress.back()); };
  os.exitCodeResult = 0;
  os.reads = chunks({"OKAY"});
  start("x.img");
  EXPECT_EQ(during, (std::vector<Progress>{Progress::running, Progress::running}));
  EXPECT_EQ(feedback.progress, (std::vector<Progress>{Progress::running, Progress::none}));

  os.onPump = nullptr;
  os.exitCodeResult = 1;
  os.reads = chunks({"FAILED"});
  start("x.img");
  EXPECT_EQ(feedback.progress.back(), Progress::failed);
  // The error stays until the window is clicked or brought to the front ...
  form.Timer1_Timer();
  EXPECT_EQ(feedback.progress.back(), Progress::failed);
  form.Form_Activate();
  EXPECT_EQ(feedback.progress.back(), Progress::none);
  const std::size_t settled = feedback.progress.size();
  form.Form_Activate();  // nothing more to clear
  EXPECT_EQ(feedback.progress.size(), settled);

  // ... or the next command starts.
  os.reads = chunks({"FAILED"});
  start("x.img");
  os.exitCodeResult = 0;
  os.reads = chunks({"OKAY"});
  start("x.img");
  EXPECT_EQ(feedback.progress.back(), Progress::none);
  EXPECT_EQ(feedback.progress[feedback.progress.size() - 2], Progress::running);

  // A client that crashed in the middle (an access violation's code, 0xC0000005, negative as a
  // 32-bit code) failed too, and what it printed before stays in the box.
  os.exitCodeResult = -1073741819L;
  os.reads = chunks({"Sending 'recovery' (4 KB)   OKAY\r\n", "Writing 'recovery'"});
  start("x.img");
  EXPECT_EQ(feedback.progress.back(), Progress::failed);
  EXPECT_TRUE(contains(controls.texts[ControlId::CMDTeXT], "OKAY\r\n\r\nWriting 'recovery'"));

  // A code that could not be read claims no failure.
  os.exitCodeResult = std::nullopt;
  os.reads = chunks({"?"});
  start("x.img");
  EXPECT_EQ(feedback.progress.back(), Progress::none);

  // A command that could not start shows nothing; one refused while busy changes nothing.
  os.startFails = true;
  start("x.img");
  EXPECT_EQ(feedback.progress.back(), Progress::none);
  os.startFails = false;
  const std::size_t before = feedback.progress.size();
  os.reads = chunks({"A", "B"});
  os.onPump = [&](int n) {
    if (n == 1) form.click(ControlId::Command1);  // refused: the runner is busy
  };
  start("x.img");
  EXPECT_EQ(feedback.progress.size(), before + 2);  // running, then the result: nothing between
}

}  // namespace
}  // namespace quorlane::window
