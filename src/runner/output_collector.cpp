#include "runner/output_collector.h"

#include <utility>

namespace quorlane {

namespace {

// The length of `bytes` without a last lead byte whose second byte is still to come.
std::size_t wholeCharacters(ports::Process& os, const std::string& bytes) {
  std::size_t i = 0;
  while (i < bytes.size()) {
    if (!os.isLeadByte(static_cast<unsigned char>(bytes[i]))) {
      ++i;
    } else if (i + 1 == bytes.size()) {
      return i;
    } else {
      i += 2;
    }
  }
  return bytes.size();
}

}  // namespace

std::optional<std::string> OutputCollector::add(std::optional<std::string> read) {
  if (ended_) return std::nullopt;
  if (!read) {
    // A lead byte still held back at the end has no second byte coming: decoded as it is.
    const std::string last = os_.fromAnsi(carry_);
    collected_ += last + "\r\n";
    written_ += last;
    ended_ = true;
    return std::nullopt;
  }
  std::string bytes = std::exchange(carry_, std::string()) + *read;
  const std::size_t whole = wholeCharacters(os_, bytes);
  carry_ = bytes.substr(whole);
  bytes.resize(whole);
  std::string text = os_.fromAnsi(bytes);
  collected_ += text + "\r\n";
  written_ += text;
  return text;
}

}  // namespace quorlane
