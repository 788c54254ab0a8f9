#include "real/network_phone.h"

#include <atomic>
#include <filesystem>
#include <sstream>
#include <stdexcept>

#include "driver/gui_driver.h"
#include "support/app_folder.h"
#include "win32/handles.h"

namespace quorlane::realtest {

namespace fs = std::filesystem;

namespace {

// The Windows path of a Linux path: Wine's Z: drive is the Linux root.
std::string windowsPath(std::string unixPath) {
  for (char& c : unixPath) {
    if (c == '/') c = '\\';
  }
  return "Z:" + unixPath;
}

std::string inQuotes(const std::string& argument) {
  return "\"" + argument + "\"";
}

}  // namespace

NetworkPhone::NetworkPhone(const std::vector<std::string>& options, int timeLimitSeconds) {
  static std::atomic<int> counter{0};
  unixFolder_ = std::string(QUORLANE_PHONE_ROOT) + "/" + std::to_string(GetCurrentProcessId()) +
                "-" + std::to_string(++counter);
  folder_ = windowsPath(unixFolder_);
  std::error_code ignored;
  fs::remove_all(win32::widen(folder_), ignored);
  fs::create_directories(win32::widen(folder_));

  std::string line = inQuotes(QUORLANE_PYTHON) + " " + inQuotes(QUORLANE_PHONE_SCRIPT) + " --dir " +
                     inQuotes(unixFolder_) + " --port-file " + inQuotes(unixFolder_ + "/port") +
                     " --time-limit " + std::to_string(timeLimitSeconds);
  for (const auto& option : options) line += " " + inQuotes(option);
  std::wstring commandLine = win32::widen(line);
  const std::wstring application = win32::widen(windowsPath(QUORLANE_PYTHON));
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(application.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                      CREATE_NO_WINDOW, nullptr, nullptr, &startup, &info)) {
    throw std::runtime_error("the phone could not be started: " + line);
  }
  // The phone is followed through its files, not its handles.
  const win32::UniqueHandle process(info.hProcess);
  const win32::UniqueHandle thread(info.hThread);

  if (!gui::waitFor([this] { return !testsupport::readFile(file("port")).empty(); })) {
    throw std::runtime_error("the phone reported no port: " + line);
  }
  port_ = std::stoi(testsupport::readFile(file("port")));
}

NetworkPhone::~NetworkPhone() {
  testsupport::writeFile(file("stop"), "");
  gui::waitFor([this] { return logHas("stopped"); });
  std::error_code ignored;
  fs::remove_all(win32::widen(folder_), ignored);
}

std::string NetworkPhone::file(const std::string& name) const {
  return folder_ + "\\" + name;
}

std::optional<std::string> NetworkPhone::partition(const std::string& name) const {
  if (!fs::exists(win32::widen(file(name + ".img")))) return std::nullopt;
  return testsupport::readFile(file(name + ".img"));
}

std::optional<std::string> NetworkPhone::booted() const {
  if (!fs::exists(win32::widen(file("booted.bin")))) return std::nullopt;
  return testsupport::readFile(file("booted.bin"));
}

std::vector<std::string> NetworkPhone::log() const {
  std::vector<std::string> lines;
  std::istringstream in(testsupport::readFile(file("phone.log")));
  std::string line;
  while (std::getline(in, line)) lines.push_back(line);
  return lines;
}

bool NetworkPhone::logHas(const std::string& line) const {
  for (const auto& l : log()) {
    if (l == line) return true;
  }
  return false;
}

std::size_t NetworkPhone::logCount(const std::string& prefix) const {
  std::size_t n = 0;
  for (const auto& l : log()) n += l.rfind(prefix, 0) == 0 ? 1 : 0;
  return n;
}

ScopedEnvironment::ScopedEnvironment(const std::string& name, const std::string& value)
    : name_(win32::widen(name)) {
  wchar_t buffer[32768];
  const DWORD n = GetEnvironmentVariableW(name_.c_str(), buffer, 32768);
  if (n > 0 && n < 32768) saved_ = std::wstring(buffer, n);
  SetEnvironmentVariableW(name_.c_str(), win32::widen(value).c_str());
}

ScopedEnvironment::~ScopedEnvironment() {
  SetEnvironmentVariableW(name_.c_str(), saved_ ? saved_->c_str() : nullptr);
}

}  // namespace quorlane::realtest
