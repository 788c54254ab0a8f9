// A 64 MiB image flashed through Google's own client to the phone simulated on the network, which
// receives at the rate of a USB 2.0 phone (30 MB/s, about two seconds for the image): pressing
// Start in the real program (the runner, cmd, the client, the live output box) against the same
// command line run directly by `cmd /c` with its output read and dropped, alternately in one run.
// Prints the median of five of each, their ratio, and the program's fixed cost over the direct
// run with where it goes, each part measured in the same run: the look at the image's first
// bytes, the command's job, the reader's pause before it sees the broken pipe, and the wait for
// the exit code; what is left is the window (the output box, its messages). The bytes on the
// phone are checked after every flash.

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "bench_support.h"
#include "driver/gui_driver.h"
#include "real/network_phone.h"
#include "runner/MyCMD.h"
#include "support/app_folder.h"
#include "win32/handles.h"
#include "win32/process_win32.h"
#include "win32/shell_win32.h"
#include "window/flash_safety.h"
#include "window/layout.h"

namespace {

using namespace quorlane;
using Clock = std::chrono::steady_clock;
using window::ControlId;

using bench::median;

std::string imageBytes(std::size_t length) {
  std::string bytes = "ANDROID!";
  bytes.reserve(length);
  unsigned x = 12345;
  while (bytes.size() < length) {
    x = x * 1103515245u + 12345u;
    bytes += static_cast<char>(x >> 24);
  }
  return bytes;
}

std::size_t count(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

// The client's own "Total time" in the last "Finished" line of `output`.
double clientTotal(const std::string& output) {
  const std::string key = "Finished. Total time: ";
  const auto at = output.rfind(key);
  return at == std::string::npos ? -1 : std::atof(output.c_str() + at + key.size());
}

// cmd /c with the command line, in `folder`, its output read from a pipe (and kept in `output`);
// seconds from the start to the end of the output and of the process.
double runDirectly(const std::string& folder, const std::string& commandLine, std::string& output) {
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE readEnd = nullptr;
  HANDLE writeEnd = nullptr;
  CreatePipe(&readEnd, &writeEnd, &inherit, 0);
  const win32::UniqueHandle reader(readEnd);
  win32::UniqueHandle writer(writeEnd);
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  startup.hStdOutput = writeEnd;
  startup.hStdError = writeEnd;
  std::wstring line = quorlane::win32::widen("cmd.exe /c \"" + commandLine + "\"");
  PROCESS_INFORMATION info{};
  const auto begin = Clock::now();
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                      quorlane::win32::widen(folder).c_str(), &startup, &info)) {
    return -1;
  }
  const win32::UniqueHandle process(info.hProcess);
  const win32::UniqueHandle thread(info.hThread);
  writer.reset();
  char buffer[4096];
  DWORD got = 0;
  output.clear();
  while (ReadFile(reader.get(), buffer, sizeof buffer, &got, nullptr) && got > 0) {
    output.append(buffer, got);
  }
  WaitForSingleObject(process.get(), INFINITE);
  return std::chrono::duration<double>(Clock::now() - begin).count();
}

double since(Clock::time_point begin) {
  return std::chrono::duration<double>(Clock::now() - begin).count();
}

// The parts of the program's fixed cost, each measured as the program does it.
class FixedCost {
 public:
  explicit FixedCost(std::string image) : image_(std::move(image)) {
    wchar_t comSpec[MAX_PATH] = L"cmd.exe";
    GetEnvironmentVariableW(L"ComSpec", comSpec, MAX_PATH);
    // A command that starts the interpreter and nothing else, the least a command costs.
    line_ = win32::narrow(comSpec) + " /c \"rem\"";
  }

  // Seconds of the look before a flash: the image's first bytes read on a thread of its own.
  double look() {
    const auto begin = Clock::now();
    shell_.readFileStart(image_, window::kImageCheckBytes, window::kImageCheckTimeoutMs);
    return since(begin);
  }

  // Seconds a start in a job of its own costs over a plain start, the command run to its end.
  double job() {
    const double inJob = bench::secondsInJob(os_, line_);
    const double plain = bench::secondsPlain(line_);
    return inJob < 0 || plain < 0 ? 0 : inJob - plain;
  }

  // Seconds from the pipe breaking to its end reaching the window's thread, through the runner's
  // reading thread (which pauses before each read) and the message pump, where a blocking read
  // returns at once.
  double readingPause() {
    auto pipe = os_.createPipe();
    if (!pipe) return 0;
    bool ended = false;
    auto reading = os_.startReading(pipe->readEnd, MyCMD::kReadSize, MyCMD::kPauseMs,
                                    [&ended](std::optional<std::string> read) {
                                      if (!read) ended = true;
                                    });
    if (!reading) return 0;
    // Lets the reader settle into its pauses, as it has during a flash.
    Sleep(50);
    const auto begin = Clock::now();
    os_.close(pipe->writeEnd);
    while (!ended && since(begin) < 10) pump_.waitEvents();
    const double seconds = since(begin);
    reading.reset();
    os_.close(pipe->readEnd);
    return seconds;
  }

