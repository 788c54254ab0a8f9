// The simulated fastboot's settings file and its conversation, against a scripted host.

#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <vector>

#include "session.h"
#include "settings.h"

namespace quorlane::fastboot_sim {
namespace {

// ---- settings ---------------------------------------------------------------------------------

TEST(SimSettings, EmptyFileGivesOnePhoneThatAcceptsAndWaitsForever) {
  const ParsedSettings parsed = parseSettings("");
  EXPECT_TRUE(parsed.problems.empty());
  const Settings& s = parsed.settings;
  EXPECT_EQ(s.devices, std::vector<std::string>{"0123456789ABCDEF"});
  EXPECT_EQ(s.fail, Failure::none);
  EXPECT_FALSE(s.silentMs.has_value());
  EXPECT_FALSE(s.waitMs.has_value());
  EXPECT_EQ(s.devicesMs, 0u);
  EXPECT_EQ(s.codePage, 0u);
  EXPECT_EQ(s.chunk, 0u);
  EXPECT_TRUE(s.extraStdout.empty());
}

TEST(SimSettings, ReadsEveryKeyThroughCommentsBlanksBomAndCrLf) {
  const ParsedSettings parsed = parseSettings(
      "\xEF\xBB\xBF# phones\r\n"
      "\r\n"
      "  Devices = AAA , BBB,,CCC \r\n"
      "SEND_MS=1500\r\n"
      "write_ms = 7\r\n"
      "fail=Remote\r\n"
      "silent_ms=0\r\n"
      "wait_ms=300\r\n"
      "devices_ms=FOREVER\r\n"
      "codepage=936\r\n"
      "chunk=5\r\n"
      "chunk_ms=20\r\n"
      "extra_stdout=a\\tb\\r\\n\\\\\r\n"
      "    # indented comment\n");
  EXPECT_TRUE(parsed.problems.empty()) << parsed.problems.front();
  const Settings& s = parsed.settings;
  EXPECT_EQ(s.devices, (std::vector<std::string>{"AAA", "BBB", "CCC"}));
  EXPECT_EQ(s.sendMs, 1500u);
  EXPECT_EQ(s.writeMs, 7u);
  EXPECT_EQ(s.fail, Failure::remote);
  EXPECT_EQ(s.silentMs, 0u);
  EXPECT_EQ(s.waitMs, 300u);
  EXPECT_FALSE(s.devicesMs.has_value());
  EXPECT_EQ(s.codePage, 936u);
  EXPECT_EQ(s.chunk, 5u);
  EXPECT_EQ(s.chunkMs, 20u);
  EXPECT_EQ(s.extraStdout, "a\tb\r\n\\");
}

TEST(SimSettings, EmptyDeviceListMeansNoPhoneAndLaterLinesWin) {
  EXPECT_TRUE(parseSettings("devices=").settings.devices.empty());
  EXPECT_TRUE(parseSettings("devices= , ,").settings.devices.empty());
  const Settings s = parseSettings(
                         "devices=\nwait_ms=10\nwait_ms=forever\ncodepage=utf8\n"
                         "codepage=oem\n")
                         .settings;
  EXPECT_FALSE(s.waitMs.has_value());
  EXPECT_EQ(s.codePage, 1u);
  EXPECT_EQ(parseSettings("codepage=ACP").settings.codePage, 0u);
  EXPECT_EQ(parseSettings("codepage=utf-8").settings.codePage, 65001u);
}

TEST(SimSettings, ReportsEachUnusableLineByNumberAndKeepsTheRest) {
  const ParsedSettings parsed = parseSettings(
      "send_ms=-5\n"        // 1
      "sendms=100\n"        // 2
      "write_ms\n"          // 3
      "write_ms=12ms\n"     // 4
      "fail=sometimes\n"    // 5
      "codepage=gbk\n"      // 6
      "chunk=\n"            // 7
      "extra_stdout=\\x\n"  // 8
      "silent_ms=\n"        // 9
      "codepage=70000\n"    // 10
      "chunk_ms=3\n");      // 11
  const std::vector<std::string> lines = {
      "line 1: ", "line 2: ", "line 3: ", "line 4: ", "line 5: ",
      "line 6: ", "line 7: ", "line 8: ", "line 9: ", "line 10: "};
  ASSERT_EQ(parsed.problems.size(), lines.size());
  for (std::size_t i = 0; i < lines.size(); ++i) {
    EXPECT_EQ(parsed.problems[i].rfind(lines[i], 0), 0u) << parsed.problems[i];
  }
  EXPECT_NE(parsed.problems[1].find("'sendms'"), std::string::npos);
  // A refused value leaves the default alone.
  const Settings& s = parsed.settings;
  EXPECT_EQ(s.sendMs, Settings{}.sendMs);
  EXPECT_EQ(s.writeMs, Settings{}.writeMs);
  EXPECT_EQ(s.fail, Failure::none);
  EXPECT_EQ(s.codePage, 0u);
  EXPECT_FALSE(s.silentMs.has_value());
  EXPECT_EQ(s.chunkMs, 3u);
}

TEST(SimSettings, VariablesForEveryPhoneOrOneAndTheQuietOnes) {
  EXPECT_EQ(Settings{}.getvar.at("unlocked"), "yes");
  const ParsedSettings parsed = parseSettings(
      "getvar = unlocked = no\n"
      "getvar=current-slot=\n"                  // answered with nothing
      "getvar_unknown=has-slot:recovery\n"      // unknown to every bootloader
      "GETVAR@Phone-b=has-slot:recovery=yes\n"  // the serial keeps its case
      "getvar_unknown@Phone-b=partition-type:recovery\n"
      "huawei=Q1, Q2\n"
      "getvar_ms=forever\n"
      "getvar=nameonly\n"    // 8
      "getvar_unknown=\n"    // 9
      "wait_ms@Phone-b=5\n"  // 10
      "getvar@=a=b\n");      // 11
  const Settings& s = parsed.settings;
  EXPECT_EQ(s.getvar.at("unlocked"), "no");
  EXPECT_EQ(s.getvar.at("current-slot"), "");
  EXPECT_FALSE(s.getvar.at("has-slot:recovery").has_value());
  EXPECT_EQ(s.getvar.at("product"), "quorlane-sim");  // the defaults stay
  const Variables& own = s.phoneGetvar.at("Phone-b");
  EXPECT_EQ(own.at("has-slot:recovery"), "yes");
  EXPECT_FALSE(own.at("partition-type:recovery").has_value());
  EXPECT_EQ(s.huawei, (std::vector<std::string>{"Q1", "Q2"}));
  EXPECT_FALSE(s.getvarMs.has_value());
  ASSERT_EQ(parsed.problems.size(), 4u);
  for (std::size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(parsed.problems[i].rfind("line " + std::to_string(8 + i) + ": ", 0), 0u)
        << parsed.problems[i];
  }
}

// ---- pieces of the output ---------------------------------------------------------------------

TEST(SimOutput, StatusIsPaddedToFiftyAndLongerTextIsKept) {
  EXPECT_EQ(padStatus("Writing 'recovery'"), "Writing 'recovery'" + std::string(32, ' '));
  const std::string fifty(50, 'x');
  EXPECT_EQ(padStatus(fifty), fifty);
  EXPECT_EQ(padStatus(fifty + "yz"), fifty + "yz");
}

TEST(SimOutput, OkayHasSevenWideMillisecondTimes) {
  EXPECT_EQ(okay(1.107), "OKAY [  1.107s]");
  EXPECT_EQ(okay(0.0), "OKAY [  0.000s]");
  EXPECT_EQ(okay(0.0996), "OKAY [  0.100s]");
  EXPECT_EQ(okay(123.4567), "OKAY [123.457s]");
  EXPECT_EQ(okay(1234.5), "OKAY [1234.500s]");
}

TEST(SimOutput, DeviceListIsOneTabSeparatedCrLfLineAPhone) {
  EXPECT_EQ(devicesList({}), "");
  EXPECT_EQ(devicesList({"A1", "B2"}), "A1\tfastboot\r\nB2\tfastboot\r\n");
}

TEST(SimOutput, SplitWriteCutsIntoPiecesThatRejoinExactly) {
  EXPECT_TRUE(splitWrite("", 3).empty());
  EXPECT_TRUE(splitWrite("", 0).empty());
  EXPECT_EQ(splitWrite("abcdefghij", 0), std::vector<std::string_view>{"abcdefghij"});
  EXPECT_EQ(splitWrite("abcdefghij", 3), (std::vector<std::string_view>{"abc", "def", "ghi", "j"}));
  EXPECT_EQ(splitWrite("abc", 3), std::vector<std::string_view>{"abc"});
}

// ---- the conversation -------------------------------------------------------------------------

// Journals every call; time moves only when the session sleeps.
class ScriptedHost final : public Host {
 public:
  std::string encode(std::string_view utf8) override {
    std::string bytes;
    for (const char c : utf8) bytes.append(doubleBytes ? 2 : 1, c);
    return bytes;
  }
  void write(Stream stream, std::string_view bytes) override {
    journal.push_back((stream == Stream::out ? "out:" : "err:") + std::string(bytes));
  }
  void sleep(unsigned milliseconds) override {
    journal.push_back("sleep:" + std::to_string(milliseconds));
    clock += milliseconds / 1000.0;
  }
  void sleepForever() override { journal.push_back("forever"); }
  double now() override { return clock; }
  LoadedImage loadImage(const std::string& path) override {
    journal.push_back("load:" + path);
    return image;
  }
  bool storeImage(const std::string& partition) override {
    journal.push_back("store:" + partition);
    return storeWorks;
  }

