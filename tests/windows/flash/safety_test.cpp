// The checks around a flash with the real program and the simulated phone: the message boxes of
// the image check and that no flash starts after them, a command that waits for a phone ending
// with the program, and the hint shown meanwhile, as drawn on the screen.

// winsock2.h must come before windows.h, which would otherwise bring in the old winsock.h.
#include <winsock2.h>
//
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>

#ifdef QUORLANE_REAL_CLIENT
#include "real/network_phone.h"
#endif
#include "support/app_folder.h"
#include "support/screen_shot.h"
#include "win32/text.h"
#include "window/layout.h"

namespace quorlane {
namespace {

using testsupport::App;
using testsupport::AppFolder;
using testsupport::contains;
using testsupport::panelDrawn;
using testsupport::saveBmp;
using testsupport::Shot;
using testsupport::startApp;
using testsupport::writeFile;
using window::ControlId;

const std::string kBootImage = "ANDROID!" + std::string(4096, 'b');
constexpr const char* kStopTitle = "无法刷入";
constexpr const char* kAskTitle = "确认刷入";

// The default button of a message box: the one drawn as the default, which Enter presses.
int defaultButton(HWND box) {
  for (const int button : {IDOK, IDCANCEL, IDYES, IDNO}) {
    HWND hwnd = GetDlgItem(box, button);
    if (hwnd != nullptr && (gui::style(hwnd) & BS_TYPEMASK) == BS_DEFPUSHBUTTON) return button;
  }
  return 0;
}

class SafetyTest : public ::testing::Test {
 protected:
  App start() {
    App app = startApp(folder);
    EXPECT_TRUE(App::waitRuns(folder, 1));  // the device query at start-up
    return app;
  }

  // Presses `button` (Start with `path` in Combo1, when given) and returns the box that shows.
  std::optional<gui::MessageBoxInfo> press(App& app, ControlId button, const std::string& path) {
    if (button == ControlId::Command1) {
      EXPECT_TRUE(gui::setText(app.control(ControlId::Combo1), path));
      EXPECT_TRUE(gui::waitFor([&] { return gui::enabled(app.control(button)); }));
    }
    EXPECT_TRUE(gui::click(app.control(button)));
    return gui::waitMessageBox(app.process.pid());
  }

  static void answer(const gui::MessageBoxInfo& box, int button) {
    ASSERT_TRUE(gui::pressButton(box.hwnd, button));
    ASSERT_TRUE(gui::waitClosed(box.hwnd));
  }

  // A flash of a good image after a check stopped one: had the stopped flash started, it would
  // show in the phone's log before this one.
  void expectOnlyTheGoodFlashFollows(App& app, std::size_t runsBefore) {
    const std::string good = folder.file("good.img");
    writeFile(good, kBootImage);
    ASSERT_TRUE(app.pressStart(good));
    ASSERT_TRUE(App::waitRuns(folder, runsBefore + 1));
    const auto runs = folder.runs();
    ASSERT_EQ(runs.size(), runsBefore + 1);
    EXPECT_EQ(runs.back().args, (std::vector<std::string>{"flash", "recovery", good}));
  }

  AppFolder folder;
};

TEST_F(SafetyTest, AMissingBuiltInImageSaysWhereToPutItAndLeavesTheOutputAsItWas) {
  folder.settings("send_ms=10\nwrite_ms=10\n");
  folder.remove("RE\\recovery2.img");
  App app = start();
  const std::string before = app.text(ControlId::CMDTeXT);
  const auto box = press(app, ControlId::Command8, "");
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->title, kStopTitle);
  EXPECT_TRUE(contains(box->prompt, folder.file("RE\\recovery2.img"))) << box->prompt;
  EXPECT_TRUE(contains(box->prompt, "RE 文件夹")) << box->prompt;
  EXPECT_TRUE(contains(box->prompt, "命名为 recovery2.img")) << box->prompt;
  EXPECT_EQ(box->owner, app.window);
  answer(*box, IDOK);
  EXPECT_EQ(app.text(ControlId::CMDTeXT), before);
  EXPECT_TRUE(gui::enabled(app.control(ControlId::Command8)));
  expectOnlyTheGoodFlashFollows(app, 1);
}

TEST_F(SafetyTest, AFileThatIsNoBootImageIsAskedAboutWithNoAsTheDefault) {
  folder.settings("send_ms=10\nwrite_ms=10\n");
  struct Case {
    std::string name;
    std::string bytes;
    std::string said;
  };
  const std::vector<Case> cases = {
      {"update.zip", std::string("PK\x03\x04\x14\x00\x08\x00", 8) + "zip body", "ZIP"},
      {"system.img", std::string("\x3A\xFF\x26\xED\x01\x00\x00\x00", 8) + "sparse", "稀疏镜像"},
      {"notes.img", "just some text, no image", "无法识别"},
  };
  App app = start();
  std::size_t runs = 1;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = folder.file("下载\\" + c.name);
    writeFile(path, c.bytes);
    auto box = press(app, ControlId::Command1, path);
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->title, kAskTitle);
    EXPECT_TRUE(contains(box->prompt, path)) << box->prompt;
    EXPECT_TRUE(contains(box->prompt, c.said)) << box->prompt;
    EXPECT_TRUE(contains(box->prompt, "仍然要刷入吗")) << box->prompt;
    EXPECT_EQ(box->buttons, (std::vector<std::string>{"是(&Y)", "否(&N)"}));
    EXPECT_EQ(defaultButton(box->hwnd), IDNO);
    EXPECT_TRUE(box->hasIcon);
    EXPECT_EQ(box->owner, app.window);
    answer(*box, IDNO);
    EXPECT_EQ(folder.runs().size(), runs);

