#pragma once
// What the command runner needs of the operating system: an output pipe, a child process, the
// environment, a pause, and the ANSI code page the child's output is written in. Texts are UTF-8;
// conversion to and from the platform's encodings happens behind this interface. As every port
// of the program, it never throws and fills no out-parameter: a call that can fail returns a
// std::optional, nothing when it failed.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quorlane::platform {

// An opaque operating-system handle; 0 means none.
using Handle = std::uintptr_t;

struct Pipe {
  Handle readEnd = 0;
  Handle writeEnd = 0;
};

struct Started {
  Handle process = 0;
  Handle thread = 0;
  // The job that holds the command's processes (the interpreter and all it starts); 0 where the
  // system could not put them in one.
  Handle job = 0;
};

enum class PipeState {
  data,    // bytes are waiting: a read returns at once
  empty,   // nothing waiting yet: a read would block
  broken,  // every writer has gone and nothing is left: a read fails
};

class Process {
 public:
  virtual ~Process() = default;

  // An anonymous pipe whose write end is inheritable and whose read end is not.
  virtual std::optional<Pipe> createPipe() = 0;
  virtual std::optional<std::string> environment(std::string_view name) = 0;
  // Starts commandLine with its standard output and standard error on `output`, no standard
  // input, hidden, inheriting handles, in the caller's environment and current directory.
  virtual std::optional<Started> start(std::string_view commandLine, Handle output) = 0;
  virtual PipeState peek(Handle readEnd) = 0;
  // At most maxBytes; nothing when the read failed.
  virtual std::optional<std::string> read(Handle readEnd, std::size_t maxBytes) = 0;
  virtual void close(Handle handle) = 0;
  virtual void sleep(unsigned milliseconds) = 0;
  // The exit code of a started process, waiting at most waitMs for it to end; nothing when it
  // is still running after that or the code cannot be read.
  virtual std::optional<long> exitCode(Handle process, unsigned waitMs) = 0;
  // Ends a started command with everything it started: its whole job, or where it has none, the
  // process and the processes it started.
  virtual void endCommand(const Started& command) = 0;

  // The ANSI code page: whether a byte opens a two-byte character, and conversion to UTF-8.
  virtual bool isLeadByte(unsigned char byte) = 0;
  virtual std::string fromAnsi(std::string_view bytes) = 0;
};

// Lets the user interface handle everything that is waiting, then returns.
class EventPump {
 public:
  virtual ~EventPump() = default;
  virtual void pumpEvents() = 0;
};

}  // namespace quorlane::platform