  std::string written(const std::string& prefix) const {
    std::string all;
    for (const auto& entry : journal) {
      if (entry.rfind(prefix, 0) == 0) all += entry.substr(prefix.size());
    }
    return all;
  }

  std::vector<std::string> journal;
  LoadedImage image{LoadError::none, 44761088};  // 43712 KB
  bool storeWorks = true;
  bool doubleBytes = false;
  double clock = 100.0;
};

class SimSession : public ::testing::Test {
 protected:
  int run(std::vector<std::string> args) { return runSession(args, settings, host); }

  Settings settings;
  ScriptedHost host;
};

const std::string kSending = padStatus("Sending 'recovery' (43712 KB)");
const std::string kWriting = padStatus("Writing 'recovery'");

TEST_F(SimSession, DevicesListsEveryPhoneOnStandardOutputOnly) {
  settings.devices = {"0123456789ABCDEF", "emulator-5554"};
  EXPECT_EQ(run({"devices"}), kExitOk);
  EXPECT_EQ(host.journal, std::vector<std::string>{
                              "out:0123456789ABCDEF\tfastboot\r\nemulator-5554\tfastboot\r\n"});

  host.journal.clear();
  settings.devices.clear();
  EXPECT_EQ(run({"devices"}), kExitOk);
  EXPECT_TRUE(host.journal.empty());

  // A slow client answers late; a stuck one never does.
  settings.devices = {"AAA"};
  settings.devicesMs = 400;
  host.journal.clear();
  EXPECT_EQ(run({"devices"}), kExitOk);
  EXPECT_EQ(host.journal, (std::vector<std::string>{"sleep:400", "out:AAA\tfastboot\r\n"}));
  settings.devicesMs.reset();
  host.journal.clear();
  run({"devices"});
  EXPECT_EQ(host.journal, std::vector<std::string>{"forever"});
}

TEST_F(SimSession, FlashSendsThenWritesThenStoresWithEachStepTimed) {
  settings.sendMs = 1107;
  settings.writeMs = 110;
  EXPECT_EQ(run({"flash", "recovery", "C:\\img\\a b.img"}), kExitOk);
  // The first half of the Sending line is out before the transfer starts.
  const std::vector<std::string> expected = {
      "load:C:\\img\\a b.img",   "err:" + kSending,         "sleep:1107",
      "err:OKAY [  1.107s]\r\n", "err:" + kWriting,         "sleep:110",
      "store:recovery",          "err:OKAY [  0.110s]\r\n", "err:Finished. Total time: 1.217s\r\n",
  };
  EXPECT_EQ(host.journal, expected);
}

TEST_F(SimSession, SizeIsWholeKilobytesRoundedDown) {
  for (const auto& [bytes, kb] : std::vector<std::pair<std::uint64_t, std::string>>{
           {0, "0"}, {1023, "0"}, {1024, "1"}, {2047, "1"}, {5ull << 30, "5242880"}}) {
    host.journal.clear();
    host.image.size = bytes;
    ASSERT_EQ(run({"flash", "boot", "x.img"}), kExitOk);
    EXPECT_EQ(host.journal.at(1), "err:" + padStatus("Sending 'boot' (" + kb + " KB)"));
  }
}

TEST_F(SimSession, MissingOrLockedFileIsFatalBeforeLookingForAPhone) {
  settings.devices.clear();  // would wait forever if the phone came first
  host.image = {LoadError::notFound, 0};
  EXPECT_EQ(run({"flash", "recovery", "恢复 镜像.img"}), kExitFailed);
  EXPECT_EQ(host.journal, (std::vector<std::string>{
                              "load:恢复 镜像.img",
                              "err:fastboot: error: cannot load '恢复 镜像.img': No such file or "
                              "directory\r\n"}));

  host.journal.clear();
  host.image = {LoadError::denied, 0};
  EXPECT_EQ(run({"flash", "recovery", "x.img"}), kExitFailed);
  EXPECT_EQ(host.written("err:"), "fastboot: error: cannot load 'x.img': Permission denied\r\n");
}

TEST_F(SimSession, NoPhoneWaitsForTheSetTimeOrForever) {
  settings.devices.clear();
  settings.waitMs = 300;
  EXPECT_EQ(run({"flash", "recovery", "x.img"}), kExitFailed);
  EXPECT_EQ(host.journal, (std::vector<std::string>{
                              "load:x.img", "err:< waiting for any device >\r\n", "sleep:300"}));
  host.journal.clear();
  settings.waitMs.reset();
  EXPECT_EQ(run({"flash", "recovery", "x.img"}), kExitFailed);
  EXPECT_EQ(host.journal.back(), "forever");
}

TEST_F(SimSession, DashSNamesThePhoneAndGetvarAnswersAsTheClientPrints) {
  settings.devices = {"AAA", "BBB", "Q1"};
  settings.getvar["current-slot"] = "a";
  settings.getvar["is-userspace"] = std::nullopt;
  settings.phoneGetvar["BBB"]["unlocked"] = "no";
  settings.huawei = {"Q1"};
  settings.getvarMs = 30;
  const std::vector<std::string> query = {"getvar", "unlocked",     "getvar", "current-slot",
                                          "getvar", "is-userspace", "getvar", "product"};
  const auto ask = [&](const std::string& serial) {
    host.journal.clear();
    std::vector<std::string> args = {"-s", serial};
    args.insert(args.end(), query.begin(), query.end());
    EXPECT_EQ(run(args), kExitOk) << serial;  // refusals do not fail the run
    return host.written("err:");
  };
  EXPECT_EQ(ask("BBB"),
            "unlocked: no\r\n"
            "current-slot: a\r\n"
            "getvar:is-userspace                                FAILED (remote: 'Variable not "
            "found')\r\n"
            "product: quorlane-sim\r\n"
            "Finished. Total time: 0.030s\r\n");
  EXPECT_EQ(host.journal.front(), "sleep:30");  // before the first answer
  EXPECT_EQ(ask("AAA").substr(0, 14), "unlocked: yes\r");
  const std::string quiet = ask("Q1");
  EXPECT_NE(quiet.find("getvar:unlocked                                    FAILED (remote: "
                       "'Command not allowed')\r\n"),
            std::string::npos);
  EXPECT_NE(quiet.find("product: quorlane-sim\r\n"), std::string::npos);

  // A phone not listed is waited for, by the name it was given.
  settings.waitMs = 100;
  host.journal.clear();
  EXPECT_EQ(run({"-s", "aaa", "getvar", "product"}), kExitFailed);
  EXPECT_EQ(host.journal, (std::vector<std::string>{"err:< waiting for aaa >\r\n", "sleep:100"}));
  host.journal.clear();
  EXPECT_EQ(run({"-s", "CCC", "flash", "recovery", "x.img"}), kExitFailed);
  EXPECT_EQ(host.written("err:"), "< waiting for CCC >\r\n");
  EXPECT_EQ(host.written("store:"), "");
  // A listed one is flashed; a phone that never answers keeps the client waiting.
  EXPECT_EQ(run({"-s", "BBB", "flash", "recovery", "x.img"}), kExitOk);
  settings.getvarMs.reset();
  host.journal.clear();
  run({"getvar", "product"});
  EXPECT_EQ(host.journal, std::vector<std::string>{"forever"});
}

TEST_F(SimSession, RefusingPhoneFailsTheWriteAndStoresNothing) {
  settings.fail = Failure::remote;
  settings.sendMs = 0;
  EXPECT_EQ(run({"flash", "recovery", "x.img"}), kExitFailed);
  EXPECT_EQ(host.written("err:"), kSending + "OKAY [  0.000s]\r\n" + kWriting +
                                      "FAILED (remote: 'Partition not found')\r\n"
                                      "fastboot: error: Command failed\r\n");
  EXPECT_EQ(host.written("store:"), "");
}

TEST_F(SimSession, PartitionNameThatIsNotAPlainWordIsRefusedNotStored) {
  for (const std::string name : {"../boot", "a\\b", "", "boot.img"}) {
    host.journal.clear();
    EXPECT_EQ(run({"flash", name, "x.img"}), kExitFailed) << name;
    EXPECT_EQ(host.written("store:"), "") << name;
    EXPECT_NE(host.written("err:").find("FAILED (remote: 'Partition not found')"),
              std::string::npos);
  }
}

TEST_F(SimSession, ImageThatCannotBeStoredIsTheSimulatorsOwnError) {
  host.storeWorks = false;
  EXPECT_EQ(run({"flash", "recovery", "x.img"}), kExitSimulatorError);
  EXPECT_EQ(host.written("err:").find("Finished"), std::string::npos);
}

TEST_F(SimSession, AnyOtherCommandLineIsAUsageErrorOnStandardError) {
  const std::vector<std::vector<std::string>> lines = {{},
                                                       {"reboot"},
                                                       {"Devices"},
                                                       {"devices", "-l"},
                                                       {"flash"},
                                                       {"flash", "recovery"},
                                                       {"flash", "recovery", "a.img", "b.img"},
                                                       {"-s"},
                                                       {"-s", "AAA"},
                                                       {"getvar"},
                                                       {"getvar", "product", "reboot"},
                                                       {"getvar", "product", "getvar"}};
  for (const auto& args : lines) {
    host.journal.clear();
    EXPECT_EQ(run(args), kExitFailed);
    ASSERT_EQ(host.journal.size(), 1u);
    EXPECT_EQ(host.journal[0].rfind("err:fastboot: usage: ", 0), 0u) << host.journal[0];
    EXPECT_EQ(host.journal[0].substr(host.journal[0].size() - 2), "\r\n");
  }
}

TEST_F(SimSession, SilentPrintsNothingWhateverTheCommand) {
  settings.silentMs = 250;
  settings.extraStdout = "noise";
  for (const auto& args : std::vector<std::vector<std::string>>{
           {"devices"}, {"flash", "recovery", "x.img"}, {"nonsense"}}) {
    host.journal.clear();
    EXPECT_EQ(run(args), kExitOk);
    EXPECT_EQ(host.journal, std::vector<std::string>{"sleep:250"});
  }
}

TEST_F(SimSession, ExtraStdoutComesFirst) {
  settings.extraStdout = "hello\r\n";
  run({"devices"});
  EXPECT_EQ(host.journal.front(), "out:hello\r\n");
  host.journal.clear();
  run({"bogus"});
  EXPECT_EQ(host.journal.front(), "out:hello\r\n");
}

TEST_F(SimSession, ChunksAreCutFromTheEncodedBytesWithPausesBetweenThem) {
  host.doubleBytes = true;  // every text grows in encoding, as Chinese does in UTF-8 or GBK
  settings.chunk = 3;
  settings.chunkMs = 5;
  settings.devices = {"AB"};
  run({"devices"});
  // "AB\tfastboot\r\n" is 13 characters, 26 bytes encoded: 9 pieces, 8 pauses.
  std::vector<std::string> expected;
  const std::string encoded = host.encode("AB\tfastboot\r\n");
  for (std::size_t at = 0; at < encoded.size(); at += 3) {
    if (at > 0) expected.push_back("sleep:5");
    expected.push_back("out:" + encoded.substr(at, 3));
  }
  EXPECT_EQ(host.journal, expected);
}

}  // namespace
}  // namespace quorlane::fastboot_sim
