#include "window/flash_safety.h"

#include "common/strings.h"
#include "common/texts.h"

namespace quorlane::window {

namespace {

constexpr std::string_view kWaitPrefix = "< waiting for";
// Only the start of a line decides; longer lines are not kept whole.
constexpr std::size_t kKeptLineStart = 64;

constexpr std::string_view kZipMagic = "PK\x03\x04";
constexpr std::string_view kSparseMagic = "\x3A\xFF\x26\xED";

using texts::concat;

ImageVerdict stop(std::string prompt) {
  return {ImageVerdict::Action::stop, std::move(prompt), std::string(texts::kImageStopTitle),
          MessageStyle::warning};
}

}  // namespace

ImageKind imageKind(std::string_view firstBytes) {
  if (firstBytes.starts_with(kBootImageMagic)) return ImageKind::bootImage;
  if (firstBytes.starts_with(kZipMagic)) return ImageKind::zip;
  if (firstBytes.starts_with(kSparseMagic)) return ImageKind::sparse;
  return ImageKind::unknown;
}

bool namesDevice(std::string_view path) {
  // The device namespace: only a path on a drive (\\.\C:\...) or a volume names a file there.
  if (path.starts_with("\\\\.\\") || path.starts_with("\\\\?\\") || path.starts_with("//./") ||
      path.starts_with("//?/")) {
    const std::string rest = asciiUpper(path.substr(4));
    const bool onDrive = rest.size() > 3 && rest[0] >= 'A' && rest[0] <= 'Z' && rest[1] == ':' &&
                         (rest[2] == '\\' || rest[2] == '/');
    const bool onVolume = rest.starts_with("VOLUME{") && rest.find('\\') != std::string::npos;
    const bool onShare = rest.starts_with("UNC\\");
    return !(onDrive || onVolume || onShare);
  }
  // A reserved name is a device in every folder, whatever follows its first dot, and with
  // blanks or a colon after it ("CON:" names the device itself).
  std::string_view last = path;
  if (!last.empty() && last.back() == ':') last.remove_suffix(1);
  const std::size_t separator = last.find_last_of("\\/:");
  std::string name(separator == std::string_view::npos ? last : last.substr(separator + 1));
  name = asciiUpper(name.substr(0, name.find('.')));
  while (!name.empty() && name.back() == ' ') name.pop_back();
  for (const char* reserved : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$", "CLOCK$"}) {
    if (name == reserved) return true;
  }
  // COM1 to COM9 and LPT1 to LPT9, also with the superscript digits 1, 2 and 3.
  if (name.starts_with("COM") || name.starts_with("LPT")) {
    const std::string digit = name.substr(3);
    if (digit.size() == 1 && digit[0] >= '1' && digit[0] <= '9') return true;
    if (digit == "\xC2\xB9" || digit == "\xC2\xB2" || digit == "\xC2\xB3") return true;
  }
  return false;
}

ImageVerdict noImageChosen() {
  return stop(std::string(texts::kNoImageChosen));
}

ImageVerdict judgeImage(const FileStart& found, const std::string& shownPath,
                        const std::optional<std::string>& builtInName) {
  switch (found.state) {
    case FileStart::State::missing:
      if (builtInName) {
        return stop(concat(texts::kBuiltInMissingBefore, shownPath, texts::kBuiltInMissingMiddle,
                           *builtInName, texts::kBuiltInMissingAfter));
      }
      return stop(concat(texts::kImageMissingBefore, shownPath, texts::kImageMissingAfter));
    case FileStart::State::folder:
      return stop(concat(texts::kImageIsFolder, shownPath));
    case FileStart::State::unreadable:
      return stop(concat(texts::kImageUnreadable, shownPath, "\r\n\r\n", found.error));
    case FileStart::State::device:
      return stop(concat(texts::kImageIsDeviceBefore, shownPath, texts::kImageIsDeviceAfter));
    case FileStart::State::locked:
      return stop(concat(texts::kImageLockedBefore, shownPath, texts::kImageLockedAfter));
    case FileStart::State::noDrive:
      return stop(concat(texts::kImageNoDriveBefore, shownPath, texts::kImageNoDriveAfter));
    case FileStart::State::timedOut:
      return stop(concat(texts::kImageTimedOutBefore, shownPath, texts::kImageTimedOutAfter));
    case FileStart::State::busy:
      return stop(concat(texts::kImageLookBusyBefore, shownPath, texts::kImageLookBusyAfter));
    case FileStart::State::file:
      break;
  }
  if (found.bytes.empty()) return stop(concat(texts::kImageEmpty, shownPath));

  std::string_view looks;
  switch (imageKind(found.bytes)) {
    case ImageKind::bootImage:
      return {};
    case ImageKind::zip:
      looks = texts::kImageLooksZip;
      break;
    case ImageKind::sparse:
      looks = texts::kImageLooksSparse;
      break;
    case ImageKind::unknown:
      looks = texts::kImageLooksUnknown;
      break;
  }
  return {ImageVerdict::Action::ask,
          concat(texts::kImageNotBootBefore, shownPath, texts::kImageNotBootMiddle, looks,
                 texts::kImageNotBootAfter),
          std::string(texts::kImageAskTitle),
          MessageStyle::yesNo | MessageStyle::warning | MessageStyle::secondDefault};
}

void PhoneWaitWatch::reset() {
  last_.clear();
  current_.clear();
  talking_ = false;
}

namespace {

// Whether a line (or the start of one) shows that the client has begun to send to the phone,
// write to it or start it: in every client's wording, old ones in lower case.
bool talksToPhone(std::string_view line) {
  while (!line.empty() && line.front() == ' ') line.remove_prefix(1);
  const std::string start = asciiLower(line.substr(0, 12));
  for (const std::string_view step :
       {"sending", "writing", "downloading", "booting", "rebooting"}) {
    if (start.starts_with(step)) return true;
  }
  return false;
}

}  // namespace

void PhoneWaitWatch::add(std::string_view output) {
  for (const char c : output) {
    if (c == '\r' || c == '\n') {
      if (!current_.empty()) last_ = std::move(current_);
      current_.clear();
    } else if (current_.size() < kKeptLineStart) {
      current_ += c;
    }
    if (!talking_ && talksToPhone(current_)) talking_ = true;
  }
}

bool PhoneWaitWatch::waiting() const {
  return std::string_view(current_.empty() ? last_ : current_).starts_with(kWaitPrefix);
}

}  // namespace quorlane::window
