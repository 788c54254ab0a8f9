#pragma once
// Fakes of the window's platform: controls that keep texts and enabled states, a shell that
// records message boxes, program starts and the program's end, and a skin that can fail.

#include <functional>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "window/layout.h"
#include "window/ports.h"

namespace quorlane::testing {

class FakeControls final : public window::Controls {
 public:
  FakeControls() {
    for (const auto& c : window::controls()) {
      texts[c.id] = std::string(c.caption);
      states[c.id] = c.enabled;
    }
  }
  std::string text(window::ControlId id) override { return texts.at(id); }
  void setText(window::ControlId id, const std::string& t) override {
    texts[id] = t;
    ++setTextCalls;
  }
  void appendText(window::ControlId id, const std::string& t) override {
    texts[id] += t;
    ++appends;
    if (onAppend) onAppend();
  }
  bool enabled(window::ControlId id) override { return states.at(id); }
  void setEnabled(window::ControlId id, bool on) override { states[id] = on; }

  std::map<window::ControlId, std::string> texts;
  std::map<window::ControlId, bool> states;
  int setTextCalls = 0;
  int appends = 0;
  std::function<void()> onAppend;  // runs inside every append, e.g. to let time pass
};

struct Box {
  std::string prompt;
  unsigned style;
  std::string title;
};

class FakeShell final : public window::Shell {
 public:
  std::string folder = "C:\\Quorlane";
  std::set<std::string> files = {"C:\\Quorlane\\fastboot.exe", "C:\\Quorlane\\AdbWinUsbApi.dll",
                                 "C:\\Quorlane\\AdbWinApi.dll", "C:\\Quorlane\\Config.dll",
                                 "C:\\Quorlane\\Config.ini"};
  std::vector<std::string> checked;
  std::vector<Box> boxes;
  std::vector<std::string> started;
  std::vector<std::string> journal;  // events in order: box, end, cd, ...
  std::string currentDirectory = "C:\\Users\\me";
  bool ended = false;
  bool startFails = false;
  enum class Dialog { choose, cancel, fail } dialog = Dialog::choose;
  std::string dialogChoice = "D:\\img\\recovery.img";
  std::vector<window::OpenFileRequest> dialogs;
  std::map<std::string, window::FileStart> images;
  std::vector<std::pair<std::string, std::size_t>> looks;
  std::vector<int> answers;     // the answers to Yes/No boxes, in order
  std::function<void()> onBox;  // runs while a box is shown

  std::string applicationPath() override { return folder; }
  std::string executableName() override { return "Quorlane"; }
  bool fileExists(const std::string& path) override {
    checked.push_back(path);
    return files.count(path) > 0;
  }
  bool setCurrentDirectory(const std::string& path) override {
    journal.push_back("cd " + path);
    currentDirectory = path;
    return true;
  }
  int messageBox(const std::string& prompt, unsigned style, const std::string& title) override {
    journal.push_back("box");
    boxes.push_back({prompt, style, title});
    if (onBox) onBox();
    if ((style & 0xF) != window::kStyleYesNo) return window::kAnswerOk;
    if (answers.empty()) return window::kAnswerNo;  // Enter takes the default button
    const int answer = answers.front();
    answers.erase(answers.begin());
    return answer;
  }
  // Image files by the path the handlers open them with: their bytes, or how they fail.
  window::FileStart readFileStart(const std::string& path, std::size_t maxBytes) override {
    journal.push_back("look " + path);
    looks.push_back({path, maxBytes});
    const auto found = images.find(path);
    if (found == images.end()) return {};
    window::FileStart start = found->second;
    if (start.bytes.size() > maxBytes) start.bytes.resize(maxBytes);
    return start;
  }
  void addImage(const std::string& path, std::string bytes = "ANDROID!\x00\x01 boot image") {
    images[path] = {window::FileStart::State::file, std::move(bytes), ""};
  }
  std::optional<std::string> openFile(const window::OpenFileRequest& request) override {
    dialogs.push_back(request);
    if (dialog == Dialog::fail) throw std::runtime_error("dialog failed");
    if (dialog == Dialog::cancel) return std::nullopt;
    return dialogChoice;
  }
  // Paths the ANSI code page cannot represent, and the short form each has (empty: none).
  std::map<std::string, std::string> nonAnsiPaths;
  std::optional<std::string> pathForAnsiProgram(const std::string& path) override {
    journal.push_back("path " + path);
    const auto found = nonAnsiPaths.find(path);
    if (found == nonAnsiPaths.end()) return path;
    if (found->second.empty()) return std::nullopt;
    return found->second;
  }
  bool startProgram(const std::string& line, int show, std::string& error) override {
    started.push_back(line + " @" + std::to_string(show));
    if (startFails) error = "系统找不到指定的文件。";
    return !startFails;
  }
  void endProgram() override {
    journal.push_back("end");
    ended = true;
  }
};

class FakeSkin final : public window::Skin {
 public:
  std::optional<std::string> aeroFailure;
  std::optional<std::string> attachFailure;
  std::vector<std::string> calls;

  std::optional<std::string> setAero(const std::string& library, int value) override {
    calls.push_back("aero " + library + " " + std::to_string(value));
    return aeroFailure;
  }
  std::optional<std::string> attach(const std::string& library, const std::string& file,
                                    const std::string& password) override {
    calls.push_back("attach " + library + " " + file + " [" + password + "]");
    return attachFailure;
  }
};

// Records what the window shows about a running command besides its output.
class FakeFeedback final : public window::Feedback {
 public:
  std::vector<std::string> hints;  // every hint set, "" for hidden
  std::vector<window::Progress> progress;
  int flashes = 0;
  bool foreground = true;

  void setHint(window::ControlId anchor, const std::string& text) override {
    hints.push_back(anchor == window::ControlId::CMDTeXT ? text : "wrong anchor");
  }
  void setProgress(window::Progress p) override { progress.push_back(p); }
  bool inForeground() override { return foreground; }
  void flashUntilActive() override { ++flashes; }
  bool hintShown() const { return !hints.empty() && !hints.back().empty(); }
};

}  // namespace quorlane::testing
