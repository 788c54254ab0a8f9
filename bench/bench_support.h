#pragma once
// What the benchmarks share: seconds from a clock's duration, the median of several runs, and the
// writer child beside them.

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "win32/handles.h"
#include "win32/module_path.h"
#include "win32/process_win32.h"
#include "win32/text.h"

namespace quorlane::bench {

using Clock = std::chrono::steady_clock;

inline double seconds(Clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

inline double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// Seconds to run `line` to its end as the runner starts a command (in a job of its own), and as a
// plain hidden start; a negative number when it could not be started.
inline double secondsInJob(win32::Win32Process& os, const std::string& line) {
  const auto start = Clock::now();
  const auto started = os.start(line, 0, false);
  if (!started) return -1;
  os.exitCode(started->process, INFINITE);
  const double secs = seconds(Clock::now() - start);
  os.close(started->process);
  os.close(started->thread);
  if (started->job != 0) os.close(started->job);
  return secs;
}

inline double secondsPlain(const std::string& line) {
  std::wstring wide = win32::widen(line);
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
  const win32::UniqueHandle process(info.hProcess);
  const win32::UniqueHandle thread(info.hThread);
  WaitForSingleObject(process.get(), INFINITE);
  return seconds(Clock::now() - start);
}

// The quoted path of chunk_writer.exe in the benchmark's own folder.
inline std::string writer() {
  std::string line = "\"";
  line += win32::narrow(win32::executableFolder());
  line += "\\chunk_writer.exe\"";
  return line;
}

}  // namespace quorlane::bench
