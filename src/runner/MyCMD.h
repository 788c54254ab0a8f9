#pragma once
// MyCMD runs one command line at a time through the command interpreter and collects what the
// command writes to standard output and standard error. The result arrives through its events,
// raised before 执行命令 returns. While a command runs, 执行命令 services the user interface, so
// other handlers (and other runners) run in the middle of a command. The output is read apart
// from the user interface and arrives through it: 收到输出 is raised by whichever message loop
// runs, a modal box's too, and 执行完毕 once 执行命令's own loop sees the command has ended.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "common/texts.h"
#include "ports/process.h"
#include "runner/started_command.h"

namespace quorlane {

class MyCMD {
 public:
  // Texts and codes of the refusals.
  static constexpr std::string_view kEmptyCommand = texts::kEmptyCommand;
  static constexpr std::int32_t kEmptyCommandCode = 16;
  static constexpr std::string_view kBusy = texts::kBusy;
  static constexpr std::int32_t kBusyCode = 1201;
  static constexpr std::string_view kStartFailed = texts::kStartFailed;
  static constexpr std::int32_t kStartFailedCode = 16;

  static constexpr std::size_t kReadSize = 32767;
  static constexpr unsigned kPauseMs = 10;
  // After the pipe has broken the interpreter is normally gone already; its exit code is waited
  // for at most this long.
  static constexpr unsigned kExitCodeWaitMs = 200;

  MyCMD(ports::Process& os, ports::EventPump& pump);
  ~MyCMD();
  MyCMD(const MyCMD&) = delete;
  MyCMD& operator=(const MyCMD&) = delete;

  // Events, in declaration order.
  std::function<void(std::string& Error, std::int32_t& LastDLLError)> Error;
  std::function<void(const std::string& 返回内容, bool 结束)> 执行完毕;
  // Raised for every successful read, once it has been collected, with its text: the read's
  // bytes decoded, without a lead byte at its end whose second byte is still to come (that one
  // comes at the start of the next read's text).
  std::function<void(const std::string& chunk)> 收到输出;

  void 执行命令(std::string sCommand);
  // Starts sCommand now, for the next 执行命令 of the very same command to take over: that run
  // then reads everything it wrote meanwhile and goes on as any other. Lets a command run while
  // the window it reports to is still being built. Any other command, or the runner's end, first
  // ends it. When it cannot start, the 执行命令 that follows tries again and reports as always.
  // Nothing happens while a command runs: that may be the one started ahead, still being read.
  void startAhead(const std::string& sCommand);

  bool busy() const { return busy_; }
  // The interpreter's exit code of the command that ended last, read after its pipe broke;
  // nothing when it could not be read (or no command has ended yet). Valid in 执行完毕.
  const std::optional<long>& exitCode() const { return exitCode_; }
  // Ends the running command with every process it started; nothing happens when none runs. Its
  // pipe then breaks and the command ends with 执行完毕 as always.
  void endCommand();
  // Whether the running command ends with this program, also when the program is ended from
  // outside or crashes (where its processes are in a job); nothing happens when none runs.
  void endWithProgram(bool end);
  // Whether the commands started from now on (startAhead's too) are set to end with this program
  // before the first of their processes runs, so that there is no moment in which they could
  // outlive it. Off until set.
  void startEndingWithProgram(bool end) { startEnding_ = end; }

 private:
  void run(const std::string& quotedCommand);
  // Runs the started command to its end and returns everything it wrote; nothing when its
  // output could not be read.
  std::optional<std::string> collect(const StartedCommand& command);
  // Ends and forgets the command started ahead, if any.
  void dropAhead();
  void raiseError(std::string_view text, std::int32_t code);

  ports::Process& os_;
  ports::EventPump& pump_;
  bool busy_ = false;
  // The command started ahead (startAhead) and its quoted command line.
  std::optional<StartedCommand> ahead_;
  std::string aheadCommand_;
  std::optional<long> exitCode_;
  // The running command's processes; set only while a command runs.
  std::optional<ports::Started> running_;
  bool endsWithProgram_ = false;
  bool startEnding_ = false;
};

}  // namespace quorlane
