// The simulated fastboot, installed as fastboot.exe in a folder of its own for every test and
// started the way the program starts it: CreateProcessW with its output on pipes.

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "win32/handles.h"
#include "win32/module_path.h"
#include "win32/text.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr auto kPatience = std::chrono::seconds(10);

using quorlane::win32::narrow;
using quorlane::win32::UniqueHandle;

// Polls until `condition` holds or the patience runs out.
bool eventually(const std::function<bool()>& condition) {
  const auto deadline = Clock::now() + kPatience;
  while (!condition()) {
    if (Clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

std::string readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const fs::path& path, std::string_view bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::string> splitCrLf(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t at = 0;
  while (at < text.size()) {
    const auto end = text.find("\r\n", at);
    if (end == std::string::npos) {
      lines.push_back(text.substr(at));
      break;
    }
    lines.push_back(text.substr(at, end - at));
    at = end + 2;
  }
  return lines;
}

// Everything one pipe delivered, read by a thread of its own, with the time of every read.
class PipeReader {
 public:
  struct Piece {
    std::string bytes;
    Clock::time_point at;
  };

  explicit PipeReader(UniqueHandle readEnd)
      : pipe_(std::move(readEnd)), thread_([this] { loop(); }) {}
  PipeReader(const PipeReader&) = delete;
  PipeReader& operator=(const PipeReader&) = delete;
  ~PipeReader() { thread_.join(); }

  bool ended() const { return ended_; }
  std::vector<Piece> pieces() const {
    std::lock_guard lock(mutex_);
    return pieces_;
  }
  std::string text() const {
    std::string all;
    for (const auto& piece : pieces()) all += piece.bytes;
    return all;
  }

 private:
  void loop() {
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(pipe_.get(), buffer, sizeof(buffer), &got, nullptr) && got > 0) {
      std::lock_guard lock(mutex_);
      pieces_.push_back({std::string(buffer, got), Clock::now()});
    }
    ended_ = true;
  }

  UniqueHandle pipe_;
  mutable std::mutex mutex_;
  std::vector<Piece> pieces_;
  std::atomic<bool> ended_{false};
  std::thread thread_;
};

struct Pipe {
  UniqueHandle read;
  UniqueHandle write;
};

Pipe makePipe() {
  SECURITY_ATTRIBUTES attributes{sizeof(attributes), nullptr, TRUE};
  HANDLE r = nullptr;
  HANDLE w = nullptr;
  if (!CreatePipe(&r, &w, &attributes, 0)) return {};
  Pipe pipe{UniqueHandle(r), UniqueHandle(w)};
  SetHandleInformation(r, HANDLE_FLAG_INHERIT, 0);
  return pipe;
}

// One run of the simulator. Separate: standard output and standard error on pipes of their own;
// combined: both on one pipe, as the program reads them.
class Child {
 public:
  enum class Pipes { separate, combined };

  Child(const std::wstring& commandLine, const fs::path& cwd, Pipes pipes) {
    Pipe out = makePipe();
    Pipe err = pipes == Pipes::separate ? makePipe() : Pipe{};
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = out.write.get();
    startup.hStdError = pipes == Pipes::separate ? err.write.get() : out.write.get();
    std::wstring line = commandLine;
    PROCESS_INFORMATION info{};
    const std::wstring dir = cwd.wstring();
    started = Clock::now();
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                        dir.c_str(), &startup, &info)) {
      ADD_FAILURE() << "CreateProcessW failed: " << GetLastError();
      return;
    }
    process_.reset(info.hProcess);
    CloseHandle(info.hThread);
    // Only the child holds the write ends now, so the pipes break when it ends.
    out.write.reset();
    err.write.reset();
    out_ = std::make_unique<PipeReader>(std::move(out.read));
    if (err.read) err_ = std::make_unique<PipeReader>(std::move(err.read));
  }
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;
  ~Child() {
    if (process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
      TerminateProcess(process_.get(), 99);
      WaitForSingleObject(process_.get(), INFINITE);
    }
  }

  bool running() const {
    return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
  }

  // Waits for the end of the run and of its output; the exit code, or -1 when it did not end.
  long finish() {
    if (!process_) return -1;
    const auto waitMs = std::chrono::duration_cast<std::chrono::milliseconds>(kPatience).count();
    if (WaitForSingleObject(process_.get(), static_cast<DWORD>(waitMs)) != WAIT_OBJECT_0) {
      return -1;
    }
    ended = Clock::now();
    if (!eventually([&] { return out_->ended() && (!err_ || err_->ended()); })) return -1;
    DWORD code = 0;
    GetExitCodeProcess(process_.get(), &code);
    return static_cast<long>(code);
  }
  void kill() {
    TerminateProcess(process_.get(), 99);
    WaitForSingleObject(process_.get(), INFINITE);
  }

  double seconds() const { return std::chrono::duration<double>(ended - started).count(); }
  const PipeReader& out() const { return *out_; }
  const PipeReader& err() const { return *err_; }

  Clock::time_point started;
  Clock::time_point ended;

 private:
  UniqueHandle process_;
  std::unique_ptr<PipeReader> out_;
  std::unique_ptr<PipeReader> err_;
};

