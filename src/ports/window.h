#pragma once
// What the window's handlers need of the platform: the controls' texts and states, message
// boxes, the open-file dialog, files beside the executable, the skin library, starting a program
// from a command line, and ending the program. Texts are UTF-8; a port takes a text it only reads
// as a string_view.
//
// Every port reports failure the same way: it never throws and fills no out-parameter. What a
// call finds is its return value, a std::optional where it may find nothing (or a value with a
// state of its own, as FileStart, where more than that is to be told apart). A call that does
// something returns a Failure: nothing when it succeeded, otherwise what went wrong in words the
// user can be shown. Callers can then neither miss a failure nor meet one they did not expect.

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "ports/control_id.h"

namespace quorlane::window {

// Nothing when a call succeeded, otherwise the description of what failed.
using Failure = std::optional<std::string>;

class Controls {
 public:
  virtual ~Controls() = default;
  virtual std::string text(ControlId id) = 0;
  virtual void setText(ControlId id, std::string_view text) = 0;
  // Adds text at the end of an edit control without replacing what it holds; the box keeps its
  // newest line in view when its end was in view before.
  virtual void appendText(ControlId id, std::string_view text) = 0;
  virtual bool enabled(ControlId id) = 0;
  virtual void setEnabled(ControlId id, bool enabled) = 0;
};

// A message box's buttons, icon and default button, combined with |.
enum class MessageStyle : unsigned {
  ok = 0,                  // an OK button, no icon
  yesNo = 1U << 0,         // Yes and No buttons
  critical = 1U << 1,      // the stop icon
  warning = 1U << 2,       // the exclamation icon
  secondDefault = 1U << 3  // the second button is the default
};
constexpr MessageStyle operator|(MessageStyle a, MessageStyle b) {
  return static_cast<MessageStyle>(static_cast<unsigned>(a) | static_cast<unsigned>(b));
}
constexpr bool has(MessageStyle style, MessageStyle part) {
  return (static_cast<unsigned>(style) & static_cast<unsigned>(part)) != 0;
}

// The button that closed a message box.
enum class Answer { ok, yes, no, other };

// How a started program shows its window.
enum class Show { normal, minimized };

// What a look at the start of a file found.
struct FileStart {
  enum class State {
    missing,     // no file or folder by that name (or a path that cannot name one)
    folder,      // a folder
    unreadable,  // there, but it cannot be opened for reading; `error` says why
    file,        // read: `bytes` holds its first bytes, as many as asked for or the whole file
    device,      // not a regular file (a device, a pipe, ...): never opened for reading
    locked,      // another program holds it so that it cannot be read
    noDrive,     // its drive is not there (a removed drive) or holds no medium
    timedOut,    // the first read did not return in time
    busy,        // not tried: the look at another file has still not returned
  };
  State state = State::missing;
  std::string bytes;
  std::string error;
};

struct ClientPath {
  enum class Problem {
    none,        // `path` can be handed on
    characters,  // the ANSI code page cannot represent it, and there is no short path that it can
    tooLong,     // longer than such a program can open, and there is no short path that is not
  };
  Problem problem = Problem::none;
  std::string path;
};

struct OpenFileRequest {
  std::string_view filter;  // "description|pattern|" pairs
  // Asks before a chosen file would be overwritten: no effect on opening, but the dialog has
  // always been shown with it.
  bool overwritePrompt = false;
};

class Shell {
 public:
  virtual ~Shell() = default;
  // The executable's folder, without a trailing backslash, and its base name without extension.
  virtual std::string applicationPath() = 0;
  virtual std::string executableName() = 0;
  // A directory search for exactly this path that finds a normal file (hidden or system files
  // and folders do not count).
  virtual bool fileExists(std::string_view path) = 0;
  virtual Failure setCurrentDirectory(std::string_view path) = 0;
  // A modal message box owned by the main window once it is shown; returns the button pressed.
  virtual Answer messageBox(std::string_view prompt, MessageStyle style,
                            std::string_view title) = 0;
  // Opens the file at `path` (relative paths from the current directory) for reading and reads
  // at most maxBytes from its start, sharing it with any writer. Only a regular file is opened;
  // a read that does not return within timeoutMs is given up, the window still serviced.
  virtual FileStart readFileStart(std::string_view path, std::size_t maxBytes,
                                  unsigned timeoutMs) = 0;
  // The chosen file's full path; nothing when the user cancelled or the dialog could not be
  // shown. Leaves the current directory as it was.
  virtual std::optional<std::string> openFile(const OpenFileRequest& request) = 0;
  // The path as a program that receives its arguments in the ANSI code page and opens files
  // without long-path support (as the fastboot client does) can open it: unchanged when that
  // code page can represent it and it is short enough, otherwise the file's short (8.3) path
  // when the volume gives it one that is; else why not.
  virtual ClientPath pathForAnsiProgram(std::string_view path) = 0;
  // Starts a command line without waiting for it.
  virtual Failure startProgram(std::string_view commandLine, Show show) = 0;
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

// The captions of the result panel's buttons, in order; an empty caption is no button.
using ResultButtons = std::array<std::string_view, 2>;

class Feedback {
 public:
  virtual ~Feedback() = default;
  // Shows `text` anchored to the control `anchor`, without changing that control; replaces any
  // hint shown before. Empty text hides the hint.
  virtual void setHint(ControlId anchor, std::string_view text) = 0;
  virtual void setProgress(Progress progress) = 0;
  // Whether the user has the window in front: it is the foreground window (or not shown at all,
  // so there is nothing to draw attention to).
  virtual bool inForeground() = 0;
  // Flashes the window's taskbar button until the window is brought to the front.
  virtual void flashUntilActive() = 0;
  // Shows what the last command came to: `text` in a panel anchored to the control `anchor`
  // like the hint, without changing that control and clear of its last line, with a button for
  // each caption in `buttons` that is not empty (& marks its access key). A click on the panel
  // hides it; a click on the first button is reported to the window's events as a click of
  // ControlId::ResultAction, on the second as one of ControlId::ResultAction2. Replaces any
  // result shown before.
  virtual void showResult(ControlId anchor, std::string_view text,
                          const ResultButtons& buttons) = 0;
  virtual void hideResult() = 0;
};

// The skin library, loaded by its full path. A call fails when the library could not be loaded or
// an entry point is missing.
class Skin {
 public:
  virtual ~Skin() = default;
  virtual Failure setAero(std::string_view libraryPath, int value) = 0;
  virtual Failure attach(std::string_view libraryPath, std::string_view skinFile,
                         std::string_view password) = 0;
};

}  // namespace quorlane::window
