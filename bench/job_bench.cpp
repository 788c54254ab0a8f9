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

std::string commandLine() {
  wchar_t comSpec[MAX_PATH];
  GetEnvironmentVariableW(L"ComSpec", comSpec, MAX_PATH);
  return quorlane::win32::narrow(comSpec) + " /c \"" + quorlane::bench::writer() + "\"";
}

}  // namespace

int wmain() {
  const std::string line = commandLine();
  quorlane::win32::Win32Process os;
  constexpr int kRounds = 20;
  double job = 0;
  double none = 0;
  quorlane::bench::secondsInJob(os,
                                line);  // warm-up: the first start of the interpreter loads more
  quorlane::bench::secondsPlain(line);
  for (int i = 0; i < kRounds; ++i) {
    job += quorlane::bench::secondsInJob(os, line);
    none += quorlane::bench::secondsPlain(line);
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