fs::path testProgramFolder() {
  return fs::path(quorlane::win32::executableFolder());
}

std::string padded(std::string text) {
  text.resize(50, ' ');
  return text;
}

// The seconds of a line "<status padded to 50>OKAY [%7.3fs]", or -1 when it is not one.
double okaySeconds(const std::string& line, const std::string& status) {
  const std::string head = padded(status) + "OKAY [";
  if (line.size() != head.size() + 9 || line.compare(0, head.size(), head) != 0 ||
      line.compare(line.size() - 2, 2, "s]") != 0) {
    return -1;
  }
  const std::string number = line.substr(head.size(), 7);  // "%7.3f": "  1.107"
  if (number.find_first_not_of(" 0123456789.") != std::string::npos || number[3] != '.') {
    return -1;
  }
  return std::stod(number);
}

class FastbootSim : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder = fs::temp_directory_path() /
             ("quorlane-sim-" + std::to_string(GetCurrentProcessId()) + "-" + info->name());
    fs::remove_all(folder);
    fs::create_directories(folder);
    for (const char* file : {"fastboot.exe", "AdbWinApi.dll", "AdbWinUsbApi.dll"}) {
      fs::copy_file(testProgramFolder() / "phone" / file, folder / file);
    }
    exe = folder / "fastboot.exe";
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(folder, ignored);
  }

  void settings(std::string_view text) { writeFile(folder / "fastboot-sim.ini", text); }
  std::wstring command(const std::wstring& args) const {
    return L"\"" + exe.wstring() + L"\" " + args;
  }
  std::unique_ptr<Child> start(const std::wstring& args,
                               Child::Pipes pipes = Child::Pipes::separate,
                               const fs::path& cwd = {}) {
    return std::make_unique<Child>(command(args), cwd.empty() ? folder : cwd, pipes);
  }
  std::string log() const { return readFile(folder / "fastboot-sim.log"); }

  fs::path folder;
  fs::path exe;
};

TEST_F(FastbootSim, IsInstalledWithEmptyStandInsForTheUsbLibraries) {
  EXPECT_EQ(fs::file_size(folder / "AdbWinApi.dll"), 0u);
  EXPECT_EQ(fs::file_size(folder / "AdbWinUsbApi.dll"), 0u);
  EXPECT_GT(fs::file_size(exe), 0u);
}

