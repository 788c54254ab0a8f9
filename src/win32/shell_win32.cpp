#include "win32/shell_win32.h"

#include <commdlg.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <vector>

#include "common/file_name.h"
#include "common/texts.h"
#include "win32/handles.h"
#include "win32/message_loop.h"
#include "win32/module_path.h"
#include "win32/system_dll.h"
#include "win32/text.h"

namespace quorlane::win32 {

namespace {

constexpr DWORD kIgnoredAttributes =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY;
constexpr DWORD kFileBufferChars = 32768;

}  // namespace

bool representable(unsigned codePage, std::wstring_view text) {
  if (text.empty() || codePage == CP_UTF8) return true;
  const int size = static_cast<int>(text.size());
  // No best-fit mapping: a character replaced by a look-alike is as lost as one replaced by '?'.
  BOOL usedDefault = FALSE;
  const int n = WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, text.data(), size, nullptr, 0,
                                    nullptr, &usedDefault);
  if (n <= 0 || usedDefault) return false;
  std::string bytes(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, text.data(), size, bytes.data(), n, nullptr,
                      &usedDefault);
  if (usedDefault) return false;
  const int back = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), n, nullptr, 0);
  std::wstring again(static_cast<std::size_t>(back > 0 ? back : 0), L'\0');
  if (back > 0) MultiByteToWideChar(codePage, 0, bytes.data(), n, again.data(), back);
  return again == text;
}

std::optional<std::wstring> pathForCodePage(
    unsigned codePage, const std::wstring& path,
    const std::function<std::wstring(const std::wstring&)>& shortPath) {
  if (representable(codePage, path)) return path;
  std::wstring shortForm = shortPath(path);
  if (shortForm.empty() || !representable(codePage, shortForm)) return std::nullopt;
  return shortForm;
}

namespace {

// The file's short (8.3) path; empty when the file cannot be found or its volume keeps no short
// names (then the long names come back unchanged).
std::wstring shortPathOf(const std::wstring& path) {
  DWORD size = GetShortPathNameW(path.c_str(), nullptr, 0);
  while (size > 0) {
    std::wstring shortPath(size, L'\0');
    const DWORD written = GetShortPathNameW(path.c_str(), shortPath.data(), size);
    if (written == 0) return {};
    if (written < size) {
      shortPath.resize(written);
      return shortPath;
    }
    size = written;  // the path changed between the calls: ask again with the new size
  }
  return {};
}

}  // namespace

namespace {

// The file's full path, as a program that is handed `path` opens it: relative paths from the
// current directory. Empty when it cannot be formed.
std::wstring fullPathOf(const std::wstring& path) {
  const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return {};
  std::wstring full(needed, L'\0');
  const DWORD got = GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
  if (got == 0 || got >= needed) return {};
  full.resize(got);
  return full;
}

bool onDrive(const std::wstring& full) {
  return full.size() >= 3 && full[1] == L':' && full[2] == L'\\';
}

// The path the program itself opens `path` by: a full path too long for the system's plain
// paths goes in the literal form (\\?\), which has no such limit.
std::wstring openablePath(const std::wstring& path) {
  const std::wstring full = fullPathOf(path);
  if (full.size() < MAX_PATH || !onDrive(full)) return path;
  return L"\\\\?\\" + full;
}

// The short path of a file whose path may be too long for the plain form; the answer is in the
// plain form again.
std::wstring shortPathOfAny(const std::wstring& path) {
  const std::wstring openable = openablePath(path);
  if (openable == path) return shortPathOf(path);
  std::wstring shortForm = shortPathOf(openable);
  if (shortForm.rfind(L"\\\\?\\", 0) == 0) shortForm.erase(0, 4);
  return shortForm;
}

}  // namespace

