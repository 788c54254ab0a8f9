#pragma once
// What the command runner needs of the operating system: an output pipe read apart from the user
// interface, a child process, the environment, and the ANSI code page the child's output is
// written in. Texts are UTF-8; conversion to and from the platform's encodings happens behind this
// interface. As every port of the program, it never throws and fills no out-parameter: a call that
// can fail returns a std::optional, nothing when it failed.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace quorlane::ports {

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

// A pipe being read apart from the user interface; the reading stops when this is destroyed.
class OutputReading {
 public:
  virtual ~OutputReading() = default;
};

// One read of a pipe as it reaches the user interface: the bytes read, or nothing for the read
// that failed (normally the broken pipe once the command has ended), which is always the last.
using ReadDelivery = std::function<void(std::optional<std::string> bytes)>;

class Process {
 public:
  virtual ~Process() = default;

  // An anonymous pipe whose write end is inheritable and whose read end is not.
  virtual std::optional<Pipe> createPipe() = 0;
  virtual std::optional<std::string> environment(std::string_view name) = 0;
  // Starts commandLine with its standard output and standard error on `output`, no standard
  // input, hidden, inheriting handles, in the caller's environment and current directory. With
  // `endWithProgram`, its processes are set to end with this program (see setEndWithProgram)
  // before the first of them runs.
  virtual std::optional<Started> start(std::string_view commandLine, Handle output,
                                       bool endWithProgram) = 0;
  // Reads `readEnd` on a thread of its own until a read fails: a pause of pauseMs before every
  // read, each read at most maxBytes, a read only when something is waiting or the pipe has
  // broken. Each read is handed to `deliver` on the user interface's thread, in the order of the
  // reads, by whichever message loop runs there (a message box's or a dialog's too), so a modal
  // loop never holds up the reading. Nothing when the reading could not be started.
  virtual std::unique_ptr<OutputReading> startReading(Handle readEnd, std::size_t maxBytes,
                                                      unsigned pauseMs, ReadDelivery deliver) = 0;
  virtual void close(Handle handle) = 0;
  // The exit code of a started process, waiting at most waitMs for it to end; nothing when it
  // is still running after that or the code cannot be read.
  virtual std::optional<long> exitCode(Handle process, unsigned waitMs) = 0;
  // Ends a started command with everything it started: its whole job, or where it has none, the
  // process and the processes it started.
  virtual void endCommand(const Started& command) = 0;
  // Whether the command's processes end when the last handle of its job is closed, also when
  // this program is ended from outside or crashes. Without a job nothing can be set.
  virtual void setEndWithProgram(const Started& command, bool end) = 0;

  // The ANSI code page: whether a byte opens a two-byte character, and conversion to UTF-8.
  virtual bool isLeadByte(unsigned char byte) = 0;
  virtual std::string fromAnsi(std::string_view bytes) = 0;
};

// Waits until something is waiting for the user interface (at most a short while), lets it
// handle everything that is waiting, then returns.
class EventPump {
 public:
  virtual ~EventPump() = default;
  virtual void waitEvents() = 0;
};

}  // namespace quorlane::ports
