// What a phone says of itself: the client's answers to getvar read from its output, the command
// that asks for them, what a press then does, and how the panel describes the phone.

#include "window/phone_facts.h"

#include <gtest/gtest.h>

#include <string>

#include "common/strings.h"

namespace quorlane::window {
namespace {

using State = Fact::State;
using Action = PressVerdict::Action;

// The facts in one line: NAME=VALUE for an answer, NAME? for a variable the bootloader does not
// know, nothing for no answer.
std::string shown(const PhoneFacts& facts) {
  std::string text;
  const auto add = [&text](const char* name, const Fact& fact) {
    if (fact.state == State::noAnswer) return;
    if (!text.empty()) text += ' ';
    text += name;
    text += fact.state == State::known ? "=" + fact.value : "?";
  };
  add("product", facts.product);
  add("unlocked", facts.unlocked);
  add("partition-type:recovery", facts.partitionTypeRecovery);
  add("has-slot:recovery", facts.hasSlotRecovery);
  add("current-slot", facts.currentSlot);
  add("is-userspace", facts.isUserspace);
  return text;
}

struct Transcript {
  const char* name;
  std::string output;
  std::string expected;  // as shown() writes it
};

// The first seven are what Debian's fastboot 29.0.6 printed for the query against
// tools/fastboot-phone (its answers and refusals set with --var, --unknown-var and --refuse to
// the wordings bootloaders use); the client writes LF there and CR LF on Windows. The others are
// written as older clients print, from their sources.
// clang-format off
const Transcript kTranscripts[] = {
    {"a phone with a recovery partition, no slots",
     "product: quorlane-phone\n"
     "unlocked: yes\n"
     "partition-type:recovery: raw\n"
     "has-slot:recovery: no\n"
     "getvar:current-slot                                FAILED (remote: 'unknown variable')\n"
     "getvar:is-userspace                                FAILED (remote: 'unknown variable')\n"
     "Finished. Total time: 0.001s\n",
     "product=quorlane-phone unlocked=yes partition-type:recovery=raw has-slot:recovery=no "
     "current-slot? is-userspace?"},
    {"locked, Windows line ends",
     "product: quorlane-phone\r\n"
     "unlocked: no\r\n"
     "partition-type:recovery: raw\r\n"
     "has-slot:recovery: no\r\n"
     "getvar:current-slot                                FAILED (remote: 'unknown variable')\r\n"
     "getvar:is-userspace                                FAILED (remote: 'unknown variable')\r\n"
     "Finished. Total time: 0.000s\r\n",
     "product=quorlane-phone unlocked=no partition-type:recovery=raw has-slot:recovery=no "
     "current-slot? is-userspace?"},
    {"A/B without recovery, Qualcomm's wording",
     "product: sunfish\n"
     "unlocked: yes\n"
     "getvar:partition-type:recovery                     FAILED (remote: 'GetVar Variable Not found')\n"
     "getvar:has-slot:recovery                           FAILED (remote: 'GetVar Variable Not found')\n"
     "current-slot: a\n"
     "getvar:is-userspace                                FAILED (remote: 'GetVar Variable Not found')\n"
     "Finished. Total time: 0.001s\n",
     "product=sunfish unlocked=yes partition-type:recovery? has-slot:recovery? current-slot=a "
     "is-userspace?"},
    {"A/B with a recovery per slot, a padded value and _b",
     "product: violet\n"
     "unlocked:  yes \n"
     "partition-type:recovery: raw\n"
     "has-slot:recovery: yes\n"
     "current-slot: _b\n"
     "getvar:is-userspace                                FAILED (remote: 'unknown variable')\n"
     "Finished. Total time: 0.001s\n",
     "product=violet unlocked=yes partition-type:recovery=raw has-slot:recovery=yes "
     "current-slot=_b is-userspace?"},
    {"fastbootd",
     "product: raven\n"
     "unlocked: yes\n"
     "getvar:partition-type:recovery                     FAILED (remote: 'Invalid partition')\n"
     "has-slot:recovery: no\n"
     "current-slot: a\n"
     "is-userspace: yes\n"
     "Finished. Total time: 0.001s\n",
     "product=raven unlocked=yes has-slot:recovery=no current-slot=a is-userspace=yes"},
    // Classic bootloaders answer every name they do not know with an empty value.
    {"classic bootloader",
     "product: aries\n"
     "unlocked: yes\n"
     "partition-type:recovery: raw\n"
     "has-slot:recovery: \n"
     "current-slot: \n"
     "is-userspace: \n"
     "Finished. Total time: 0.000s\n",
     "product=aries unlocked=yes partition-type:recovery=raw"},
    {"near silence: refused, not unknown",
     "product: \n"
     "getvar:unlocked                                    FAILED (remote: 'Command not allowed')\n"
     "getvar:partition-type:recovery                     FAILED (remote: 'Command not allowed')\n"
     "getvar:has-slot:recovery                           FAILED (remote: 'Command not allowed')\n"
     "getvar:current-slot                                FAILED (remote: 'Command not allowed')\n"
     "getvar:is-userspace                                FAILED (remote: 'Command not allowed')\n"
     "Finished. Total time: 0.000s\n",
     ""},
    // Before platform-tools 28: no quotes, lowercase, and the run stops at the first refusal.
    {"old client stops at the first refusal",
     "product: sagit\r\n"
     "unlocked: no\r\n"
     "getvar:partition-type:recovery FAILED (remote: GetVar Variable Not found)\r\n"
     "finished. total time: 0.003s\r\n",
     "product=sagit unlocked=no partition-type:recovery?"},
    // The phone's informational lines are not answers; a lost connection tells nothing; the
    // wait for a phone that came back a moment later is no answer either.
    {"info lines, a broken connection and a wait",
     "< waiting for 0123456789ABCDEF >\r\n"
     "(bootloader) product: not-this\r\n"
     "product: mione_plus\r\n"
     "(bootloader) unlocked:no\r\n"
     "getvar:unlocked                                    FAILED (Status read failed (No such device))\r\n"
     "getvar:is-userspace                                FAILED (remote: 'Unknown variable')\r\n"
     "Finished. Total time: 0.020s\r\n",
     "product=mione_plus is-userspace?"},
    {"U-Boot", "getvar:unlocked FAILED (remote: 'Variable not implemented')\n", "unlocked?"},
    {"no output at all", "", ""},
};
// clang-format on

TEST(PhoneFacts, ReadsWhatClientsAndBootloadersReallyPrint) {
  for (const auto& transcript : kTranscripts) {
    EXPECT_EQ(shown(readPhoneFacts(transcript.output)), transcript.expected) << transcript.name;
  }
}

TEST(PhoneFacts, AsksOnlyAPhoneTheClientCanBeToldExactly) {
  EXPECT_EQ(phoneFactsCommand("0123456789ABCDEF"),
            "fastboot -s 0123456789ABCDEF getvar product getvar unlocked getvar "
            "partition-type:recovery getvar has-slot:recovery getvar current-slot getvar "
            "is-userspace");
  EXPECT_TRUE(phoneFactsCommand("emulator-5554_x.1"));
  for (const char* serial : {"", "????????????", "a b", "A&B", "A|B", "%PATH%", "A^B", "A\"B",
                             "tcp:127.0.0.1:5554", "no permissions; see [http://x]", "序列号"}) {
    EXPECT_FALSE(phoneFactsCommand(serial)) << serial;
  }
}

PhoneFacts facts(const std::string& output) {
  return readPhoneFacts(output);
}

TEST(PhoneFacts, PressVerdicts) {
  const auto locked = facts("unlocked: no\nhas-slot:recovery: yes\ncurrent-slot: a\n");
  const auto noRecovery = facts(
      "unlocked: yes\ncurrent-slot: a\n"
      "getvar:has-slot:recovery FAILED (remote: 'GetVar Variable Not found')\n"
      "getvar:partition-type:recovery FAILED (remote: 'GetVar Variable Not found')\n");
  const auto slotted = facts("unlocked: yes\nhas-slot:recovery: yes\ncurrent-slot: _b\n");
  const auto fastbootd = facts("unlocked: yes\nis-userspace: yes\ncurrent-slot: a\n");
  const auto plain = facts("unlocked: yes\npartition-type:recovery: raw\n");
  constexpr MessageStyle kAsk =
      MessageStyle::yesNo | MessageStyle::warning | MessageStyle::secondDefault;

  // Locked: both presses ask, No the default, before anything else is looked at.
  for (const Press press : {Press::flash, Press::boot}) {
    const PressVerdict verdict = judgePress(press, locked);
    EXPECT_EQ(verdict.action, Action::sendOnYes);
    EXPECT_EQ(verdict.style, kAsk);
    EXPECT_TRUE(contains(verdict.prompt, "未解锁") && contains(verdict.prompt, "清除"));
  }
  // No recovery partition: a flash offers a start from memory instead; a start goes ahead.
  const PressVerdict instead = judgePress(Press::flash, noRecovery);
  EXPECT_EQ(instead.action, Action::bootOnYes);
  EXPECT_EQ(instead.style, kAsk);
  EXPECT_TRUE(contains(instead.prompt, "临时启动"));
  EXPECT_EQ(judgePress(Press::boot, noRecovery).action, Action::send);
  // Without the slot the same refusals may be a bootloader that answers little: no verdict.
  const auto noSlot = facts(
      "unlocked: yes\n"
      "getvar:has-slot:recovery FAILED (remote: 'GetVar Variable Not found')\n"
      "getvar:partition-type:recovery FAILED (remote: 'GetVar Variable Not found')\n");
  EXPECT_EQ(judgePress(Press::flash, noSlot).action, Action::send);
  // A recovery per slot: flashed as always, and the panel is told the slot the client writes.
  const PressVerdict slot = judgePress(Press::flash, slotted);
  EXPECT_EQ(slot.action, Action::send);
  EXPECT_TRUE(contains(slot.note, "槽位 b ")) << slot.note;
  // fastbootd cannot start an image; it can flash.
  EXPECT_EQ(judgePress(Press::boot, fastbootd).action, Action::stop);
  EXPECT_EQ(judgePress(Press::flash, fastbootd).action, Action::send);
  // Nothing known, nothing asked: as always.
  for (const auto& maybe : {std::optional<PhoneFacts>{}, std::optional<PhoneFacts>{plain},
                            std::optional<PhoneFacts>{facts("")}}) {
    for (const Press press : {Press::flash, Press::boot}) {
      const PressVerdict verdict = judgePress(press, maybe);
      EXPECT_EQ(verdict.action, Action::send);
      EXPECT_TRUE(verdict.prompt.empty() && verdict.note.empty());
    }
  }
}

TEST(PhoneFacts, PanelDescribesOnePhoneAndNamesSeveral) {
  EXPECT_EQ(describePhone(facts("product: aries\nunlocked: yes\npartition-type:recovery: raw\n")),
            "这部手机：型号 aries，Bootloader 已解锁，有 recovery 分区。");
  const std::string ab = describePhone(
      facts("product: sunfish\nunlocked: no\ncurrent-slot: _a\n"
            "getvar:partition-type:recovery FAILED (remote: 'GetVar Variable Not found')\n"
            "getvar:has-slot:recovery FAILED (remote: 'GetVar Variable Not found')\n"));
  EXPECT_EQ(ab,
            "这部手机：型号 sunfish，Bootloader 未解锁（不能刷入，也不能临时启动），"
            "没有 recovery 分区（只能临时启动），当前槽位 a。");
  const std::string userspace = describePhone(facts("product: raven\nis-userspace: yes\n"));
  EXPECT_TRUE(userspace.starts_with("这部手机：型号 raven。\r\n")) << userspace;
  EXPECT_TRUE(contains(userspace, "fastbootd") && contains(userspace, "不能临时启动"));
  EXPECT_EQ(describePhone(facts("product: \nunlocked: maybe\n")), "");

  const std::map<std::string, PhoneFacts> known = {{"A1", facts("product: aries\n")},
                                                   {"C3", facts("unlocked: yes\n")}};
  EXPECT_EQ(serialsWithModels({"A1", "B2", "C3"}, known), "A1（aries）、B2、C3");
}

}  // namespace
}  // namespace quorlane::window
