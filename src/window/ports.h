#pragma once
// What the window's handlers need of the platform: the controls' texts and states, message
// boxes, the open-file dialog, files beside the executable, the skin library, starting a program
// from a command line, and ending the program. Texts are UTF-8.

#include <cstddef>
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

// Message box styles and answers, as the platform numbers them.
inline constexpr unsigned kStyleOk = 0;
inline constexpr unsigned kStyleYesNo = 4;
inline constexpr unsigned kStyleCritical = 16;
inline constexpr unsigned kStyleWarning = 48;
inline constexpr unsigned kStyleSecondDefault = 256;  // the second button is the default
inline constexpr int kAnswerOk = 1;
inline constexpr int kAnswerYes = 6;
inline constexpr int kAnswerNo = 7;

// What a look at the start of a file found.
struct FileStart {
  enum class State {
    missing,     // no file or folder by that name (or a path that cannot name one)
    folder,      // a folder
    unreadable,  // there, but it cannot be opened for reading; `error` says why
    file,        // read: `bytes` holds its first bytes, as many as asked for or the whole file
  };
  State state = State::missing;
  std::string bytes;
  std::string error;
};

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
  // A modal message box owned by the main window once it is shown; returns the button pressed.
  virtual int messageBox(const std::string& prompt, unsigned style, const std::string& title) = 0;
  // Opens the file at `path` (relative paths from the current directory) for reading and reads
  // at most maxBytes from its start, sharing it with any writer.
  virtual FileStart readFileStart(const std::string& path, std::size_t maxBytes) = 0;
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

// What the window shows about a running command besides its output: a hint anchored to a control,
// the taskbar button's progress, and flashing the taskbar button.
enum class Progress {
  none,     // nothing shown
  running,  // indeterminate progress
  failed,   // the error state
};

class Feedback {
 public:
  virtual ~Feedback() = default;
  // Shows `text` anchored to the control `anchor`, without changing that control; replaces any
  // hint shown before. Empty text hides the hint.
  virtual void setHint(ControlId anchor, const std::string& text) = 0;
  virtual void setProgress(Progress progress) = 0;
  // Whether the user has the window in front: it is the foreground window (or not shown at all,
  // so there is nothing to draw attention to).
  virtual bool inForeground() = 0;
  // Flashes the window's taskbar button until the window is brought to the front.
  virtual void flashUntilActive() = 0;
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
