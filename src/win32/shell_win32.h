#pragma once
// The shell services the handlers use on Windows: the executable's folder and name, file
// search, the current directory, message boxes, the open-file dialog, starting a program and
// ending this one.

#include <windows.h>
// HDROP; needs windows.h first.
#include <shellapi.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ports/window.h"

namespace quorlane::win32 {

class Win32Shell final : public window::Shell {
 public:
  // Message boxes and the dialog are owned by `mainWindow` once it is visible.
  explicit Win32Shell(HWND mainWindow = nullptr) : main_(mainWindow) {}
  void setMainWindow(HWND mainWindow) { main_ = mainWindow; }

  std::string applicationPath() override;
  std::string executableName() override;
  bool fileExists(std::string_view path) override;
  window::Failure setCurrentDirectory(std::string_view path) override;
  window::Answer messageBox(std::string_view prompt, window::MessageStyle style,
                            std::string_view title) override;
  window::FileStart readFileStart(std::string_view path, std::size_t maxBytes,
                                  unsigned timeoutMs) override;
  std::optional<std::string> openFile(const window::OpenFileRequest& request) override;
  window::ClientPath pathForAnsiProgram(std::string_view path) override;
  window::Failure startProgram(std::string_view commandLine, window::Show show) override;
  [[noreturn]] void endProgram() override;

 private:
  HWND owner() const;
  HWND main_;
};

// The paths of files dropped on a window, in the order the system gives them; the drop is
// finished (its memory freed) however this ends. shell32 is loaded with the first drop.
std::vector<std::string> droppedFiles(HDROP drop);

// "description|pattern|" pairs as the open-file dialog takes them: each part ended by a NUL and
// the whole list by a second NUL. Empty for an empty filter.
std::wstring dialogFilter(std::string_view filter);

// The system's numbers for a message box's style, the button that closed it, and a window's show
// state.
UINT messageBoxFlags(window::MessageStyle style);
window::Answer answerOf(int button);
int showCommand(window::Show show);

// The system's description of an error code in the user's language, without the trailing line
// break; "错误代码 N" when the system has none.
std::string errorDescription(DWORD code);

// Whether code page `codePage` represents every character of `text` (UTF-16), so that the text
// survives the way there and back unchanged.
bool representable(unsigned codePage, std::wstring_view text);

// The path as a program that receives its arguments in code page `codePage` can open it: the path
// itself when that code page represents it, else what shortPath gives for it (the file's 8.3
// path; empty when it has none) when the code page represents that; otherwise nothing.
std::optional<std::wstring> pathForCodePage(
    unsigned codePage, const std::wstring& path,
    const std::function<std::wstring(const std::wstring&)>& shortPath);

// Runs `look` on a thread of its own and waits at most timeoutMs for what it finds. A look that
// takes longer than a moment has this thread's windows serviced meanwhile, with `owner` (when
// set) disabled as under a modal box. One that has not ended in time is cancelled where the
// system can, left to end on its own and reported as timedOut; until it has ended, every other
// look is answered at once as busy, without being tried.
window::FileStart lookWithin(std::function<window::FileStart()> look, unsigned timeoutMs,
                             HWND owner);

}  // namespace quorlane::win32
