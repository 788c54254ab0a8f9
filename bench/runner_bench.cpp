// How fast the runner collects a command's output: a child writes 1 and 4 MiB as fast as it can.
// Printed: bytes collected, seconds, reads, the floor (reads x the measured pause + the start-up
// time of a child that prints nothing), the ratio to that floor, and the peak memory the run
// added.

#include <windows.h>

// psapi.h needs the types of windows.h.
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

#include "bench_support.h"
#include "runner/MyCMD.h"
#include "win32/process_win32.h"
#include "win32/text.h"

namespace {

using quorlane::bench::Clock;
using quorlane::bench::seconds;
using quorlane::bench::writer;

// The process's private bytes or its working set, whichever the platform reports larger, now.
// Sampled after every read and in the finishing event, where the collected text and its copy for
// the event both exist: the peak of the run.
std::size_t privateBytes() {
  PROCESS_MEMORY_COUNTERS_EX counters{};
  GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                       sizeof(counters));
  return std::max<std::size_t>(counters.PrivateUsage, counters.WorkingSetSize);
}

struct Run {
  std::size_t bytes = 0;
  int reads = 0;
  double secs = 0;
  std::size_t collected = 0;
  std::size_t peak = 0;
};

Run runOnce(const std::string& arguments) {
  quorlane::win32::Win32Process os;
  quorlane::win32::Win32Pump pump;
  quorlane::MyCMD cmd(os, pump);
  Run r;
  cmd.收到输出 = [&r](const std::string& chunk) {
    ++r.reads;
    r.bytes += chunk.size();
    r.peak = std::max(r.peak, privateBytes());
  };
  cmd.执行完毕 = [&r](const std::string& text, bool) {
    r.collected = text.size();
    r.peak = std::max(r.peak, privateBytes());
  };
  const auto start = Clock::now();
  cmd.执行命令(writer() + " " + arguments);
  r.secs = seconds(Clock::now() - start);
  ++r.reads;  // the final read that found the pipe broken
  return r;
}

}  // namespace

int wmain() {
  // The pause as this machine really makes it.
  const auto pauseStart = Clock::now();
  constexpr int kPauses = 50;
  for (int i = 0; i < kPauses; ++i) Sleep(quorlane::MyCMD::kPauseMs);
  const double pause = seconds(Clock::now() - pauseStart) / kPauses;

  double startup = 0;
  constexpr int kEmptyRuns = 5;
  for (int i = 0; i < kEmptyRuns; ++i) startup += runOnce("").secs;
  startup /= kEmptyRuns;

  std::printf("pause %.4f s, start-up of a silent child %.4f s\n", pause, startup);
  std::printf("%-8s %10s %8s %7s %8s %6s %10s %8s\n", "output", "collected", "seconds", "reads",
              "floor", "ratio", "peak+MiB", "peak/out");
  for (const std::size_t mib : {1u, 4u}) {
    const std::size_t size = mib * 1024 * 1024;
    const std::size_t before = privateBytes();
    const Run r = runOnce("fill:" + std::to_string(size));
    const std::size_t peak = r.peak > before ? r.peak - before : 0;
    const double floor = r.reads * pause + startup;
    std::printf("%5zu MiB %10zu %8.3f %7d %8.3f %6.3f %10.2f %8.2f\n", mib, r.bytes, r.secs,
                r.reads, floor, r.secs / floor, peak / 1048576.0,
                static_cast<double>(peak) / static_cast<double>(size));
  }
  return 0;
}
