#pragma once
// A command's output as its reads arrive: each read decoded from the ANSI code page and collected
// the way the runner hands it on, every read's text followed by CR LF, then, after the failed read
// that ends the output, whatever was held back and one more CR LF. A two-byte character cut by a
// read boundary is held back and decoded whole with the next read.

#include <optional>
#include <string>

#include "ports/process.h"

namespace quorlane {

class OutputCollector {
 public:
  explicit OutputCollector(ports::Process& os) : os_(os) {}

  // One read's bytes, or nothing for the read that failed (the end of the output). Returns the
  // text of a read; nothing for the end, and for anything that comes after it.
  std::optional<std::string> add(std::optional<std::string> read);
  bool ended() const { return ended_; }
  // Everything collected so far; the whole output once ended.
  const std::string& collected() const { return collected_; }
  // The texts of the reads as the command wrote them, with nothing between them.
  const std::string& written() const { return written_; }

 private:
  ports::Process& os_;
  std::string carry_;  // a lead byte still waiting for its second byte
  std::string collected_;
  std::string written_;
  bool ended_ = false;
};

}  // namespace quorlane
