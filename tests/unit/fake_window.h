#pragma once
// Fakes of the window's platform: controls that keep texts and enabled states, a shell that
// records message boxes, program starts and the program's end, and a skin that can fail.

#include <functional>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "common/strings.h"
#include "ports/window.h"
#include "window/layout.h"

namespace quorlane::testing {

using quorlane::contains;

class FakeControls final : public window::Controls {
 public:
  FakeControls() {
    for (const auto& c : window::controls()) {
      texts[c.id] = std::string(c.caption);
      states[c.id] = c.enabled;
    }
  }
  std::string text(window::ControlId id) override { return texts.at(id); }
  void setText(window::ControlId id, std::string_view t) override {
    texts[id] = t;
    ++setTextCalls;
  }
  void appendText(window::ControlId id, std::string_view t) override {
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
  window::MessageStyle style;
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
  unsigned lookTimeoutMs = 0;
  std::vector<window::Answer> answers;  // the answers to Yes/No boxes, in order
  std::function<void()> onBox;          // runs while a box is shown

  std::string applicationPath() override { return folder; }
  std::string executableName() override { return "Quorlane"; }
  bool fileExists(std::string_view path) override {
    checked.emplace_back(path);
    return files.count(std::string(path)) > 0;
  }
  window::Failure setCurrentDirectory(std::string_view path) override {
    currentDirectory = path;
    journal.push_back("cd " + currentDirectory);
    return std::nullopt;
  }
  window::Answer messageBox(std::string_view prompt, window::MessageStyle style,
                            std::string_view title) override {
    journal.push_back("box");
    boxes.push_back({std::string(prompt), style, std::string(title)});
    if (onBox) onBox();
    if (!has(style, window::MessageStyle::yesNo)) return window::Answer::ok;
    if (answers.empty()) return window::Answer::no;  // Enter takes the default button
    const window::Answer answer = answers.front();
    answers.erase(answers.begin());
    return answer;
  }
  // Image files by the path the handlers open them with: their bytes, or how they fail.
  window::FileStart readFileStart(std::string_view path, std::size_t maxBytes,
                                  unsigned timeoutMs) override {
    const std::string file(path);
    lookTimeoutMs = timeoutMs;
    journal.push_back("look " + file);
    looks.push_back({file, maxBytes});
    const auto found = images.find(file);
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
    if (dialog != Dialog::choose) return std::nullopt;  // cancelled, or the dialog failed
    return dialogChoice;
  }
  // Paths the ANSI code page cannot represent, and the short form each has (empty: none).
  std::map<std::string, std::string> nonAnsiPaths;
  // Paths too long for the client, and the short form each has (empty: none short enough).
  std::map<std::string, std::string> longPaths;
  window::ClientPath pathForAnsiProgram(std::string_view path) override {
    using Problem = window::ClientPath::Problem;
    const std::string file(path);
    journal.push_back("path " + file);
    for (const auto& [paths, problem] :
         {std::pair{&nonAnsiPaths, Problem::characters}, std::pair{&longPaths, Problem::tooLong}}) {
      const auto found = paths->find(file);
      if (found == paths->end()) continue;
      if (found->second.empty()) return {problem, ""};
      return {Problem::none, found->second};
    }
    return {Problem::none, file};
  }
  window::Failure startProgram(std::string_view line, window::Show show) override {
    started.push_back(std::string(line) + (show == window::Show::minimized ? " @minimized" : ""));
    if (startFails) return "系统找不到指定的文件。";
    return std::nullopt;
  }
  void endProgram() override {
    journal.push_back("end");
    ended = true;
  }
  std::vector<Box> boxesTitled(std::string_view title) const {
    std::vector<Box> found;
    for (const auto& b : boxes) {
      if (b.title == title) found.push_back(b);
    }
    return found;
  }
};

class FakeSkin final : public window::Skin {
 public:
  std::optional<std::string> aeroFailure;
  std::optional<std::string> attachFailure;
  std::vector<std::string> calls;

  window::Failure setAero(std::string_view library, int value) override {
    calls.push_back("aero " + std::string(library) + " " + std::to_string(value));
    return aeroFailure;
  }
  window::Failure attach(std::string_view library, std::string_view file,
                         std::string_view password) override {
    calls.push_back("attach " + std::string(library) + " " + std::string(file) + " [" +
                    std::string(password) + "]");
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

  void setHint(window::ControlId anchor, std::string_view text) override {
    hints.emplace_back(anchor == window::ControlId::CMDTeXT ? text : "wrong anchor");
  }
  void setProgress(window::Progress p) override { progress.push_back(p); }
  bool inForeground() override { return foreground; }
  void flashUntilActive() override { ++flashes; }
  bool hintShown() const { return !hints.empty() && !hints.back().empty(); }

  // Every result shown, as "text [button] [button]", and "" when it was hidden.
  std::vector<std::string> results;
  void showResult(window::ControlId anchor, std::string_view text,
                  const window::ResultButtons& buttons) override {
    if (anchor != window::ControlId::CMDTeXT) {
      results.emplace_back("wrong anchor");
      return;
    }
    std::string shown(text);
    for (const auto button : buttons) {
      if (!button.empty()) shown += " [" + std::string(button) + "]";
    }
    results.push_back(shown);
  }
  void hideResult() override {
    if (results.empty() || !results.back().empty()) results.emplace_back();
  }
  std::string result() const { return results.empty() ? std::string() : results.back(); }
};

}  // namespace quorlane::testing
