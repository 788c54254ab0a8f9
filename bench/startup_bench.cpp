// Start-up: time from process start to the window being shown, for Quorlane (component checks,
// skin, the device query through the runner, every control) and for the baseline program (one
// `cmd /c fastboot devices` and an empty window), both started from the demo folder with the
// simulated phone. Median of several runs each, in one run; also the exe's size and Quorlane's
// working set once its window shows.

#include <windows.h>
// psapi.h needs the types of windows.h.
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bench_support.h"
#include "driver/gui_driver.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

struct Start {
  double seconds = 0;
  std::size_t workingSet = 0;
};

Start startOnce(const fs::path& exe, const fs::path& folder, const std::string& title) {
  const auto begin = Clock::now();
  quorlane::gui::Process process = quorlane::gui::Process::start(
      quorlane::win32::narrow(exe.wstring()), quorlane::win32::narrow(folder.wstring()));
  HWND window = quorlane::gui::waitTopWindow(process.pid(), title, 30000);
  Start s;
  s.seconds = std::chrono::duration<double>(Clock::now() - begin).count();
  PROCESS_MEMORY_COUNTERS counters{};
  if (GetProcessMemoryInfo(process.handle(), &counters, sizeof(counters))) {
    s.workingSet = counters.WorkingSetSize;
  }
  if (window != nullptr) PostMessageW(window, WM_CLOSE, 0, 0);
  process.waitExit(5000);
  return s;
}

using quorlane::bench::median;

}  // namespace

int wmain() {
  const fs::path here(quorlane::win32::executableFolder());
  const fs::path demo = here.parent_path() / L"demo";
  // The baseline runs from a copy of the demo folder, so it finds the same simulated phone.
  const fs::path baselineFolder = fs::temp_directory_path() / L"quorlane-baseline";
  fs::remove_all(baselineFolder);
  fs::copy(demo, baselineFolder, fs::copy_options::recursive);
  fs::copy_file(here / L"empty_window.exe", baselineFolder / L"empty_window.exe");

  constexpr int kRuns = 7;
  std::vector<double> program, baseline;
  std::size_t workingSet = 0;
  startOnce(demo / L"Quorlane.exe", demo, "QuorlaneBeta1 -- Tessivo");  // warm the caches
  for (int i = 0; i < kRuns; ++i) {
    const Start s = startOnce(demo / L"Quorlane.exe", demo, "QuorlaneBeta1 -- Tessivo");
    program.push_back(s.seconds);
    workingSet = std::max(workingSet, s.workingSet);
    baseline.push_back(
        startOnce(baselineFolder / L"empty_window.exe", baselineFolder, "baseline").seconds);
  }
  fs::remove_all(baselineFolder);

  const double p = median(program);
  const double b = median(baseline);
  std::printf("start-up to a shown window, median of %d runs\n", kRuns);
  std::printf("  Quorlane.exe         %.3f s\n", p);
  std::printf("  baseline             %.3f s\n", b);
  std::printf("  ratio                %.3f (target <= 1.2)\n", p / b);
  const auto size = fs::file_size(demo / L"Quorlane.exe");
  std::printf("  Quorlane.exe size    %.1f KiB (%s bytes, target <= 300 KB)\n",
              static_cast<double>(size) / 1024.0, std::to_string(size).c_str());
  std::printf("  working set (shown)  %.1f MiB\n", static_cast<double>(workingSet) / 1048576.0);
  return 0;
}
