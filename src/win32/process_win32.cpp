#include "win32/process_win32.h"

#include <tlhelp32.h>

#include <atomic>
#include <deque>
#include <utility>
#include <vector>

#include "win32/handles.h"
#include "win32/handover.h"
#include "win32/message_loop.h"
#include "win32/text.h"

namespace quorlane::win32 {

namespace {

HANDLE toHandle(ports::Handle h) {
  return reinterpret_cast<HANDLE>(h);
}
ports::Handle fromHandle(HANDLE h) {
  return reinterpret_cast<ports::Handle>(h);
}

}  // namespace

std::optional<ports::Pipe> Win32Process::createPipe() {
  HANDLE r = nullptr;
  HANDLE w = nullptr;
  if (!CreatePipe(&r, &w, nullptr, 0)) return std::nullopt;
  UniqueHandle readEnd(r);
  UniqueHandle writeEnd(w);
  // Only the write end is meant for the child, and it alone becomes inheritable; an inherited
  // read end would keep the child's own output pipe open.
  if (!SetHandleInformation(w, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT)) return std::nullopt;
  return ports::Pipe{fromHandle(readEnd.release()), fromHandle(writeEnd.release())};
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

namespace {

// The handles a started process may inherit: the one given, and nothing else the program holds.
class InheritOnly {
 public:
  explicit InheritOnly(HANDLE handle) : handle_(handle) {
    SIZE_T size = 0;
    InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
    storage_.resize(size);
    auto* list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(storage_.data());
    if (size == 0 || !InitializeProcThreadAttributeList(list, 1, 0, &size)) return;
    list_ = list;
    if (!UpdateProcThreadAttribute(list_, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, &handle_,
                                   sizeof(handle_), nullptr, nullptr)) {
      DeleteProcThreadAttributeList(list_);
      list_ = nullptr;
    }
  }
  ~InheritOnly() {
    if (list_ != nullptr) DeleteProcThreadAttributeList(list_);
  }
  InheritOnly(const InheritOnly&) = delete;
  InheritOnly& operator=(const InheritOnly&) = delete;
  // Nothing where the system cannot restrict what is inherited.
  LPPROC_THREAD_ATTRIBUTE_LIST list() const { return list_; }

 private:
  HANDLE handle_;
  std::vector<unsigned char> storage_;
  LPPROC_THREAD_ATTRIBUTE_LIST list_ = nullptr;
};

}  // namespace

namespace {

// Whether the processes of `job` end when its last handle is closed. No other limit is ever set on
// a command's job.
void setKillOnClose(HANDLE job, bool kill) {
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
  limits.BasicLimitInformation.LimitFlags = kill ? JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE : 0;
  SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof(limits));
}

}  // namespace

std::optional<ports::Started> Win32Process::start(std::string_view commandLine,
                                                  ports::Handle output, bool endWithProgram) {
  STARTUPINFOEXW startupEx{};
  STARTUPINFOW& startup = startupEx.StartupInfo;
  startup.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  startup.hStdInput = nullptr;
  startup.hStdOutput = toHandle(output);
  startup.hStdError = toHandle(output);
  // The interpreter inherits the pipe's write end and nothing else, also should some other
  // handle of the program be inheritable; its own process and thread handles are not.
  const InheritOnly inherit(toHandle(output));
  startupEx.lpAttributeList = inherit.list();
  const DWORD extended = inherit.list() != nullptr ? EXTENDED_STARTUPINFO_PRESENT : 0;
  startup.cb = extended != 0 ? sizeof(startupEx) : sizeof(startup);

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
  if (job && endWithProgram) setKillOnClose(job.get(), true);
  const DWORD attempts[] = {0, CREATE_BREAKAWAY_FROM_JOB};
  for (const DWORD breakaway : attempts) {
    if (!job) break;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, freshLine(), nullptr, nullptr, TRUE,
                        NORMAL_PRIORITY_CLASS | CREATE_SUSPENDED | breakaway | extended, nullptr,
                        nullptr, &startup, &info)) {
      if (breakaway == 0) return std::nullopt;  // it cannot start at all
      break;                                    // breaking away is not allowed
    }
    UniqueHandle process(info.hProcess);
    UniqueHandle thread(info.hThread);
    if (AssignProcessToJobObject(job.get(), info.hProcess)) {
      ResumeThread(info.hThread);
      lastPlacement_ = breakaway == 0 ? JobPlacement::own : JobPlacement::brokeAway;
      return ports::Started{fromHandle(process.release()), fromHandle(thread.release()),
                            fromHandle(job.release())};
    }
    TerminateProcess(info.hProcess, 1);
    WaitForSingleObject(info.hProcess, 1000);
  }

  PROCESS_INFORMATION info{};
  if (!CreateProcessW(nullptr, freshLine(), nullptr, nullptr, TRUE,
                      NORMAL_PRIORITY_CLASS | extended, nullptr, nullptr, &startup, &info)) {
    return std::nullopt;
  }
  lastPlacement_ = JobPlacement::none;
  return ports::Started{fromHandle(info.hProcess), fromHandle(info.hThread), 0};
}

