#include "platform/win32/process_win32.h"

#include <tlhelp32.h>

#include <vector>

#include "platform/win32/handles.h"
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

std::optional<platform::Pipe> Win32Process::createPipe() {
  SECURITY_ATTRIBUTES attributes{};
  attributes.nLength = sizeof(attributes);
  attributes.lpSecurityDescriptor = nullptr;
  attributes.bInheritHandle = TRUE;
  HANDLE r = nullptr;
  HANDLE w = nullptr;
  if (!CreatePipe(&r, &w, &attributes, 0)) return std::nullopt;
  // Only the write end is meant for the child; an inherited read end would keep the child's own
  // output pipe open.
  if (!SetHandleInformation(r, HANDLE_FLAG_INHERIT, 0)) {
    CloseHandle(r);
    CloseHandle(w);
    return std::nullopt;
  }
  return platform::Pipe{fromHandle(r), fromHandle(w)};
}

std::optional<std::string> Win32Process::environment(std::string_view name) {
  const std::wstring wideName = widen(name);
  const DWORD needed = GetEnvironmentVariableW(wideName.c_str(), nullptr, 0);
  if (needed == 0) return std::nullopt;
  std::wstring value(needed, L'\0');
  const DWORD length = GetEnvironmentVariableW(wideName.c_str(), value.data(), needed);
  if (length == 0 || length >= needed) return std::nullopt;
  value.resize(length);
  return narrow(value);
}

std::optional<platform::Started> Win32Process::start(std::string_view commandLine,
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

  // CreateProcessW may write into the command line, so each start gets a buffer of its own.
  const std::wstring wide = widen(commandLine);
  std::wstring line;
  auto freshLine = [&wide, &line] {
    line = wide;
    return line.data();
  };

  // The interpreter starts suspended, so that it is in its job before it can start anything.
  // Should the job be refused, it is ended before it ever ran and started once more.
  UniqueHandle job(CreateJobObjectW(nullptr, nullptr));
  const DWORD attempts[] = {0, CREATE_BREAKAWAY_FROM_JOB};
  for (const DWORD breakaway : attempts) {
    if (!job) break;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, freshLine(), &attributes, &attributes, TRUE,
                        NORMAL_PRIORITY_CLASS | CREATE_SUSPENDED | breakaway, nullptr, nullptr,
                        &startup, &info)) {
      if (breakaway == 0) return std::nullopt;  // it cannot start at all
      break;                                    // breaking away is not allowed
    }
    UniqueHandle process(info.hProcess);
    UniqueHandle thread(info.hThread);
    if (AssignProcessToJobObject(job.get(), info.hProcess)) {
      ResumeThread(info.hThread);
      lastPlacement_ = breakaway == 0 ? JobPlacement::own : JobPlacement::brokeAway;
      return platform::Started{fromHandle(process.release()), fromHandle(thread.release()),
                               fromHandle(job.release())};
    }
    TerminateProcess(info.hProcess, 1);
    WaitForSingleObject(info.hProcess, 1000);
  }

  PROCESS_INFORMATION info{};
  if (!CreateProcessW(nullptr, freshLine(), &attributes, &attributes, TRUE, NORMAL_PRIORITY_CLASS,
                      nullptr, nullptr, &startup, &info)) {
    return std::nullopt;
  }
  lastPlacement_ = JobPlacement::none;
  return platform::Started{fromHandle(info.hProcess), fromHandle(info.hThread), 0};
}

std::optional<long> Win32Process::exitCode(platform::Handle process, unsigned waitMs) {
  if (WaitForSingleObject(toHandle(process), waitMs) != WAIT_OBJECT_0) return std::nullopt;
  DWORD code = 0;
  if (!GetExitCodeProcess(toHandle(process), &code)) return std::nullopt;
  return static_cast<long>(code);
}

void Win32Process::endCommand(const platform::Started& command) {
  if (command.job != 0) {
    TerminateJobObject(toHandle(command.job), 1);
  } else if (command.process != 0) {
    endProcessTree(toHandle(command.process));
  }
}

namespace {

std::uint64_t creationTime(HANDLE process) {
  FILETIME created{};
  FILETIME exited{};
  FILETIME kernel{};
  FILETIME user{};
  if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
  return (static_cast<std::uint64_t>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

}  // namespace

void endProcessTree(HANDLE root) {
  // Descendants first: the snapshot of every process, then the children of each process ended
  // so far. A process whose parent id matches but that is older than that parent only reuses
  // the id of a parent long gone, and is not a descendant.
  std::vector<PROCESSENTRY32W> all;
  {
    UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (snapshot.get() != INVALID_HANDLE_VALUE) {
      PROCESSENTRY32W entry{};
      entry.dwSize = sizeof(entry);
      for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
           more = Process32NextW(snapshot.get(), &entry)) {
        all.push_back(entry);
      }
    }
  }
  struct Found {
    DWORD pid;
    std::uint64_t created;
  };
  std::vector<Found> tree{{GetProcessId(root), creationTime(root)}};
  std::vector<UniqueHandle> descendants;
  for (std::size_t i = 0; i < tree.size(); ++i) {
    for (const auto& entry : all) {
      if (entry.th32ParentProcessID != tree[i].pid || entry.th32ProcessID == tree[i].pid) continue;
      UniqueHandle child(OpenProcess(PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE,
                                     entry.th32ProcessID));
      if (!child) continue;
      const std::uint64_t created = creationTime(child.get());
      if (created < tree[i].created) continue;
      tree.push_back({entry.th32ProcessID, created});
      descendants.push_back(std::move(child));
    }
  }
  TerminateProcess(root, 1);
  for (const auto& child : descendants) TerminateProcess(child.get(), 1);
}

platform::PipeState Win32Process::peek(platform::Handle readEnd) {
  DWORD available = 0;
  if (!PeekNamedPipe(toHandle(readEnd), nullptr, 0, nullptr, &available, nullptr)) {
    return platform::PipeState::broken;
  }
  return available > 0 ? platform::PipeState::data : platform::PipeState::empty;
}

std::optional<std::string> Win32Process::read(platform::Handle readEnd, std::size_t maxBytes) {
  std::string bytes(maxBytes, '\0');
  DWORD got = 0;
  if (!ReadFile(toHandle(readEnd), bytes.data(), static_cast<DWORD>(maxBytes), &got, nullptr)) {
    return std::nullopt;
  }
  bytes.resize(got);
  return bytes;
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
