#pragma once
// The command runner's platform on Windows: anonymous pipes, CreateProcessW, PeekNamedPipe,
// the ANSI code page; and the message pump that services the window between reads.

#include <windows.h>

#include "platform/process.h"

namespace quorlane::win32 {

class Win32Process final : public platform::Process {
 public:
  bool createPipe(platform::Handle& readEnd, platform::Handle& writeEnd) override;
  std::optional<std::string> environment(const std::string& name) override;
  std::optional<platform::Started> start(const std::string& commandLine,
                                         platform::Handle output) override;
  platform::PipeState peek(platform::Handle readEnd) override;
  bool read(platform::Handle readEnd, std::string& bytes, std::size_t maxBytes) override;
  void close(platform::Handle handle) override;
  void sleep(unsigned milliseconds) override;
  bool isLeadByte(unsigned char byte) override;
  std::string fromAnsi(std::string_view bytes) override;
};

// Dispatches every waiting message of this thread. Keyboard messages for `dialog` (when set) go
// through IsDialogMessage first, so Tab and access keys work during a command as they do in the
// main loop. A WM_QUIT seen here is posted again for the main loop.
class Win32Pump final : public platform::EventPump {
 public:
  void setDialog(HWND dialog) { dialog_ = dialog; }
  void pumpEvents() override;

 private:
  HWND dialog_ = nullptr;
};

}  // namespace quorlane::win32
