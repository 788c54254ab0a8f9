// What follows each step of a restart the result panel offers: into recovery with the command
// every client since 29.0.1 knows, once more with the OEM command when that is refused, then the
// keys to hold; a plain restart has no second try.

#include "window/restart.h"

#include <gtest/gtest.h>

#include <string>

namespace quorlane::window {
namespace {

using OutcomeKind = Outcome::Kind;

Outcome of(OutcomeKind kind) {
  Outcome outcome;
  outcome.kind = kind;
  return outcome;
}

std::string panelText(const RestartStep& step) {
  return step.panel ? step.panel->text : std::string("(no panel)");
}

TEST(RestartTest, IntoRecoveryTriesTheOemCommandOnceThenTellsTheKeysToHold) {
  // The buttons after a flash run restarts, each with its command line.
  const auto flashed = resultPanel(of(OutcomeKind::flashed), CommandKind::flash);
  ASSERT_TRUE(flashed);
  ASSERT_EQ(flashed->buttons.size(), 2u);
  EXPECT_EQ(restartCommandLine(flashed->buttons[0].command), "fastboot reboot recovery");
  EXPECT_EQ(restartCommandLine(flashed->buttons[1].command), "fastboot reboot");
  EXPECT_EQ(restartCommandLine(CommandKind::oemRebootRecovery), "fastboot oem reboot-recovery");
  EXPECT_EQ(restartCommandLine(CommandKind::flash), "");

  // Refused, by the bootloader or by a client that does not know the target: the OEM command
  // comes next, and nothing is shown meanwhile.
  for (const char* output : {"Rebooting into recovery   FAILED (remote: 'unknown command')\r\n"
                             "fastboot: error: Command failed\r\n",
                             "fastboot: usage: unknown reboot target recovery\r\n"}) {
    const RestartStep step = afterRestart(CommandKind::rebootRecovery,
                                          recogniseOutcome(CommandKind::rebootRecovery, output, 1));
    EXPECT_EQ(step.next, CommandKind::oemRebootRecovery) << output;
    EXPECT_FALSE(step.panel) << output;
  }

  // The OEM command refused too: no third command, the keys to hold, and nothing changed.
  const RestartStep keys = afterRestart(
      CommandKind::oemRebootRecovery,
      recogniseOutcome(
          CommandKind::oemRebootRecovery,
          "  FAILED (remote: 'unknown command')\r\nfastboot: error: Command failed\r\n", 1));
  EXPECT_FALSE(keys.next);
  EXPECT_NE(panelText(keys).find("1. 拔掉数据线，"), std::string::npos) << panelText(keys);
  EXPECT_NE(panelText(keys).find("什么也没有改变"), std::string::npos) << panelText(keys);

  // Whatever else a step comes to ends the restart with its panel: done, a broken link (the
  // phone may be restarting), a client that cannot run, and a plain restart refused.
  struct End {
    CommandKind ran;
    Outcome outcome;
    const char* panelHas;
  };
  for (const End& end : {
           End{CommandKind::rebootRecovery, of(OutcomeKind::restartingToRecovery), "正在重启进入"},
           End{CommandKind::oemRebootRecovery, of(OutcomeKind::restartingToRecovery),
               "正在重启进入"},
           End{CommandKind::rebootRecovery, of(OutcomeKind::connectionBroke), "开始重启"},
           End{CommandKind::rebootRecovery, of(OutcomeKind::clientCrashed), "崩溃"},
           End{CommandKind::reboot, of(OutcomeKind::restartRefused), "按住电源键约 10 秒"},
           End{CommandKind::reboot, of(OutcomeKind::restarting), "正在重启"},
       }) {
    const RestartStep step = afterRestart(end.ran, end.outcome);
    EXPECT_FALSE(step.next) << end.panelHas;
    EXPECT_NE(panelText(step).find(end.panelHas), std::string::npos) << panelText(step);
  }
}

}  // namespace
}  // namespace quorlane::window
