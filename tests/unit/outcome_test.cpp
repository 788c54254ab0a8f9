// What a command came to, from what the client printed: transcripts of Google's client (29.0.6,
// against the network phone refusing with each message) and of older clients' lowercase forms.

#include "window/outcome.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace quorlane::window {
namespace {

using OutcomeKind = Outcome::Kind;
using enum CommandKind;

struct Transcript {
  const char* name;
  CommandKind command;
  std::string output;
  std::optional<long> exitCode;
  OutcomeKind expected;
  std::string detail;    // the failure line or file the panel quotes, if any
  std::string panelHas;  // a part of the panel's text
  bool button = false;   // whether the panel offers its button
};

const std::string kRefused =
    "Sending 'recovery' (8 KB)                          OKAY [  0.000s]\r\n"
    "Writing 'recovery'                                 FAILED (remote: '";
const std::string kCommandFailed = "')\r\nfastboot: error: Command failed\r\n";

// clang-format off
const Transcript kTranscripts[] = {
    {"Flashed", flash,
     "Sending 'recovery' (8 KB)                          OKAY [  0.003s]\r\n"
     "Writing 'recovery'                                 OKAY [  0.001s]\r\n"
     "Finished. Total time: 0.004s\r\n", 0, OutcomeKind::flashed, "", "刷入成功"},
    // An informational line of the phone raises nothing by itself; an unread exit code claims
    // nothing.
    {"FlashedWithPhoneInfoAndNoExitCode", flash,
     "(bootloader) partition recovery not found in cache, looking up\r\n"
     "Sending 'recovery' (8 KB) OKAY [ 0.003s]\r\nWriting 'recovery' OKAY [ 0.001s]\r\n"
     "Finished. Total time: 0.004s\r\n", std::nullopt, OutcomeKind::flashed, "", "音量加"},
    {"FlashedOldClient", flash,
     "target reported max download size of 536870912 bytes\r\nsending 'recovery' (8 KB)...\r\n"
     "OKAY [  0.003s]\r\nwriting 'recovery'...\r\nOKAY [  0.001s]\r\n"
     "finished. total time: 0.004s\r\n", 0, OutcomeKind::flashed, "", "刷入成功"},
    {"OutputWithoutAnEndSaysNothing", flash, "Sending 'recovery' (8 KB) OKAY [ 0.003s]\r\n", 0,
     OutcomeKind::none, "", ""},

    {"NoPartition", flash, kRefused + "partition does not exist" + kCommandFailed, 1,
     OutcomeKind::noRecoveryPartition, "", "没有 recovery 分区", true},
    // Older clients print "finished" even after a failure, and no quotes.
    {"NoPartitionOldClient", flash,
     "sending 'recovery' (8 KB)...\r\nOKAY [  0.000s]\r\nwriting 'recovery'...\r\n"
     "FAILED (remote: Partition Not Found)\r\nfinished. total time: 0.100s\r\n", 1,
     OutcomeKind::noRecoveryPartition, "", "从内存启动", true},
    {"NoPartitionInUpperCase", flash, kRefused + "INVALID PARTITION NAME RECOVERY" + kCommandFailed,
     1, OutcomeKind::noRecoveryPartition, "", "vendor_boot", true},
    {"NoSlotAnswer", flash, "fastboot: error: Could not check if partition recovery has slot all\r\n",
     1, OutcomeKind::noRecoveryPartition, "", "什么也没有写入", true},

    {"LockedAtWrite", flash, kRefused + "Flashing is not allowed in Lock State" + kCommandFailed, 1,
     OutcomeKind::locked, "", "已上锁"},
    {"LockedAtDownload", flash,
     "Sending 'recovery' (8 KB)                          FAILED (remote: 'download is not "
     "allowed on locked devices')\r\nfastboot: error: Command failed\r\n", 1, OutcomeKind::locked, "",
     "清除手机上的全部数据"},
    {"LockedOldClient", flash, "writing 'recovery'...\r\nFAILED (remote: not allowed in locked state)\r\n",
     1, OutcomeKind::locked, "", "已上锁"},

    {"TooLarge", flash,
     "Sending 'recovery' (8 KB)                          FAILED (remote: 'requested download "
     "size is more than max allowed')\r\nfastboot: error: Command failed\r\n", 1, OutcomeKind::tooLarge, "",
     "别的机型"},
    {"TooLargeOldClient", flash, "sending 'recovery' (8 KB)...\r\nFAILED (remote: data too large)\r\n",
     1, OutcomeKind::tooLarge, "", "放不进"},

    {"ConnectionBroke", flash,
     "Sending 'recovery' (43712 KB)                      FAILED (Status read failed (Too many "
     "links))\r\nfastboot: error: Command failed\r\n", 1, OutcomeKind::connectionBroke, "", "换一根数据线"},
    {"ConnectionBrokeOldClient", flash,
     "sending 'recovery' (43712 KB)...\r\nFAILED (command write failed (No such device))\r\n", 1,
     OutcomeKind::connectionBroke, "", "集线器"},

    {"ImageNotOpened", flash, "fastboot: error: cannot load 'nosuch.img': No such file or directory\r\n",
     1, OutcomeKind::imageNotOpened, "nosuch.img", "打不开镜像文件：nosuch.img"},
    // The file's name decides nothing, whatever words it holds.
    {"ImageNotOpenedNamedLikeAnotherFailure", flash,
     "error: cannot load 'C:\\too large.img'\r\n", 1, OutcomeKind::imageNotOpened, "C:\\too large.img",
     "C:\\too large.img"},

    {"Booted", boot,
     "Sending 'boot.img' (8 KB)                          OKAY [  0.003s]\r\n"
     "Booting                                            OKAY [  0.000s]\r\n"
     "Finished. Total time: 0.003s\r\n", 0, OutcomeKind::booted, "", "从内存启动这个 Recovery"},
    {"BootedOldClient", boot,
     "downloading 'boot.img'...\r\nOKAY [  0.100s]\r\nbooting...\r\nOKAY [  0.000s]\r\n", 0,
     OutcomeKind::booted, "", "什么也没有写入"},
    {"CannotBoot", boot,
     "Sending 'boot.img' (8 KB)                          OKAY [  0.000s]\r\n"
     "Booting                                            FAILED (remote: 'unknown command')\r\n"
     "fastboot: error: Command failed\r\n", 1, OutcomeKind::cannotBoot, "", "不能从电脑启动镜像"},
    {"BootRefusedAsLocked", boot, "booting...\r\nFAILED (remote: Device is locked)\r\n", 1,
     OutcomeKind::locked, "", "已上锁"},
    // An unknown command is a failure like any other when it answers a flash.
    {"UnknownCommandAtAFlash", flash, kRefused + "unknown command" + kCommandFailed, 1,
     OutcomeKind::otherFailure, "Writing 'recovery' FAILED (remote: 'unknown command')", "刷入没有完成"},

    {"OtherFailureQuotesTheClientsLine", flash, kRefused + "oem error 7" + kCommandFailed, 1,
     OutcomeKind::otherFailure, "Writing 'recovery' FAILED (remote: 'oem error 7')",
     "fastboot 报告：\r\nWriting 'recovery' FAILED (remote: 'oem error 7')"},
    {"ExitCodeAloneIsAFailure", flash,
     "'fastboot' is not recognized as an internal or external command.\r\n", 1, OutcomeKind::otherFailure,
     "'fastboot' is not recognized as an internal or external command.", "刷入没有完成"},
    {"BootFailure", boot, "fastboot: error: Command failed\r\n", 1, OutcomeKind::otherFailure,
     "fastboot: error: Command failed", "从内存启动没有完成"},

    {"OnePhone", deviceQuery, "0123456789ABCDEF\tfastboot\r\n", 0, OutcomeKind::none, "", ""},
    {"OnePhoneWithoutSerial", deviceQuery, "????????????\t fastboot\r\n", 0, OutcomeKind::none, "", ""},
    {"NoPhone", deviceQuery, "", 0, OutcomeKind::noPhone, "", "设备管理器"},
    {"SeveralPhones", deviceQuery, "0123456789ABCDEF\tfastboot\r\nQUORLANE0002\t fastboot\r\n", 0,
     OutcomeKind::severalPhones, "", "连接了 2 部 FastBoot 模式的手机：0123456789ABCDEF、QUORLANE0002。"},
    {"DeviceQueryFailed", deviceQuery, "", 1, OutcomeKind::otherFailure, "",
     "查找手机没有完成。fastboot 没有说明原因。"},
};
// clang-format on

void PrintTo(const Transcript& t, std::ostream* out) {
  *out << t.name;
}

class OutcomeTest : public ::testing::TestWithParam<Transcript> {};

TEST_P(OutcomeTest, IsRecognisedAndTold) {
  const Transcript& t = GetParam();
  const Outcome outcome = recogniseOutcome(t.command, t.output, t.exitCode);
  EXPECT_EQ(outcome.kind, t.expected);
  EXPECT_EQ(outcome.detail, t.detail);
  const auto panel = resultPanel(outcome, t.command);
  ASSERT_EQ(panel.has_value(), t.expected != OutcomeKind::none);
  if (!panel) return;
  EXPECT_NE(panel->text.find(t.panelHas), std::string::npos) << panel->text;
  EXPECT_EQ(!panel->button.empty(), t.button);
}

INSTANTIATE_TEST_SUITE_P(Transcripts, OutcomeTest, ::testing::ValuesIn(kTranscripts),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quorlane::window
