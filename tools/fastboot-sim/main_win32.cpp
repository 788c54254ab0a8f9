// fastboot-sim: stands in for the fastboot client and a phone in tests and the demo. Installed as
// fastboot.exe, it answers `fastboot devices`, `fastboot flash <partition> <file>` and
// `fastboot getvar NAME [getvar NAME ...]`, each with an optional `-s SERIAL` first, the way the
// real client does: the device list on standard output, everything else on standard error,
// CR LF line ends, exit code 1 on a fatal error. A flashed image is copied byte for byte into
// device\<partition>.img beside the executable.
//
// Settings: fastboot-sim.ini beside the executable (optional, UTF-8), `key=value` lines, `#`
// starts a comment line, keys are case-insensitive and every key is optional:
//   devices=SERIAL[,SERIAL...]  the attached phones; empty: none (default 0123456789ABCDEF)
//   send_ms=N         how long sending the image takes (default 200)
//   write_ms=N        how long writing it takes (default 50)
//   fail=none|remote  remote: the phone refuses the write with 'Partition not found'
//   silent_ms=N       print nothing at all, wait N ms, exit 0 (any command)
//   wait_ms=N|forever how long "< waiting for any device >" waits before exit 1 (default forever)
//   devices_ms=N|forever  how long `devices` takes before it answers (default 0; forever: never)
//   codepage=N|acp|oem|utf8  the code page of all output (default acp, the ANSI code page)
//   chunk=N           split every write into pieces of at most N bytes (default 0: whole writes)
//   chunk_ms=N        pause between those pieces (default 0)
//   extra_stdout=TEXT written to standard output first; \r \n \t \\ are escapes
//   getvar=NAME=VALUE every phone answers getvar NAME with VALUE (which may be empty)
//   getvar_unknown=NAME  every phone's bootloader does not know NAME
//   getvar@SERIAL=NAME=VALUE, getvar_unknown@SERIAL=NAME  the same for one phone
//   huawei=SERIAL[,SERIAL...]  phones that refuse every variable but product
//   getvar_ms=N|forever  how long before the first answer to getvar (default 0; forever: never)
// A line that cannot be used is reported on standard error and the run ends with exit code 2.
//
// Log: fastboot-sim.log beside the executable, appended, UTF-8, LF line ends, one record per run:
//   cmdline: <the command line as received>
//   arg: <one line per argument after the program name>
//   cwd: <the current directory>
//   finished: <exit code>          (written when the run ends; then one empty line)
// The first lines are written when the run starts, so a run that never ends still shows up.

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "session.h"
#include "settings.h"
#include "win32/handles.h"
#include "win32/module_path.h"
#include "win32/text.h"

namespace quorlane::fastboot_sim {

namespace {

using win32::currentDirectory;
using win32::narrow;
using win32::UniqueFile;
using win32::widen;

bool writeAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written == 0) {
      return false;
    }
    bytes.remove_prefix(written);
  }
  return true;
}

// The whole file, or nothing when it cannot be read.
std::optional<std::string> readWholeFile(const std::wstring& path) {
  UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return std::nullopt;
  std::string text;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(file.get(), buffer, sizeof(buffer), &got, nullptr) && got > 0) {
    text.append(buffer, got);
  }
  return text;
}

