#pragma once
// Drives a GUI program from a second process the way a user would: start it, find its windows and
// controls, read texts and states, click buttons, type, answer message boxes and the open-file
// dialog. Texts are UTF-8; every call that waits polls with a time-out, none sleeps a fixed time.
//
// Works on windows of another process, so texts are read with WM_GETTEXT (on Windows,
// GetWindowTextW returns an edit control's stored caption, not what it shows; Wine happens to give
// the text either way) and clicks are posted, so a click that opens a modal box returns at once.
//
// Under Xvfb with no window manager, Wine waits two seconds for every top-level window that
// closes (a message box, a dialog, the program's window), so expect that much per close.

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "win32/handles.h"
#include "win32/module_path.h"
#include "win32/text.h"

namespace quorlane::gui {

// Default time-out of every wait: generous, since the test machines are small and shared.
inline constexpr int kDefaultTimeoutMs = 10000;

// UTF-8 <-> UTF-16.

// A started program. Owns its process and thread handles; move-only. The destructor ends the
// program if it is still running and waits up to two seconds for it to go.
class Process {
 public:
  // Starts exePath (a Windows path, UTF-8) in workingDir (empty: the driver's current folder) with
  // the command line `"exePath" args`. Throws std::runtime_error if it cannot be started.
  static Process start(const std::string& exePath, const std::string& workingDir = "",
                       const std::string& args = "");

  DWORD pid() const { return pid_; }
  HANDLE handle() const { return process_.get(); }
  bool running() const;
  // True once the program has ended, waiting up to timeoutMs for it.
  bool waitExit(int timeoutMs = kDefaultTimeoutMs) const;
  // The exit code once the program has ended; nothing while it runs.
  std::optional<DWORD> exitCode() const;

  Process(Process&&) noexcept = default;
  Process& operator=(Process&&) noexcept;
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;
  ~Process();

 private:
  Process(win32::UniqueHandle process, win32::UniqueHandle thread, DWORD pid);
  void endIfRunning() noexcept;

