// What a command came to, from what the client printed and the interpreter's exit code:
// transcripts of Google's client (29.0.6, against the network phone refusing with each message,
// or printing what the phone says with --info), of older clients' lowercase forms, and of a
// client that could not run.

#include "window/outcome.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

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
  std::string detail;                     // the failure line or file the panel quotes, if any
  std::string panelHas;                   // a part of the panel's text
  std::vector<CommandKind> buttons = {};  // what the panel's buttons run
};

const std::vector<CommandKind> kBootButton = {boot};
const std::vector<CommandKind> kRestartButtons = {rebootRecovery, reboot};

const std::string kRefused =
    "Sending 'recovery' (8 KB)                          OKAY [  0.000s]\r\n"
    "Writing 'recovery'                                 FAILED (remote: '";
const std::string kCommandFailed = "')\r\nfastboot: error: Command failed\r\n";

// clang-format off
const Transcript kTranscripts[] = {
    {"Flashed", flash,
     "Sending 'recovery' (8 KB)                          OKAY [  0.003s]\r\n"
     "Writing 'recovery'                                 OKAY [  0.001s]\r\n"
     "Finished. Total time: 0.004s\r\n", 0, OutcomeKind::flashed, "", "刷入成功", kRestartButtons},
    // An informational line of the phone raises nothing by itself; an unread exit code claims
    // nothing.
    {"FlashedWithPhoneInfoAndNoExitCode", flash,
     "(bootloader) partition recovery not found in cache, looking up\r\n"
     "Sending 'recovery' (8 KB) OKAY [ 0.003s]\r\nWriting 'recovery' OKAY [ 0.001s]\r\n"
     "Finished. Total time: 0.004s\r\n", std::nullopt, OutcomeKind::flashed, "", "重启进入 Recovery",
     kRestartButtons},
    {"FlashedOldClient", flash,
     "target reported max download size of 536870912 bytes\r\nsending 'recovery' (8 KB)...\r\n"
     "OKAY [  0.003s]\r\nwriting 'recovery'...\r\nOKAY [  0.001s]\r\n"
     "finished. total time: 0.004s\r\n", 0, OutcomeKind::flashed, "", "刷入成功", kRestartButtons},
    {"OutputWithoutAnEndSaysNothing", flash, "Sending 'recovery' (8 KB) OKAY [ 0.003s]\r\n", 0,
     OutcomeKind::none, "", ""},

    {"NoPartition", flash, kRefused + "partition does not exist" + kCommandFailed, 1,
     OutcomeKind::noRecoveryPartition, "", "没有 recovery 分区", kBootButton},
    // Older clients print "finished" even after a failure, and no quotes.
    {"NoPartitionOldClient", flash,
     "sending 'recovery' (8 KB)...\r\nOKAY [  0.000s]\r\nwriting 'recovery'...\r\n"
     "FAILED (remote: Partition Not Found)\r\nfinished. total time: 0.100s\r\n", 1,
     OutcomeKind::noRecoveryPartition, "", "手机给出的原因：Partition Not Found", kBootButton},
    {"NoPartitionInUpperCase", flash, kRefused + "INVALID PARTITION NAME RECOVERY" + kCommandFailed,
     1, OutcomeKind::noRecoveryPartition, "", "vendor_boot", kBootButton},
    {"NoSlotAnswer", flash, "fastboot: error: Could not check if partition recovery has slot all\r\n",
     1, OutcomeKind::noRecoveryPartition, "", "什么也没有写入", kBootButton},
    {"NoPartitionTable", flash, kRefused + "partition table doesn't exist" + kCommandFailed, 1,
     OutcomeKind::noRecoveryPartition, "", "临时启动", kBootButton},
    {"NoPartitionLengthHuawei", flash, kRefused + "partition length get error" + kCommandFailed, 1,
     OutcomeKind::noRecoveryPartition, "", "原因：partition length get error", kBootButton},
    // fastbootd names a missing partition like a missing file; the client's own words for a
    // missing file stay what they are (ImageNotOpened below).
    {"NoPartitionFastbootd", flash, kRefused + "No such file or directory" + kCommandFailed, 1,
     OutcomeKind::noRecoveryPartition, "", "没有 recovery 分区", kBootButton},

    {"LockedAtWrite", flash, kRefused + "Flashing is not allowed in Lock State" + kCommandFailed, 1,
     OutcomeKind::locked, "", "未解锁"},
    {"LockedHuawei", flash, kRefused + "Command not allowed" + kCommandFailed, 1, OutcomeKind::locked,
     "", "手机给出的原因：Command not allowed"},
    {"LockedFlag", flash,
     kRefused + "Flashing Lock Flag is locked. Please unlock it first!" + kCommandFailed, 1,
     OutcomeKind::locked, "", "Please unlock it first!"},
    {"LockedAtDownloadUnlockFirst", flash,
     "Sending 'recovery' (8 KB)                          FAILED (remote: 'unlock device to use this "
     "command')\r\nfastboot: error: Command failed\r\n", 1, OutcomeKind::locked, "", "解锁会清除"},
    {"LockedAtDownload", flash,
     "Sending 'recovery' (8 KB)                          FAILED (remote: 'download is not "
     "allowed on locked devices')\r\nfastboot: error: Command failed\r\n", 1, OutcomeKind::locked, "",
     "清除手机上的全部数据"},
    {"LockedOldClient", flash, "writing 'recovery'...\r\nFAILED (remote: not allowed in locked state)\r\n",
     1, OutcomeKind::locked, "", "未解锁"},

    {"TooLarge", flash,
     "Sending 'recovery' (8 KB)                          FAILED (remote: 'requested download "
     "size is more than max allowed')\r\nfastboot: error: Command failed\r\n", 1, OutcomeKind::tooLarge, "",
     "不是给这个机型用的"},
    {"TooLargeVolumeFull", flash, kRefused + "Volume Full" + kCommandFailed, 1, OutcomeKind::tooLarge,
     "", "放不进"},
    {"TooLargeOldClient", flash, "sending 'recovery' (8 KB)...\r\nFAILED (remote: data too large)\r\n",
     1, OutcomeKind::tooLarge, "", "放不进"},

    {"ConnectionBroke", flash,
     "Sending 'recovery' (43712 KB)                      FAILED (Status read failed (Too many "
     "links))\r\nfastboot: error: Command failed\r\n", 1, OutcomeKind::connectionBroke, "", "换一根数据线"},
    {"ConnectionBrokeOldClient", flash,
     "sending 'recovery' (43712 KB)...\r\nFAILED (command write failed (No such device))\r\n", 1,
     OutcomeKind::connectionBroke, "", "集线器"},
    {"ConnectionBrokeNotAllWritten", flash,
     "Sending 'recovery' (43712 KB)                      FAILED (Failed to write all 44761088 "
     "bytes)\r\nfastboot: error: Command failed\r\n", 1, OutcomeKind::connectionBroke, "", "USB 连接断开"},
    {"ConnectionBrokeUsbWriteOldClient", flash,
     "sending 'recovery' (43712 KB)...\r\nFAILED (usb_write failed)\r\n", 1,
     OutcomeKind::connectionBroke, "", "扩展坞"},

    {"ImageNotOpened", flash, "fastboot: error: cannot load 'nosuch.img': No such file or directory\r\n",
     1, OutcomeKind::imageNotOpened, "nosuch.img", "打不开镜像文件：nosuch.img"},
    // The file's name decides nothing, whatever words it holds.
    {"ImageNotOpenedNamedLikeAnotherFailure", flash,
     "error: cannot load 'C:\\too large.img'\r\n", 1, OutcomeKind::imageNotOpened, "C:\\too large.img",
     "C:\\too large.img"},

    {"Booted", boot,
     "Sending 'boot.img' (8 KB)                          OKAY [  0.003s]\r\n"
     "Booting                                            OKAY [  0.000s]\r\n"
     "Finished. Total time: 0.003s\r\n", 0, OutcomeKind::booted, "", "临时启动这个 Recovery"},
    {"BootedOldClient", boot,
     "downloading 'boot.img'...\r\nOKAY [  0.100s]\r\nbooting...\r\nOKAY [  0.000s]\r\n", 0,
     OutcomeKind::booted, "", "停在开机画面（logo）不动，请按住电源键约 10 秒"},
    {"CannotBoot", boot,
     "Sending 'boot.img' (8 KB)                          OKAY [  0.000s]\r\n"
     "Booting                                            FAILED (remote: 'unknown command')\r\n"
     "fastboot: error: Command failed\r\n", 1, OutcomeKind::cannotBoot, "", "不支持临时启动"},
    {"CannotBootFastbootd", boot,
     "Sending 'boot.img' (8 KB)                          OKAY [  0.000s]\r\n"
     "Booting                                            FAILED (remote: 'Unrecognized command "
     "boot')\r\nfastboot: error: Command failed\r\n", 1, OutcomeKind::cannotBoot, "",
     "原因：Unrecognized command boot"},
    // A start from memory that is refused or broken off is told in words of its own.
    {"BootRefusedAsLocked", boot, "booting...\r\nFAILED (remote: Device is locked)\r\n", 1,
     OutcomeKind::locked, "", "不允许临时启动"},
    {"BootNotAvailableLocked", boot,
     "Sending 'boot.img' (8 KB)                          OKAY [  0.000s]\r\n"
     "Booting                                            FAILED (remote: 'Fastboot boot command is "
     "not available in locked device')\r\nfastboot: error: Command failed\r\n", 1, OutcomeKind::locked,
     "", "不允许临时启动"},
    {"BootTooLarge", boot,
     "Sending 'boot.img' (8 KB)                          FAILED (remote: 'data too large')\r\n"
     "fastboot: error: Command failed\r\n", 1, OutcomeKind::tooLarge, "", "载入内存"},
    {"BootLinkBrokeMayHaveStarted", boot,
     "Sending 'boot.img' (8 KB)                          OKAY [  0.000s]\r\n"
     "Booting                                            FAILED (Status read failed (Too many "
     "links))\r\nfastboot: error: Command failed\r\n", 1, OutcomeKind::connectionBroke, "",
     "可能已经开始启动这个镜像"},
    // An unknown command is a failure like any other when it answers a flash.
    {"UnknownCommandAtAFlash", flash, kRefused + "unknown command" + kCommandFailed, 1,
     OutcomeKind::otherFailure, "Writing 'recovery' FAILED (remote: 'unknown command')", "刷入没有完成"},

    {"OtherFailureQuotesTheClientsLine", flash, kRefused + "oem error 7" + kCommandFailed, 1,
     OutcomeKind::otherFailure, "Writing 'recovery' FAILED (remote: 'oem error 7')",
     "fastboot 报告：\r\nWriting 'recovery' FAILED (remote: 'oem error 7')"},
    // The phone's reason in an "(bootloader)" line, in the middle of the step's line, before an
    // empty refusal: the panel quotes it.
    {"OtherFailureQuotesWhatTheBootloaderSaid", flash,
     "Sending 'recovery' (8 KB)                          OKAY [  0.000s]\r\n"
     "Writing 'recovery'                                 (bootloader) Flashing is not allowed for "
     "Critical Partitions\r\nFAILED (remote: '')\r\nfastboot: error: Command failed\r\n", 1,
     OutcomeKind::locked, "", "原因：Flashing is not allowed for Critical Partitions"},
    {"OtherFailureWithAnEmptyRefusal", flash,
     "Writing 'recovery'                                 (bootloader) oem error 9\r\n"
     "FAILED (remote: '')\r\nfastboot: error: Command failed\r\n", 1, OutcomeKind::otherFailure,
     "FAILED (remote: '')", "手机给出的原因：oem error 9"},
    {"ExitCodeAloneIsAFailure", flash, "Sending 'recovery' (8 KB) OKAY [ 0.000s]\r\n", 1,
     OutcomeKind::otherFailure, "Sending 'recovery' (8 KB) OKAY [ 0.000s]", "刷入没有完成"},
    {"BootFailure", boot, "fastboot: error: Command failed\r\n", 1, OutcomeKind::otherFailure,
     "fastboot: error: Command failed", "临时启动没有完成"},

    // The restarts after a flash. A refusal by the client (before 29.0.1) or by the bootloader is
    // one outcome, whatever its words; the phone dropping the link may be its restart.
    {"RestartedIntoRecovery", rebootRecovery,
     "Rebooting into recovery                            OKAY [  0.000s]\r\n"
     "Finished. Total time: 0.000s\r\n", 0, OutcomeKind::restartingToRecovery, "",
     "正在重启进入 Recovery"},
    {"RestartedIntoRecoveryOldClient", rebootRecovery,
     "rebooting into recovery...\r\nOKAY [  0.000s]\r\nfinished. total time: 0.000s\r\n",
     std::nullopt, OutcomeKind::restartingToRecovery, "", "可以拔掉数据线"},
    {"RestartedIntoRecoveryByOem", oemRebootRecovery,
     "                                                   OKAY [  0.000s]\r\n"
     "Finished. Total time: 0.000s\r\n", 0, OutcomeKind::restartingToRecovery, "",
     "正在重启进入 Recovery"},
    {"Restarted", reboot,
     "Rebooting                                          OKAY [  0.000s]\r\n"
     "Finished. Total time: 0.000s\r\n", 0, OutcomeKind::restarting, "", "正在重启"},
    {"RestartUnknownToTheBootloader", rebootRecovery,
     "Rebooting into recovery                            FAILED (remote: 'unknown command')\r\n"
     "fastboot: error: Command failed\r\n", 1, OutcomeKind::restartRefused, "",
     "1. 拔掉数据线，同时按住电源键和“音量加”"},
    {"RestartOptionUnsupported", rebootRecovery,
     "Rebooting into recovery                            FAILED (remote: 'Unsupported reboot "
     "option')\r\nfastboot: error: Command failed\r\n", 1, OutcomeKind::restartRefused, "",
     "各机型略有不同"},
    {"RestartTargetUnknownToTheClient", rebootRecovery,
     "fastboot: usage: unknown reboot target recovery\r\n", std::nullopt,
     OutcomeKind::restartRefused, "", "用音量键选中“Recovery”"},
    {"OemRestartRefused", oemRebootRecovery,
     "                                                   FAILED (remote: 'unknown command')\r\n"
     "fastboot: error: Command failed\r\n", 1, OutcomeKind::restartRefused, "", "什么也没有改变"},
    {"PlainRestartRefused", reboot, "Rebooting FAILED (remote: 'not supported')\r\n", 1,
     OutcomeKind::restartRefused, "", "原因：not supported"},
    {"RestartLinkBroke", rebootRecovery,
     "Rebooting into recovery                            FAILED (Status read failed (Too many "
     "links))\r\nfastboot: error: Command failed\r\n", 1, OutcomeKind::connectionBroke, "",
     "手机已经开始重启"},

    // fastboot.exe itself could not run: told by the interpreter's exit code, which comes as the
    // negative number the status's 32 bits make on Windows, or by its words.
    {"ClientNotFoundChinese", flash,
     "'fastboot' 不是内部或外部命令，也不是可运行的程序\r\n或批处理文件。\r\n", 9009,
     OutcomeKind::clientNotFound, "", "找不到 fastboot.exe"},
    {"ClientNotFoundEnglishWithoutExitCode", deviceQuery,
     "'fastboot' is not recognized as an internal or external command,\r\n"
     "operable program or batch file.\r\n", std::nullopt, OutcomeKind::clientNotFound, "", "杀毒软件"},
    {"ClientLibraryMissing", flash, "", -1073741515L, OutcomeKind::clientLibraryMissing, "",
     "缺少它需要的 DLL"},
    {"ClientLibraryMissingPositive", deviceQuery, "", 0xC0000135L,
     OutcomeKind::clientLibraryMissing, "", "所有 .dll 文件"},
    {"ClientTooNew", boot, "", -1073741511L, OutcomeKind::clientTooNew, "", "较旧的 Platform-Tools"},
    {"ClientWrongArchitecture", flash, "", -1073741701L, OutcomeKind::clientWrongArchitecture, "",
     "32 位 Windows 上用了 64 位"},
    {"ClientCrashed", rebootRecovery, "Rebooting into recovery ", -1073741819L,
     OutcomeKind::clientCrashed, "", "崩溃"},

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
  std::vector<CommandKind> buttons;
  for (const auto& button : panel->buttons) buttons.push_back(button.command);
  EXPECT_EQ(buttons, t.buttons);
  // The feedback gets the buttons' captions in their order, and an empty one for none.
  const ResultButtons captions = panel->captions();
  for (std::size_t i = 0; i < captions.size(); ++i) {
    EXPECT_EQ(captions[i], i < panel->buttons.size() ? panel->buttons[i].caption : "");
    if (i < panel->buttons.size()) {
      EXPECT_NE(captions[i].find('&'), std::string_view::npos);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Transcripts, OutcomeTest, ::testing::ValuesIn(kTranscripts),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quorlane::window
