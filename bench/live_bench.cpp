// What showing the output live costs: the real window flashes a command that prints 4 MiB in
// 64-byte writes, once with its live view and once without (the collected text appended at the
// end only). Printed: seconds to the last chunk shown and to the end of the command, their ratios
// between the two runs, and whether the box holds exactly the collected text.

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "bench_support.h"
#include "win32/common_controls.h"
#include "win32/controls_win32.h"
#include "win32/main_window.h"
#include "win32/process_win32.h"
#include "win32/text.h"
#include "window/Form1.h"

namespace {

using quorlane::bench::Clock;
using quorlane::bench::seconds;
using quorlane::bench::writer;
using quorlane::window::ControlId;

// Of the shell and the skin, a flash uses only the look at the image and the check of its path.
class NoShell final : public quorlane::window::Shell {
 public:
  std::string applicationPath() override { return "."; }
  std::string executableName() override { return "live_bench"; }
  bool fileExists(std::string_view) override { return true; }
  quorlane::window::Failure setCurrentDirectory(std::string_view) override { return std::nullopt; }
  quorlane::window::Answer messageBox(std::string_view, quorlane::window::MessageStyle,
                                      std::string_view) override {
    return quorlane::window::Answer::no;
  }
  quorlane::window::FileStart readFileStart(std::string_view, std::size_t, unsigned) override {
    return {quorlane::window::FileStart::State::file, "ANDROID!", ""};
  }
  std::optional<std::string> openFile(const quorlane::window::OpenFileRequest&) override {
    return std::nullopt;
  }
  quorlane::window::ClientPath pathForAnsiProgram(std::string_view path) override {
    return {quorlane::window::ClientPath::Problem::none, std::string(path)};
  }
  quorlane::window::Failure startProgram(std::string_view, quorlane::window::Show) override {
    return std::nullopt;
  }
  void endProgram() override {}
};

class NoSkin final : public quorlane::window::Skin {
 public:
  quorlane::window::Failure setAero(std::string_view, int) override { return std::nullopt; }
  quorlane::window::Failure attach(std::string_view, std::string_view, std::string_view) override {
    return std::nullopt;
  }
};

struct Run {
  double lastChunk = 0;
  double finished = 0;
  int chunks = 0;
  std::size_t boxLength = 0;
  std::size_t collected = 0;
};

Run flash(bool live, std::size_t bytes) {
  quorlane::win32::Win32Process process;
  quorlane::win32::Win32Pump pump;
  quorlane::win32::MainWindow window(GetModuleHandleW(nullptr), 2);
  pump.setDialog(window.handle());
  quorlane::win32::Win32Controls controls(window.handle());
  NoShell shell;
  NoSkin skin;
  quorlane::window::Form1 form(controls, shell, skin, process, pump);
  window.show();

  Run run;
  const auto start = Clock::now();
  auto& runner = form.runner();
  auto showChunk = runner.收到输出;
  runner.收到输出 = [&](const std::string& chunk) {
    if (live) showChunk(chunk);
    ++run.chunks;
    run.lastChunk = seconds(Clock::now() - start);
  };
  auto showAll = runner.执行完毕;
  runner.执行完毕 = [&](const std::string& text, bool done) {
    showAll(text, done);
    run.collected = text.size();
    run.finished = seconds(Clock::now() - start);
  };
  // The flash command is the prefix followed by the path; here the prefix runs the writer.
  controls.setText(ControlId::Text2, writer() + " lines:" + std::to_string(bytes) + " ");
  controls.setText(ControlId::Combo1, "x");
  form.click(ControlId::Command1);
  if (!live) run.lastChunk = run.finished;  // without the live view the text shows at the end
  run.boxLength = controls.text(ControlId::CMDTeXT).size();
  return run;
}

}  // namespace

int wmain() {
  quorlane::win32::initCommonControls();
  constexpr std::size_t kBytes = 4 * 1024 * 1024;
  const Run without = flash(false, kBytes);
  const Run with = flash(true, kBytes);
  std::printf("4 MiB in 64-byte writes, %d reads\n", with.chunks);
  std::printf("%-14s %12s %12s %12s %10s\n", "", "last shown s", "finished s", "box bytes",
              "box exact");
  for (const auto& [name, r] : {std::pair{"without live", without}, std::pair{"with live", with}}) {
    std::printf("%-14s %12.3f %12.3f %12zu %10s\n", name, r.lastChunk, r.finished, r.boxLength,
                r.boxLength == r.collected ? "yes" : "NO");
  }
  std::printf("ratio with / without: last shown %.3f, finished %.3f\n",
              with.lastChunk / without.lastChunk, with.finished / without.finished);
  return 0;
}
