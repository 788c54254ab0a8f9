#include "platform/win32/process_win32.h"

#include <vector>

#include "platform/win32/text.h"

namespace quorlane::win32 {

namespace {

HANDLE toHandle(platform::Handle h) {
  return reinterpret_cast<HANDLE>(h);
}
platform::Handle fromHandle(HANDLE h) {
  return reinterpret_cast<platform::Handle>(h);
}

}  // namespace

bool Win32Process::createPipe(platform::Handle& readEnd, platform::Handle& writeEnd) {
  SECURITY_ATTRIBUTES attributes{};
  attributes.nLength = sizeof(attributes);
  attributes.lpSecurityDescriptor = nullptr;
  attributes.bInheritHandle = TRUE;
  HANDLE r = nullptr;
  HANDLE w = nullptr;
  if (!CreatePipe(&r, &w, &attributes, 0)) return false;
  // Only the write end is meant for the child; an inherited read end would keep the child's own
  // output pipe open.
  if (!SetHandleInformation(r, HANDLE_FLAG_INHERIT, 0)) {
    CloseHandle(r);
    CloseHandle(w);
    return false;
  }
  readEnd = fromHandle(r);
  writeEnd = fromHandle(w);
  return true;
}

std::optional<std::string> Win32Process::environment(const std::string& name) {
  const std::wstring wideName = widen(name);
  const DWORD needed = GetEnvironmentVariableW(wideName.c_str(), nullptr, 0);
  if (needed == 0) return std::nullopt;
  std::wstring value(needed, L'\0');
  const DWORD length = GetEnvironmentVariableW(wideName.c_str(), value.data(), needed);
  if (length == 0 || length >= needed) return std::nullopt;
  value.resize(length);
  return narrow(value);
}

std::optional<platform::Started> Win32Process::start(const std::string& commandLine,
                                                     platform::Handle output) {
  SECURITY_ATTRIBUTES attributes{};
  attributes.nLength = sizeof(attributes);
  attributes.bInheritHandle = TRUE;

  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  startup.hStdInput = nullptr;
  startup.hStdOutput = toHandle(output);
  startup.hStdError = toHandle(output);

  // CreateProcessW may write into the command line, so it gets a buffer of its own.
  std::wstring wide = widen(commandLine);
  std::vector<wchar_t> line(wide.begin(), wide.end());
  line.push_back(L'\0');

  PROCESS_INFORMATION info{};
  if (!CreateProcessW(nullptr, line.data(), &attributes, &attributes, TRUE, NORMAL_PRIORITY_CLASS,
                      nullptr, nullptr, &startup, &info)) {
    return std::nullopt;
  }
  return platform::Started{fromHandle(info.hProcess), fromHandle(info.hThread)};
}

platform::PipeState Win32Process::peek(platform::Handle readEnd) {
  DWORD available = 0;
  if (!PeekNamedPipe(toHandle(readEnd), nullptr, 0, nullptr, &available, nullptr)) {
    return platform::PipeState::broken;
  }
  return available > 0 ? platform::PipeState::data : platform::PipeState::empty;
}

bool Win32Process::read(platform::Handle readEnd, std::string& bytes, std::size_t maxBytes) {
  bytes.resize(maxBytes);
  DWORD got = 0;
  if (!ReadFile(toHandle(readEnd), bytes.data(), static_cast<DWORD>(maxBytes), &got, nullptr)) {
    bytes.clear();
    return false;
  }
  bytes.resize(got);
  return true;
}

void Win32Process::close(platform::Handle handle) {
  CloseHandle(toHandle(handle));
}

void Win32Process::sleep(unsigned milliseconds) {
  Sleep(milliseconds);
}

bool Win32Process::isLeadByte(unsigned char byte) {
  return IsDBCSLeadByte(byte) != FALSE;
}

std::string Win32Process::fromAnsi(std::string_view bytes) {
  return fromCodePage(CP_ACP, bytes);
}

void Win32Pump::pumpEvents() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    if (dialog_ != nullptr && IsDialogMessageW(dialog_, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

}  // namespace quorlane::win32
