#pragma once
// What a phone in fastboot mode says of itself before anything is sent to it: the bootloader
// variables one client run asks for (product, unlocked, the recovery partition, the current slot,
// fastbootd), what a press of flash or of a start from memory then does, and how the result
// panel describes the phone.

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ports/window.h"

namespace quorlane::window {

// The command line that asks the phone with this serial (as `fastboot devices` listed it) for
// its variables, to run through cmd /c. Nothing for a serial the client could not be pointed at
// exactly: empty, ???????????? (a phone without a serial: -s would wait for ever), or holding
// anything but letters, digits, '.', '_' and '-' (the interpreter treats some characters
// specially; a tcp: or udp: serial would reach the network instead of USB).
std::optional<std::string> phoneFactsCommand(std::string_view serial);
// The same for the phone the environment names (ANDROID_SERIAL), which the client reaches by
// itself: a phone on the network, which the client's list of USB phones never shows.
std::string environmentPhoneFactsCommand();

// One variable's answer.
struct Fact {
  enum class State {
    noAnswer,         // not asked, not answered, refused, or answered with nothing
    unknownVariable,  // the bootloader does not know this variable
    known,            // `value` holds the answer
  };
  State state = State::noAnswer;
  std::string value;  // known: without the blanks around it, never empty

  bool operator==(const Fact&) const = default;
};

struct PhoneFacts {
  Fact product;                // the model's code name, e.g. aries
  Fact unlocked;               // yes or no
  Fact partitionTypeRecovery;  // e.g. raw or ext4: the bootloader knows a partition "recovery"
  Fact hasSlotRecovery;        // yes on A/B phones whose recovery has a copy per slot
  Fact currentSlot;            // a or b (some bootloaders say _a); only A/B phones know it
  Fact isUserspace;            // yes in fastbootd, the phone system's own fastboot

  bool operator==(const PhoneFacts&) const = default;
};

// The answers in what the client printed: standard output and error as one text, the pieces
// joined as written (PolledCommand's `written`; `collected` puts a line break after every read,
// and a read may end inside a line). "NAME: VALUE" is an answer, "getvar:NAME ... FAILED
// (remote: '...')" a refusal (older clients: "FAILED (remote: ...)"). The client's exit code says
// nothing: it is 0 after refusals too.
PhoneFacts readPhoneFacts(std::string_view clientOutput);

// What a press of a button that sends an image does, given what the phone said of itself.
enum class Press {
  flash,  // fastboot flash recovery IMAGE
  boot,   // fastboot boot IMAGE: a start from memory (临时启动)
};

struct PressVerdict {
  enum class Action {
    send,       // send the pressed command, without asking
    sendOnYes,  // ask with Yes and No, No the default; Yes sends the pressed command
    bootOnYes,  // ask with Yes and No, No the default; Yes starts the same image from memory
                // (fastboot boot) instead; nothing is flashed either way
    stop,       // tell the user (OK) and send nothing
  };
  Action action = Action::send;
  // The message box, for every action but send.
  std::string prompt;
  std::string title;
  MessageStyle style = MessageStyle::ok;
  // send of a flash to an A/B phone: a sentence naming the slot written, for the result panel
  // after the flash. Empty otherwise.
  std::string note;
};

// The verdict on a press; without facts (the phone was not asked, or did not answer in time)
// every press is sent as it always was.
PressVerdict judgePress(Press press, const std::optional<PhoneFacts>& facts);

// What the result panel after a device list says of its one phone: one short sentence, or
// nothing when the phone said nothing worth telling.
std::string describePhone(const PhoneFacts& facts);

// The serials of several listed phones joined with 、, each followed by its model in brackets
// where it is known: "A1（aries）、B2".
std::string serialsWithModels(const std::vector<std::string>& serials,
                              const std::map<std::string, PhoneFacts>& facts);

}  // namespace quorlane::window
