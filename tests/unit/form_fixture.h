#pragma once
// The whole window over fakes of its own, for the tests of what only the whole shows.

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "fake_process.h"
#include "fake_window.h"
#include "window/Form1.h"

namespace quorlane::window {

// The fakes by their short names, for the tests of the whole window.
using testing::chunks;
using testing::contains;
using testing::FakeControls;
using testing::FakeFeedback;
using testing::FakeProcess;
using testing::FakeShell;
using testing::FakeSkin;
using testing::kOnePhone;
using testing::kTwoPhones;
using testing::PipeState;
using testing::then;

inline constexpr const char* kCmd = R"(C:\windows\system32\cmd.exe /c ")";
inline constexpr const char* kWaiting = "< waiting for any device >\r\n";

// The form over fakes of its own.
struct FakeForm {
  FakeForm() {
    // A second passes in each of the runner's pauses, so every piece of live output is due at
    // once unless a test makes appends slow.
    form.setClock([this] { return now; });
    os.onEachWait = [this] { now += std::chrono::seconds(1); };
    // Every image these tests flash is a boot image, so its check lets it through unasked.
    for (const char* image : {"a.img", "b.img", "x.img", "C:\\img\\r.img", "RE\\recovery1.img",
                              "RE\\recovery2.img", "RE\\recovery3.img"}) {
      shell.addImage(image);
    }
    form.setFeedback(&feedback);
  }
  // Runs the start-up with one phone listed, as a flash runs only on a known list, then forgets
  // what it ran and showed, so that a test sees only what its own presses do.
  void startWithOnePhone() {
    os.reads = chunks({kOnePhone});
    form.Form_Load();
    os.commandLines.clear();
    os.journal.clear();
    os.pumps = 0;
    controls.texts[ControlId::CMDTeXT].clear();
    shell.journal.clear();
    feedback = FakeFeedback();
  }

  FakeControls controls;
  FakeShell shell;
  FakeSkin skin;
  FakeProcess os;
  FakeFeedback feedback;
  Clock::time_point now{};
  Form1 form{controls, shell, skin, os, os};
};

class FormTest : public ::testing::Test, public FakeForm {
 protected:
  std::string box() { return controls.texts[ControlId::CMDTeXT]; }
  // The text the runner was asked to run, from the command line it formed.
  std::string lastCommand() const {
    const std::string& line = os.commandLines.back();
    return line.substr(std::string(kCmd).size(), line.size() - std::string(kCmd).size() - 1);
  }
};

}  // namespace quorlane::window
