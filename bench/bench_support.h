#pragma once
// What the benchmarks share: seconds from a clock's duration, and the writer child beside them.

#include <windows.h>

#include <chrono>
#include <string>

#include "platform/win32/text.h"

namespace quorlane::bench {

using Clock = std::chrono::steady_clock;

inline double seconds(Clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

// The quoted path of chunk_writer.exe in the benchmark's own folder.
inline std::string writer() {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  const std::wstring p = path;
  std::string line = "\"";
  line += win32::narrow(p.substr(0, p.find_last_of(L'\\')));
  line += "\\chunk_writer.exe\"";
  return line;
}

}  // namespace quorlane::bench
