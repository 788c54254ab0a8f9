#pragma once
// What the window's handlers need of the platform: the controls' texts and states, message
// boxes, the open-file dialog, files beside the executable, the skin library, starting a program
// from a command line, and ending the program. Texts are UTF-8.

#include <optional>
#include <string>

#include "window/layout.h"

namespace quorlane::window {

class Controls {
 public:
  virtual ~Controls() = default;
  virtual std::string text(ControlId id) = 0;
  virtual void setText(ControlId id, const std::string& text) = 0;
  // Adds text at the end of an edit control without replacing what it holds; the box keeps its
  // newest line in view when its end was in view before.
  virtual void appendText(ControlId id, const std::string& text) = 0;
  virtual bool enabled(ControlId id) = 0;
  virtual void setEnabled(ControlId id, bool enabled) = 0;
};

// Message box styles, as the platform numbers them.
inline constexpr unsigned kStyleOk = 0;
inline constexpr unsigned kStyleCritical = 16;

struct OpenFileRequest {
  std::string filter;  // "description|pattern|" pairs
  int flags = 0;
};

class Shell {
 public:
  virtual ~Shell() = default;
  // The executable's folder, without a trailing backslash, and its base name without extension.
  virtual std::string applicationPath() = 0;
  virtual std::string executableName() = 0;
  // A directory search for exactly this path that finds a normal file (hidden or system files
  // and folders do not count).
  virtual bool fileExists(const std::string& path) = 0;
  virtual bool setCurrentDirectory(const std::string& path) = 0;
  virtual void messageBox(const std::string& prompt, unsigned style, const std::string& title) = 0;
  // The chosen file's full path; nothing when the user cancelled. Throws std::runtime_error when
  // the dialog cannot be shown. Leaves the current directory as it was.
  virtual std::optional<std::string> openFile(const OpenFileRequest& request) = 0;
  // The path as a program that receives its arguments in the ANSI code page (as the fastboot
  // client does) can open it: unchanged when that code page can represent it, otherwise the
  // file's short (8.3) path when the volume gives it one the code page can represent; nothing
  // when there is no such path.
  virtual std::optional<std::string> pathForAnsiProgram(const std::string& path) = 0;
  // Starts a command line with a window style without waiting for it. On failure returns false
  // and says why in `error`.
  virtual bool startProgram(const std::string& commandLine, int showStyle, std::string& error) = 0;
  // Ends the program at once. A fake may return; callers return right after it.
  virtual void endProgram() = 0;
};

// The skin library, loaded by its full path. Each call returns nothing on success, otherwise the
// description of what failed (the library could not be loaded, an entry point is missing).
class Skin {
 public:
  virtual ~Skin() = default;
  virtual std::optional<std::string> setAero(const std::string& libraryPath, int value) = 0;
  virtual std::optional<std::string> attach(const std::string& libraryPath,
                                            const std::string& skinFile,
                                            const std::string& password) = 0;
};

}  // namespace quorlane::window
