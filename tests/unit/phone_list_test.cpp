// The device list: the phones in the client's output, the query that runs beside the window's
// commands without ever blocking it, and the list the window keeps current with it.

#include "window/phone_list.h"

#include <gtest/gtest.h>

#include <chrono>

#include "fake_process.h"
#include "phone_list_fixture.h"
#include "runner/MyCMD.h"
#include "runner/polled_command.h"
#include "window/outcome.h"

namespace quorlane::window {
namespace {

using testing::chunks;
using testing::contains;
using testing::FakeProcess;
using testing::kOnePhone;
using testing::kTwoPhones;
using testing::PhoneListTest;
using testing::PipeState;
using testing::ReadStep;
using namespace std::chrono_literals;

TEST(ListedPhones, OneLineAPhoneInEveryClientsFormOtherLinesAreNot) {
  const std::vector<std::pair<std::string, std::vector<std::string>>> cases = {
      {"", {}},
      {"\r\n", {}},
      {"0123456789ABCDEF\tfastboot\r\n", {"0123456789ABCDEF"}},
      {"AAA\tfastboot\nBBB\tfastboot", {"AAA", "BBB"}},          // LF only, no end on the last line
      {"AAA\t fastboot\r\nBBB\t fastboot\r\n", {"AAA", "BBB"}},  // newer clients
      {"????????????\tfastboot\r\n????????????\tfastboot\r\n", {"????????????", "????????????"}},
      {"< waiting for any device >\r\nfastboot: error: no devices\r\n", {}},
      {"\tfastboot\r\nAAA fastboot\r\nAAA\tfastbootd-x\r\nAAA\tdevice\r\n", {}},
  };
  for (const auto& [output, phones] : cases) {
    EXPECT_EQ(listedPhones(output), phones) << output;
    // The result panel counts the same phones as the flashes and the watch (where the client
    // reported no failure).
    if (output.find("error:") != std::string::npos) continue;
    const auto told = recogniseOutcome(CommandKind::deviceQuery, output, 0);
    EXPECT_EQ(told.kind, phones.empty()      ? Outcome::Kind::noPhone
                         : phones.size() > 1 ? Outcome::Kind::severalPhones
                                             : Outcome::Kind::none)
        << output;
    if (phones.size() > 1) {
      EXPECT_EQ(told.serials, phones) << output;
    }
  }
}

TEST(PolledCommand, CollectsWhatMyCmdCollectsFromTheSameReadsAndTheSameCommandLine) {
  // Two reads, a read of nothing, and a two-byte character cut by a read boundary.
  const auto script = [] {
    return std::deque<ReadStep>{{PipeState::data, "AAA\tfastboot\r\n\x81", true},
                                {PipeState::empty, "", true},
                                {PipeState::data, "\x82", true},
                                {PipeState::data, "", true},
                                {PipeState::broken, "", false}};
  };
  FakeProcess runnerOs;
  runnerOs.reads = script();
  MyCMD runner(runnerOs, runnerOs);
  std::string collected;
  runner.执行完毕 = [&](const std::string& text, bool) { collected = text; };
  runner.执行命令("fastboot devices");

  FakeProcess os;
  os.reads = script();
  PolledCommand command(os);
  const PolledCommand::Clock::time_point now{};
  ASSERT_TRUE(command.start("fastboot devices", now, 5s));
  EXPECT_EQ(os.commandLines, runnerOs.commandLines);
  // The reads arrive through the window's messages; a look before the last has come finds the
  // command still running.
  ASSERT_TRUE(os.deliverNext());
  ASSERT_TRUE(os.deliverNext());
  EXPECT_FALSE(command.poll(now).has_value());
  while (!os.reads.empty()) ASSERT_TRUE(os.deliverNext());
  const auto outcome = command.poll(now);
  ASSERT_TRUE(outcome.has_value());
  EXPECT_TRUE(outcome->complete);
  EXPECT_EQ(outcome->collected, collected);
  EXPECT_EQ(outcome->written, "AAA\tfastboot\r\n<8182>");
  EXPECT_FALSE(command.running());
  EXPECT_EQ(os.openHandles, 0);
  EXPECT_EQ(os.ended, 0);
}

TEST(PolledCommand, OneThatNeverEndsIsEndedAtItsLimitWithEverythingItStarted) {
  FakeProcess os;
  os.silentPipes = {0};
  PolledCommand command(os);
  const PolledCommand::Clock::time_point now{};
  ASSERT_TRUE(command.start("fastboot devices", now, 5s));
  EXPECT_FALSE(command.start("fastboot devices", now, 5s));  // one at a time
  EXPECT_FALSE(os.deliverNext());                            // nothing ever arrives
  EXPECT_FALSE(command.poll(now + 4999ms).has_value());
  EXPECT_EQ(os.ended, 0);
  const auto outcome = command.poll(now + 5s);
  ASSERT_TRUE(outcome.has_value());
  EXPECT_FALSE(outcome->complete);
  EXPECT_EQ(os.ended, 1);
  EXPECT_EQ(os.openHandles, 0);
  EXPECT_FALSE(command.running());

  // Ended as well when its owner goes first.
  {
    PolledCommand owner(os);
    ASSERT_TRUE(owner.start("fastboot devices", now, 5s));
  }
  EXPECT_EQ(os.ended, 2);
  EXPECT_EQ(os.openHandles, 0);
}

TEST(PolledCommand, OneThatCannotStartOrBeReadLeavesNothingOpenOrRunning) {
  for (const int failing : {0, 1, 2}) {
    FakeProcess os;
    os.pipeFails = failing == 0;
    os.startFails = failing == 1;
    os.readingFails = failing == 2;
    PolledCommand command(os);
    EXPECT_FALSE(command.start("fastboot devices", {}, 5s));
    EXPECT_FALSE(command.running());
    EXPECT_EQ(os.openHandles, 0);
    EXPECT_EQ(os.ended, failing == 2 ? 1 : 0);  // started but unreadable: ended, not left
  }
}

// ---- the list kept current ---------------------------------------------------------------------

TEST_F(PhoneListTest, ChangesAreAskedForOnceTheySettleWhileNoCommandRunsOneQueryAtATime) {
  // Changes come in a burst while a phone connects: the list is asked for once they settle.
  phones.changed();
  now += 800ms;
  phones.tick();
  phones.changed();
  now += PhoneList::kSettle - 1ms;
  phones.tick();
  EXPECT_TRUE(os.commandLines.empty());
  EXPECT_TRUE(phones.pending());
  now += 1ms;
  os.reads = chunks({kOnePhone});
  phones.tick();
  ASSERT_EQ(os.commandLines.size(), 1u);
  tickFor(100ms);
  EXPECT_FALSE(phones.pending());
  EXPECT_EQ(phones.phones(), std::vector<std::string>{"AAA"});

  // A change while a command runs is asked for after it.
  runnerOs.reads = chunks({"Sending", "Writing"});
  runnerOs.onPump = [&](int n) {
    if (n == 1) phones.changed();
    tickFor(1500ms);
  };
  runner.执行命令("fastboot flash recovery a.img");
  EXPECT_EQ(os.commandLines.size(), 1u);
  os.reads = chunks({kTwoPhones});
  tickFor(100ms);
  EXPECT_EQ(os.commandLines.size(), 2u);
  EXPECT_EQ(phones.phones()->size(), 2u);

  // Asked for now: at once, without waiting for changes to settle, and not again while it runs.
  phones.changed();
  phones.askNow();
  phones.tick();
  EXPECT_EQ(os.commandLines.size(), 3u);
  phones.askNow();
  os.reads = chunks({kTwoPhones});
  tickFor(2s);
  EXPECT_EQ(os.commandLines.size(), 3u);

  // One that does not answer is ended at its limit with all it started; the list before it stays.
  phones.changed();
  os.silenceNextPipe();
  now += PhoneList::kSettle;
  phones.tick();
  ASSERT_EQ(os.commandLines.size(), 4u);
  now += PhoneList::kQueryLimit - 1ms;
  phones.tick();
  EXPECT_EQ(os.ended, 0);
  now += 1ms;
  phones.tick();
  EXPECT_EQ(os.ended, 1);
  EXPECT_EQ(os.openHandles, 0);
  EXPECT_FALSE(phones.pending());
  EXPECT_EQ(phones.phones()->size(), 2u);
}

// Only a list taken since the last device came or went tells which phone a command would reach.
TEST_F(PhoneListTest, AListIsCurrentWhileNoDeviceHasComeOrGoneSinceItsQueryBegan) {
  EXPECT_FALSE(phones.phones());
  EXPECT_FALSE(phones.current());
  startedWith(kOnePhone);
  EXPECT_TRUE(phones.current());
  phones.changed();
  EXPECT_FALSE(phones.current());
  // A change while the query runs: its answer is taken but is not current; the next one's is.
  now += PhoneList::kSettle;
  phones.tick();
  phones.changed();
  os.reads = chunks({kTwoPhones});
  tickFor(100ms);
  EXPECT_EQ(phones.phones()->size(), 2u);
  EXPECT_FALSE(phones.current());
  os.reads = chunks({kOnePhone});
  tickFor(1100ms);
  EXPECT_EQ(phones.phones()->size(), 1u);
  EXPECT_TRUE(phones.current());
}

// The start-up's list belongs to the changes seen when its query began. The query is overdue at
// its limit after it began, however long the window took to be built meanwhile; it then counts as
// unanswered, and what it wrote is no list.
TEST_F(PhoneListTest, TheStartUpsQueryGivesTheFirstListOrIsOverdueAtItsLimit) {
  phones.startupQueryBegins();
  phones.changed();
  phones.startupQueryRuns();
  phones.startupQueryEnded(kOnePhone);
  EXPECT_EQ(phones.phones(), std::vector<std::string>{"AAA"});
  EXPECT_FALSE(phones.current());

  PhoneList unanswered(os, runner, controls, feedback, clock);
  unanswered.startupQueryBegins();
  now += 3s;
  unanswered.startupQueryRuns();
  now += PhoneList::kQueryLimit - 3s - 1ms;
  EXPECT_FALSE(unanswered.startupQueryOverdue());
  now += 1ms;
  EXPECT_TRUE(unanswered.startupQueryOverdue());
  EXPECT_FALSE(unanswered.startupQueryOverdue());  // once
  EXPECT_TRUE(unanswered.startupQueryUnanswered());
  unanswered.startupQueryEnded(kOnePhone);
  EXPECT_FALSE(unanswered.phones());
}

// While the box shows a device list and nothing else, a newer list replaces it there, and a
// panel about the list follows it. Anything else in the box stays, and so does its panel.
TEST_F(PhoneListTest, ANewListReplacesOnlyABoxThatShowsJustAListAndItsPanelFollows) {
  startedWith(kTwoPhones);
  feedback.deviceList(
      deviceListOutcome(*phones.phones()));  // the start-up's panel, shown at its query's end
  const auto answers = [&](const std::string& list) {
    phones.changed();
    os.reads = list.empty() ? chunks({}) : chunks({list});
    tickFor(1500ms);
  };
  answers(kOnePhone);
  EXPECT_EQ(box(), kOnePhone + "\r\n\r\n");  // as the start-up shows it
  EXPECT_EQ(shown.result(), "");
  answers("");
  EXPECT_EQ(box(), "\r\n");
  EXPECT_TRUE(contains(shown.result(), "没有找到")) << shown.result();

  feedback.started(CommandKind::flash, std::nullopt);
  feedback.ended(Outcome{Outcome::Kind::flashed, {}, {}, {}}, 0);
  box() += "Finished\r\n\r\n";
  const std::string flashed = box();
  answers(kTwoPhones);
  EXPECT_EQ(phones.phones()->size(), 2u);
  EXPECT_EQ(box(), flashed);
  EXPECT_TRUE(contains(shown.result(), "刷入成功")) << shown.result();
}

// Every list taken asks each of its phones, and the phone the environment names, for what it says
// of itself, one client at a time and never beside the device query. The panel then names the
// one phone, or the models beside several serials; a change forgets the answers of the list
// before.
TEST_F(PhoneListTest, EachListedPhoneIsAskedWhatItSaysOfItselfAndThePanelNamesIt) {
  os.factsAnswer = "product: sunfish\r\nunlocked: yes\r\nFinished. Total time: 0.1s\r\n";
  startedWith(kOnePhone);
  feedback.deviceList(deviceListOutcome(*phones.phones()));
  EXPECT_TRUE(phones.factsPending());
  tickFor(200ms);
  ASSERT_EQ(os.factsLines.size(), 1u);
  EXPECT_FALSE(phones.factsPending());
  EXPECT_EQ(phones.target(), std::optional<std::string>("AAA"));
  ASSERT_TRUE(phones.targetFacts());
  EXPECT_TRUE(contains(shown.result(), "sunfish")) << shown.result();
  EXPECT_TRUE(contains(shown.result(), "已解锁")) << shown.result();

  phones.changed();
  EXPECT_FALSE(phones.targetFacts());
  os.reads = chunks({kTwoPhones});
  tickFor(1500ms);
  EXPECT_EQ(os.factsLines.size(), 3u);
  EXPECT_EQ(phones.target(), std::nullopt);
  EXPECT_TRUE(contains(shown.result(), "AAA（sunfish）、BBB（sunfish）")) << shown.result();

  // A query of the list is never held up by one asking a phone: a change ends that one.
  os.factsHang = true;
  phones.changed();
  os.reads = chunks({kOnePhone});
  tickFor(1500ms);
  EXPECT_EQ(os.factsLines.size(), 4u);
  EXPECT_TRUE(phones.factsPending());
  phones.changed();
  EXPECT_EQ(os.factsEnded, 1);
  EXPECT_FALSE(phones.factsPending());
  os.factsHang = false;

  // The phone the environment names is asked without naming it: the client reaches it itself.
  os.environmentValues["ANDROID_SERIAL"] = "tcp:127.0.0.1:5554";
  os.reads = chunks({""});
  tickFor(1500ms);
  EXPECT_EQ(phones.target(), std::optional<std::string>("tcp:127.0.0.1:5554"));
  ASSERT_EQ(os.factsLines.size(), 5u);
  EXPECT_EQ(os.factsLines.back().find(" -s "), std::string::npos) << os.factsLines.back();
  EXPECT_TRUE(phones.targetFacts());
}

}  // namespace
}  // namespace quorlane::window
