// The runner with the real Win32 layer: the real command interpreter, real pipes, and a child
// that writes given chunks with given pauses.

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <thread>

#include "driver/gui_driver.h"
#include "runner/MyCMD.h"
#include "win32/module_path.h"
#include "win32/process_win32.h"
#include "win32/text.h"

namespace quorlane {
namespace {

using win32::narrow;
using win32::widen;

std::wstring folderOfThisProgram() {
  return win32::executableFolder();
}

std::string writer() {
  return narrow(folderOfThisProgram()) + "\\" CHUNK_WRITER_NAME;
}

// Built up step by step: GCC 12 warns wrongly (-Wrestrict) on "x" + std::string + "y".
std::string quotedWriter() {
  std::string line = "\"";
  line += writer();
  line += '"';
  return line;
}

std::string readUtf8(const std::string& path) {
  std::ifstream in(widen(path).c_str(), std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string tempPath(const std::string& name) {
  wchar_t dir[MAX_PATH];
  GetTempPathW(MAX_PATH, dir);
  return narrow(dir) + name;
}

struct Result {
  std::vector<std::pair<std::string, std::int32_t>> errors;
  std::vector<std::string> finished;
};

class RunnerWin32Test : public ::testing::Test {
 protected:
  RunnerWin32Test() : cmd(os, pump) {
    cmd.Error = [this](std::string& text, std::int32_t& code) {
      result.errors.emplace_back(text, code);
    };
    cmd.执行完毕 = [this](const std::string& text, bool) { result.finished.push_back(text); };
  }

  // Runs the writer with the given operations and returns the collected text.
  std::string run(const std::string& operations) {
    result = {};
    cmd.执行命令(quotedWriter() + " " + operations);
    EXPECT_EQ(result.finished.size(), 1u);
    EXPECT_TRUE(result.errors.empty());
    return result.finished.empty() ? std::string() : result.finished.back();
  }

  win32::Win32Process os;
  win32::Win32Pump pump;
  MyCMD cmd;
  Result result;
};

TEST_F(RunnerWin32Test, TheChildReceivesTheInterpreterLineAndItsArguments) {
  const std::string cmdline = tempPath("quorlane-cmdline.txt");
  const std::string args = tempPath("quorlane-args.txt");
  run("cmdline:" + cmdline + " args:" + args + " \"two words\"");
  // The interpreter has taken off the outer quotes and passed the rest on unchanged.
  EXPECT_EQ(readUtf8(cmdline),
            quotedWriter() + " cmdline:" + cmdline + " args:" + args + " \"two words\"");
  EXPECT_EQ(readUtf8(args), "cmdline:" + cmdline + "\nargs:" + args + "\ntwo words\n");
}

TEST_F(RunnerWin32Test, BothStreamsAreCollectedInWriteOrderWithALineBreakAfterEveryRead) {
  EXPECT_EQ(run("out:A sleep:300 err:B sleep:300 out:C"), "A\r\nB\r\nC\r\n\r\n");
  EXPECT_EQ(run(""), "\r\n");
  EXPECT_EQ(run("out:abc sleep:0"), "abc\r\n\r\n");
}

TEST_F(RunnerWin32Test, AnsiOutputIsDecodedAndASplitCharacterComesOutWhole) {
  ASSERT_EQ(GetACP(), 936u) << "run under LC_ALL=zh_CN.UTF-8";
  EXPECT_EQ(run("outhex:c4e3bac3"), "你好\r\n\r\n");
  EXPECT_EQ(run("outhex:41c4 sleep:300 outhex:e342"), "A\r\n你B\r\n\r\n");
}

TEST_F(RunnerWin32Test, APathOutsideTheAnsiCodePageReachesTheChildIntact) {
  const std::string args = tempPath("quorlane-args-unicode.txt");
  const std::string path = "C:\\镜像\\ক\xF0\x9F\x98\x80 ä.img";  // Bengali, an emoji, a-umlaut
  run("args:" + args + " \"" + path + "\"");
  EXPECT_EQ(readUtf8(args), "args:" + args + "\n" + path + "\n");
}

// A window message that arrives while the command prints nothing is handled at once.
TEST_F(RunnerWin32Test, TheWindowIsServicedWhileTheCommandIsSilent) {
  std::atomic<bool> handled{false};
  std::atomic<bool> busyWhenHandled{false};
  static MyCMD* runner = nullptr;
  static std::atomic<bool>* handledFlag = nullptr;
  static std::atomic<bool>* busyFlag = nullptr;
  runner = &cmd;
  handledFlag = &handled;
  busyFlag = &busyWhenHandled;

  WNDCLASSW wc{};
  wc.lpfnWndProc = [](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
    if (m == WM_APP) {
      busyFlag->store(runner->busy());
      handledFlag->store(true);
      return 0;
    }
    return DefWindowProcW(h, m, w, l);
  };
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"QuorlaneRunnerTestWindow";
  RegisterClassW(&wc);
  HWND window = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                wc.hInstance, nullptr);
  ASSERT_NE(window, nullptr);

  std::thread poster([window] {
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    PostMessageW(window, WM_APP, 0, 0);
  });
  EXPECT_EQ(run("sleep:2000 out:done"), "done\r\n\r\n");
  poster.join();
  EXPECT_TRUE(handled.load());
  EXPECT_TRUE(busyWhenHandled.load());
  DestroyWindow(window);
  UnregisterClassW(wc.lpszClassName, wc.hInstance);
}

// Only the pipe's write end reaches the interpreter and what it starts; the handles of a command
// are not inheritable, so no other program started meanwhile can take them (a job handle taken
// along would keep the job, and the command, alive after this program).
TEST_F(RunnerWin32Test, TheInterpreterInheritsThePipesWriteEndAndNothingElse) {
  SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE event = CreateEventW(&inheritable, TRUE, TRUE, nullptr);  // signalled
  ASSERT_NE(event, nullptr);
  EXPECT_EQ(run("handle:" + std::to_string(reinterpret_cast<std::uintptr_t>(event))),
            "not held\r\n\r\n");
  CloseHandle(event);

  auto inherits = [](ports::Handle h) {
    DWORD flags = 0;
    EXPECT_TRUE(GetHandleInformation(reinterpret_cast<HANDLE>(h), &flags));
    return (flags & HANDLE_FLAG_INHERIT) != 0;
  };
  const auto pipe = os.createPipe();
  ASSERT_TRUE(pipe.has_value());
  EXPECT_FALSE(inherits(pipe->readEnd));
  EXPECT_TRUE(inherits(pipe->writeEnd));
  const auto started =
      os.start(commandLine(os.environment("ComSpec"), "\"exit 0\""), pipe->writeEnd, false);
  ASSERT_TRUE(started.has_value());
  EXPECT_FALSE(inherits(started->process));
  EXPECT_FALSE(inherits(started->thread));
  ASSERT_NE(started->job, 0u);
  EXPECT_FALSE(inherits(started->job));
  os.exitCode(started->process, 10000);
  for (const auto h :
       {started->process, started->thread, started->job, pipe->readEnd, pipe->writeEnd}) {
    os.close(h);
  }
}

TEST_F(RunnerWin32Test, InterpreterPathWithABlankAndAnUnsetComSpec) {
  wchar_t original[MAX_PATH];
  ASSERT_GT(GetEnvironmentVariableW(L"ComSpec", original, MAX_PATH), 0u);

  // The interpreter copied into a folder whose name holds a blank.
  const std::wstring folder = widen(tempPath("quorlane shell"));
  CreateDirectoryW(folder.c_str(), nullptr);
  const std::wstring copy = folder + L"\\cmd.exe";
  ASSERT_TRUE(CopyFileW(original, copy.c_str(), FALSE));
  SetEnvironmentVariableW(L"ComSpec", copy.c_str());
  EXPECT_EQ(run("out:ok"), "ok\r\n\r\n");

  SetEnvironmentVariableW(L"ComSpec", nullptr);
  result = {};
  cmd.执行命令(quotedWriter() + " out:never");
  SetEnvironmentVariableW(L"ComSpec", original);
  ASSERT_EQ(result.errors.size(), 1u);
  EXPECT_EQ(result.errors[0], std::make_pair(std::string("错误"), 16));
  EXPECT_TRUE(result.finished.empty());
  EXPECT_FALSE(cmd.busy());
  DeleteFileW(copy.c_str());
  RemoveDirectoryW(folder.c_str());
}

// The handles this process holds, counted one by one: Wine's GetProcessHandleCount reports none.
int handlesHeld() {
  int count = 0;
  for (std::uintptr_t value = 4; value < 0x10000; value += 4) {
    DWORD flags = 0;
    if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++count;
  }
  return count;
}

TEST_F(RunnerWin32Test, NoHandleIsLeftBehindAfterManyRuns) {
  run("out:warm-up");
  const int before = handlesHeld();
  ASSERT_GT(before, 0);
  // Counted exactly: a single handle left by each run would show after the first.
  for (int i = 0; i < 20; ++i) run("out:x");
  EXPECT_EQ(handlesHeld(), before);
}

// The processes running the writer, this test's child program.
std::vector<DWORD> writers() {
  const std::wstring name = L"\\" + widen(CHUNK_WRITER_NAME);
  return gui::processesWhere([&](const std::wstring& image) {
    return image.size() > name.size() &&
           CompareStringOrdinal(image.c_str() + image.size() - name.size(), -1, name.c_str(), -1,
                                TRUE) == CSTR_EQUAL;
  });
}

TEST_F(RunnerWin32Test, TheInterpretersExitCodeIsKnownWhenTheCommandHasEnded) {
  result = {};
  cmd.执行命令("exit 3");
  ASSERT_EQ(result.finished.size(), 1u);
  EXPECT_EQ(result.finished[0], "\r\n");  // the output is what it always was
  EXPECT_EQ(cmd.exitCode(), std::optional<long>(3));
  run("out:fine");
  EXPECT_EQ(cmd.exitCode(), std::optional<long>(0));
}

TEST_F(RunnerWin32Test, EndingACommandEndsTheInterpreterAndEverythingItStarted) {
  ASSERT_TRUE(gui::waitFor([] { return writers().empty(); }));
  // The writer announces itself, then would wait twenty seconds and print once more.
  cmd.收到输出 = [this](const std::string& chunk) {
    if (chunk.find("waiting") != std::string::npos) cmd.endCommand();
  };
  const std::string out = run("out:waiting sleep:20000 out:never");
  EXPECT_EQ(out.find("never"), std::string::npos) << out;
  EXPECT_EQ(os.lastPlacement(), win32::JobPlacement::own);
  EXPECT_TRUE(gui::waitFor([] { return writers().empty(); }));
  EXPECT_FALSE(cmd.busy());
  EXPECT_NE(cmd.exitCode(), std::optional<long>(0));
}

// Where no job can be had, the interpreter and the programs it started are found by their
// parent process ids and ended all the same.
TEST(ProcessTree, EndsTheInterpreterAndTheProgramItStarted) {
  ASSERT_TRUE(gui::waitFor([] { return writers().empty(); }));
  wchar_t comSpec[MAX_PATH];
  ASSERT_GT(GetEnvironmentVariableW(L"ComSpec", comSpec, MAX_PATH), 0u);
  std::wstring line =
      std::wstring(comSpec) + L" /c \"" + widen(quotedWriter()) + L" sleep:20000 out:never\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  ASSERT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &startup, &info));
  ASSERT_TRUE(gui::waitFor([] { return writers().size() == 1; }));
  win32::endProcessTree(info.hProcess);
  EXPECT_EQ(WaitForSingleObject(info.hProcess, 10000), WAIT_OBJECT_0);
  EXPECT_TRUE(gui::waitFor([] { return writers().empty(); }));
  CloseHandle(info.hProcess);
  CloseHandle(info.hThread);
}

}  // namespace
}  // namespace quorlane
