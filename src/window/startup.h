#pragma once
// The start-up's checks, before anything is asked of a phone: the fastboot tool and its libraries
// beside the program, the skin, and the folder every command runs in. A check that fails shows
// the one message that says what is missing or what went wrong, and ends the program.

#include <string>
#include <string_view>

#include "ports/window.h"

namespace quorlane::window {

class Startup {
 public:
  Startup(Shell& shell, Skin& skin) : shell_(shell), skin_(skin) {}

  // True when everything is in place, the skin attached and the current directory the program's
  // folder; false when the program has been ended.
  bool prepare();
  // A failure the start-up could not go on after, with the system's description of it: the
  // skin's files are named when one is missing, otherwise the failure is shown. Ends the
  // program.
  void failed(const std::string& description);

 private:
  void missingComponent(std::string_view fileName);

  Shell& shell_;
  Skin& skin_;
};

}  // namespace quorlane::window