std::optional<long> Win32Process::exitCode(ports::Handle process, unsigned waitMs) {
  if (WaitForSingleObject(toHandle(process), waitMs) != WAIT_OBJECT_0) return std::nullopt;
  DWORD code = 0;
  if (!GetExitCodeProcess(toHandle(process), &code)) return std::nullopt;
  return static_cast<long>(code);
}

void Win32Process::endCommand(const ports::Started& command) {
  if (command.job != 0) {
    TerminateJobObject(toHandle(command.job), 1);
  } else if (command.process != 0) {
    endProcessTree(toHandle(command.process));
  }
}

void Win32Process::setEndWithProgram(const ports::Started& command, bool end) {
  // Without a job there is nothing that could end the processes once this program has gone.
  if (command.job != 0) setKillOnClose(toHandle(command.job), end);
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
  // The whole tree is found before anything is ended, from one snapshot of every process: the
  // children of the root, then the children of each process found so far. A process whose parent
  // id matches but that is older than that parent only reuses the id of a parent long gone, and
  // is not a descendant. Then the root goes first, so that it starts nothing more, and after it
  // the descendants; one started after the snapshot is not found.
  std::vector<PROCESSENTRY32W> all;
  {
    UniqueFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (snapshot) {
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

namespace {

// Reads a pipe on a thread of its own. Each read is queued and handed over to the thread that
// started the reading (see Handover), which delivers what is queued in the order of the reads.
class PipeReading final : public ports::OutputReading {
 public:
  PipeReading(HANDLE readEnd, std::size_t maxBytes, unsigned pauseMs, ports::ReadDelivery deliver)
      : readEnd_(readEnd),
        maxBytes_(maxBytes),
        pauseMs_(pauseMs),
        deliver_(std::move(deliver)),
        handover_([this] { deliverQueued(); }) {}
  ~PipeReading() override {
    stop_ = true;
    // The thread never blocks: it reads only what is waiting, and looks at stop_ after each pause.
    if (thread_) WaitForSingleObject(thread_.get(), INFINITE);
  }
  PipeReading(const PipeReading&) = delete;
  PipeReading& operator=(const PipeReading&) = delete;

  bool start() {
    if (!handover_.ready()) return false;
    thread_.reset(CreateThread(nullptr, 0, threadMain, this, 0, nullptr));
    return thread_ != nullptr;
  }

 private:
  static DWORD WINAPI threadMain(LPVOID self) {
    static_cast<PipeReading*>(self)->readUntilBroken();
    return 0;
  }

  void readUntilBroken() {
    std::string buffer(maxBytes_, '\0');
    for (;;) {
      Sleep(pauseMs_);
      if (stop_) return;
      DWORD available = 0;
      const bool broken = !PeekNamedPipe(readEnd_, nullptr, 0, nullptr, &available, nullptr);
      if (!broken && available == 0) continue;
      DWORD got = 0;
      if (!ReadFile(readEnd_, buffer.data(), static_cast<DWORD>(maxBytes_), &got, nullptr)) {
        queue(std::nullopt);
        return;
      }
      // Exactly the bytes read: a queued read holds no more memory than its bytes.
      queue(std::string(buffer.data(), got));
    }
  }

  void queue(std::optional<std::string> read) {
    const bool last = !read;
    {
      Locked locked(section_);
      reads_.push_back(std::move(read));
    }
    // The runner waits for the last read: it tries again until its message gets through (the
    // thread's queue may be full for a moment). Any other read whose message did not get through
    // leaves the announcing to the next one, as the handover posts anew after a failure.
    while (!handover_.notify() && last && !stop_) Sleep(pauseMs_);
  }

  void deliverQueued() {
    for (;;) {
      std::optional<std::string> read;
      {
        Locked locked(section_);
        if (reads_.empty()) return;
        read = std::move(reads_.front());
        reads_.pop_front();
      }
      deliver_(std::move(read));
    }
  }

  HANDLE readEnd_;
  std::size_t maxBytes_;
  unsigned pauseMs_;
  ports::ReadDelivery deliver_;
  std::atomic<bool> stop_{false};
  CriticalSection section_;
  std::deque<std::optional<std::string>> reads_;  // under section_
  Handover handover_;
  UniqueHandle thread_;
};

}  // namespace

std::unique_ptr<ports::OutputReading> Win32Process::startReading(ports::Handle readEnd,
                                                                 std::size_t maxBytes,
                                                                 unsigned pauseMs,
                                                                 ports::ReadDelivery deliver) {
  auto reading =
      std::make_unique<PipeReading>(toHandle(readEnd), maxBytes, pauseMs, std::move(deliver));
  if (!reading->start()) return nullptr;
  return reading;
}

void Win32Process::close(ports::Handle handle) {
  CloseHandle(toHandle(handle));
}

bool Win32Process::isLeadByte(unsigned char byte) {
  return IsDBCSLeadByte(byte) != FALSE;
}

std::string Win32Process::fromAnsi(std::string_view bytes) {
  return fromCodePage(CP_ACP, bytes);
}

void Win32Pump::waitEvents() {
  MsgWaitForMultipleObjectsEx(0, nullptr, kWaitMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  pumpEvents();
}

void Win32Pump::pumpEvents() {
  // A quit waits for the main loop; meanwhile it would wake every wait at once.
  if (!dispatchWaiting(dialog_)) Sleep(kQuitPauseMs);
}

}  // namespace quorlane::win32