window::ClientPath Win32Shell::pathForAnsiProgram(std::string_view path) {
  using Problem = window::ClientPath::Problem;
  window::ClientPath result;
  const std::wstring wide = widen(path);
  const auto usable = pathForCodePage(GetACP(), wide, shortPathOfAny);
  if (!usable) {
    result.problem = Problem::characters;
    return result;
  }
  // The client opens files with the C runtime and no long-path support: what it is handed must
  // stay below MAX_PATH once made full. (Wine opens longer paths, Windows does not.)
  const auto fits = [](const std::wstring& p) {
    const std::wstring full = fullPathOf(p);
    return !full.empty() && full.size() < MAX_PATH;
  };
  if (fits(*usable)) {
    result.path = narrow(*usable);
    return result;
  }
  const std::wstring shortForm = shortPathOfAny(wide);
  if (!shortForm.empty() && representable(GetACP(), shortForm) && fits(shortForm)) {
    result.path = narrow(shortForm);
    return result;
  }
  result.problem = Problem::tooLong;
  return result;
}

std::wstring dialogFilter(std::string_view filter) {
  if (filter.empty()) return {};
  std::wstring wide = widen(filter);
  if (wide.back() != L'|') wide.push_back(L'|');
  for (wchar_t& c : wide) {
    if (c == L'|') c = L'\0';
  }
  wide.push_back(L'\0');
  return wide;
}

std::string errorDescription(DWORD code) {
  wchar_t* buffer = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  const UniqueLocal<wchar_t> owned(buffer);
  std::wstring text = length != 0 && buffer != nullptr ? std::wstring(buffer, length) : L"";
  while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) {
    text.pop_back();
  }
  if (text.empty()) return texts::concat(texts::kErrorCode, std::to_string(code));
  return narrow(text);
}

HWND Win32Shell::owner() const {
  return main_ != nullptr && IsWindow(main_) && IsWindowVisible(main_) ? main_ : nullptr;
}

std::string Win32Shell::applicationPath() {
  return narrow(executableFolder());
}

std::string Win32Shell::executableName() {
  const std::wstring path = modulePath();
  std::wstring name(fileName(path));
  const auto dot = name.find_last_of(L'.');
  if (dot != std::wstring::npos && dot > 0) name.resize(dot);
  return narrow(name);
}

UINT messageBoxFlags(window::MessageStyle style) {
  using window::MessageStyle;
  UINT flags = has(style, MessageStyle::yesNo) ? MB_YESNO : MB_OK;
  if (has(style, MessageStyle::critical)) flags |= MB_ICONERROR;
  if (has(style, MessageStyle::warning)) flags |= MB_ICONWARNING;
  if (has(style, MessageStyle::secondDefault)) flags |= MB_DEFBUTTON2;
  return flags;
}

window::Answer answerOf(int button) {
  switch (button) {
    case IDOK:
      return window::Answer::ok;
    case IDYES:
      return window::Answer::yes;
    case IDNO:
      return window::Answer::no;
    default:
      return window::Answer::other;
  }
}

int showCommand(window::Show show) {
  return show == window::Show::minimized ? SW_SHOWMINIMIZED : SW_SHOWNORMAL;
}

bool Win32Shell::fileExists(std::string_view path) {
  WIN32_FIND_DATAW found{};
  UniqueFind search(FindFirstFileW(widen(path).c_str(), &found));
  if (!search) return false;
  return found.cFileName[0] != L'\0' && (found.dwFileAttributes & kIgnoredAttributes) == 0;
}

window::Failure Win32Shell::setCurrentDirectory(std::string_view path) {
  if (SetCurrentDirectoryW(widen(path).c_str())) return std::nullopt;
  return errorDescription(GetLastError());
}

window::Answer Win32Shell::messageBox(std::string_view prompt, window::MessageStyle style,
                                      std::string_view title) {
  return answerOf(
      MessageBoxW(owner(), widen(prompt).c_str(), widen(title).c_str(), messageBoxFlags(style)));
}

