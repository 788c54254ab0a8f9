#pragma once
// The form over a set of fakes of its own, for a table case that needs a fresh one.

#include "fake_process.h"
#include "fake_window.h"
#include "window/Form1.h"

namespace quorlane::testing {

struct FakeForm {
  FakeControls controls;
  FakeShell shell;
  FakeSkin skin;
  FakeProcess os;
  window::Form1 form{controls, shell, skin, os, os};
};

}  // namespace quorlane::testing
