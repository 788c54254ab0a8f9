// What putting each command in a job of its own costs: the same command line (the interpreter
// starting a child that prints nothing) started and waited for through the runner's platform,
// which creates the job, starts the interpreter suspended, assigns and resumes it, and started
// plainly with CreateProcessW, taking turns. Printed: the mean seconds of each and their ratio.

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench_support.h"
#include "win32/process_win32.h"
#include "win32/text.h"

namespace {

using quorlane::bench::Clock;
using quorlane::bench::seconds;

std::string commandLine() {
  wchar_t comSpec[MAX_PATH];
  GetEnvironmentVariableW(L"ComSpec", comSpec, MAX_PATH);
  return quorlane::win32::narrow(comSpec) + " /c \"" + quorlane::bench::writer() + "\"";
}

double inJob(quorlane::win32::Win32Process& os, const std::string& line) {
  const auto start = Clock::now();
  const auto started = os.start(line, 0);
  if (!started) return -1;
  os.exitCode(started->process, INFINITE);
  const double secs = seconds(Clock::now() - start);
  os.close(started->process);
  os.close(started->thread);
  if (started->job != 0) os.close(started->job);
  return secs;
}

double plain(const std::string& line) {
  std::wstring wide = quorlane::win32::widen(line);
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION info{};
  const auto start = Clock::now();
  if (!CreateProcessW(nullptr, wide.data(), nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS, nullptr,
                      nullptr, &startup, &info)) {
    return -1;
  }
  WaitForSingleObject(info.hProcess, INFINITE);
  const double secs = seconds(Clock::now() - start);
  CloseHandle(info.hProcess);
  CloseHandle(info.hThread);
  return secs;
}

}  // namespace

int wmain() {
  const std::string line = commandLine();
  quorlane::win32::Win32Process os;
  constexpr int kRounds = 20;
  double job = 0;
  double none = 0;
  inJob(os, line);  // warm-up: the first start of the interpreter loads more
  plain(line);
  for (int i = 0; i < kRounds; ++i) {
    job += inJob(os, line);
    none += plain(line);
  }
  const char* placement = os.lastPlacement() == quorlane::win32::JobPlacement::own ? "own job"
                          : os.lastPlacement() == quorlane::win32::JobPlacement::brokeAway
                              ? "broke away into its own job"
                              : "no job";
  std::printf("%d rounds; the runner's starts were placed: %s\n", kRounds, placement);
  std::printf("in a job %.4f s, plain %.4f s, ratio %.3f\n", job / kRounds, none / kRounds,
              job / none);
  return 0;
}
