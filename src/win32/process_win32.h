#pragma once
// The command runner's platform on Windows: anonymous pipes, CreateProcessW, a thread that reads
// the pipe and hands each read to the window's thread through a message-only window, the ANSI
// code page; and the message pump that services the window while a command runs.
//
// Each command runs in a job object of its own, so that it can be ended together with everything
// it started. Where the system refuses a job (Windows 7 allows a process one job only, so a
// program that itself runs in a job that forbids breaking away cannot give its commands one),
// the command runs without, and ending it ends the interpreter and its descendants found by
// their parent process ids instead.

#include <windows.h>

#include "ports/process.h"

namespace quorlane::win32 {
// How a started command came to be: in a job of its own, in one after breaking away from the
// job this program runs in, or without a job.
enum class JobPlacement { own, brokeAway, none };
}  // namespace quorlane::win32

namespace quorlane::win32 {

class Win32Process final : public ports::Process {
 public:
  // Where the last command started was placed; for the tests.
  JobPlacement lastPlacement() const { return lastPlacement_; }

  std::optional<ports::Pipe> createPipe() override;
  std::optional<std::string> environment(std::string_view name) override;
  std::optional<ports::Started> start(std::string_view commandLine, ports::Handle output,
                                      bool endWithProgram) override;
  std::unique_ptr<ports::OutputReading> startReading(ports::Handle readEnd, std::size_t maxBytes,
                                                     unsigned pauseMs,
                                                     ports::ReadDelivery deliver) override;
  void close(ports::Handle handle) override;
  std::optional<long> exitCode(ports::Handle process, unsigned waitMs) override;
  void endCommand(const ports::Started& command) override;
  void setEndWithProgram(const ports::Started& command, bool end) override;
  bool isLeadByte(unsigned char byte) override;
  std::string fromAnsi(std::string_view bytes) override;

 private:
  JobPlacement lastPlacement_ = JobPlacement::none;
};

// Ends process `root` (a handle) and every process it started, found by parent process id:
// what ending a command comes to without a job. The descendants' own children go too.
void endProcessTree(HANDLE root);

// Waits for a message of this thread (at most kWaitMs), then dispatches every waiting message.
// Keyboard messages for `dialog` (when set) go through IsDialogMessage first, so Tab and access
// keys work during a command as they do in the main loop. A WM_QUIT seen here is posted again
// for the main loop.
class Win32Pump final : public ports::EventPump {
 public:
  static constexpr DWORD kWaitMs = 100;
  static constexpr DWORD kQuitPauseMs = 10;
  void setDialog(HWND dialog) { dialog_ = dialog; }
  void waitEvents() override;
  // Dispatches what is waiting without waiting for anything.
  void pumpEvents();

 private:
  HWND dialog_ = nullptr;
};

}  // namespace quorlane::win32
