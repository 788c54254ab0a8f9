#pragma once
// The simulator's settings: which phones are attached, how long each step takes, how the phone
// fails, and how the output is encoded and split. They come from fastboot-sim.ini beside the
// executable; the keys are listed in README.md and at the top of main_win32.cpp.

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorlane::fastboot_sim {

enum class Failure {
  none,    // the phone accepts every flash
  remote,  // the phone refuses the write: FAILED (remote: 'Partition not found')
  crash,   // the client dies in the middle of the write with an access violation's exit code
};

// A phone's answers to getvar by variable name: a value (which may be empty), or nothing for a
// variable its bootloader does not know.
using Variables = std::map<std::string, std::optional<std::string>, std::less<>>;

struct Settings {
  std::vector<std::string> devices{"0123456789ABCDEF"};
  unsigned sendMs = 200;
  unsigned writeMs = 50;
  Failure fail = Failure::none;
  // Set: print nothing at all, wait this long, exit 0.
  std::optional<unsigned> silentMs;
  // How long "< waiting for any device >" waits; unset waits forever.
  std::optional<unsigned> waitMs;
  // How long `devices` takes before it lists the phones; unset: it never answers, as a client
  // stuck on a driver in a bad state.
  std::optional<unsigned> devicesMs = 0u;
  // The code page the output is encoded in; 0 is the ANSI code page (CP_ACP).
  unsigned codePage = 0;
  // Every write is split into pieces of at most this many bytes (0: not split), with chunkMs
  // between the pieces.
  std::size_t chunk = 0;
  unsigned chunkMs = 0;
  // Written to standard output before anything else (UTF-8, escapes already resolved).
  std::string extraStdout;
  // What every phone answers to getvar (a name not here is unknown to its bootloader), and what
  // one phone, by serial, answers differently.
  Variables getvar{{"product", "quorlane-sim"},
                   {"unlocked", "yes"},
                   {"partition-type:recovery", "raw"},
                   {"has-slot:recovery", "no"}};
  std::map<std::string, Variables> phoneGetvar;
  // Phones whose bootloader answers almost nothing, as Huawei's: every variable but product is
  // refused with 'Command not allowed'.
  std::vector<std::string> huawei;
  // How long the phone takes before its first answer to getvar; unset: it never answers.
  std::optional<unsigned> getvarMs = 0u;
};

struct ParsedSettings {
  Settings settings;
  // One entry per line that could not be used, e.g. "line 3: unknown key 'sendms'".
  std::vector<std::string> problems;
};

// Parses the settings file's text (UTF-8, with or without a byte order mark). Every key is
// optional; a line that cannot be used is reported and otherwise ignored.
ParsedSettings parseSettings(std::string_view text);

}  // namespace quorlane::fastboot_sim