    // Yes: flashed exactly as without the question.
    box = press(app, ControlId::Command1, path);
    ASSERT_TRUE(box.has_value());
    answer(*box, IDYES);
    ASSERT_TRUE(App::waitRuns(folder, ++runs));
    EXPECT_EQ(folder.runs().back().args, (std::vector<std::string>{"flash", "recovery", path}));
    EXPECT_TRUE(folder.flashed() == c.bytes);
    ASSERT_TRUE(gui::waitFor([&] { return gui::enabled(app.control(ControlId::Command1)); }));
  }
  // After a No nothing started: the next flash is the only one that follows.
  const std::string last = folder.file("下载\\notes.img");
  auto box = press(app, ControlId::Command1, last);
  ASSERT_TRUE(box.has_value());
  answer(*box, IDNO);
  expectOnlyTheGoodFlashFollows(app, runs);
}

HWND hintOf(HWND window) {
  for (HWND child : gui::descendants(window)) {
    if (gui::className(child) == "QuorlaneHint") return child;
  }
  return nullptr;
}

// A fastboot client under test, the demo folder that holds it beside the program, and how it is
// made to wait for a phone. The simulated phone waits for ever when it has no phone. Google's
// client (in demo-real) is made to wait by `prepare` setting ANDROID_SERIAL=tcp:127.0.0.1:<a port
// nobody listens on> in this process's environment, which the program and its commands inherit.
// `afterExit` checks what only that client can tell.
struct WaitingClient {
  std::string name;
  std::string demo;
  std::function<void(const AppFolder&)> prepare;
  std::function<void(const AppFolder&)> afterExit;
};

// The simulated phone logs every run: the flash was ended, never finished, and nothing reached
// the phone.
void simulatedClientEnded(const AppFolder& folder) {
  const auto runs = folder.runs();
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_FALSE(runs[1].finished.has_value());
  std::error_code ignored;
  EXPECT_FALSE(std::filesystem::exists(win32::widen(folder.file("device\\recovery.img")), ignored));
}

#ifdef QUORLANE_REAL_CLIENT
// A port on this machine that nothing listens on now: bound for a moment, then let go.
int freePort() {
  WSADATA data;
  if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return 0;
  int port = 0;
  const SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (s != INVALID_SOCKET) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof address;
    if (bind(s, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 &&
        getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
      port = ntohs(address.sin_port);
    }
    closesocket(s);
  }
  WSACleanup();
  return port;
}

// Google's client, pointed at a phone on the network that is not there yet: it says it waits
// for tcp:127.0.0.1:<port> and tries again and again. After Exit the phone comes up on that
// port, as a phone plugged in later would: no client may be left to reach it.
struct LatePhone {
  int port = 0;
  std::optional<realtest::ScopedEnvironment> serial;
};