namespace {

using State = window::FileStart::State;

bool driveIsMissing(const std::wstring& path) {
  const std::wstring full = fullPathOf(path);
  if (!onDrive(full)) return false;
  const std::wstring root = full.substr(0, 3);
  return GetDriveTypeW(root.c_str()) == DRIVE_NO_ROOT_DIR;
}

window::FileStart failed(DWORD error, const std::wstring& path) {
  window::FileStart found;
  switch (error) {
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      found.state = State::locked;
      break;
    case ERROR_NOT_READY:
    case ERROR_INVALID_DRIVE:
    case ERROR_DEV_NOT_EXIST:
      found.state = State::noDrive;
      break;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_DIRECTORY:
      found.state = driveIsMissing(path) ? State::noDrive : State::missing;
      break;
    default:
      // There may be something, but it cannot be looked at (no access to it or its folder).
      found.state = State::unreadable;
      found.error = errorDescription(error);
      break;
  }
  return found;
}

// The look itself, on the thread that does it.
window::FileStart lookAt(const std::wstring& path, std::size_t maxBytes) {
  window::FileStart found;
  const std::wstring openable = openablePath(path);
  const DWORD attributes = GetFileAttributesW(openable.c_str());
  // Wine answers ERROR_INVALID_PARAMETER for what is no file on a disk (a Unix FIFO, say):
  // opening it tells what it is.
  if (attributes == INVALID_FILE_ATTRIBUTES && GetLastError() != ERROR_INVALID_PARAMETER) {
    return failed(GetLastError(), path);
  }
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    found.state = State::folder;
    return found;
  }
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DEVICE) != 0) {
    found.state = State::device;
    return found;
  }
  // Shared with every writer and deleter: a look must never get in anyone's way.
  UniqueFile file(CreateFileW(openable.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return failed(GetLastError(), path);
  // A pipe, a console, a serial port: nothing is read from what is not a file on a disk.
  if (GetFileType(file.get()) != FILE_TYPE_DISK) {
    found.state = State::device;
    return found;
  }
  found.state = State::file;
  found.bytes.resize(maxBytes);
  std::size_t got = 0;
  while (got < maxBytes) {
    DWORD read = 0;
    if (!ReadFile(file.get(), found.bytes.data() + got, static_cast<DWORD>(maxBytes - got), &read,
                  nullptr)) {
      return failed(GetLastError(), path);
    }
    if (read == 0) break;  // the end of the file
    got += read;
  }
  found.bytes.resize(got);
  return found;
}

// A look in progress, shared by the thread that does it and the one that waits for it: a look
// that is given up lives on with its thread until it returns.
struct Look {
  std::function<window::FileStart()> look;
  window::FileStart found;
  UniqueHandle started{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  UniqueHandle done{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
};

// Whether a look's thread is still running. One at most: a file that never answers would
// otherwise leave a thread behind at every try.
std::atomic<bool> lookRunning{false};

DWORD WINAPI lookThread(LPVOID parameter) {
  // The thread's own share of the look, taken before the waiting thread goes on.
  const std::shared_ptr<Look> look = *static_cast<std::shared_ptr<Look>*>(parameter);
  SetEvent(look->started.get());
  look->found = look->look();
  lookRunning = false;
  SetEvent(look->done.get());
  return 0;
}

// How long a look may take before the window is serviced while it goes on.
constexpr DWORD kQuietLookMs = 200;

}  // namespace

window::FileStart lookWithin(std::function<window::FileStart()> look, unsigned timeoutMs,
                             HWND owner) {
  if (lookRunning.exchange(true)) return window::FileStart{State::busy, "", ""};
  auto shared = std::make_shared<Look>();
  shared->look = std::move(look);
  // Without a thread of its own the look runs here.
  const auto here = [&shared] {
    lookRunning = false;
    return shared->look();
  };
  if (!shared->started || !shared->done) return here();
  UniqueHandle thread(CreateThread(nullptr, 0, lookThread, &shared, 0, nullptr));
  if (!thread) return here();
  WaitForSingleObject(shared->started.get(), INFINITE);

  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  // Usually the look is over at once; only a slow one has the window wait for it, disabled as
  // under a modal box, so that it repaints and moves but takes no clicks meanwhile.
  if (WaitForSingleObject(shared->done.get(), std::min<DWORD>(kQuietLookMs, timeoutMs)) !=
      WAIT_OBJECT_0) {
    HWND focus = GetFocus();
    const bool disabled = owner != nullptr && !EnableWindow(owner, FALSE);
    HANDLE done = shared->done.get();
    for (;;) {
      const ULONGLONG now = GetTickCount64();
      if (now >= deadline) break;
      const DWORD wait = MsgWaitForMultipleObjectsEx(1, &done, static_cast<DWORD>(deadline - now),
                                                     QS_ALLINPUT, MWMO_INPUTAVAILABLE);
      if (wait == WAIT_OBJECT_0) break;
      dispatchWaiting(nullptr);
    }
    if (disabled) {
      EnableWindow(owner, TRUE);
      if (focus != nullptr && IsWindow(focus)) SetFocus(focus);
    }
  }
  if (WaitForSingleObject(shared->done.get(), 0) != WAIT_OBJECT_0) {
    // Given up: the read is cancelled where the system can; the thread ends when it returns.
    CancelSynchronousIo(thread.get());
    return window::FileStart{State::timedOut, "", ""};
  }
  return shared->found;
}

window::FileStart Win32Shell::readFileStart(std::string_view path, std::size_t maxBytes,
                                            unsigned timeoutMs) {
  // The look runs on a thread of its own: opening or reading a file can block (a pipe that never
  // answers, a drive that does not respond), and the window must not freeze meanwhile.
  return lookWithin([wide = widen(path), maxBytes] { return lookAt(wide, maxBytes); }, timeoutMs,
                    owner());
}

std::optional<std::string> Win32Shell::openFile(const window::OpenFileRequest& request) {
  const std::wstring filter = dialogFilter(request.filter);
  std::vector<wchar_t> file(kFileBufferChars, L'\0');

  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = owner();
  dialog.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
  dialog.nFilterIndex = filter.empty() ? 0 : 1;
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = kFileBufferChars;
  dialog.Flags = (request.overwritePrompt ? OFN_OVERWRITEPROMPT : 0) | OFN_NOCHANGEDIR |
                 OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_EXPLORER;

  // Puts the current directory back however the dialog is left.
  const std::wstring saved = currentDirectory();
  const ScopeExit restore([&saved] {
    if (!saved.empty()) SetCurrentDirectoryW(saved.c_str());
  });
  // The shell's dialog wants COM on the window's thread.
  enterCom();
  const auto getOpenFileName =
      laterFunction<decltype(&GetOpenFileNameW)>(L"comdlg32.dll", "GetOpenFileNameW");
  // Cancelled, or the dialog could not be shown (CommDlgExtendedError would say why).
  if (getOpenFileName == nullptr || !getOpenFileName(&dialog)) return std::nullopt;
  return narrow(file.data());
}

std::vector<std::string> droppedFiles(HDROP drop) {
  const auto queryFile = laterFunction<decltype(&DragQueryFileW)>(L"shell32.dll", "DragQueryFileW");
  const auto finish = laterFunction<decltype(&DragFinish)>(L"shell32.dll", "DragFinish");
  const ScopeExit finished([finish, drop] {
    if (finish != nullptr) finish(drop);
  });
  std::vector<std::string> paths;
  if (queryFile == nullptr) return paths;
  const UINT count = queryFile(drop, 0xFFFFFFFF, nullptr, 0);
  paths.reserve(count);
  for (UINT i = 0; i < count; ++i) {
    const UINT length = queryFile(drop, i, nullptr, 0);
    std::wstring path(length + 1, L'\0');
    const UINT got = queryFile(drop, i, path.data(), length + 1);
    path.resize(got);
    paths.push_back(narrow(path));
  }
  return paths;
}

window::Failure Win32Shell::startProgram(std::string_view commandLine, window::Show show) {
  // CreateProcessW may write into the command line, so it gets a buffer of its own.
  std::wstring line = widen(commandLine);

  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(showCommand(show));
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &info)) {
    return errorDescription(GetLastError());
  }
  // Started and left alone: nothing waits for it.
  UniqueHandle process(info.hProcess);
  UniqueHandle thread(info.hThread);
  return std::nullopt;
}

void Win32Shell::endProgram() {
  ExitProcess(0);
}

}  // namespace quorlane::win32
