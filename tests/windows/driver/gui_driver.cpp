#include "driver/gui_driver.h"

// tlhelp32.h needs the types of windows.h.
#include <tlhelp32.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <stdexcept>
#include <thread>
#include <utility>

#include "win32/text.h"

namespace quorlane::gui {

namespace {

// Messages sent to another process time out instead of hanging the test on a stuck program.
constexpr UINT kSendTimeoutMs = 5000;
constexpr int kPollMs = 20;
constexpr int kPromptId = 0xFFFF;
// File-name field of the file dialogs: the combo box of the Explorer-style dialog (cmb13) and
// the edit of the old-style one (edt1).
constexpr int kFileNameComboId = 0x047C;
constexpr int kFileNameEditId = 0x0480;

bool sameText(std::wstring_view a, std::wstring_view b, bool ignoreCase) {
  return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                              static_cast<int>(b.size()), ignoreCase ? TRUE : FALSE) == CSTR_EQUAL;
}

std::wstring wideClassName(HWND hwnd) {
  wchar_t buffer[256] = {};
  const int n = GetClassNameW(hwnd, buffer, static_cast<int>(std::size(buffer)));
  return std::wstring(buffer, n > 0 ? static_cast<std::size_t>(n) : 0);
}

bool isClass(HWND hwnd, std::wstring_view name) {
  return sameText(wideClassName(hwnd), name, true);
}

std::wstring wideText(HWND hwnd) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                           &length)) {
    return {};
  }
  // WM_GETTEXTLENGTH may report more than WM_GETTEXT gives (it may count ANSI bytes), never less.
  std::wstring buffer(static_cast<std::size_t>(length) + 1, L'\0');
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(hwnd, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()),
                           SMTO_ABORTIFHUNG, kSendTimeoutMs, &copied)) {
    return {};
  }
  buffer.resize(std::min(static_cast<std::size_t>(copied), buffer.size() - 1));
  return buffer;
}

DWORD windowPid(HWND hwnd) {
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  return pid;
}

