#include "runner/MyCMD.h"

#include <utility>

namespace quorlane {

namespace {

// One handle of the current command, closed exactly once: by close() where it must go early,
// otherwise when the owner goes out of scope.
class OwnedHandle {
 public:
  OwnedHandle(platform::Process& os, platform::Handle handle) : os_(os), handle_(handle) {}
  OwnedHandle(const OwnedHandle&) = delete;
  OwnedHandle& operator=(const OwnedHandle&) = delete;
  ~OwnedHandle() { close(); }

  platform::Handle get() const { return handle_; }
  // Takes a handle to close once none is held.
  void adopt(platform::Handle handle) {
    close();
    handle_ = handle;
  }
  void close() {
    if (handle_ != 0) os_.close(std::exchange(handle_, 0));
  }

 private:
  platform::Process& os_;
  platform::Handle handle_;
};

// Clears the busy flag however the run is left, also when a handler inside the pump throws.
class BusyScope {
 public:
  explicit BusyScope(bool& flag) : flag_(flag) { flag_ = true; }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;
  ~BusyScope() { flag_ = false; }

 private:
  bool& flag_;
};

// Splits off a trailing lead byte that still waits for its second byte, so that a two-byte
// character cut by a read boundary is decoded whole with the next read.
std::string takeTrailingLeadByte(platform::Process& os, std::string& bytes) {
  std::size_t i = 0;
  while (i < bytes.size()) {
    if (os.isLeadByte(static_cast<unsigned char>(bytes[i]))) {
      if (i + 1 == bytes.size()) {
        std::string carry = bytes.substr(i);
        bytes.resize(i);
        return carry;
      }
      i += 2;
    } else {
      ++i;
    }
  }
  return {};
}

}  // namespace

std::string commandLine(const std::optional<std::string>& comSpec,
                        const std::string& quotedCommand) {
  std::string interpreter = comSpec.value_or(std::string());
  if (interpreter.find(' ') != std::string::npos) interpreter = '"' + interpreter + '"';
  return interpreter + " /c " + quotedCommand;
}

MyCMD::MyCMD(platform::Process& os, platform::EventPump& pump) : os_(os), pump_(pump) {}

void MyCMD::raiseError(const char* text, std::int32_t code) {
  std::string message = text;
  std::int32_t lastDllError = code;
  if (Error) Error(message, lastDllError);
}

void MyCMD::执行命令(std::string sCommand) {
  if (sCommand.empty()) {
    raiseError(kEmptyCommand, kEmptyCommandCode);
    return;
  }
  if (busy_) {
    raiseError(kBusy, kBusyCode);
    return;
  }
  run('"' + sCommand + '"');
}

void MyCMD::endCommand() {
  if (running_) os_.endCommand(*running_);
}

void MyCMD::run(const std::string& quotedCommand) {
  exitCode_.reset();
  std::optional<std::string> output;
  {
    BusyScope busy(busy_);
    output = collect(quotedCommand);
  }
  // The runner is free again before its events: a handler may start the next command.
  if (!output) {
    raiseError(kStartFailed, kStartFailedCode);
    return;
  }
  if (执行完毕) 执行完毕(*output, true);
}

std::optional<std::string> MyCMD::collect(const std::string& quotedCommand) {
  platform::Handle readHandle = 0;
  platform::Handle writeHandle = 0;
  if (!os_.createPipe(readHandle, writeHandle)) return std::nullopt;
  // Closed in the reverse order of their declaration: the process, its thread, the read end and
  // last the job, which would end whatever the command left running.
  OwnedHandle job(os_, 0);
  OwnedHandle readEnd(os_, readHandle);
  OwnedHandle writeEnd(os_, writeHandle);

  const auto started =
      os_.start(commandLine(os_.environment("ComSpec"), quotedCommand), writeEnd.get());
  if (!started) return std::nullopt;
  job.adopt(started->job);
  OwnedHandle thread(os_, started->thread);
  OwnedHandle process(os_, started->process);
  running_ = started;
  // Forgets the running command however the run is left, before its handles are closed.
  struct Forget {
    std::optional<platform::Started>& running;
    ~Forget() { running.reset(); }
  } forget{running_};

  // Only the child holds the write end now: the pipe breaks as soon as the command (and anything
  // it started that shares the handle) has finished.
  writeEnd.close();

  std::string accumulator;
  std::string carry;
  std::string chunk;
  for (;;) {
    os_.sleep(kPauseMs);
    pump_.pumpEvents();
    // Read only when it cannot block, so the window stays responsive while a command is silent.
    if (os_.peek(readEnd.get()) == platform::PipeState::empty) continue;
    std::string bytes;
    const bool ok = os_.read(readEnd.get(), bytes, kReadSize);
    if (!ok) {
      // A lead byte still held back at the end has no second byte coming: decode it as it is.
      chunk = os_.fromAnsi(carry);
      break;
    }
    bytes.insert(0, carry);
    carry = takeTrailingLeadByte(os_, bytes);
    chunk = os_.fromAnsi(bytes);
    if (收到输出) 收到输出(chunk);
    accumulator += chunk;
    accumulator += "\r\n";
  }
  accumulator += chunk;
  accumulator += "\r\n";
  exitCode_ = os_.exitCode(process.get(), kExitCodeWaitMs);
  return accumulator;
}

}  // namespace quorlane
