#include "support/app_folder.h"

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace quorlane::testsupport {

namespace fs = std::filesystem;

namespace {

fs::path pathOf(const std::string& utf8) {
  return fs::path(win32::widen(utf8));
}

// A demo folder of the build tree (<build>/<name>), found from this program's own place in it:
// the nearest folder above the executable that holds it.
fs::path demoFolder(const std::string& name) {
  for (fs::path above = fs::path(win32::executableFolder()); above.has_relative_path();
       above = above.parent_path()) {
    if (fs::exists(above / pathOf(name) / L"Quorlane.exe")) return above / pathOf(name);
  }
  throw std::runtime_error("demo folder not built: " + name);
}

}  // namespace

std::string readFile(const std::string& path) {
  std::ifstream in(pathOf(path), std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string shortPath(const std::string& path) {
  wchar_t buffer[MAX_PATH];
  const DWORD n = GetShortPathNameW(win32::widen(path).c_str(), buffer, MAX_PATH);
  return n > 0 && n < MAX_PATH ? win32::narrow(std::wstring(buffer, n)) : "";
}

void writeFile(const std::string& path, const std::string& bytes) {
  fs::create_directories(pathOf(path).parent_path());
  std::ofstream out(pathOf(path), std::ios::binary | std::ios::trunc);
  out << bytes;
}

AppFolder::AppFolder(const std::string& demo) {
  static std::atomic<int> counter{0};
  const fs::path folder =
      fs::temp_directory_path() /
      (L"quorlane-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++counter));
  fs::remove_all(folder);
  fs::copy(demoFolder(demo), folder, fs::copy_options::recursive);
  path_ = win32::narrow(folder.wstring());
  // Nothing of an earlier run of the demo itself.
  std::error_code ignored;
  fs::remove(folder / L"fastboot-sim.log", ignored);
  fs::remove(folder / L"fastboot-sim.ini", ignored);
  fs::remove_all(folder / L"device", ignored);
}

AppFolder::~AppFolder() {
  std::error_code ignored;
  // Programs still ending may hold files for a moment.
  for (int i = 0; i < 50 && fs::exists(pathOf(path_)); ++i) {
    fs::remove_all(pathOf(path_), ignored);
    if (fs::exists(pathOf(path_))) Sleep(100);
  }
}

void AppFolder::remove(const std::string& relative) const {
  std::error_code ignored;
  fs::remove(pathOf(file(relative)), ignored);
}

void AppFolder::settings(const std::string& ini) const {
  writeFile(file("fastboot-sim.ini"), ini);
}

std::vector<SimRun> AppFolder::runs(bool factsQueries) const {
  std::vector<SimRun> result;
  const auto keep = [&result, factsQueries](const SimRun& run) {
    const bool facts = std::find(run.args.begin(), run.args.end(), "getvar") != run.args.end();
    if (factsQueries || !facts) result.push_back(run);
  };
  std::istringstream log(readFile(file("fastboot-sim.log")));
  std::string line;
  SimRun current;
  bool open = false;
  while (std::getline(log, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    auto value = [&line](std::size_t skip) { return line.substr(skip); };
    if (line.rfind("cmdline: ", 0) == 0) {
      if (open) keep(current);
      current = {};
      current.cmdline = value(9);
      open = true;
    } else if (line.rfind("arg: ", 0) == 0) {
      current.args.push_back(value(5));
    } else if (line.rfind("cwd: ", 0) == 0) {
      current.cwd = value(5);
    } else if (line.rfind("finished: ", 0) == 0) {
      current.finished = std::stoi(value(10));
    }
  }
  if (open) keep(current);
  return result;
}

std::string AppFolder::flashed() const {
  return readFile(file("device\\recovery.img"));
}

bool App::press(window::ControlId button) const {
  return gui::waitFor([&] { return gui::enabled(control(button)); }) && gui::click(control(button));
}

bool App::pressStart(const std::string& path) const {
  return gui::setText(control(window::ControlId::Combo1), path) &&
         press(window::ControlId::Command1);
}

bool App::waitRuns(const AppFolder& folder, std::size_t count) {
  return gui::waitFor([&] {
    const auto runs = folder.runs();
    std::size_t done = 0;
    for (const auto& r : runs) done += r.finished.has_value() ? 1 : 0;
    return done >= count;
  });
}

App startApp(const AppFolder& folder, const std::string& workingDir) {
  App app{gui::Process::start(folder.file("Quorlane.exe"),
                              workingDir.empty() ? folder.path() : workingDir),
          nullptr};
  app.window = gui::waitTopWindow(app.process.pid(), kTitle);
  if (app.window == nullptr) throw std::runtime_error("the main window was not shown");
  return app;
}

}  // namespace quorlane::testsupport