template <typename Pred>
HWND findTop(DWORD pid, Pred pred) {
  struct Search {
    DWORD pid;
    Pred* pred;
    HWND found;
  } search{pid, &pred, nullptr};
  EnumWindows(
      [](HWND hwnd, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<Search*>(param);
        if (windowPid(hwnd) != s->pid || !(*s->pred)(hwnd)) return TRUE;
        s->found = hwnd;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// A dialog of that process: class #32770, shown (so it has been initialised).
bool isShownDialog(HWND hwnd) {
  return isClass(hwnd, L"#32770") && IsWindowVisible(hwnd);
}

bool isFileDialog(HWND hwnd) {
  return isShownDialog(hwnd) &&
         (child(hwnd, kFileNameComboId) != nullptr || child(hwnd, kFileNameEditId) != nullptr);
}

bool isMessageBox(HWND hwnd) {
  if (!isShownDialog(hwnd) || isFileDialog(hwnd)) return false;
  const HWND prompt = GetDlgItem(hwnd, kPromptId);
  return prompt != nullptr && isClass(prompt, L"Static");
}

bool isButton(HWND hwnd) {
  if (!isClass(hwnd, L"Button")) return false;
  const LONG type = style(hwnd) & BS_TYPEMASK;
  return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

bool holdsIcon(HWND hwnd) {
  if (!isClass(hwnd, L"Static") || (style(hwnd) & SS_TYPEMASK) != SS_ICON || !IsWindowVisible(hwnd))
    return false;
  DWORD_PTR icon = 0;
  SendMessageTimeoutW(hwnd, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &icon);
  RECT r{};
  GetClientRect(hwnd, &r);
  return icon != 0 && r.right > 0 && r.bottom > 0;
}

MessageBoxInfo describeMessageBox(HWND box) {
  MessageBoxInfo info;
  info.hwnd = box;
  info.owner = GetWindow(box, GW_OWNER);
  info.title = text(box);
  info.prompt = text(GetDlgItem(box, kPromptId));
  std::vector<std::pair<LONG, std::string>> buttons;
  for (HWND c : descendants(box)) {
    if (!IsWindowVisible(c)) continue;
    if (holdsIcon(c)) info.hasIcon = true;
    if (isButton(c)) buttons.emplace_back(clientRectInParent(c, box).left, text(c));
  }
  std::stable_sort(buttons.begin(), buttons.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  for (auto& b : buttons) info.buttons.push_back(std::move(b.second));
  return info;
}

std::string hex(unsigned value) {
  char buffer[16];
  std::snprintf(buffer, sizeof(buffer), "0x%04X", value);
  return buffer;
}

void dumpLevel(HWND top, HWND parent, int depth, std::string& out) {
  for (HWND c = GetWindow(parent, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
    const RECT r = clientRectInParent(c, top);
    out.append(static_cast<std::size_t>(depth) * 2, ' ');
    out += className(c) + " id=" + hex(static_cast<unsigned>(controlId(c))) + " \"" + text(c) +
           "\" (" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" +
           std::to_string(r.right) + "," + std::to_string(r.bottom) +
           ") style=" + hex(static_cast<unsigned>(style(c)));
    if (!IsWindowVisible(c)) out += " hidden";
    if (!IsWindowEnabled(c)) out += " disabled";
    out += '\n';
    dumpLevel(top, c, depth + 1, out);
  }
}

}  // namespace

// --- Process ---

Process::Process(win32::UniqueHandle process, win32::UniqueHandle thread, DWORD pid)
    : process_(std::move(process)), thread_(std::move(thread)), pid_(pid) {}

Process Process::start(const std::string& exePath, const std::string& workingDir,
                       const std::string& args) {
  const std::wstring exe = win32::widen(exePath);
  std::wstring commandLine = L"\"" + exe + L"\"";
  if (!args.empty()) commandLine += L" " + win32::widen(args);
  const std::wstring dir = win32::widen(workingDir);

  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      dir.empty() ? nullptr : dir.c_str(), &startup, &info)) {
    throw std::runtime_error("cannot start " + exePath + " (error " +
                             std::to_string(GetLastError()) + ")");
  }
  return Process(win32::UniqueHandle(info.hProcess), win32::UniqueHandle(info.hThread),
                 info.dwProcessId);
}

Process& Process::operator=(Process&& other) noexcept {
  if (this != &other) {
    endIfRunning();
    process_ = std::move(other.process_);
    thread_ = std::move(other.thread_);
    pid_ = other.pid_;
  }
  return *this;
}

Process::~Process() {
  endIfRunning();
}

void Process::endIfRunning() noexcept {
  if (process_ && running()) {
    TerminateProcess(process_.get(), 1);
    WaitForSingleObject(process_.get(), 2000);
  }
}

bool Process::running() const {
  return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

bool Process::waitExit(int timeoutMs) const {
  return process_ &&
         WaitForSingleObject(process_.get(), static_cast<DWORD>(std::max(timeoutMs, 0))) ==
             WAIT_OBJECT_0;
}

std::optional<DWORD> Process::exitCode() const {
  if (!process_ || running()) return std::nullopt;
  DWORD code = 0;
  if (!GetExitCodeProcess(process_.get(), &code)) return std::nullopt;
  return code;
}

// --- waiting and finding ---

std::vector<DWORD> processesWhere(const std::function<bool(const std::wstring& image)>& matches) {
  std::vector<DWORD> found;
  const win32::UniqueFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return found;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
       more = Process32NextW(snapshot.get(), &entry)) {
    const win32::UniqueHandle process(
        OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID));
    if (!process) continue;
    wchar_t image[MAX_PATH * 2];
    DWORD size = MAX_PATH * 2;
    if (QueryFullProcessImageNameW(process.get(), 0, image, &size) &&
        matches(std::wstring(image, size))) {
      found.push_back(entry.th32ProcessID);
    }
  }
  return found;
}

std::vector<DWORD> processesOf(const std::string& exePath) {
  const std::wstring wanted = win32::widen(exePath);
  return processesWhere([&](const std::wstring& image) { return sameText(image, wanted, true); });
}

int endProcessesIn(const std::string& folder) {
  const std::wstring prefix = win32::widen(folder) + L"\\";
  int ended = 0;
  for (const DWORD pid : processesWhere([&](const std::wstring& image) {
         return image.size() > prefix.size() &&
                sameText(std::wstring_view(image).substr(0, prefix.size()), prefix, true);
       })) {
    const win32::UniqueHandle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid));
    if (!process) continue;
    TerminateProcess(process.get(), 1);
    WaitForSingleObject(process.get(), 5000);
    ++ended;
  }
  return ended;
}

bool waitFor(const std::function<bool()>& cond, int timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (std::chrono::steady_clock::now() < deadline) {
    if (cond()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(kPollMs));
  }
  return cond();
}

bool waitClosed(HWND hwnd, int timeoutMs) {
  return waitFor([hwnd] { return !IsWindow(hwnd); }, timeoutMs);
}

HWND findTopWindow(DWORD pid, const std::string& title, const std::string& className) {
  const std::wstring wantTitle = win32::widen(title);
  const std::wstring wantClass = win32::widen(className);
  return findTop(pid, [&](HWND hwnd) {
    if (!wantClass.empty() && !isClass(hwnd, wantClass)) return false;
    if (title.empty()) return true;
    // A top-level caption is what GetWindowTextW returns, and it never sends a message, so a
    // window of a stuck program cannot block the search.
    wchar_t buffer[512] = {};
    const int n = GetWindowTextW(hwnd, buffer, static_cast<int>(std::size(buffer)));
    return sameText(std::wstring_view(buffer, n > 0 ? static_cast<std::size_t>(n) : 0), wantTitle,
                    false);
  });
}

HWND waitTopWindow(DWORD pid, const std::string& title, int timeoutMs,
                   const std::string& className) {
  HWND found = nullptr;
  waitFor(
      [&] {
        found = findTopWindow(pid, title, className);
        return found != nullptr && IsWindowVisible(found);
      },
      timeoutMs);
  return found != nullptr && IsWindowVisible(found) ? found : nullptr;
}

