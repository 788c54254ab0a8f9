#include "window/restart.h"

#include "common/texts.h"

namespace quorlane::window {

std::string_view restartCommandLine(CommandKind kind) {
  switch (kind) {
    case CommandKind::rebootRecovery:
      return texts::kRebootRecoveryCommand;
    case CommandKind::oemRebootRecovery:
      return texts::kOemRebootRecoveryCommand;
    case CommandKind::reboot:
      return texts::kRebootCommand;
    case CommandKind::deviceQuery:
    case CommandKind::flash:
    case CommandKind::boot:
      break;
  }
  return {};
}

RestartStep afterRestart(CommandKind ran, const Outcome& outcome) {
  // Only a refusal is worth a second try: after a broken link the phone is most likely
  // restarting already, and a client that cannot run fails the same way again.
  if (ran == CommandKind::rebootRecovery && outcome.kind == Outcome::Kind::restartRefused) {
    return {CommandKind::oemRebootRecovery, std::nullopt};
  }
  return {std::nullopt, resultPanel(outcome, ran)};
}

}  // namespace quorlane::window