WaitingClient realClient() {
  const auto phone = std::make_shared<LatePhone>();
  auto prepare = [phone](const AppFolder&) {
    phone->port = freePort();
    ASSERT_NE(phone->port, 0);
    // The program's commands inherit it from the program, which inherits it from here.
    phone->serial.emplace("ANDROID_SERIAL", "tcp:127.0.0.1:" + std::to_string(phone->port));
  };
  auto afterExit = [phone](const AppFolder&) {
    phone->serial.reset();
    realtest::NetworkPhone late({"--port", std::to_string(phone->port)});
    ASSERT_EQ(late.port(), phone->port);
    // Polled for the time in which the client, had it been left, would have connected many
    // times over (it tries again every few milliseconds).
    EXPECT_FALSE(gui::waitFor([&] { return late.logHas("connected"); }, 1000));
    EXPECT_EQ(late.logCount("command"), 0u);
    EXPECT_EQ(late.partition(), std::nullopt);
  };
  return {"real", "demo-real", prepare, afterExit};
}
#endif

WaitingClient simulatedClient() {
  return {"simulated", "demo", [](const AppFolder& folder) { folder.settings("devices=\n"); },
          simulatedClientEnded};
}

// The program with `client` prepared in `folder`, once a built-in button's flash waits for a
// phone and the box says so.
void startWaiting(const AppFolder& folder, const WaitingClient& client, std::optional<App>& app) {
  client.prepare(folder);
  app.emplace(startApp(folder));
  ASSERT_TRUE(gui::waitFor([&] { return gui::enabled(app->control(ControlId::Command7)); }));
  const std::string fastboot = folder.file("fastboot.exe");
  // The start-up query has finished: no client runs yet.
  ASSERT_TRUE(gui::waitFor([&] { return gui::processesOf(fastboot).empty(); }));
  ASSERT_TRUE(gui::click(app->control(ControlId::Command7)));
  ASSERT_TRUE(gui::waitFor([&] {
    return contains(app->text(ControlId::CMDTeXT), "< waiting for");
  })) << app->text(ControlId::CMDTeXT);
  ASSERT_FALSE(gui::processesOf(fastboot).empty());
}

// Once the program has ended, the client goes with it within 3 s. Should any be left, it would
// wait for ever: it goes now, so the other tests can run on.
void expectTheClientGone(const AppFolder& folder, const WaitingClient& client) {
  const bool gone =
      gui::waitFor([&] { return gui::processesOf(folder.file("fastboot.exe")).empty(); }, 3000);
  EXPECT_TRUE(gone);
  if (gone && client.afterExit) client.afterExit(folder);
  gui::endProcessesIn(folder.path());
}

// Exit during a wait for a phone, tried with Google's client where it is built: the program must
// know that client's own wait line, and end it with the command interpreter that started it.
// Without it, the simulated client stands in.
TEST(ExitTest, ExitEndsACommandThatWaitsForAPhoneAndTheHintShowsMeanwhile) {
#ifdef QUORLANE_REAL_CLIENT
  const WaitingClient client = realClient();
#else
  const WaitingClient client = simulatedClient();
#endif
  AppFolder folder(client.demo);
  std::optional<App> started;
  ASSERT_NO_FATAL_FAILURE(startWaiting(folder, client, started));
  App& app = *started;
  HWND box = app.control(ControlId::CMDTeXT);

  // The hint lies over the output box, which keeps its text; it is drawn on the screen.
  HWND hint = nullptr;
  ASSERT_TRUE(gui::waitFor([&] { return (hint = hintOf(app.window)) && gui::visible(hint); }));
  EXPECT_EQ(gui::text(box).find("FastBoot"), std::string::npos);
  EXPECT_TRUE(contains(gui::text(hint), "等待手机"));
  EXPECT_TRUE(contains(gui::text(hint), "退出"));
  const RECT inBox = gui::clientRectInParent(box, app.window);
  const RECT panel = gui::clientRectInParent(hint, app.window);
  EXPECT_GE(panel.left, inBox.left);
  EXPECT_GE(panel.top, inBox.top);
  EXPECT_LE(panel.right, inBox.right);
  EXPECT_LE(panel.bottom, inBox.bottom);
  // The line the command waits on stays in view beside the hint.
  const std::string text = gui::text(box);
  const auto at = win32::widen(text.substr(0, text.find("< waiting for"))).size();
  const LRESULT pos = SendMessageW(box, EM_POSFROMCHAR, at, 0);
  ASSERT_NE(pos, -1);
  POINT line{static_cast<short>(LOWORD(pos)) + 4, static_cast<short>(HIWORD(pos)) + 4};
  MapWindowPoints(box, app.window, &line, 1);
  EXPECT_FALSE(PtInRect(&panel, line)) << line.y << " in " << panel.top << ".." << panel.bottom;

  // Drawn on the screen: mostly the panel's colour, with text on it. Polled, as the program
  // paints in its own time.
  Shot shot;
  auto hintDrawn = [&] { return panelDrawn(app.window, hint, shot); };
  ASSERT_TRUE(gui::waitFor(hintDrawn));
  saveBmp(shot, win32::narrow(win32::executableFolder()) + "\\hint-" + client.name + ".bmp");

  // A built-in button pressed meanwhile empties the box, which draws itself anew: the hint stays
  // on top, as the command still waits.
  ASSERT_TRUE(gui::click(app.control(ControlId::Command8)));
  ASSERT_TRUE(gui::waitFor([&] { return gui::text(box).empty(); }));
  ASSERT_TRUE(gui::waitFor(hintDrawn));
  EXPECT_TRUE(gui::visible(hint));

  ASSERT_TRUE(gui::click(app.control(ControlId::Command4)));
  EXPECT_TRUE(app.process.waitExit());
  expectTheClientGone(folder, client);
}

