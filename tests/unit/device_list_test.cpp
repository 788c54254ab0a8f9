// The device list: reading phones from the client's output, and the query that runs beside the
// window's commands without ever blocking it.

#include <gtest/gtest.h>

#include <chrono>

#include "fake_process.h"
#include "runner/MyCMD.h"
#include "runner/polled_command.h"
#include "window/outcome.h"

namespace quorlane {
namespace {

using testing::chunks;
using testing::FakeProcess;
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
    EXPECT_EQ(window::listedPhones(output), phones) << output;
    // The result panel counts the same phones as the flashes and the watch (where the client
    // reported no failure).
    if (output.find("error:") != std::string::npos) continue;
    const auto told = window::recogniseOutcome(window::CommandKind::deviceQuery, output, 0);
    EXPECT_EQ(told.kind, phones.empty()      ? window::Outcome::Kind::noPhone
                         : phones.size() > 1 ? window::Outcome::Kind::severalPhones
                                             : window::Outcome::Kind::none)
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

}  // namespace
}  // namespace quorlane
