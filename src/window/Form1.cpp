#include "window/Form1.h"

#include <exception>
#include <utility>

#include "common/file_name.h"
#include "common/strings.h"
#include "common/texts.h"
#include "window/restart.h"

namespace quorlane::window {

namespace {

// A web page opens in the system's browser, its window minimized with the focus.
constexpr Show kBrowserShow = Show::minimized;

}  // namespace

Form1::Form1(Controls& controls, Shell& shell, Skin& skin, ports::Process& os,
             ports::EventPump& pump)
    : controls_(controls),
      shell_(shell),
      MyCMD1(os, pump),
      MyCMD2(os, pump),
      startup_(shell, skin),
      output_(controls, clock_),
      phones_(os, MyCMD2, controls, feedback_, clock_),
      gate_(shell, phones_, MyCMD2, pump, clock_) {
  // MyCMD2 runs every command; its Error event is not handled, so refusals are silent.
  MyCMD2.执行完毕 = [this](const std::string& text, bool done) { MyCMD2_执行完毕(text, done); };
  MyCMD2.收到输出 = [this](const std::string& chunk) { MyCMD2_收到输出(chunk); };
  // A command could wait for a phone from its first moment, and would then flash whichever phone
  // is connected next, long after the program has gone (ended from outside, or crashed): every
  // command starts set to end with the program, until it talks to a phone.
  MyCMD2.startEndingWithProgram(true);
}

// ---- start-up ------------------------------------------------------------------------------

bool Form1::beginLoad() {
  try {
    if (!startup_.prepare()) return false;
    phones_.startupQueryBegins();
    MyCMD2.startAhead(std::string(texts::kDeviceQuery));
  } catch (const std::exception& e) {
    startup_.failed(e.what());
    return false;
  }
  loadBegun_ = true;
  return true;
}

bool Form1::Form_Load() {
  if (!loadBegun_ && !beginLoad()) return false;
  try {
    // Takes over the query begun above: its output is read from its start. It is ended, as the
    // watch's queries are, when it has not answered in time.
    phones_.startupQueryRuns();
    run(std::string(texts::kDeviceQuery), CommandKind::deviceQuery, std::nullopt, {});
    // The box was empty: it now holds the device list and nothing else.
    if (commandEnded_) phones_.startupQueryEnded(output_.written());
  } catch (const std::exception& e) {
    startup_.failed(e.what());
    return false;
  }
  return true;
}

// ---- commands and their output --------------------------------------------------------------

void Form1::run(std::optional<std::string> command, CommandKind kind, std::optional<Image> image,
                std::string note) {
  if (!command) return;
  const bool starts = !command->empty() && !MyCMD2.busy();
  if (starts) {
    runningKind_ = kind;
    commandEnded_ = false;
    phoneWait_.reset();
    output_.begin();
    feedback_.started(kind, std::move(image), std::move(note));
  }
  MyCMD2.执行命令(*command);
  if (starts && !commandEnded_) feedback_.notStarted();
}

void Form1::MyCMD2_收到输出(const std::string& chunk) {
  output_.add(chunk);
  phoneWait_.add(chunk);
  // From the first line that sends to a phone, writes to it or starts it, the command is left to
  // finish however the program ends: ending it then could leave the phone with half an image.
  if (phoneWait_.talking()) MyCMD2.endWithProgram(false);
  // After the text, so that the hint can keep clear of it.
  feedback_.waitingForPhone(MyCMD2.busy() && phoneWait_.waiting());
}

void Form1::MyCMD2_执行完毕(const std::string& 返回内容, bool /*结束*/) {
  output_.end(返回内容);
  commandEnded_ = true;
  phoneWait_.reset();
  // Read from the output as the client wrote it: the line breaks the runner adds between reads
  // can cut a line in two.
  const bool unanswered =
      runningKind_ == CommandKind::deviceQuery && phones_.startupQueryUnanswered();
  const Outcome outcome =
      unanswered ? Outcome{Outcome::Kind::noAnswer, {}, {}, {}}
                 : recogniseOutcome(runningKind_, output_.written(), MyCMD2.exitCode());
  // A restart into recovery that the client or the bootloader refused is tried once more, with
  // the OEM command; its panel tells how it ended.
  if (const auto next = afterRestart(runningKind_, outcome).next; next && gate_.listAllows()) {
    run(std::string(restartCommandLine(*next)), *next, std::nullopt, {});
    return;
  }
  feedback_.ended(outcome, MyCMD2.exitCode());
}

void Form1::endWaits() {
  // A command that has not yet talked to a phone may be waiting for one: it would flash whichever
  // phone is connected next, long after the program has gone. Device queries only ask. Both end
  // with the program; a command that is already sending or writing is left to finish.
  if (MyCMD2.busy() && !phoneWait_.talking()) MyCMD2.endCommand();
  phones_.end();
}

// ---- flash actions -------------------------------------------------------------------------

void Form1::Command3_Click() {
  // A failure of the dialog ends the handler silently, as a cancel does: Combo1 stays as it is.
  const auto chosen = shell_.openFile({texts::kImageFilter, texts::kImageDialogOverwritePrompt});
  if (chosen) controls_.setText(ControlId::Combo1, *chosen);
}

void Form1::Command1_Click() {
  // A press while an earlier one waits for the device list is refused, as a busy runner would.
  if (gate_.waiting()) return;
  const Image image{controls_.text(ControlId::Combo1), std::nullopt};
  if (!gate_.imageApproved(image)) return;
  controls_.setEnabled(ControlId::Command1, false);
  send(gate_.phonesAllow(Press::flash), CommandKind::flash, controls_.text(ControlId::Text2),
       image);
  controls_.setEnabled(ControlId::Command1, true);
}

void Form1::flashBuiltIn(ControlId button, std::string_view path) {
  if (gate_.waiting()) return;
  const Image image{std::string(path), std::string(fileName(path))};
  if (!gate_.imageApproved(image)) return;
  controls_.setEnabled(button, false);
  send(gate_.phonesAllow(Press::flash), CommandKind::flash, controls_.text(ControlId::Text2), image,
       true);
  controls_.setEnabled(button, true);
}

void Form1::bootResultImage() {
  // The same checks, path and quoting as the flash it follows; nothing when no flash was shown.
  if (gate_.waiting() || !feedback_.resultImage()) return;
  const Image image = *feedback_.resultImage();
  if (!gate_.imageApproved(image)) return;
  send(gate_.phonesAllow(Press::boot), CommandKind::boot, texts::kBootCommand, image);
}

void Form1::panelButton(std::size_t index) {
  const auto command = feedback_.buttonCommand(index);
  if (!command || gate_.waiting()) return;
  if (*command == CommandKind::boot) {
    bootResultImage();
  } else if (gate_.listAllows()) {
    // A restart reaches whichever phone the client finds, as a flash does.
    run(std::string(restartCommandLine(*command)), *command, std::nullopt, {});
  }
}

void Form1::send(const FlashGate::Clearance& clearance, CommandKind kind, std::string_view prefix,
                 const Image& image, bool clearFirst) {
  using Go = FlashGate::Clearance::Go;
  if (clearance.go == Go::no) return;
  const bool boot = clearance.go == Go::fromMemory || kind == CommandKind::boot;
  auto command = gate_.command(boot ? texts::kBootCommand : prefix, image);
  // Only a command that runs empties the box: one the client could not be given leaves the
  // output before it as it was.
  if (command && clearFirst) output_.clear(MyCMD2.busy());
  run(std::move(command), boot ? CommandKind::boot : CommandKind::flash, image, clearance.note);
}

void Form1::Timer1_Timer() {
  if (!controls_.text(ControlId::Combo1).empty()) controls_.setEnabled(ControlId::Command1, true);
  output_.tick();
  if (MyCMD2.busy() && phones_.startupQueryOverdue()) MyCMD2.endCommand();
  phones_.tick();
}

void Form1::filesDropped(const std::vector<std::string>& paths) {
  if (paths.size() == 1 && asciiLower(paths.front()).ends_with(".img")) {
    controls_.setText(ControlId::Combo1, paths.front());
  }
}

void Form1::devicesChanged() {
  phones_.changed();
  feedback_.devicesChanged();
}

// ---- help, links and exit ------------------------------------------------------------------

void Form1::openPage(std::string_view address) {
  const Failure failure =
      shell_.startProgram(texts::concat(texts::kBrowserCommand, address), kBrowserShow);
  if (failure) {
    // The program lives on: the output box may hold a flash log the user still needs.
    shell_.messageBox(texts::concat(texts::kLinkFailed, address, "\r\n", *failure),
                      MessageStyle::critical, texts::kErrorTitle);
  }
}

void Form1::click(ControlId id) {
  Form_Activate();  // a click in the window: the last result has been seen
  switch (id) {
    case ControlId::Command1:
      Command1_Click();
      break;
    case ControlId::Command3:
      Command3_Click();
      break;
    case ControlId::Command7:
      flashBuiltIn(id, texts::kBuiltInImages[0]);
      break;
    case ControlId::Command8:
      flashBuiltIn(id, texts::kBuiltInImages[1]);
      break;
    case ControlId::Command9:
      flashBuiltIn(id, texts::kBuiltInImages[2]);
      break;
    case ControlId::Command10:
      shell_.messageBox(texts::kInstructions, MessageStyle::ok, texts::kInstructionsTitle);
      break;
    case ControlId::Command2:
      openPage(texts::kDownloadPage);
      break;
    case ControlId::Command6:
      openPage(texts::kQuestionsPage);
      break;
    case ControlId::Command5:
      openPage(texts::kShopPage);
      break;
    case ControlId::Command4:
      endProgram();
      break;
    case ControlId::ResultAction:
      panelButton(0);
      break;
    case ControlId::ResultAction2:
      panelButton(1);
      break;
    default:
      break;
  }
}

void Form1::Form_Unload() {
  endProgram();
}

void Form1::endProgram() {
  endWaits();
  shell_.endProgram();
}

void Form1::Form_Activate() {
  feedback_.activated();
}

}  // namespace quorlane::window