TEST_F(FastbootSim, DevicesListsNoneOneOrTwoPhonesOnStandardOutputOnly) {
  struct Case {
    const char* ini;  // nullptr: no settings file at all
    std::string out;
  };
  for (const Case& c : {Case{nullptr, "0123456789ABCDEF\tfastboot\r\n"}, Case{"devices=\n", ""},
                        Case{"devices=R58M123ABC, emulator-5554\n",
                             "R58M123ABC\tfastboot\r\nemulator-5554\tfastboot\r\n"}}) {
    if (c.ini) settings(c.ini);
    auto run = start(L"devices");
    EXPECT_EQ(run->finish(), 0) << (c.ini ? c.ini : "defaults");
    EXPECT_EQ(run->out().text(), c.out);
    EXPECT_EQ(run->err().text(), "");
  }
}

TEST_F(FastbootSim, FlashCopiesTheExactBytesAndReportsTimedSteps) {
  settings("send_ms=300\nwrite_ms=100\n");
  std::string image(3 * 1024 * 1024 + 517, '\0');
  std::mt19937 random(7);
  for (char& byte : image) byte = static_cast<char>(random());
  const fs::path source = folder / "my images" / "rec 1.img";
  writeFile(source, image);
  const fs::path cwd = folder / "elsewhere";
  fs::create_directories(cwd);

  const std::wstring args = L"flash recovery \"" + source.wstring() + L"\"";
  auto run = start(args, Child::Pipes::separate, cwd);
  ASSERT_EQ(run->finish(), 0) << run->err().text();
  EXPECT_EQ(run->out().text(), "");

  const auto lines = splitCrLf(run->err().text());
  ASSERT_EQ(lines.size(), 3u) << run->err().text();
  EXPECT_EQ(run->err().text().substr(run->err().text().size() - 2), "\r\n");
  const double sending = okaySeconds(lines[0], "Sending 'recovery' (3072 KB)");
  const double writing = okaySeconds(lines[1], "Writing 'recovery'");
  EXPECT_GE(sending, 0.29) << lines[0];
  EXPECT_GE(writing, 0.09) << lines[1];
  const std::string finished = "Finished. Total time: ";
  ASSERT_EQ(lines[2].rfind(finished, 0), 0u) << lines[2];
  ASSERT_EQ(lines[2].back(), 's');
  const double total = std::stod(lines[2].substr(finished.size()));
  EXPECT_NEAR(total, sending + writing, 0.0025);
  EXPECT_LE(total, run->seconds() + 0.001);

  // The image lands beside the simulator, not in the current directory.
  EXPECT_EQ(readFile(folder / "device" / "recovery.img"), image);
  EXPECT_FALSE(fs::exists(cwd / "device"));

  EXPECT_EQ(log(), "cmdline: " + narrow(command(args)) + "\n" +
                       "arg: flash\narg: recovery\narg: " + narrow(source.wstring()) + "\n" +
                       "cwd: " + narrow(cwd.wstring()) + "\n" + "finished: 0\n\n");
}

TEST_F(FastbootSim, RelativePathIsLoadedFromTheCurrentDirectory) {
  settings("send_ms=0\nwrite_ms=0\n");
  const fs::path cwd = folder / "images";
  writeFile(cwd / "rec.img", "tiny image");
  auto run = start(L"flash recovery rec.img", Child::Pipes::separate, cwd);
  ASSERT_EQ(run->finish(), 0) << run->err().text();
  EXPECT_EQ(readFile(folder / "device" / "recovery.img"), "tiny image");
}

TEST_F(FastbootSim, ChineseFileNameIsLoadedAndLoggedAsUtf8) {
  const fs::path cwd = folder / L"刷机";
  // Wine stores such a name only when the Linux side has a Chinese (or other UTF-8) locale.
  if (!CreateDirectoryW(cwd.c_str(), nullptr)) {
    GTEST_SKIP() << "this Wine cannot store Chinese file names (error " << GetLastError() << ")";
  }
  settings("send_ms=0\nwrite_ms=0\n");
  writeFile(cwd / L"恢复 镜像.img", "tiny image");
  auto run = start(L"flash recovery \"恢复 镜像.img\"", Child::Pipes::separate, cwd);
  ASSERT_EQ(run->finish(), 0) << run->err().text();
  EXPECT_EQ(readFile(folder / "device" / "recovery.img"), "tiny image");
  EXPECT_NE(log().find("\narg: 恢复 镜像.img\ncwd: " + narrow(cwd.wstring()) + "\n"),
            std::string::npos)
      << log();
}