// Ended from outside (Task Manager, a crash) while its command waits for a phone, the program
// still takes the wait with it: the command's job ends its processes when its last handle goes.
// That is the job's doing, whichever client waits: the simulated one does.
TEST(ExitTest, KilledFromOutsideTheProgramTakesAWaitWithIt) {
  const WaitingClient client = simulatedClient();
  AppFolder folder(client.demo);
  std::optional<App> app;
  ASSERT_NO_FATAL_FAILURE(startWaiting(folder, client, app));
  ASSERT_TRUE(TerminateProcess(app->process.handle(), 9));
  EXPECT_TRUE(app->process.waitExit());
  expectTheClientGone(folder, client);
}

// A command that has moved on from the wait to sending is left to finish, also when the program
// is killed: ending it could leave the phone with half an image.
TEST_F(SafetyTest, KilledWhileSendingTheFlashIsLeftToFinish) {
  folder.settings("send_ms=1500\nwrite_ms=10\n");
  App app = start();
  HWND box = app.control(ControlId::CMDTeXT);
  ASSERT_TRUE(gui::click(app.control(ControlId::Command7)));
  ASSERT_TRUE(gui::waitFor([&] { return contains(gui::text(box), "Sending"); })) << gui::text(box);
  ASSERT_TRUE(TerminateProcess(app.process.handle(), 9));
  EXPECT_TRUE(app.process.waitExit());
  ASSERT_TRUE(gui::waitFor([&] {
    const auto runs = folder.runs();
    return runs.size() == 2 && runs[1].finished.has_value();
  }));
  EXPECT_EQ(folder.runs()[1].finished, std::optional<int>(0));
  EXPECT_FALSE(folder.flashed().empty());
}

// A message box opened during a command runs its own loop: the output goes on arriving and being
// shown meanwhile, and the command ends normally once the box is closed.
TEST_F(SafetyTest, OutputGoesOnWhileAMessageBoxIsOpen) {
  // Written in small pieces with pauses: the command runs on for a while after the box opens.
  folder.settings("send_ms=300\nwrite_ms=300\nchunk=16\nchunk_ms=20\n");
  App app = start();
  HWND box = app.control(ControlId::CMDTeXT);
  ASSERT_TRUE(gui::click(app.control(ControlId::Command7)));
  // Once the command runs (a box during the checks before it would hold the press back).
  ASSERT_TRUE(gui::waitFor([&] { return folder.runs().size() == 2; }));
  const auto instructions = press(app, ControlId::Command10, "");
  ASSERT_TRUE(instructions.has_value());
  ASSERT_TRUE(contains(instructions->title, "FastBoot"));
  EXPECT_TRUE(gui::waitFor([&] { return contains(gui::text(box), "Finished"); })) << gui::text(box);
  // The command has ended meanwhile, though its completion waits for the box's loop to end.
  ASSERT_TRUE(gui::waitFor([&] {
    const auto runs = folder.runs();
    return runs.size() == 2 && runs[1].finished.has_value();
  }));
  EXPECT_TRUE(IsWindow(instructions->hwnd));
  answer(*instructions, IDOK);
  ASSERT_TRUE(gui::waitFor([&] { return gui::enabled(app.control(ControlId::Command7)); }));
  const std::string text = gui::text(box);
  EXPECT_EQ(text.find("Sending"), 0u) << text;
  EXPECT_NE(text.find("Finished"), std::string::npos) << text;
}

}  // namespace
}  // namespace quorlane
