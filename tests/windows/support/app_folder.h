#pragma once
// A private copy of the demo folder (Quorlane.exe, its skin files, the simulated phone as
// fastboot.exe and generated images in RE\) for one test, and the program started from it.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "common/strings.h"
#include "driver/gui_driver.h"
#include "ports/control_id.h"

namespace quorlane::testsupport {

std::string readFile(const std::string& path);
using quorlane::contains;
void writeFile(const std::string& path, const std::string& bytes);
// The short 8.3 form of an existing file's path; empty where the volume gives it none.
std::string shortPath(const std::string& path);

// One invocation of the simulated fastboot, from its log.
struct SimRun {
  std::string cmdline;
  std::vector<std::string> args;
  std::string cwd;
  std::optional<int> finished;
};

class AppFolder {
 public:
  // A fresh copy of a demo folder of the build tree (demo/, or demo-real/ with Google's client) in
  // the temporary folder; removed again by the destructor.
  explicit AppFolder(const std::string& demo = "demo");
  AppFolder(const AppFolder&) = delete;
  AppFolder& operator=(const AppFolder&) = delete;
  ~AppFolder();

  const std::string& path() const { return path_; }
  std::string file(const std::string& relative) const { return path_ + "\\" + relative; }
  void remove(const std::string& relative) const;
  // The simulated phone's settings (fastboot-sim.ini).
  void settings(const std::string& ini) const;
  // The simulated client's runs, in order: every one with `factsQueries`, otherwise all but the
  // queries that ask a phone for its variables, which the program runs by itself after each list.
  std::vector<SimRun> runs(bool factsQueries = false) const;
  // The image the simulated phone received last.
  std::string flashed() const;

 private:
  std::string path_;
};

// Quorlane started from a folder, once its window is shown.
struct App {
  gui::Process process;
  HWND window = nullptr;

  HWND control(int id) const { return gui::child(window, id); }
  HWND control(window::ControlId id) const { return control(static_cast<int>(id)); }
  std::string text(window::ControlId id) const { return gui::text(control(id)); }
  // Presses `button` once it is enabled (Start is enabled by the timer once the path box holds a
  // path); false if it was not.
  bool press(window::ControlId button) const;
  // Puts `path` in the path box as a paste would and presses Start.
  bool pressStart(const std::string& path) const;
  // Waits until the simulated phone has finished `count` invocations.
  static bool waitRuns(const AppFolder& folder, std::size_t count);
};

inline constexpr const char* kTitle = "QuorlaneBeta1 -- Tessivo";

// Starts Quorlane.exe of `folder` in workingDir (empty: the folder itself) and waits for its
// window and for the start-up device query to have finished.
App startApp(const AppFolder& folder, const std::string& workingDir = "");

}  // namespace quorlane::testsupport