TEST_F(FastbootSim, LogGetsOneRecordPerRunAppended) {
  auto first = start(L"devices");
  ASSERT_EQ(first->finish(), 0);
  auto second = start(L"  devices   \"\"");  // an empty argument is an argument
  ASSERT_EQ(second->finish(), 1);
  const std::string cwd = narrow(folder.wstring());
  EXPECT_EQ(log(), "cmdline: " + narrow(command(L"devices")) + "\narg: devices\ncwd: " + cwd +
                       "\nfinished: 0\n\n" + "cmdline: " + narrow(command(L"  devices   \"\"")) +
                       "\narg: devices\narg: \ncwd: " + cwd + "\nfinished: 1\n\n");
}

TEST_F(FastbootSim, MissingFileIsNamedAsReceivedAndExitsWithOne) {
  auto run = start(L"flash recovery \"C:\\no such\\rec.img\"");
  EXPECT_EQ(run->finish(), 1);
  EXPECT_EQ(run->out().text(), "");
  EXPECT_EQ(run->err().text(),
            "fastboot: error: cannot load 'C:\\no such\\rec.img': No such file or directory\r\n");
  EXPECT_FALSE(fs::exists(folder / "device"));
}

TEST_F(FastbootSim, RefusingPhoneFailsTheWriteAndKeepsTheDeviceEmpty) {
  settings("fail=remote\nsend_ms=0\nwrite_ms=0\n");
  writeFile(folder / "r.img", std::string(4096, 'r'));
  auto run = start(L"flash recovery r.img");
  EXPECT_EQ(run->finish(), 1);
  const auto lines = splitCrLf(run->err().text());
  ASSERT_EQ(lines.size(), 3u) << run->err().text();
  EXPECT_GE(okaySeconds(lines[0], "Sending 'recovery' (4 KB)"), 0.0) << lines[0];
  EXPECT_EQ(lines[1], padded("Writing 'recovery'") + "FAILED (remote: 'Partition not found')");
  EXPECT_EQ(lines[2], "fastboot: error: Command failed");
  EXPECT_FALSE(fs::exists(folder / "device" / "recovery.img"));
}

TEST_F(FastbootSim, NoPhoneWaitsForWaitMsThenFails) {
  settings("devices=\nwait_ms=400\n");
  writeFile(folder / "r.img", "x");
  auto run = start(L"flash recovery r.img");
  EXPECT_EQ(run->finish(), 1);
  EXPECT_EQ(run->err().text(), "< waiting for any device >\r\n");
  EXPECT_EQ(run->out().text(), "");
  EXPECT_GE(run->seconds(), 0.38);
}

TEST_F(FastbootSim, NoPhoneWaitsForeverByDefaultAndNeverLogsAnEnd) {
  settings("devices=\n");
  writeFile(folder / "r.img", "x");
  auto run = start(L"flash recovery r.img");
  ASSERT_TRUE(eventually([&] { return run->err().text() == "< waiting for any device >\r\n"; }))
      << run->err().text();
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_TRUE(run->running());
  run->kill();
  EXPECT_NE(log().find("arg: r.img\n"), std::string::npos);
  EXPECT_EQ(log().find("finished:"), std::string::npos);
}

TEST_F(FastbootSim, SilentPrintsNothingAndSucceedsAfterTheDelay) {
  settings("silent_ms=300\nextra_stdout=never\n");
  auto run = start(L"flash recovery missing.img", Child::Pipes::combined);
  EXPECT_EQ(run->finish(), 0);
  EXPECT_EQ(run->out().text(), "");
  EXPECT_GE(run->seconds(), 0.29);
  EXPECT_NE(log().find("finished: 0\n\n"), std::string::npos);
}