  win32::UniqueHandle process_;
  win32::UniqueHandle thread_;
  DWORD pid_ = 0;
};

// The ids of the running processes whose executable's full path (UTF-16, as Windows gives it)
// `matches` accepts.
std::vector<DWORD> processesWhere(const std::function<bool(const std::wstring& image)>& matches);
// The running processes whose executable is exactly `exePath` (compared without regard to case).
std::vector<DWORD> processesOf(const std::string& exePath);
// Ends every process whose executable lies in `folder` (a test's leftovers: a client left
// waiting by a test that failed half-way) and waits for each to go; returns how many there were.
int endProcessesIn(const std::string& folder);

// Polls cond about every 20 ms until it holds (true) or timeoutMs has passed (false). cond is
// checked once more at the deadline.
bool waitFor(const std::function<bool()>& cond, int timeoutMs = kDefaultTimeoutMs);
// Waits until hwnd is no longer a window (closed or destroyed).
bool waitClosed(HWND hwnd, int timeoutMs = kDefaultTimeoutMs);

// The first top-level window of process pid, visible or not, whose title is exactly `title` and
// whose class is `className` (either empty: any). nullptr if there is none.
HWND findTopWindow(DWORD pid, const std::string& title, const std::string& className = "");
// Waits for such a window to be shown (so the code that fills it before showing it has run) and
// returns it; nullptr if none was shown within timeoutMs.
HWND waitTopWindow(DWORD pid, const std::string& title, int timeoutMs = kDefaultTimeoutMs,
                   const std::string& className = "");

// The first descendant of parent (at any depth: controls may sit inside frames) with that
// control id; nullptr if there is none.
HWND child(HWND parent, int controlId);
// Direct and nested children, in creation (z) order, depth first.
std::vector<HWND> descendants(HWND parent);

// The window's text via WM_GETTEXTLENGTH/WM_GETTEXT ("" when hwnd is not a window).
std::string text(HWND hwnd);
// Enabled as a user sees it: the window and every ancestor up to its top-level window are enabled
// (a control of a window disabled by a modal box is not).
bool enabled(HWND hwnd);
// IsWindowVisible: the window and all its ancestors have WS_VISIBLE.
bool visible(HWND hwnd);
// The control's rectangle in the client coordinates of `top` (normally its top-level window).
RECT clientRectInParent(HWND control, HWND top);
SIZE clientSize(HWND hwnd);
std::string className(HWND hwnd);
LONG style(HWND hwnd);
int controlId(HWND hwnd);

// Clicks a button with a posted BM_CLICK and returns at once. Does nothing and returns false if
// the button is disabled (by itself or through an ancestor) or hidden, since a user could not
// click it either.
bool click(HWND button);
// Replaces the window's text with WM_SETTEXT, as a paste would, not by typing: an edit still
// notifies EN_CHANGE, a drop-down combo box sends no CBN_EDITCHANGE. True if the window then
// shows exactly that text.
bool setText(HWND hwnd, const std::string& utf8);
// Types text into a control by posting one WM_CHAR per UTF-16 unit ("\r" is the Enter key).
void typeChars(HWND hwnd, const std::string& utf8);

// A message box (a visible #32770 dialog with the prompt static, id 0xFFFF) as the user sees it.
// Wine keeps the icon static (SS_ICON, id 0x0440) in every box, also in one without an icon, so
// hasIcon asks the static for its icon.
struct MessageBoxInfo {
  HWND hwnd = nullptr;
  HWND owner = nullptr;  // the window it is modal to, nullptr if none
  std::string title;
  std::string prompt;
  bool hasIcon = false;              // a visible SS_ICON static holding an icon
  std::vector<std::string> buttons;  // captions of the visible buttons, left to right, as
                                     // WM_GETTEXT gives them: "确定", "是(&Y)", "否(&N)"
};

// The message box currently shown by process pid, if any.
std::optional<MessageBoxInfo> findMessageBox(DWORD pid);
std::optional<MessageBoxInfo> waitMessageBox(DWORD pid, int timeoutMs = kDefaultTimeoutMs);
// Clicks the box's button with that id (IDOK, IDCANCEL, IDYES, IDNO, ...).
bool pressButton(HWND box, int buttonId);
inline bool pressOk(HWND box) {
  return pressButton(box, IDOK);
}

// The open/save file dialog (a visible #32770 dialog with a file-name field) shown by pid. Wine
// shows its Explorer-style dialog for GetOpenFileNameW with or without OFN_EXPLORER; there the
// file name is an Edit in a ComboBox in a ComboBoxEx32, all three with id 0x047C (cmb13). The
// old-style dialog has the Edit edt1 (0x0480). OK is IDOK ("打开(&O)"), Cancel IDCANCEL.
HWND findFileDialog(DWORD pid);
HWND waitFileDialog(DWORD pid, int timeoutMs = kDefaultTimeoutMs);
// The control a user types the file name into (an Edit, also when it is inside a combo box).
HWND fileNameEdit(HWND dialog);
// Waits for the dialog, enters fullPath as its file name and presses its OK button. True once the
// dialog has closed; false if it did not appear or stayed open (a path it refused: then it shows
// a message box owned by the dialog, which findMessageBox finds). Each wait takes up to
// timeoutMs.
bool answerOpenDialog(DWORD pid, const std::string& fullPath, int timeoutMs = kDefaultTimeoutMs);
// Waits for the dialog and presses Cancel. True once the dialog has closed.
bool cancelOpenDialog(DWORD pid, int timeoutMs = kDefaultTimeoutMs);

// One line per descendant of hwnd, indented by depth: class, id, text, rectangle in hwnd's
// client coordinates and the visible/disabled flags. For failure messages.
std::string dumpTree(HWND hwnd);

}  // namespace quorlane::gui