std::vector<HWND> descendants(HWND parent) {
  std::vector<HWND> out;
  EnumChildWindows(
      parent,
      [](HWND hwnd, LPARAM param) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(param)->push_back(hwnd);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&out));
  return out;
}

HWND child(HWND parent, int id) {
  for (HWND c : descendants(parent)) {
    if (controlId(c) == id) return c;
  }
  return nullptr;
}

// --- reading ---

std::string text(HWND hwnd) {
  return IsWindow(hwnd) ? win32::narrow(wideText(hwnd)) : std::string();
}

bool enabled(HWND hwnd) {
  if (!IsWindow(hwnd)) return false;
  for (HWND w = hwnd; w != nullptr; w = GetAncestor(w, GA_PARENT)) {
    if (!IsWindowEnabled(w)) return false;
    if (w == GetAncestor(w, GA_ROOT)) break;
  }
  return true;
}

bool visible(HWND hwnd) {
  return IsWindowVisible(hwnd) != FALSE;
}

RECT clientRectInParent(HWND control, HWND top) {
  RECT r{};
  GetWindowRect(control, &r);
  MapWindowPoints(HWND_DESKTOP, top, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

SIZE clientSize(HWND hwnd) {
  RECT r{};
  GetClientRect(hwnd, &r);
  return SIZE{r.right - r.left, r.bottom - r.top};
}

std::string className(HWND hwnd) {
  return win32::narrow(wideClassName(hwnd));
}

LONG style(HWND hwnd) {
  return GetWindowLongW(hwnd, GWL_STYLE);
}

int controlId(HWND hwnd) {
  return GetDlgCtrlID(hwnd);
}

// --- acting ---

bool click(HWND button) {
  if (!enabled(button) || !visible(button)) return false;
  return PostMessageW(button, BM_CLICK, 0, 0) != FALSE;
}

bool setText(HWND hwnd, const std::string& utf8) {
  const std::wstring wide = win32::widen(utf8);
  DWORD_PTR result = 0;
  // Controls may answer TRUE and show nothing new (a drop-down list), so read it back.
  return SendMessageTimeoutW(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()),
                             SMTO_ABORTIFHUNG, kSendTimeoutMs, &result) != 0 &&
         result != 0 && text(hwnd) == utf8;
}

void typeChars(HWND hwnd, const std::string& utf8) {
  for (wchar_t c : win32::widen(utf8)) PostMessageW(hwnd, WM_CHAR, static_cast<WPARAM>(c), 1);
}

// --- message boxes ---

std::optional<MessageBoxInfo> findMessageBox(DWORD pid) {
  const HWND box = findTop(pid, isMessageBox);
  if (box == nullptr) return std::nullopt;
  return describeMessageBox(box);
}

std::optional<MessageBoxInfo> waitMessageBox(DWORD pid, int timeoutMs) {
  std::optional<MessageBoxInfo> found;
  waitFor([&] { return (found = findMessageBox(pid)).has_value(); }, timeoutMs);
  return found;
}

bool pressButton(HWND box, int buttonId) {
  return click(GetDlgItem(box, buttonId));
}

// --- file dialogs ---

HWND findFileDialog(DWORD pid) {
  return findTop(pid, isFileDialog);
}

HWND waitFileDialog(DWORD pid, int timeoutMs) {
  HWND found = nullptr;
  waitFor([&] { return (found = findFileDialog(pid)) != nullptr; }, timeoutMs);
  return found;
}

HWND fileNameEdit(HWND dialog) {
  if (HWND edit = GetDlgItem(dialog, kFileNameEditId); edit != nullptr && isClass(edit, L"Edit"))
    return edit;
  HWND field = child(dialog, kFileNameComboId);
  if (field == nullptr) field = child(dialog, kFileNameEditId);
  if (field == nullptr || isClass(field, L"Edit")) return field;
  // A combo box (or ComboBoxEx) keeps its edit as a descendant.
  for (HWND c : descendants(field)) {
    if (isClass(c, L"Edit")) return c;
  }
  return nullptr;
}

bool answerOpenDialog(DWORD pid, const std::string& fullPath, int timeoutMs) {
  const HWND dialog = waitFileDialog(pid, timeoutMs);
  const HWND edit = dialog != nullptr ? fileNameEdit(dialog) : nullptr;
  if (edit == nullptr) return false;
  if (!setText(edit, fullPath)) return false;
  return pressButton(dialog, IDOK) && waitClosed(dialog, timeoutMs);
}

bool cancelOpenDialog(DWORD pid, int timeoutMs) {
  const HWND dialog = waitFileDialog(pid, timeoutMs);
  return dialog != nullptr && pressButton(dialog, IDCANCEL) && waitClosed(dialog, timeoutMs);
}

std::string dumpTree(HWND hwnd) {
  std::string out = className(hwnd) + " \"" + text(hwnd) + "\"\n";
  dumpLevel(hwnd, hwnd, 1, out);
  return out;
}

}  // namespace quorlane::gui
