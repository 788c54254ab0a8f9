#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <memory>
#include <optional>

#include "fake_process.h"
#include "runner/MyCMD.h"

namespace quorlane {
namespace {

using testing::chunks;
using testing::FakeProcess;
using testing::PipeState;

struct Events {
  std::vector<std::pair<std::string, std::int32_t>> errors;
  std::vector<std::string> finished;
  std::vector<std::string> chunks;
};

class RunnerTest : public ::testing::Test {
 protected:
  RunnerTest() : cmd(os, os) { listen(cmd, events); }

  static void listen(MyCMD& runner, Events& into) {
    runner.Error = [&into](std::string& text, std::int32_t& code) {
      into.errors.emplace_back(text, code);
    };
    runner.执行完毕 = [&into](const std::string& text, bool done) {
      EXPECT_TRUE(done);
      into.finished.push_back(text);
    };
    runner.收到输出 = [&into](const std::string& text) { into.chunks.push_back(text); };
  }

  std::size_t count(const std::string& entry) const {
    return static_cast<std::size_t>(std::count(os.journal.begin(), os.journal.end(), entry));
  }

  FakeProcess os;
  MyCMD cmd;
  Events events;
};

TEST_F(RunnerTest, EmptyCommandIsRefusedBeforeAnythingStartsAlsoWhileBusy) {
  cmd.执行命令("");
  ASSERT_EQ(events.errors.size(), 1u);
  EXPECT_EQ(events.errors[0].first, "请先输入命令");
  EXPECT_EQ(events.errors[0].second, 16);
  EXPECT_TRUE(os.journal.empty());

  // The same refusal, not the busy one, while another command runs.
  os.reads = chunks({"x"});
  os.onPump = [&](int n) {
    if (n == 1) cmd.执行命令("");
  };
  cmd.执行命令("fastboot devices");
  ASSERT_EQ(events.errors.size(), 2u);
  EXPECT_EQ(events.errors[1].first, "请先输入命令");
  EXPECT_EQ(events.finished.size(), 1u);
}

TEST_F(RunnerTest, SecondCommandFromInsideThePumpIsRefusedAsBusyAndTheFirstEndsNormally) {
  os.reads = chunks({"A", "B"});
  os.onPump = [&](int n) {
    if (n == 2) {
      EXPECT_TRUE(cmd.busy());
      cmd.执行命令("fastboot flash recovery x.img");
    }
  };
  cmd.执行命令("fastboot devices");
  ASSERT_EQ(events.errors.size(), 1u);
  EXPECT_EQ(events.errors[0].first, "系统正忙请稍候..");
  EXPECT_EQ(events.errors[0].second, 1201);
  ASSERT_EQ(events.finished.size(), 1u);
  EXPECT_EQ(events.finished[0], "A\r\nB\r\n\r\n");
  EXPECT_EQ(os.commandLines.size(), 1u);
  EXPECT_FALSE(cmd.busy());
}

TEST_F(RunnerTest, CollectedTextGetsACrLfAfterEveryChunkAndOneAtTheEnd) {
  struct Case {
    std::deque<testing::ReadStep> reads;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {chunks({}), "\r\n"},                      // no output at all
      {chunks({"abc\r\n"}), "abc\r\n\r\n\r\n"},  // one read holding a whole line
      {chunks({"A", "B"}), "A\r\nB\r\n\r\n"},    // a line cut by a read boundary
      {chunks({"", "x"}), "\r\nx\r\n\r\n"},      // a successful read of zero bytes
  };
  for (const auto& c : cases) {
    events = {};
    os.reads = c.reads;
    cmd.执行命令("fastboot devices");
    ASSERT_EQ(events.finished.size(), 1u);
    EXPECT_EQ(events.finished[0], c.expected);
    EXPECT_TRUE(events.errors.empty());
    EXPECT_FALSE(cmd.busy());
  }
}

TEST_F(RunnerTest, CommandLineIsComSpecSlashCAndTheCommandInOnePairOfQuotes) {
  cmd.执行命令("fastboot devices");
  cmd.执行命令(R"(echo "a b" c)");
  os.comSpec = std::nullopt;
  cmd.执行命令("fastboot devices");
  os.comSpec = std::string("C:\\Program Files\\Shell\\cmd.exe");
  cmd.执行命令("fastboot devices");
  ASSERT_EQ(os.commandLines.size(), 4u);
  EXPECT_EQ(os.commandLines[0], R"(C:\windows\system32\cmd.exe /c "fastboot devices")");
  EXPECT_EQ(os.commandLines[1], R"(C:\windows\system32\cmd.exe /c "echo "a b" c")");
  EXPECT_EQ(os.commandLines[2], R"( /c "fastboot devices")");
  // A blank in the interpreter's path would make the platform try C:\Program.exe first.
  EXPECT_EQ(os.commandLines[3], R"("C:\Program Files\Shell\cmd.exe" /c "fastboot devices")");
}

TEST_F(RunnerTest, PipeFailureReportsErrorAndLeavesTheRunnerIdle) {
  os.pipeFails = true;
  cmd.执行命令("fastboot devices");
  ASSERT_EQ(events.errors.size(), 1u);
  EXPECT_EQ(events.errors[0], std::make_pair(std::string("错误"), 16));
  EXPECT_TRUE(events.finished.empty());
  EXPECT_TRUE(os.commandLines.empty());
  EXPECT_FALSE(cmd.busy());
}

TEST_F(RunnerTest, StartFailureClosesBothEndsAndLeavesTheRunnerIdle) {
  os.startFails = true;
  bool busyInHandler = true;
  cmd.Error = [&](std::string& text, std::int32_t& code) {
    busyInHandler = cmd.busy();
    events.errors.emplace_back(text, code);
  };
  cmd.执行命令("fastboot devices");
  ASSERT_EQ(events.errors.size(), 1u);
  EXPECT_EQ(events.errors[0], std::make_pair(std::string("错误"), 16));
  EXPECT_FALSE(busyInHandler);
  EXPECT_TRUE(events.finished.empty());
  EXPECT_EQ(count("close read"), 1u);
  EXPECT_EQ(count("close write"), 1u);
  EXPECT_EQ(os.openHandles, 0);
  EXPECT_EQ(count("read"), 0u);
}

TEST_F(RunnerTest, ExitCodeIsReadAfterThePipeBrokeAndKnownInTheCompletionEvent) {
  std::vector<std::optional<long>> seen;
  cmd.执行完毕 = [&](const std::string& text, bool) {
    events.finished.push_back(text);
    seen.push_back(cmd.exitCode());
  };
  for (const std::optional<long> code :
       {std::optional<long>(1), std::optional<long>(0), std::optional<long>(std::nullopt)}) {
    os.exitCodeResult = code;
    os.reads = chunks({"fastboot: error: Command failed\r\n"});
    cmd.执行命令("fastboot flash recovery x.img");
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back(), code);
  }
  // The output is what it always was; the code is an extra.
  EXPECT_EQ(events.finished.back(), "fastboot: error: Command failed\r\n\r\n\r\n");
  // Not before the last read failed and the reading stopped, and never waited for in any other
  // way.
  const auto at = std::find(os.journal.begin(), os.journal.end(), "exit code process 200");
  ASSERT_NE(at, os.journal.end());
  EXPECT_EQ(*(at - 1), "stop reading");
  EXPECT_EQ(*(at - 2), "read failed");
  EXPECT_EQ(count("exit code process 200"), 3u);

