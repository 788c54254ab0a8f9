// What the window shows about a command besides its output: the hint while it waits for a phone,
// the taskbar button's progress and flashing, and the result panel.

#include "window/command_feedback.h"

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

#include "fake_window.h"

namespace quorlane::window {
namespace {

using testing::contains;
class CommandFeedbackTest : public ::testing::Test {
 protected:
  CommandFeedbackTest() { feedback.setFeedback(&shown); }
  // A flash that ends with the interpreter's `exitCode`.
  void flash(std::optional<long> exitCode) {
    feedback.started(CommandKind::flash, std::nullopt);
    feedback.ended(Outcome{}, exitCode);
  }

  testing::FakeFeedback shown;
  CommandFeedback feedback;
};

TEST_F(CommandFeedbackTest, TheTaskbarShowsProgressAndAFailureUntilTheWindowIsSeen) {
  feedback.started(CommandKind::flash, std::nullopt);
  feedback.activated();  // a click while it runs
  EXPECT_EQ(shown.progress, (std::vector<Progress>{Progress::running}));
  feedback.ended(Outcome{}, 0);
  EXPECT_EQ(shown.progress, (std::vector<Progress>{Progress::running, Progress::none}));
  flash(1);
  EXPECT_EQ(shown.progress.back(), Progress::failed);
  // The failure stays until the window is clicked or brought to the front ...
  feedback.activated();
  EXPECT_EQ(shown.progress.back(), Progress::none);
  const std::size_t settled = shown.progress.size();
  feedback.activated();  // nothing more to clear
  EXPECT_EQ(shown.progress.size(), settled);
  // ... or the next command starts.
  flash(1);
  feedback.started(CommandKind::flash, std::nullopt);
  EXPECT_EQ(shown.progress.back(), Progress::running);
  // A client that crashed (an access violation's code, 0xC0000005, negative as a 32-bit code)
  // failed too; a code that could not be read claims no failure.
  feedback.ended(Outcome{}, -1073741819L);
  EXPECT_EQ(shown.progress.back(), Progress::failed);
  flash(std::nullopt);
  EXPECT_EQ(shown.progress.back(), Progress::none);
  // A command that could not start after all shows nothing.
  feedback.started(CommandKind::flash, std::nullopt);
  feedback.notStarted();
  EXPECT_EQ(shown.progress.back(), Progress::none);

  // A command that ends behind other windows flashes the button, also one that failed.
  EXPECT_EQ(shown.flashes, 0);
  shown.foreground = false;
  flash(0);
  EXPECT_EQ(shown.flashes, 1);
  flash(1);
  EXPECT_EQ(shown.flashes, 2);
  EXPECT_EQ(shown.progress.back(), Progress::failed);
}

TEST_F(CommandFeedbackTest, TheHintShowsOnceWhileACommandWaitsForAPhoneAndGoesWhenItMovesOnOrEnds) {
  feedback.started(CommandKind::flash, std::nullopt);
  feedback.waitingForPhone(false);
  feedback.waitingForPhone(true);
  feedback.waitingForPhone(true);
  feedback.waitingForPhone(false);
  ASSERT_EQ(shown.hints.size(), 2u);
  for (const char* part : {"等待手机", "FastBoot", "数据线", "USB 驱动", "退出"}) {
    EXPECT_TRUE(contains(shown.hints[0], part)) << part;
  }
  EXPECT_EQ(shown.hints[1], "");
  // A command that ends while it waits takes its hint with it.
  feedback.waitingForPhone(true);
  feedback.ended(Outcome{}, 0);
  ASSERT_EQ(shown.hints.size(), 4u);
  EXPECT_NE(shown.hints[2], "");
  EXPECT_EQ(shown.hints[3], "");
}

// A command's start takes the panel away and its end shows what it came to. A device list shown
// while no command runs tells of no phone or of several; one phone takes only such a panel away.
TEST_F(CommandFeedbackTest, TheResultPanelTellsWhatTheLastCommandOrListCameTo) {
  feedback.started(CommandKind::deviceQuery, std::nullopt);
  feedback.ended(recogniseOutcome(CommandKind::deviceQuery, "", 0), 0);
  EXPECT_TRUE(contains(shown.result(), "没有找到 FastBoot 模式的手机")) << shown.result();
  EXPECT_FALSE(feedback.resultImage());  // no image for its button to act on
  feedback.deviceList(deviceListOutcome({"AAA", "BBB"}));
  EXPECT_TRUE(contains(shown.result(), "AAA、BBB")) << shown.result();
  feedback.deviceList(deviceListOutcome({"AAA"}));
  EXPECT_EQ(shown.result(), "");
  feedback.deviceList(deviceListOutcome({}));
  EXPECT_TRUE(contains(shown.result(), "没有找到")) << shown.result();

  const Image image{"D:\\my img\\r.img", std::nullopt};
  feedback.started(CommandKind::flash, image);
  EXPECT_EQ(shown.result(), "");
  feedback.ended(Outcome{Outcome::Kind::noRecoveryPartition, {}, {}, {}}, 1);
  EXPECT_TRUE(contains(shown.result(), "没有 recovery 分区")) << shown.result();
  EXPECT_TRUE(contains(shown.result(), "[临时启动(&T)]"));
  ASSERT_TRUE(feedback.resultImage());
  EXPECT_EQ(feedback.resultImage()->path, image.path);
  feedback.deviceList(deviceListOutcome({"AAA"}));
  EXPECT_TRUE(contains(shown.result(), "没有 recovery 分区"));
}

TEST(CommandFeedback, WithoutAPlaceToShowItNothingIsShownAndNothingBreaks) {
  testing::FakeFeedback shown;
  CommandFeedback feedback;
  feedback.setFeedback(&shown);
  feedback.setFeedback(nullptr);
  feedback.started(CommandKind::flash, Image{"x.img", std::nullopt});
  feedback.waitingForPhone(true);
  feedback.ended(Outcome{Outcome::Kind::noRecoveryPartition, {}, {}, {}}, 1);
  feedback.deviceList(deviceListOutcome({}));
  feedback.activated();
  EXPECT_TRUE(feedback.resultImage());
  EXPECT_TRUE(shown.hints.empty() && shown.progress.empty() && shown.results.empty());
}

// A stand-in for Windows' device tree: each look is delivered when the test says so, and a look
// given up before that delivers nothing.
class FakeDeviceTree final : public ports::DeviceTree {
 public:
  struct Look final : ports::DeviceLook {
    Look(FakeDeviceTree& tree, ports::UsbDelivery deliver) : tree(tree), number(++tree.looks) {
      tree.pending = std::move(deliver);
    }
    ~Look() override {
      if (tree.looks == number) tree.pending = nullptr;
    }
    FakeDeviceTree& tree;
    int number;
  };
  std::unique_ptr<ports::DeviceLook> lookAtUsb(ports::UsbDelivery deliver) override {
    return std::make_unique<Look>(*this, std::move(deliver));
  }
  // Hands the pending look what Windows knows; false when none is pending.
  bool deliver(std::vector<ports::UsbDevice> devices) {
    if (!pending) return false;
    const auto handOver = pending;
    handOver(std::move(devices));
    return true;
  }
  ports::UsbDelivery pending;
  int looks = 0;
};

// With no phone listed, and while a command waits for one, Windows' devices are looked at, and
// again at each device change while that lasts: a phone it knows without its driver is told of
// instead of the general words. A phone listed, or a command that talks to one, asks nothing.
TEST_F(CommandFeedbackTest, WhatWindowsKnowsOfAPhoneTheClientCannotSeeReplacesTheGeneralWords) {
  FakeDeviceTree tree;
  feedback.setDeviceTree(&tree);
  ports::UsbDevice phone;
  phone.hardwareIds = {"USB\\VID_18D1&PID_4EE0&REV_0100"};
  phone.compatibleIds = {"USB\\Class_ff&SubClass_42&Prot_03"};
  phone.problem = ports::kProblemNoDriver;

  feedback.deviceList(deviceListOutcome({"AAA"}));
  feedback.devicesChanged();
  EXPECT_EQ(tree.looks, 0);
  feedback.deviceList(deviceListOutcome({}));
  EXPECT_TRUE(contains(shown.result(), "没有找到 FastBoot 模式的手机")) << shown.result();
  ASSERT_TRUE(tree.deliver({phone}));
  EXPECT_TRUE(contains(shown.result(), "18D1:4EE0")) << shown.result();
  EXPECT_TRUE(contains(shown.result(), "Android Bootloader Interface")) << shown.result();
  feedback.devicesChanged();
  ASSERT_TRUE(tree.deliver({}));  // gone from Windows too: the general words again
  EXPECT_TRUE(contains(shown.result(), "没有找到 FastBoot 模式的手机")) << shown.result();

  feedback.started(CommandKind::flash, std::nullopt);
  feedback.devicesChanged();
  EXPECT_EQ(tree.looks, 2);
  feedback.waitingForPhone(true);
  EXPECT_TRUE(contains(shown.hints.back(), "USB 驱动")) << shown.hints.back();
  // A look given up for a newer one delivers nothing.
  feedback.devicesChanged();
  EXPECT_EQ(tree.looks, 4);
  ASSERT_TRUE(tree.deliver({phone}));
  EXPECT_TRUE(contains(shown.hints.back(), "18D1:4EE0")) << shown.hints.back();
  EXPECT_TRUE(contains(shown.hints.back(), "退出")) << shown.hints.back();
  feedback.waitingForPhone(false);
  feedback.devicesChanged();
  EXPECT_EQ(tree.looks, 4);
}

}  // namespace
}  // namespace quorlane::window