TEST_F(FastbootSim, SendingTextArrivesLongBeforeItsOkay) {
  settings("send_ms=1000\nwrite_ms=0\n");
  writeFile(folder / "r.img", std::string(2048, 'r'));
  auto run = start(L"flash recovery r.img");
  ASSERT_EQ(run->finish(), 0);
  const std::string sending = padded("Sending 'recovery' (2 KB)");
  std::string seen;
  Clock::time_point textAt{};
  Clock::time_point okayAt{};
  for (const auto& piece : run->err().pieces()) {
    seen += piece.bytes;
    if (textAt == Clock::time_point{} && seen.size() >= sending.size()) textAt = piece.at;
    if (seen.find("OKAY") != std::string::npos) {
      okayAt = piece.at;
      break;
    }
  }
  ASSERT_EQ(seen.substr(0, sending.size()), sending);
  EXPECT_GE(std::chrono::duration<double>(okayAt - textAt).count(), 0.5);
}

TEST_F(FastbootSim, ChunkedOutputArrivesInPiecesAndIntactOnOnePipe) {
  settings("chunk=5\nchunk_ms=15\nsend_ms=0\nwrite_ms=0\nextra_stdout=hello\\r\\n\n");
  writeFile(folder / "r.img", std::string(1024, 'r'));
  auto run = start(L"flash recovery r.img", Child::Pipes::combined);
  ASSERT_EQ(run->finish(), 0);
  const std::string all = run->out().text();
  const auto lines = splitCrLf(all);
  ASSERT_EQ(lines.size(), 4u) << all;
  EXPECT_EQ(lines[0], "hello");
  EXPECT_GE(okaySeconds(lines[1], "Sending 'recovery' (1 KB)"), 0.0) << lines[1];
  EXPECT_GE(okaySeconds(lines[2], "Writing 'recovery'"), 0.0) << lines[2];
  EXPECT_EQ(lines[3].rfind("Finished. Total time: ", 0), 0u);
  // About 30 pieces 15 ms apart; even a slow reader sees several of them separately.
  EXPECT_GE(run->out().pieces().size(), 3u);
}

TEST_F(FastbootSim, CodePageSettingEncodesTheChinesePath) {
  const std::string tail = ".img': No such file or directory\r\n";
  settings("codepage=936\n");
  auto gbk = start(L"flash recovery 恢复.img");
  EXPECT_EQ(gbk->finish(), 1);
  EXPECT_EQ(gbk->err().text(), "fastboot: error: cannot load '\xBB\xD6\xB8\xB4" + tail);

  settings("codepage=65001\n");
  auto utf = start(L"flash recovery 恢复.img");
  EXPECT_EQ(utf->finish(), 1);
  EXPECT_EQ(utf->err().text(), "fastboot: error: cannot load '\xE6\x81\xA2\xE5\xA4\x8D" + tail);
}

TEST_F(FastbootSim, OtherCommandLinesAreUsageErrors) {
  for (const wchar_t* args : {L"", L"reboot", L"flash recovery", L"devices -l"}) {
    auto run = start(args);
    EXPECT_EQ(run->finish(), 1) << narrow(args);
    EXPECT_EQ(run->out().text(), "");
    EXPECT_EQ(run->err().text().rfind("fastboot: usage: ", 0), 0u) << run->err().text();
  }
}

TEST_F(FastbootSim, UnusableSettingsStopTheRunWithTheLineNamed) {
  settings("# fine\nsend_ms=fast\n");
  auto run = start(L"devices");
  EXPECT_EQ(run->finish(), 2);
  EXPECT_EQ(run->out().text(), "");
  EXPECT_NE(run->err().text().find("fastboot-sim.ini: line 2: "), std::string::npos)
      << run->err().text();
}

}  // namespace