  // Seconds the runner waits for the interpreter's exit code once its output pipe has broken.
  double exitCode() {
    auto pipe = os_.createPipe();
    if (!pipe) return 0;
    const win32::UniqueHandle readEnd(reinterpret_cast<HANDLE>(pipe->readEnd));
    const auto started = os_.start(line_, pipe->writeEnd, false);
    os_.close(pipe->writeEnd);
    if (!started) return 0;
    char buffer[256];
    DWORD got = 0;
    while (ReadFile(readEnd.get(), buffer, sizeof buffer, &got, nullptr)) {
    }
    const auto begin = Clock::now();
    os_.exitCode(started->process, MyCMD::kExitCodeWaitMs);
    const double seconds = since(begin);
    os_.close(started->process);
    os_.close(started->thread);
    if (started->job != 0) os_.close(started->job);
    return seconds;
  }

 private:
  std::string image_;
  std::string line_;
  win32::Win32Shell shell_;
  win32::Win32Process os_;
  win32::Win32Pump pump_;
};

}  // namespace

int wmain() {
  constexpr int kRuns = 5;
  constexpr std::size_t kSize = 64u << 20;
  testsupport::AppFolder folder("demo-real");
  const std::string image = folder.file("images\\big 64.img");
  const std::string bytes = imageBytes(kSize);
  testsupport::writeFile(image, bytes);

  // A USB 2.0 phone takes about 30 MB/s.
  constexpr int kPhoneRate = 30000000;
  realtest::NetworkPhone phone({"--rate", std::to_string(kPhoneRate)}, 1800);
  const realtest::ScopedEnvironment serial("ANDROID_SERIAL", phone.serial());
  testsupport::App app = testsupport::startApp(folder);
  gui::waitFor([&] { return app.text(ControlId::CMDTeXT) == "\r\n"; });
  gui::setText(app.control(ControlId::Combo1), image);
  gui::waitFor([&] { return gui::enabled(app.control(ControlId::Command1)); });
  const std::string commandLine = "fastboot flash recovery \"" + image + "\"";

  std::vector<double> program, direct, programClient, directClient;
  std::vector<double> look, job, pause, exitWait;
  FixedCost parts(image);
  bool allSame = true;
  std::size_t flashes = 0;
  auto check = [&] {
    ++flashes;
    gui::waitFor([&] { return phone.logCount("flashed recovery") == flashes; }, 60000);
    allSame = allSame && phone.partition() == bytes;
  };
  for (int i = 0; i < kRuns; ++i) {
    const std::size_t before = count(app.text(ControlId::CMDTeXT), "Finished. Total time");
    const auto begin = Clock::now();
    gui::click(app.control(ControlId::Command1));
    // The program has finished when the box holds one more "Finished" line. Asking the window
    // costs it time, so it is asked often only once the phone has written the image.
    while (phone.logCount("flashed recovery") == flashes &&
           Clock::now() - begin < std::chrono::minutes(5)) {
      Sleep(50);
    }
    while (count(app.text(ControlId::CMDTeXT), "Finished. Total time") == before) {
      if (Clock::now() - begin > std::chrono::minutes(5)) break;
      Sleep(2);
    }
    program.push_back(std::chrono::duration<double>(Clock::now() - begin).count());
    programClient.push_back(clientTotal(app.text(ControlId::CMDTeXT)));
    check();
    std::string output;
    direct.push_back(runDirectly(folder.path(), commandLine, output));
    directClient.push_back(clientTotal(output));
    check();
    look.push_back(parts.look());
    job.push_back(parts.job());
    pause.push_back(parts.readingPause());
    exitWait.push_back(parts.exitCode());
  }
  PostMessageW(app.window, WM_CLOSE, 0, 0);
  app.process.waitExit();

  const double p = median(program);
  const double d = median(direct);
  // Each flash through the program against the direct one that followed it: the pairs share
  // the machine's load of their moment, which the medians of each side on their own do not.
  std::vector<double> extra;
  for (std::size_t i = 0; i < program.size(); ++i) extra.push_back(program[i] - direct[i]);
  const double fixed = median(extra) * 1000;
  const double lookMs = median(look) * 1000;
  const double jobMs = median(job) * 1000;
  const double pauseMs = median(pause) * 1000;
  const double exitMs = median(exitWait) * 1000;
  std::printf(
      "64 MiB through Google's fastboot client to the network phone at %.0f MB/s, "
      "median of %d\n",
      kPhoneRate / 1e6, kRuns);
  std::printf("  Start in Quorlane    %.3f s\n", p);
  std::printf("  cmd /c directly      %.3f s\n", d);
  std::printf("  ratio                %.3f (target <= 1.02)\n", p / d);
  std::printf(
      "  fixed cost           %.1f ms over the direct run (median of the pairs), of which\n",
      fixed);
  std::printf("    the look at the image     %6.1f ms\n", lookMs);
  std::printf("    the job                   %6.1f ms\n", jobMs);
  std::printf("    the reading pause         %6.1f ms\n", pauseMs);
  std::printf("    the exit code             %6.1f ms\n", exitMs);
  std::printf("    left (the window, etc.)   %6.1f ms\n",
              fixed - lookMs - jobMs - pauseMs - exitMs);
  std::printf("  the client's own Total time: %.3f s under Quorlane, %.3f s under cmd /c\n",
              median(programClient), median(directClient));
  std::printf("  bytes on the phone   %s\n", allSame ? "same as the image every time" : "DIFFER");
  return allSame ? 0 : 1;
}
