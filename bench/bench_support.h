#pragma once
// What the benchmarks share: seconds from a clock's duration, the median of several runs, and the
// writer child beside them.

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "win32/module_path.h"
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

// The quoted path of chunk_writer.exe in the benchmark's own folder.
inline std::string writer() {
  std::string line = "\"";
  line += win32::narrow(win32::executableFolder());
  line += "\\chunk_writer.exe\"";
  return line;
}

}  // namespace quorlane::bench