  // A command that could not be started has no code, not the one of the command before.
  os.exitCodeResult = 0;
  os.reads = chunks({});
  cmd.执行命令("fastboot devices");
  ASSERT_TRUE(cmd.exitCode().has_value());
  os.startFails = true;
  cmd.执行命令("fastboot devices");
  EXPECT_FALSE(cmd.exitCode().has_value());
}

TEST_F(RunnerTest, EndCommandEndsTheRunningCommandWithItsJobAndNothingOtherwise) {
  cmd.endCommand();  // nothing runs
  EXPECT_EQ(os.ended, 0);

  // Ending it breaks the pipe: the command ends with its completion event as always.
  os.reads = {{PipeState::data, "< waiting for any device >\r\n", true},
              {PipeState::empty, "", true},
              {PipeState::empty, "", true},
              {PipeState::empty, "", true}};
  int pumps = 0;
  os.onPump = [&](int) {
    if (++pumps == 3) cmd.endCommand();  // on the third look, while the command waits
  };
  os.onEnd = [&] { os.reads = chunks({}); };
  cmd.执行命令("fastboot flash recovery x.img");
  EXPECT_EQ(os.ended, 1);
  EXPECT_EQ(count("end process job"), 1u);
  ASSERT_EQ(events.finished.size(), 1u);
  EXPECT_EQ(events.finished[0], "< waiting for any device >\r\n\r\n\r\n");
  EXPECT_EQ(os.openHandles, 0);  // the job is closed with the command's other handles

  // Without a job the platform is still asked to end the command, by its process.
  os.giveJob = false;
  pumps = 0;
  os.onEnd = [&] { os.reads = chunks({}); };
  os.reads = {{PipeState::data, "< waiting for any device >\r\n", true},
              {PipeState::empty, "", true},
              {PipeState::empty, "", true}};
  cmd.执行命令("fastboot flash recovery x.img");
  EXPECT_EQ(count("end process none"), 1u);
  EXPECT_EQ(os.openHandles, 0);

  // Once it has ended, there is nothing left to end.
  os.onPump = nullptr;
  cmd.endCommand();
  EXPECT_EQ(os.ended, 2);
}

// Of the order of the steps, what matters is how the handles go: the reading stops before any is
// closed, the process and thread before the read end, and the job last.
TEST_F(RunnerTest, HandlesAreClosedAfterTheReadingStopsAndTheJobLast) {
  os.reads = chunks({"A"});
  cmd.执行命令("fastboot devices");
  std::vector<std::string> closing;
  std::copy_if(os.journal.begin(), os.journal.end(), std::back_inserter(closing),
               [](const std::string& step) {
                 return step.rfind("close ", 0) == 0 || step == "stop reading";
               });
  EXPECT_EQ(closing, (std::vector<std::string>{"close write", "stop reading", "close process",
                                               "close thread", "close read", "close job"}));
  EXPECT_EQ(os.openHandles, 0);
}

// A command started ahead is taken over by the next run of the same command, which reads all it
// wrote from the start; any other command, or the runner's end, ends it first.
TEST_F(RunnerTest, ACommandStartedAheadIsTakenOverByTheSameCommandOnlyAndEndedOtherwise) {
  os.reads = chunks({"serial\tfastboot"});
  cmd.startAhead("fastboot devices");
  EXPECT_EQ(count("start write"), 1u);
  EXPECT_EQ(count("start reading read every 10"), 0u) << "nothing is read before the run";
  EXPECT_EQ(os.openHandles, 4);  // the read end, the process, its thread and its job
  cmd.执行命令("fastboot devices");
  EXPECT_EQ(os.commandLines.size(), 1u) << "started once";
  ASSERT_EQ(events.finished.size(), 1u);
  EXPECT_EQ(events.finished[0], "serial\tfastboot\r\n\r\n");
  EXPECT_EQ(os.openHandles, 0);

  // Another command ends and closes the one started ahead before it starts.
  cmd.startAhead("fastboot devices");
  os.journal.clear();
  os.reads = chunks({"OKAY"});
  cmd.执行命令("fastboot reboot");
  ASSERT_GE(os.journal.size(), 2u);
  EXPECT_EQ(os.journal[0], "end process job");
  EXPECT_EQ(os.commandLines.size(), 3u);
  EXPECT_NE(os.commandLines.back().find("reboot"), std::string::npos);
  EXPECT_EQ(os.openHandles, 0);

  // So does the runner's end; a start that fails leaves nothing behind.
  {
    MyCMD other(os, os);
    other.startAhead("fastboot devices");
    EXPECT_GT(os.openHandles, 0);
  }
  EXPECT_EQ(count("end process job"), 2u);
  EXPECT_EQ(os.openHandles, 0);
  os.startFails = true;
  cmd.startAhead("fastboot devices");
  EXPECT_EQ(os.openHandles, 0);
  // The run that follows tries again and reports the failure as always.
  cmd.执行命令("fastboot devices");
  ASSERT_EQ(events.errors.size(), 1u);
  EXPECT_EQ(events.errors[0].first, "错误");
}

TEST_F(RunnerTest, SilentCommandKeepsServicingTheWindowUntilItEnds) {
  os.reads = {{PipeState::empty, "", true},
              {PipeState::empty, "", true},
              {PipeState::empty, "", true},
              {PipeState::data, "late", true},
              {PipeState::broken, "", false}};
  int pumpsWhileSilent = 0;
  os.onPump = [&](int) {
    if (events.chunks.empty()) ++pumpsWhileSilent;
  };
  cmd.执行命令("fastboot devices");
  EXPECT_EQ(pumpsWhileSilent, 4);
  ASSERT_EQ(events.finished.size(), 1u);
  EXPECT_EQ(events.finished[0], "late\r\n\r\n");
}

// A message box or a dialog opened by a handler during a command runs its own loop, which
// delivers the reads: the output goes on arriving, and the command ends with its completion
// event only when 执行命令's own loop sees it again, with everything collected in order.
TEST_F(RunnerTest, ReadsDeliveredByAModalLoopInsideAHandlerAreCollectedInOrder) {
  os.reads = chunks({"A", "\xb0",
                     "\xa1"
                     "B",
                     "C"});
  std::vector<std::string> chunksInModal;
  os.onPump = [&](int n) {
    if (n != 2) return;
    // The modal loop: it runs until the command has ended, dispatching every read.
    while (!os.reads.empty()) os.deliverNext();
    chunksInModal = events.chunks;
    EXPECT_TRUE(events.finished.empty());
    EXPECT_TRUE(cmd.busy());
  };
  cmd.执行命令("fastboot flash recovery x.img");
  EXPECT_EQ(chunksInModal, (std::vector<std::string>{"A", "", "<b0a1>B", "C"}));
  ASSERT_EQ(events.finished.size(), 1u);
  EXPECT_EQ(events.finished[0], "A\r\n\r\n<b0a1>B\r\nC\r\n\r\n");
  EXPECT_EQ(os.openHandles, 0);
  EXPECT_FALSE(cmd.busy());
}

TEST_F(RunnerTest, AReadingThatCannotStartEndsTheCommandAndReportsTheFailure) {
  os.readingFails = true;
  cmd.执行命令("fastboot devices");
  EXPECT_EQ(count("end process job"), 1u);
  ASSERT_EQ(events.errors.size(), 1u);
  EXPECT_EQ(events.errors[0], std::make_pair(std::string("错误"), 16));
  EXPECT_TRUE(events.finished.empty());
  EXPECT_EQ(os.openHandles, 0);
  EXPECT_FALSE(cmd.busy());
}

// Whether a command ends with the program is set on its job only when it changes, only while
// it runs, and every command starts without.
TEST_F(RunnerTest, EndingWithTheProgramIsSetOnTheRunningCommandsJobWhenItChanges) {
  cmd.endWithProgram(true);  // nothing runs
  os.reads = chunks({"a", "b", "c", "d"});
  os.onPump = [&](int n) {
    const bool wanted[] = {false, true, true, false, true};
    if (n <= 5) cmd.endWithProgram(wanted[n - 1]);
  };
  cmd.执行命令("fastboot flash recovery x.img");
  os.onPump = nullptr;
  os.reads = chunks({});
  cmd.执行命令("fastboot devices");
  std::vector<std::string> settings;
  for (const auto& entry : os.journal) {
    if (entry.find("program") != std::string::npos) settings.push_back(entry);
  }
  EXPECT_EQ(settings, (std::vector<std::string>{"end with program job", "outlive program job",
                                                "end with program job"}));

  // Set to start so, a command is set at its start, before anything of it runs, and a change
  // to what it already is sets nothing.
  cmd.startEndingWithProgram(true);
  os.journal.clear();
  os.onPump = [&](int) { cmd.endWithProgram(true); };
  cmd.执行命令("fastboot flash recovery x.img");
  const auto started = std::find(os.journal.begin(), os.journal.end(), "start write");
  ASSERT_NE(started, os.journal.end());
  EXPECT_EQ(*std::next(started), "end with program job");
  EXPECT_EQ(std::count(os.journal.begin(), os.journal.end(), "end with program job"), 1);
}

TEST_F(RunnerTest, FinishedHandlerMayStartTheNextCommandOnTheSameRunner) {
  int runs = 0;
  cmd.执行完毕 = [&](const std::string& text, bool) {
    events.finished.push_back(text);
    EXPECT_FALSE(cmd.busy());
    if (++runs == 1) {
      os.reads = chunks({"second"});
      cmd.执行命令("fastboot devices");
    }
  };
  os.reads = chunks({"first"});
  cmd.执行命令("fastboot devices");
  ASSERT_EQ(events.finished.size(), 2u);
  EXPECT_EQ(events.finished[0], "first\r\n\r\n");
  EXPECT_EQ(events.finished[1], "second\r\n\r\n");
  EXPECT_TRUE(events.errors.empty());
  EXPECT_EQ(os.openHandles, 0);
}

TEST_F(RunnerTest, RunOnASecondRunnerNestsInsideThePump) {
  FakeProcess inner;
  MyCMD other(inner, inner);
  Events otherEvents;
  listen(other, otherEvents);
  inner.reads = chunks({"inner"});
  os.reads = chunks({"outer1", "outer2"});
  os.onPump = [&](int n) {
    if (n == 2) {
      other.执行命令("fastboot devices");
      // The nested command has ended before the outer loop goes on.
      EXPECT_EQ(otherEvents.finished.size(), 1u);
      EXPECT_TRUE(events.finished.empty());
    }
  };
  cmd.执行命令("fastboot devices");
  EXPECT_EQ(otherEvents.finished, std::vector<std::string>{"inner\r\n\r\n"});
  EXPECT_EQ(events.finished, std::vector<std::string>{"outer1\r\nouter2\r\n\r\n"});
}

TEST_F(RunnerTest, TwoByteCharacterSplitAcrossReadsIsDecodedWhole) {
  // "\xb0\xa1" and "\xc4\xe3" are two-byte characters; the first read ends on a lead byte.
  os.reads = chunks({"a\xb0\xa1\xc4", "\xe3z"});
  cmd.执行命令("x");
  ASSERT_EQ(events.finished.size(), 1u);
  EXPECT_EQ(events.finished[0], "a<b0a1>\r\n<c4e3>z\r\n\r\n");
  EXPECT_EQ(events.chunks, (std::vector<std::string>{"a<b0a1>", "<c4e3>z"}));

  // A trail byte that falls in the lead-byte range is not taken for a lead byte.
  events = {};
  os.reads = chunks({"\xb0\xb0", "b"});
  cmd.执行命令("x");
  EXPECT_EQ(events.finished[0], "<b0b0>\r\nb\r\n\r\n");

  // A lead byte that never gets its second byte is decoded as it stands, at the end.
  events = {};
  os.reads = chunks({"a\xb0"});
  cmd.执行命令("x");
  EXPECT_EQ(events.finished[0], "a\r\n?\r\n");

  // A read that holds only the lead byte still gets its CR LF.
  events = {};
  os.reads = chunks({"\xb0", "\xa1"});
  cmd.执行命令("x");
  EXPECT_EQ(events.finished[0], "\r\n<b0a1>\r\n\r\n");
}

TEST_F(RunnerTest, ChunkEventComesBeforeTheChunkIsCollected) {
  std::vector<std::string> seen;
  os.reads = chunks({"A", "", "B"});
  cmd.收到输出 = [&](const std::string& chunk) { seen.push_back(chunk); };
  cmd.执行命令("x");
  EXPECT_EQ(seen, (std::vector<std::string>{"A", "", "B"}));
  EXPECT_EQ(events.finished[0], "A\r\n\r\nB\r\n\r\n");
}

TEST_F(RunnerTest, HandlerThatThrowsInsideThePumpLeavesNothingOpenAndTheRunnerIdle) {
  os.reads = chunks({"A", "B"});
  os.onPump = [](int n) {
    if (n == 2) throw std::runtime_error("handler failed");
  };
  EXPECT_THROW(cmd.执行命令("x"), std::runtime_error);
  EXPECT_FALSE(cmd.busy());
  EXPECT_EQ(os.openHandles, 0);
  EXPECT_TRUE(events.finished.empty());
}

}  // namespace
}  // namespace quorlane
