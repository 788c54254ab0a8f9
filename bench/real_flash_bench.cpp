// A 64 MiB image flashed through Google's own client to the phone simulated on the network:
// pressing Start in the real program (the runner, cmd, the client, the live output box) against
// the same command line run directly by `cmd /c` with its output read and dropped, alternately in
// one run. Prints the median of five of each and their ratio; the bytes on the phone are checked
// after every flash.

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "driver/gui_driver.h"
#include "real/network_phone.h"
#include "support/app_folder.h"
#include "win32/handles.h"
#include "window/layout.h"

namespace {

using namespace quorlane;
using Clock = std::chrono::steady_clock;
using window::ControlId;

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

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

}  // namespace

int wmain() {
  constexpr int kRuns = 5;
  constexpr std::size_t kSize = 64u << 20;
  testsupport::AppFolder folder("demo-real");
  const std::string image = folder.file("images\\big 64.img");
  const std::string bytes = imageBytes(kSize);
  testsupport::writeFile(image, bytes);

  realtest::NetworkPhone phone({}, 1800);
  const realtest::ScopedEnvironment serial("ANDROID_SERIAL", phone.serial());
  testsupport::App app = testsupport::startApp(folder);
  gui::waitFor([&] { return app.text(ControlId::CMDTeXT) == "\r\n"; });
  gui::setText(app.control(ControlId::Combo1), image);
  gui::waitFor([&] { return gui::enabled(app.control(ControlId::Command1)); });
  const std::string commandLine = "fastboot flash recovery \"" + image + "\"";

  std::vector<double> program, direct, programClient, directClient;
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
  }
  PostMessageW(app.window, WM_CLOSE, 0, 0);
  app.process.waitExit();

  const double p = median(program);
  const double d = median(direct);
  std::printf("64 MiB through Google's fastboot client to the network phone, median of %d\n",
              kRuns);
  std::printf("  Start in Quorlane    %.3f s\n", p);
  std::printf("  cmd /c directly      %.3f s\n", d);
  std::printf("  ratio                %.3f (target <= 1.05)\n", p / d);
  std::printf("  the client's own Total time: %.3f s under Quorlane, %.3f s under cmd /c\n",
              median(programClient), median(directClient));
  std::printf("  bytes on the phone   %s\n", allSame ? "same as the image every time" : "DIFFER");
  return allSame ? 0 : 1;
}