// Appends one block with a single write, so blocks of runs at the same time never mix.
void appendLog(const std::wstring& path, std::string_view block) {
  UniqueFile file(CreateFileW(path.c_str(), FILE_APPEND_DATA,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file) writeAll(file.get(), block);
}

class WindowsHost final : public Host {
 public:
  WindowsHost(unsigned codePage, std::wstring deviceFolder)
      : codePage_(codePage), deviceFolder_(std::move(deviceFolder)) {}

  std::string encode(std::string_view utf8) override { return win32::toCodePage(codePage_, utf8); }

  void write(Stream stream, std::string_view bytes) override {
    // A pipe or console handle: WriteFile does not buffer, so the bytes are out when it returns.
    const HANDLE handle =
        GetStdHandle(stream == Stream::out ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
    if (handle != nullptr && handle != INVALID_HANDLE_VALUE) writeAll(handle, bytes);
  }

  void sleep(unsigned milliseconds) override { Sleep(milliseconds); }
  void sleepForever() override { Sleep(INFINITE); }

  double now() override {
    using Seconds = std::chrono::duration<double>;
    return std::chrono::duration_cast<Seconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
  }

  LoadedImage loadImage(const std::string& path) override {
    image_.reset(CreateFileW(widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!image_) {
      const DWORD error = GetLastError();
      const bool denied = error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION;
      return {denied ? LoadError::denied : LoadError::notFound, 0};
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(image_.get(), &size)) return {LoadError::denied, 0};
    return {LoadError::none, static_cast<std::uint64_t>(size.QuadPart)};
  }

  bool storeImage(const std::string& partition) override {
    if (!image_) return false;
    if (!CreateDirectoryW(deviceFolder_.c_str(), nullptr) &&
        GetLastError() != ERROR_ALREADY_EXISTS) {
      return false;
    }
    const std::wstring target = deviceFolder_ + L"\\" + widen(partition) + L".img";
    UniqueFile out(CreateFileW(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                               CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!out) return false;
    LARGE_INTEGER start{};
    if (!SetFilePointerEx(image_.get(), start, nullptr, FILE_BEGIN)) return false;
    std::vector<char> buffer(1 << 20);
    while (true) {
      DWORD got = 0;
      if (!ReadFile(image_.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got,
                    nullptr)) {
        return false;
      }
      if (got == 0) return true;
      if (!writeAll(out.get(), std::string_view(buffer.data(), got))) return false;
    }
  }

 private:
  unsigned codePage_;
  std::wstring deviceFolder_;
  UniqueFile image_;
};

void printError(unsigned codePage, const std::string& utf8) {
  const std::string bytes = win32::toCodePage(codePage, utf8 + "\r\n");
  writeAll(GetStdHandle(STD_ERROR_HANDLE), bytes);
}

int simulate(const std::wstring& folder, const std::vector<std::string>& args) {
  Settings settings;
  if (const auto text = readWholeFile(folder + L"\\fastboot-sim.ini")) {
    ParsedSettings parsed = parseSettings(*text);
    if (!parsed.problems.empty()) {
      for (const auto& problem : parsed.problems) {
        printError(CP_ACP, "fastboot-sim: fastboot-sim.ini: " + problem);
      }
      return kExitSimulatorError;
    }
    settings = std::move(parsed.settings);
  }
  if (settings.codePage > CP_OEMCP && !IsValidCodePage(settings.codePage)) {
    printError(CP_ACP, "fastboot-sim: code page " + std::to_string(settings.codePage) +
                           " is not installed");
    return kExitSimulatorError;
  }
  WindowsHost host(settings.codePage, folder + L"\\device");
  return runSession(args, settings, host);
}

}  // namespace

}  // namespace quorlane::fastboot_sim

int wmain(int argc, wchar_t** argv) {
  using namespace quorlane::fastboot_sim;
  // Beside the simulator; the current directory where the system cannot say where that is.
  std::wstring folder = quorlane::win32::executableFolder();
  if (folder.empty()) folder = L".";
  const std::wstring log = folder + L"\\fastboot-sim.log";

  std::vector<std::string> args;
  std::string record = "cmdline: " + narrow(GetCommandLineW()) + "\n";
  for (int i = 1; i < argc; ++i) {
    args.push_back(narrow(argv[i]));
    record += "arg: " + args.back() + "\n";
  }
  record += "cwd: " + narrow(currentDirectory()) + "\n";
  appendLog(log, record);

  const int code = simulate(folder, args);
  appendLog(log, "finished: " + std::to_string(code) + "\n\n");
  return code;
}
