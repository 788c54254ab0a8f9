#pragma once
// What the window checks and watches around a flash: the image file before it is flashed, and
// the running command's output for a wait for a phone.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "ports/window.h"

namespace quorlane::window {

// Every recovery image is an Android boot image and begins with these 8 bytes.
inline constexpr std::string_view kBootImageMagic = "ANDROID!";
// The check reads no more of a file than this.
inline constexpr std::size_t kImageCheckBytes = kBootImageMagic.size();
// A look whose first read has not returned after this long is given up.
inline constexpr unsigned kImageCheckTimeoutMs = 2000;

enum class ImageKind {
  bootImage,  // begins with ANDROID!
  zip,        // PK 03 04: a package for flashing inside recovery
  sparse,     // 3A FF 26 ED: a sparse image, e.g. of the system or vendor partition
  unknown,
};

ImageKind imageKind(std::string_view firstBytes);

// What to do with an image before flashing it, and what to tell the user.
struct ImageVerdict {
  enum class Action {
    flash,  // a boot image: flash it without asking
    ask,    // ask with Yes and No, No the default; flash only on Yes
    stop,   // tell the user and flash nothing
  };
  Action action = Action::flash;
  std::string prompt;
  std::string title;
  MessageStyle style = MessageStyle::ok;
};

// The verdict on what a look at the image found. `shownPath` is the path as the message names
// it; `builtInName` is the file name of a built-in image (recovery1.img, ...), nothing for a
// path the user chose.
ImageVerdict judgeImage(const FileStart& found, const std::string& shownPath,
                        const std::optional<std::string>& builtInName);

// A path a look must never open: a device's name (CON, NUL, COM1, LPT1, ..., also with an
// extension or in any folder) or a path in the system's device namespace that names no file on
// a drive (\\.\PhysicalDrive0, \\.\pipe\x).
bool namesDevice(std::string_view path);

// The verdict when no image path was given at all.
ImageVerdict noImageChosen();

// Follows a running command's output, as it arrives in pieces, and tells whether its latest
// line is the fastboot client's wait for a phone ("< waiting for any device >", or for one
// serial), and whether the client has begun to talk to a phone: a line that sends to it, writes
// to it or starts it, also one still being written.
class PhoneWaitWatch {
 public:
  void reset();
  void add(std::string_view output);
  bool waiting() const;
  bool talking() const { return talking_; }

 private:
  std::string last_;     // the latest complete line that was not empty (its start only)
  std::string current_;  // the line still being written (its start only)
  bool talking_ = false;
};

}  // namespace quorlane::window
