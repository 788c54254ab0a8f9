#pragma once
// The phone list over fakes, as the window's parts see it: device queries the test scripts, a
// runner for the window's commands, the feedback a list's panel goes to, and a clock the test
// moves.

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "fake_process.h"
#include "fake_window.h"
#include "runner/MyCMD.h"
#include "window/command_feedback.h"
#include "window/phone_list.h"

namespace quorlane::testing {

class PhoneListTest : public ::testing::Test {
 protected:
  PhoneListTest() { feedback.setFeedback(&shown); }

  std::string& box() { return controls.texts[window::ControlId::CMDTeXT]; }
  // The start-up's query has answered `list`, and the box shows it as the start-up leaves it.
  void startedWith(const std::string& list) {
    phones.startupQueryBegins();
    phones.startupQueryRuns();
    box() = list.empty() ? "\r\n" : list + "\r\n\r\n";
    phones.startupQueryEnded(list);
  }
  // The timer ticking every 100 ms for that long, with what a running query has written by then
  // arriving between two ticks.
  void tickFor(std::chrono::milliseconds span) {
    const auto tick = [this] {
      while (!os.reads.empty() && os.deliverNext()) {
      }
      phones.tick();
    };
    for (const auto end = now + span; now < end; now += std::chrono::milliseconds(100)) tick();
    tick();
  }

  FakeControls controls;
  FakeProcess os;        // the device queries
  FakeProcess runnerOs;  // the window's commands
  MyCMD runner{runnerOs, runnerOs};
  FakeFeedback shown;
  window::CommandFeedback feedback;
  window::Clock::time_point now{};
  window::ClockSource clock = [this] { return now; };
  window::PhoneList phones{os, runner, controls, feedback, clock};
};

}  // namespace quorlane::testing
