// The checks before a command that writes to or starts a phone: the image file and what its first
// bytes say, the list of phones, and a path to the image that the client can open.

#include "window/flash_gate.h"

#include <gtest/gtest.h>

#include <chrono>
#include <utility>

#include "phone_list_fixture.h"
#include "window/command_text.h"
#include "window/flash_safety.h"

namespace quorlane::window {
namespace {

using testing::chunks;
using testing::contains;
using testing::kOnePhone;
using testing::kTwoPhones;
using State = FileStart::State;
using namespace std::chrono_literals;

constexpr MessageStyle kAskStyle =
    MessageStyle::yesNo | MessageStyle::warning | MessageStyle::secondDefault;

class FlashGateTest : public testing::PhoneListTest {
 protected:
  // Time passes in every turn of the window's loop while the gate waits for the list.
  FlashGateTest() {
    os.onEachWait = [this] { now += 100ms; };
  }
  std::vector<testing::Box> severalPhones() const { return shell.boxesTitled("连接了多部手机"); }
  std::vector<testing::Box> listUnknown() const { return shell.boxesTitled("无法确定连接的手机"); }

  testing::FakeShell shell;
  FlashGate gate{shell, phones, runner, os, clock};
};

// ---- the image -----------------------------------------------------------------------------

TEST(ImageKind, TellsBootImagesZipsAndSparseImagesByTheirFirstBytes) {
  EXPECT_EQ(imageKind("ANDROID!"), ImageKind::bootImage);
  EXPECT_EQ(imageKind(std::string("ANDROID!\0\0\x10\0", 12)), ImageKind::bootImage);
  EXPECT_EQ(imageKind("PK\x03\x04rest"), ImageKind::zip);
  EXPECT_EQ(imageKind("\x3A\xFF\x26\xED\x01\x00"), ImageKind::sparse);
  // Near misses are not what they resemble.
  EXPECT_EQ(imageKind("ANDROID"), ImageKind::unknown);
  EXPECT_EQ(imageKind("android!"), ImageKind::unknown);
  EXPECT_EQ(imageKind("PK\x05\x06"), ImageKind::unknown);  // an empty ZIP's end record
  EXPECT_EQ(imageKind("\x3A\xFF\x26"), ImageKind::unknown);
  EXPECT_EQ(imageKind(std::string("\0ANDROID!", 9)), ImageKind::unknown);
  EXPECT_EQ(imageKind(""), ImageKind::unknown);
}

// A pasted path is cleaned the way the system opens it, only the first bytes of the file are
// read, and a device's name is never opened: it is answered as not an image file.
TEST_F(FlashGateTest, TheImageIsLookedAtAsTheClientWouldOpenItAndADeviceNeverIs) {
  struct Case {
    std::string typed;
    std::string opened;  // empty: a device, never opened
  };
  const std::vector<Case> cases = {
      {"  \"C:\\img\\a b.img\" \r\n", "C:\\img\\a b.img"},
      {"\" C:\\img\\a b.img \"", "C:\\img\\a b.img"},
      {"C:\\img\\a b.img. . ", "C:\\img\\a b.img"},
      {"C:/img/a b.img", "C:\\img\\a b.img"},
      {"D:\\img\\..", "D:\\img\\.."},                        // a folder's dots are its name
      {"\\\\?\\C:\\img\\x.img.", "\\\\?\\C:\\img\\x.img."},  // the literal form is left alone
      {"\\\\?\\C:\\img\\x.img", "\\\\?\\C:\\img\\x.img"},
      {"\\\\.\\D:\\x.img", "\\\\.\\D:\\x.img"},
      {"CON", ""},
      {"nul", ""},
      {"COM1", ""},
      {"lpt9.img", ""},
      {"C:\\img\\aux .img", ""},
      {"C:\\img\\CON:", ""},
      {"COM\xC2\xB9", ""},
      {"CONOUT$", ""},
      {"\\\\.\\PhysicalDrive0", ""},
      {"//./PhysicalDrive0", ""},
      {"\\\\.\\pipe\\x", ""},
      {"\\\\?\\GLOBALROOT\\Device\\Null", ""},
      {"C:\\img\\console.img", "C:\\img\\console.img"},
      {"C:\\img\\COM10.img", "C:\\img\\COM10.img"},
      {"C:\\nul\\x.img", "C:\\nul\\x.img"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    shell.looks.clear();
    shell.boxes.clear();
    if (!c.opened.empty()) shell.addImage(c.opened, "ANDROID!" + std::string(4096, 'x'));
    EXPECT_EQ(gate.imageApproved({c.typed, std::nullopt}), !c.opened.empty());
    if (c.opened.empty()) {
      EXPECT_TRUE(shell.looks.empty());
      ASSERT_EQ(shell.boxes.size(), 1u);
      EXPECT_TRUE(contains(shell.boxes[0].prompt, "不是镜像文件")) << shell.boxes[0].prompt;
    } else {
      EXPECT_EQ(shell.looks, (std::vector<std::pair<std::string, std::size_t>>{{c.opened, 8}}));
      EXPECT_EQ(shell.lookTimeoutMs, 2000u);
      EXPECT_TRUE(shell.boxes.empty());
    }
  }
  // An empty path names no file at all.
  shell.looks.clear();
  shell.boxes.clear();
  EXPECT_FALSE(gate.imageApproved({"", std::nullopt}));
  EXPECT_TRUE(shell.looks.empty());
  ASSERT_EQ(shell.boxes.size(), 1u);
  EXPECT_TRUE(contains(shell.boxes[0].prompt, "还没有选择"));
}

// What cannot be flashed is named and stopped; a file that is no boot image is flashed only when
// the user says Yes to the question that names what it is. A built-in image is looked for beside
// the program, and a missing one is told where to put.
TEST_F(FlashGateTest, AnImageThatIsNoBootImageIsStoppedOrAskedAbout) {
  struct Case {
    std::string name;
    FileStart found;
    std::vector<std::string> said;
    bool asks = false;
    bool builtIn = false;
  };
  const std::vector<Case> cases = {
      {"missing", {State::missing, "", ""}, {"找不到要刷入的镜像文件"}},
      {"empty", {State::file, "", ""}, {"空的"}},
      {"folder", {State::folder, "", ""}, {"文件夹"}},
      {"unreadable", {State::unreadable, "", "拒绝访问。"}, {"无法读取", "拒绝访问。"}},
      {"not a file on a disk", {State::device, "", ""}, {"不是镜像文件"}},
      {"locked", {State::locked, "", ""}, {"占用"}},
      {"on a removed drive", {State::noDrive, "", ""}, {"驱动器不存在", "拔出"}},
      {"first read blocks", {State::timedOut, "", ""}, {"超时"}},
      {"an earlier look still blocks", {State::busy, "", ""}, {"上一个镜像文件还没有读出来"}},
      {"zip", {State::file, "PK\x03\x04\x14\x00\x08\x00", ""}, {"ZIP"}, true},
      {"sparse", {State::file, "\x3A\xFF\x26\xED\x01\x00\x00\x00", ""}, {"稀疏镜像"}, true},
      {"elf", {State::file, "\177ELF\x02\x01\x01\x00", ""}, {"无法识别"}, true},
      {"shorter than the header", {State::file, "ANDR", ""}, {"无法识别"}, true},
      {"built in, missing",
       {State::missing, "", ""},
       {"C:\\Quorlane\\RE\\recovery2.img", "RE 文件夹", "命名为 recovery2.img", "手机型号"},
       false,
       true},
      {"built in, a zip", {State::file, "PK\x03\x04....", ""}, {"ZIP"}, true, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Image image = c.builtIn ? Image{"RE\\recovery2.img", "recovery2.img"}
                                  : Image{"D:\\下载\\twrp.img", std::nullopt};
    shell.boxes.clear();
    shell.images[image.path] = c.found;
    // Stopped; or No, also the default answer, taken by Enter.
    EXPECT_FALSE(gate.imageApproved(image));
    EXPECT_EQ(shell.looks.back().first, image.path);  // as the command would open it
    ASSERT_EQ(shell.boxes.size(), 1u);
    const testing::Box& box = shell.boxes[0];
    for (const auto& part : c.said) EXPECT_TRUE(contains(box.prompt, part)) << box.prompt;
    EXPECT_EQ(contains(box.prompt, "ZIP"), c.said[0] == "ZIP");  // only known kinds are named
    EXPECT_TRUE(contains(box.prompt, image.path));
    EXPECT_EQ(box.style, c.asks ? kAskStyle : MessageStyle::warning);
    EXPECT_EQ(box.title, c.asks ? "确认刷入" : "无法刷入");
    if (!c.asks) continue;
    EXPECT_TRUE(contains(box.prompt, "仍然要刷入吗"));
    shell.answers = {Answer::yes};
    EXPECT_TRUE(gate.imageApproved(image));
  }
}

// ---- the path the client opens ---------------------------------------------------------------

// The client takes its arguments in the ANSI code page and opens files without long-path
// support: a path it cannot use is handed on in its short form, or explained and not run.
TEST_F(FlashGateTest, TheCommandNamesTheImageAsTheClientCanOpenItOrExplainsWhyItCannot) {
  const std::string path = "D:\\নতুন\\twrp.img";
  const std::string longPath = "C:\\" + std::string(270, 'a') + ".img";
  // Pasted in quotes: the path inside them is what is shortened.
  shell.nonAnsiPaths[path] = "D:\\A1B2~1\\twrp.img";
  EXPECT_EQ(gate.command("fastboot flash recovery ", {"\"" + path + "\"", std::nullopt}),
            "fastboot flash recovery D:\\A1B2~1\\twrp.img");
  // A short form that itself needs quoting is quoted like any other path.
  shell.nonAnsiPaths[path] = "D:\\my dir\\TWRP~1.IMG";
  EXPECT_EQ(gate.command("fastboot boot ", {path, std::nullopt}),
            "fastboot boot \"D:\\my dir\\TWRP~1.IMG\"");
  shell.longPaths[longPath] = "C:\\AAAAAA~1.IMG";
  EXPECT_EQ(gate.command("fastboot flash recovery ", {longPath, std::nullopt}),
            "fastboot flash recovery C:\\AAAAAA~1.IMG");
  EXPECT_TRUE(shell.boxes.empty());

  // Without a short form the user is told why, with the file named, and nothing runs.
  shell.nonAnsiPaths[path] = "";  // the volume keeps no short names
  shell.longPaths[longPath] = "";
  for (const auto& [file, said] :
       {std::pair{path, "中文、英文字母"}, std::pair{longPath, "路径太长"}}) {
    shell.boxes.clear();
    EXPECT_EQ(gate.command("fastboot flash recovery ", {file, std::nullopt}), std::nullopt);
    ASSERT_EQ(shell.boxes.size(), 1u);
    EXPECT_TRUE(contains(shell.boxes[0].prompt, file)) << shell.boxes[0].prompt;
    EXPECT_TRUE(contains(shell.boxes[0].prompt, said)) << shell.boxes[0].prompt;
    EXPECT_EQ(shell.boxes[0].style, MessageStyle::critical);
  }
}

TEST(QuoteImagePath, PlainPathsStayAndOthersBecomeOneArgument) {
  EXPECT_EQ(quoteImagePath("RE\\recovery1.img"), "RE\\recovery1.img");
  EXPECT_EQ(quoteImagePath("D:\\下载\\twrp-3.7.img"), "D:\\下载\\twrp-3.7.img");
  EXPECT_EQ(quoteImagePath("C:\\img\\a b.img"), "\"C:\\img\\a b.img\"");
  EXPECT_EQ(quoteImagePath("C:\\a&b.img"), "\"C:\\a&b.img\"");
  for (const char* special : {"|", "<", ">", "^", "(", ")", ",", ";", "=", "!"}) {
    const std::string path = std::string("C:\\x") + special + "y.img";
    EXPECT_EQ(quoteImagePath(path), '"' + path + '"') << special;
  }
  EXPECT_EQ(quoteImagePath("C:\\50%off.img"), R"("C:\50"%"off.img")");
  // A backslash before an inserted quote is doubled; one in the middle of a piece is not.
  EXPECT_EQ(quoteImagePath("C:\\x\\%PATH%.img"), R"("C:\x\\"%"PATH"%".img")");
  EXPECT_EQ(quoteImagePath("C:\\%a b\\%"), R"("C:\\"%"a b\\"%"")");
  // A path pasted with its quotes is not quoted twice.
  EXPECT_EQ(quoteImagePath("\"C:\\img\\a b.img\""), "\"C:\\img\\a b.img\"");
  EXPECT_EQ(quoteImagePath("\"C:\\img\\ab.img\""), "C:\\img\\ab.img");
}

// ---- the list of phones ----------------------------------------------------------------------

// A command that writes to or starts a phone runs only on a list of one phone at most that is
// known and has not changed since it was taken. Otherwise the list is asked for at once and
// waited for, three seconds at most, with the window serviced meanwhile; what cannot be known in
// that time runs nothing, and the user is told.
TEST_F(FlashGateTest, APressRunsOnAListKnownAndUnchangedOrWaitsForOneThreeSecondsAtMost) {
  startedWith(kOnePhone);
  EXPECT_TRUE(gate.listAllows());
  EXPECT_TRUE(os.commandLines.empty());
  EXPECT_EQ(os.pumps, 0);

  phones.changed();
  os.reads = chunks({kOnePhone});
  bool waitingSeen = false;
  os.onPump = [&](int) { waitingSeen = gate.waiting(); };
  EXPECT_TRUE(gate.listAllows());
  EXPECT_TRUE(waitingSeen);
  EXPECT_FALSE(gate.waiting());
  EXPECT_EQ(os.commandLines.size(), 1u);

  // The query hangs: the press gives up after three seconds; the query ends at its own limit.
  phones.changed();
  os.silenceNextPipe();
  const auto pressed = now;
  EXPECT_FALSE(gate.listAllows());
  EXPECT_GT(now - pressed, FlashGate::kListWait);
  EXPECT_LE(now - pressed, FlashGate::kListWait + 100ms);
  ASSERT_EQ(listUnknown().size(), 1u);
  EXPECT_EQ(listUnknown()[0].style, MessageStyle::warning);
  EXPECT_EQ(os.ended, 0);
  tickFor(2s);
  EXPECT_EQ(os.ended, 1);
  // Unanswered, it is asked for again at the next press, which runs on the answer.
  os.reads = chunks({kOnePhone});
  EXPECT_TRUE(gate.listAllows());
  EXPECT_EQ(os.commandLines.size(), 3u);

  // Several phones stop the press, naming them. That list is asked for again first, as one of
  // them may have gone without the system saying so.
  phones.changed();
  os.reads = chunks({kTwoPhones});
  EXPECT_FALSE(gate.listAllows());
  ASSERT_EQ(severalPhones().size(), 1u);
  const testing::Box warning = severalPhones()[0];
  EXPECT_TRUE(contains(warning.prompt, "AAA\r\nBBB\r\n")) << warning.prompt;
  EXPECT_TRUE(contains(warning.prompt, "只连接要刷入的那一部手机"));
  EXPECT_EQ(warning.style, MessageStyle::warning);
  os.reads = chunks({kOnePhone});
  EXPECT_TRUE(gate.listAllows());
  EXPECT_EQ(os.commandLines.size(), 5u);
  EXPECT_EQ(severalPhones().size(), 1u);

  // While a command runs the runner refuses the press anyway: nothing is checked or asked.
  phones.changed();
  runnerOs.onPump = [&](int) { EXPECT_TRUE(gate.listAllows()); };
  runner.执行命令("fastboot flash recovery a.img");
  EXPECT_EQ(os.commandLines.size(), 5u);
  EXPECT_EQ(listUnknown().size(), 1u);
}

TEST_F(FlashGateTest, WhileChangesKeepComingOrABoxHoldsTheWaitPastItsTimeNothingRuns) {
  startedWith(kOnePhone);
  // A phone rebooting into fastboot sends a burst of changes: while they keep coming no list is
  // current, and the press runs nothing rather than the list before them.
  os.reads = {};
  os.onPump = [&](int) { phones.changed(); };
  phones.changed();
  EXPECT_FALSE(gate.listAllows());
  EXPECT_EQ(listUnknown().size(), 1u);

  // A box opened during the wait holds the press, the timer ticking in it; once it closes, long
  // after, the press is dropped even though the list has come meanwhile.
  tickFor(6s);
  phones.changed();
  os.reads = chunks({kOnePhone});
  bool opened = false;
  os.onPump = [&](int) {
    if (!std::exchange(opened, true)) tickFor(1min);
  };
  EXPECT_FALSE(gate.listAllows());
  EXPECT_TRUE(phones.current());
  EXPECT_EQ(listUnknown().size(), 2u);
}

// ---- what the phone says of itself -----------------------------------------------------------

// Asked when the list was taken, the phone's answers decide a press: a locked phone gets nothing
// unless the user says so, a phone without recovery is offered a start from memory instead, an
// A/B phone's flash names its slot. Answers still awaited are waited for within the press's
// time, then decide nothing; a press never asks the phone itself.
TEST_F(FlashGateTest, WhatThePhoneSaidOfItselfDecidesBeforeAnythingIsSent) {
  using Go = FlashGate::Clearance::Go;
  const auto answering = [&](const std::string& answers) {
    os.factsAnswer = answers + "Finished. Total time: 0.010s\r\n";
    startedWith(kOnePhone);
    return os.factsLines.size();
  };
  answering("product: sunfish\r\nunlocked: no\r\npartition-type:recovery: raw\r\n");
  shell.answers = {Answer::no, Answer::yes};
  EXPECT_EQ(gate.phonesAllow(Press::flash).go, Go::no);
  ASSERT_EQ(shell.boxes.size(), 1u);
  EXPECT_TRUE(contains(shell.boxes[0].prompt, "未解锁")) << shell.boxes[0].prompt;
  EXPECT_EQ(shell.boxes[0].style, kAskStyle);
  EXPECT_EQ(gate.phonesAllow(Press::flash).go, Go::asPressed);
  EXPECT_EQ(os.factsLines.size(), 1u);  // asked once, with the list, never at a press
  EXPECT_EQ(os.factsLines[0].find("fastboot -s AAA getvar product"),
            std::string("C:\\windows\\system32\\cmd.exe /c \"").size());

  answering(
      "getvar:has-slot:recovery  FAILED (remote: 'GetVar Variable Not found')\r\n"
      "getvar:partition-type:recovery  FAILED (remote: 'GetVar Variable Not found')\r\n"
      "current-slot: a\r\nunlocked: yes\r\n");
  shell.answers = {Answer::yes};
  EXPECT_EQ(gate.phonesAllow(Press::flash).go, Go::fromMemory);
  EXPECT_TRUE(contains(shell.boxes.back().prompt, "临时启动")) << shell.boxes.back().prompt;
  EXPECT_EQ(gate.phonesAllow(Press::boot).go, Go::asPressed);  // nothing to ask then

  answering("has-slot:recovery: yes\r\ncurrent-slot: _b\r\nunlocked: yes\r\n");
  const auto boxes = shell.boxes.size();
  const auto clearance = gate.phonesAllow(Press::flash);
  EXPECT_EQ(clearance.go, Go::asPressed);
  EXPECT_TRUE(contains(clearance.note, "槽位 b")) << clearance.note;
  EXPECT_EQ(shell.boxes.size(), boxes);

  // A phone that does not answer in time: the press goes on as it would without, and the query
  // that would hold the phone is ended.
  os.factsHang = true;
  answering("");
  const auto pressed = now;
  EXPECT_EQ(gate.phonesAllow(Press::flash).go, Go::asPressed);
  EXPECT_GE(now - pressed, FlashGate::kListWait);
  EXPECT_EQ(os.factsEnded, 1);
  EXPECT_EQ(shell.boxes.size(), boxes);
}

}  // namespace
}  // namespace quorlane::window
