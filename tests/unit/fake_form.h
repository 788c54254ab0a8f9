#pragma once
// The form over a set of fakes of its own, for a table case that needs a fresh one.

#include "fake_process.h"
#include "fake_window.h"
#include "window/Form1.h"

namespace quorlane::testing {

// Runs the form's start-up with one phone listed, as a flash runs only on a known list, then
// forgets what it ran and showed, so that a test sees only what its own presses do.
inline void startWithOnePhone(window::Form1& form, FakeProcess& os, FakeControls& controls,
                              FakeShell& shell, FakeFeedback* feedback = nullptr) {
  os.reads = chunks({"AAA\tfastboot\r\n"});
  form.Form_Load();
  os.commandLines.clear();
  os.journal.clear();
  os.pumps = 0;
  controls.texts[window::ControlId::CMDTeXT].clear();
  controls.setTextCalls = 0;
  controls.appends = 0;
  shell.journal.clear();
  shell.checked.clear();
  if (feedback != nullptr) *feedback = FakeFeedback();
}

struct FakeForm {
  FakeControls controls;
  FakeShell shell;
  FakeSkin skin;
  FakeProcess os;
  window::Form1 form{controls, shell, skin, os, os};
};

}  // namespace quorlane::testing
