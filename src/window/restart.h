#pragma once
// The restarts the result panel offers after a flash, step by step: into recovery with the
// command every client since 29.0.1 knows, then, should the client or the bootloader refuse it,
// once with the OEM command some older bootloaders know instead, and should that fail too, the
// keys to hold. A plain restart has no second try.

#include <optional>
#include <string_view>

#include "window/outcome.h"

namespace quorlane::window {

// The command line of a restart command (CommandKind::rebootRecovery, oemRebootRecovery or
// reboot); empty for any other kind.
std::string_view restartCommandLine(CommandKind kind);

// What follows a restart command that came to `outcome`: the next command to run, or else the
// panel to show (for a refused restart into recovery, the keys to hold instead).
struct RestartStep {
  std::optional<CommandKind> next;   // run restartCommandLine(*next) next
  std::optional<ResultPanel> panel;  // show this when nothing runs next
};
RestartStep afterRestart(CommandKind ran, const Outcome& outcome);

}  // namespace quorlane::window
