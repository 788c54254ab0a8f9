#pragma once
// What a finished command came to, recognised from what the fastboot client printed and the
// interpreter's exit code, and what the result panel then tells the user.
//
// Clients of every age are recognised: before 2018 they printed "sending", "finished. total
// time", "FAILED (remote: text)" and "error: ...", newer ones "Sending", "Finished. Total time",
// "FAILED (remote: 'text')" and "fastboot: error: ...". Case never matters.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ports/window.h"

namespace quorlane::window {

// What the program ran.
enum class CommandKind {
  deviceQuery,        // fastboot devices
  flash,              // fastboot flash recovery IMAGE
  boot,               // fastboot boot IMAGE: the image started once from the phone's memory
  rebootRecovery,     // fastboot reboot recovery
  oemRebootRecovery,  // fastboot oem reboot-recovery: what bootloaders without the above know
  reboot,             // fastboot reboot: the phone starts normally
};

struct Outcome {
  enum class Kind {
    none,                  // nothing to tell: the output speaks for itself
    flashed,               // the image was written to recovery
    noRecoveryPartition,   // the phone has no partition called recovery; nothing was written
    booted,                // the phone is starting the image from memory
    cannotBoot,            // the bootloader cannot start an image sent from the PC
    locked,                // the bootloader is locked
    tooLarge,              // the image does not fit
    connectionBroke,       // the USB connection broke during the transfer
    imageNotOpened,        // the client could not open the image file
    otherFailure,          // a failure none of the above explains
    noPhone,               // the device list is empty
    severalPhones,         // the device list names more than one phone
    noAnswer,              // the device query did not answer in time and was ended
    onePhone,              // the device list's one phone said of itself what `detail` tells
    restartingToRecovery,  // the phone took the command to restart into recovery
    restarting,            // the phone took the command to restart normally
    restartRefused,        // the client or the bootloader does not know that restart
    // The client itself could not run, told by the interpreter's exit code (or its words):
    clientNotFound,           // the interpreter found no fastboot to run
    clientLibraryMissing,     // a DLL it needs is missing
    clientTooNew,             // it needs functions this Windows does not have
    clientWrongArchitecture,  // it (or a DLL beside it) is built for another kind of Windows
    clientCrashed,            // it ended with an access violation or a failed security check
  };
  Kind kind = Kind::none;
  // otherFailure: the client's own failure line; imageNotOpened: the file as the client named
  // it; onePhone: what the phone said of itself; severalPhones: the serials with the models the
  // phones named; flashed: what the phone's answers add (the slot written). Empty when there is
  // none.
  std::string detail;
  // severalPhones: the serial numbers, in the list's order.
  std::vector<std::string> serials;
  // A failure's reason in the phone's own words: its "(bootloader) ..." line or the message of
  // "FAILED (remote: '...')". Empty when the phone gave none.
  std::string phoneSaid;
};

// The outcome of a command of the given kind that printed `output` (every line, as collected)
// and ended with `exitCode` (nothing when it could not be read: then it claims nothing). The
// exit code is the interpreter's, which passes on the client's; a system status such as
// 0xC0000135 may come as the negative number its 32 bits make or as the positive one.
Outcome recogniseOutcome(CommandKind command, std::string_view output,
                         const std::optional<long>& exitCode);

// The phones a `fastboot devices` output lists, in its order: one line each, the serial, a tab
// and the word fastboot (newer clients put a blank before the word; a phone without a serial
// shows as ????????????). Other lines are not phones. The one reading of a device list: what the
// panel tells, what a flash checks and what the watch keeps all come from it.
std::vector<std::string> listedPhones(std::string_view output);

// What a device list says: no phone, several, or nothing to tell for one.
Outcome deviceListOutcome(std::vector<std::string> phones);

// A button of the result panel: its caption (with its access key) and what it runs. `boot`
// starts the image of the command the panel tells about; the restarts need no image.
struct ResultButton {
  std::string caption;
  CommandKind command;
};

// What the result panel shows for an outcome: its text and, where the user can act on it at
// once, up to two buttons. Nothing for Kind::none.
struct ResultPanel {
  std::string text;
  std::vector<ResultButton> buttons;
  // The buttons' captions as the feedback takes them: the first is ControlId::ResultAction, the
  // second ControlId::ResultAction2.
  ResultButtons captions() const;
};
std::optional<ResultPanel> resultPanel(const Outcome& outcome, CommandKind command);

}  // namespace quorlane::window
