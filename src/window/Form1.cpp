#include "window/Form1.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <exception>
#include <utility>

#include "common/file_name.h"
#include "common/scope_exit.h"
#include "common/texts.h"
#include "window/command_text.h"

namespace quorlane::window {

namespace {

// A web page opens in the system's browser, its window minimized with the focus.
constexpr Show kBrowserShow = Show::minimized;

using texts::concat;

bool endsWithImageExtension(const std::string& path) {
  if (path.size() < 4) return false;
  std::string tail = path.substr(path.size() - 4);
  std::transform(tail.begin(), tail.end(), tail.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return tail == ".img";
}

}  // namespace

Form1::Form1(Controls& controls, Shell& shell, Skin& skin, ports::Process& os,
             ports::EventPump& pump)
    : controls_(controls),
      shell_(shell),
      skin_(skin),
      os_(os),
      pump_(pump),
      MyCMD1(os, pump),
      MyCMD2(os, pump),
      devices_(os) {
  // MyCMD2 runs every command; its Error event is not handled, so refusals are silent.
  MyCMD2.执行完毕 = [this](const std::string& text, bool done) { MyCMD2_执行完毕(text, done); };
  MyCMD2.收到输出 = [this](const std::string& chunk) { MyCMD2_收到输出(chunk); };
}

// ---- start-up ------------------------------------------------------------------------------

bool Form1::beginLoad() {
  const std::string folder = shell_.applicationPath();
  try {
    for (const auto name : texts::kComponents) {
      if (!shell_.fileExists(concat(folder, "\\", name))) {
        missingComponent(name);
        return false;
      }
    }

    const std::string library = concat(folder, "\\", texts::kSkinLibrary);
    auto failure = skin_.setAero(library, 1);
    if (!failure) failure = skin_.attach(library, concat(folder, "\\", texts::kSkinFile), "");
    if (failure) {
      startupFailure(*failure);
      return false;
    }

    // Every command runs in the executable's folder, so it finds the fastboot.exe that was just
    // checked and the built-in images beside it, wherever the program was started from.
    shell_.setCurrentDirectory(folder);
    MyCMD2.startAhead(std::string(texts::kDeviceQuery));
  } catch (const std::exception& e) {
    startupFailure(e.what());
    return false;
  }
  loadBegun_ = true;
  return true;
}

bool Form1::Form_Load() {
  if (!loadBegun_ && !beginLoad()) return false;
  try {
    listWritten_.clear();
    collectingList_ = true;
    // Takes over the query begun above: its output is read from its start.
    runCommand(texts::kDeviceQuery, CommandKind::deviceQuery);
    collectingList_ = false;
    // The box was empty: it now holds the device list and nothing else.
    if (commandEnded_) {
      phones_ = listedPhones(listWritten_);
      deviceListShown(controls_.text(ControlId::CMDTeXT));
    }
  } catch (const std::exception& e) {
    startupFailure(e.what());
    return false;
  }
  return true;
}

void Form1::missingComponent(std::string_view fileName) {
  shell_.messageBox(concat(texts::kMissingBefore, fileName, texts::kMissingAfter),
                    MessageStyle::critical,
                    concat(shell_.executableName(), texts::kMissingTitleAfter));
  shell_.endProgram();
}

void Form1::startupFailure(const std::string& description) {
  const std::string folder = shell_.applicationPath();
  for (const auto name : {texts::kSkinFileChecked, texts::kSkinLibrary}) {
    if (!shell_.fileExists(concat(folder, "\\", name))) {
      missingComponent(name);
      return;
    }
  }
  shell_.messageBox(concat(texts::kStartupErrorPrefix, description), MessageStyle::critical,
                    texts::kErrorTitle);
  shell_.endProgram();
}

// ---- output display ------------------------------------------------------------------------

void Form1::MyCMD2_收到输出(const std::string& chunk) {
  // A preview of the running command's output; the complete text replaces it at the end.
  pendingText_ += chunk;
  pendingText_ += "\r\n";
  if (collectingList_) listWritten_ += chunk;
  phoneWait_.add(chunk);
  // A wait for a phone must not outlive the program, however it ends (Task Manager, a crash):
  // it would flash whichever phone is connected next. A command that sends or writes is left
  // to finish.
  MyCMD2.endWithProgram(phoneWait_.waiting());
  if (clock_() - lastShown_ >= showInterval_) showPending();
  updateHint();  // after the text, so the hint can keep clear of it
}

void Form1::showPending() {
  if (pendingText_.empty()) return;
  // Appending to a long text can cost time in proportion to its length. Pieces are therefore
  // gathered for a while when the last append was slow, so that showing the output never takes
  // more than a small share of a command's time.
  const auto start = clock_();
  controls_.appendText(ControlId::CMDTeXT, pendingText_);
  lastShown_ = clock_();
  showInterval_ =
      std::max<Clock::duration>(kMinShowInterval, (lastShown_ - start) * kShowCostFactor);
  shownLength_ += pendingText_.size();
  pendingText_.clear();
}

void Form1::MyCMD2_执行完毕(const std::string& 返回内容, bool /*结束*/) {
  // The box ends up as what it held before this command's live preview, followed by the whole
  // collected text. Usually the preview is the start of that text and only the rest is added.
  if (shownIsPrefix_) {
    controls_.appendText(ControlId::CMDTeXT, 返回内容.substr(shownLength_));
  } else {
    std::string box = controls_.text(ControlId::CMDTeXT);
    box.resize(box.size() >= shownLength_ ? box.size() - shownLength_ : 0);
    controls_.setText(ControlId::CMDTeXT, box + 返回内容);
  }
  pendingText_.clear();
  shownLength_ = 0;
  shownIsPrefix_ = true;

  commandEnded_ = true;
  phoneWait_.reset();
  updateHint();
  // Failed: the interpreter said so with its exit code. A code that could not be read claims
  // nothing either way.
  const auto& code = MyCMD2.exitCode();
  progress_ = code && *code != 0 ? Progress::failed : Progress::none;
  feedback_->setProgress(progress_);
  // What it came to, in words, once the box shows all of it.
  resultImage_ = runningImage_;
  showOutcome(recogniseOutcome(runningKind_, 返回内容, code), runningKind_);
  if (!feedback_->inForeground()) feedback_->flashUntilActive();
}

void Form1::showOutcome(const Outcome& outcome, CommandKind command) {
  const auto panel = resultPanel(outcome, command);
  resultIsDeviceList_ = panel && command == CommandKind::deviceQuery;
  if (panel) {
    feedback_->showResult(ControlId::CMDTeXT, panel->text, panel->captions());
  } else {
    feedback_->hideResult();
  }
}

void Form1::showDeviceListOutcome(const std::string& listOutput) {
  // A running command's own result comes at its end.
  if (MyCMD2.busy()) return;
  const Outcome outcome = recogniseOutcome(CommandKind::deviceQuery, listOutput, 0);
  // A list with one phone says nothing, but the panel about an earlier list is out of date.
  if (outcome.kind == Outcome::Kind::none && !resultIsDeviceList_) return;
  showOutcome(outcome, CommandKind::deviceQuery);
}

void Form1::clearOutput() {
  controls_.setText(ControlId::CMDTeXT, "");
  // What a running command shows from now on is no longer the start of its collected text.
  shownLength_ = 0;
  shownIsPrefix_ = !MyCMD2.busy();
}

// ---- flash actions -------------------------------------------------------------------------

void Form1::Command3_Click() {
  // A failure of the dialog ends the handler silently, as a cancel does: Combo1 stays as it is.
  const auto chosen = shell_.openFile({texts::kImageFilter, texts::kImageDialogOverwritePrompt});
  if (chosen) controls_.setText(ControlId::Combo1, *chosen);
}

void Form1::Command1_Click() {
  // A press while an earlier one waits for the device list is refused, as a busy runner would.
  if (waitingForList_) return;
  const Image image{controls_.text(ControlId::Combo1), std::nullopt};
  if (!imageApproved(image.path, image.builtInName)) return;
  controls_.setEnabled(ControlId::Command1, false);
  if (phonesAllowFlash()) {
    runWithImage(controls_.text(ControlId::Text2), CommandKind::flash, image);
  }
  controls_.setEnabled(ControlId::Command1, true);
}

void Form1::flashBuiltIn(ControlId button, std::string_view path) {
  if (waitingForList_) return;
  const Image image{std::string(path), std::string(fileName(path))};
  if (!imageApproved(image.path, image.builtInName)) return;
  controls_.setEnabled(button, false);
  if (phonesAllowFlash()) {
    clearOutput();
    runWithImage(controls_.text(ControlId::Text2), CommandKind::flash, image);
  }
  controls_.setEnabled(button, true);
}

void Form1::bootResultImage() {
  // The same checks, path and quoting as the flash it follows; nothing when no flash was shown.
  if (waitingForList_ || !resultImage_) return;
  const Image image = *resultImage_;
  if (!imageApproved(image.path, image.builtInName)) return;
  if (phonesAllowFlash()) runWithImage(texts::kBootCommand, CommandKind::boot, image);
}

void Form1::runWithImage(std::string_view prefix, CommandKind kind, const Image& image) {
  if (const auto path = clientPath(image.path)) {
    runCommand(std::string(prefix) + quoteImagePath(*path), kind, image);
  }
}

// ---- the device list -----------------------------------------------------------------------

bool Form1::phonesAllowFlash() {
  // While a command runs the runner refuses this one anyway, as it always has.
  if (MyCMD2.busy()) return true;
  // With several phones listed nothing could run: rather than trust that list, it is asked for
  // again, as one of them may have gone without the system saying so.
  if (phones_ && phones_->size() > 1) devices_.askNow(clock_());
  waitForList();
  // An unknown list stops nothing: without a phone the client waits for one, as it always has.
  if (!phones_ || phones_->size() < 2) return true;
  std::string prompt(texts::kSeveralPhonesBefore);
  for (const auto& serial : *phones_) prompt += serial + "\r\n";
  prompt += texts::kSeveralPhonesAfter;
  shell_.messageBox(prompt, MessageStyle::warning, texts::kSeveralPhonesTitle);
  return false;
}

void Form1::waitForList() {
  // The window stays responsive meanwhile; its timer moves the query on as well.
  const auto deadline = clock_() + kListWait;
  waitingForList_ = true;
  ScopeExit done([this] { waitingForList_ = false; });
  for (;;) {
    advanceDeviceList();
    if (!devices_.pending() || clock_() >= deadline) return;
    pump_.waitEvents();
  }
}

void Form1::devicesChanged() {
  devices_.changed(clock_());
}

void Form1::advanceDeviceList() {
  if (const auto refresh = devices_.advance(clock_(), MyCMD2.busy())) listRefreshed(*refresh);
}

void Form1::listRefreshed(const DeviceWatch::Refresh& refresh) {
  if (refresh.phones) {
    phones_ = refresh.phones;
  } else if (refresh.afterChange) {
    phones_.reset();  // something changed and no answer came: nothing is known
  }
  // The new list replaces only a device list, so no command's output is ever lost.
  if (!refresh.phones || MyCMD2.busy() || !listShown_) return;
  if (controls_.text(ControlId::CMDTeXT) != *listShown_) return;
  if (refresh.shown != *listShown_) controls_.setText(ControlId::CMDTeXT, refresh.shown);
  deviceListShown(controls_.text(ControlId::CMDTeXT));
  // A panel that told of no phone or of several follows the list it was about.
  showDeviceListOutcome(refresh.shown);
}

void Form1::deviceListShown(const std::string& text) {
  // As the box holds it, so that a later look can tell whether anything has been added.
  listShown_ = text;
}

bool Form1::imageApproved(const std::string& path, const std::optional<std::string>& builtInName) {
  // The file the tool would open: the path without the quotes a user may have pasted with it.
  const std::string file = unquotePath(path);
  ImageVerdict verdict;
  if (file.empty()) {
    verdict = noImageChosen();
  } else {
    // A built-in image lies in RE beside the program, the current directory of every command;
    // the message names it in full.
    const std::string shown = builtInName ? shell_.applicationPath() + "\\" + file : file;
    // A device is never opened: a read of it could block or take what is not an image.
    const FileStart found =
        namesDevice(file) ? FileStart{FileStart::State::device, "", ""}
                          : shell_.readFileStart(file, kImageCheckBytes, kImageCheckTimeoutMs);
    verdict = judgeImage(found, shown, builtInName);
  }
  switch (verdict.action) {
    case ImageVerdict::Action::flash:
      return true;
    case ImageVerdict::Action::ask:
      return shell_.messageBox(verdict.prompt, verdict.style, verdict.title) == Answer::yes;
    case ImageVerdict::Action::stop:
      shell_.messageBox(verdict.prompt, verdict.style, verdict.title);
      return false;
  }
  return false;
}

void Form1::runCommand(std::string_view command, CommandKind kind, std::optional<Image> image) {
  const bool starts = !command.empty() && !MyCMD2.busy();
  if (starts) {
    runningKind_ = kind;
    runningImage_ = std::move(image);
    feedback_->hideResult();
    resultIsDeviceList_ = false;
    phoneWait_.reset();
    commandEnded_ = false;
    progress_ = Progress::running;
    feedback_->setProgress(progress_);
  }
  MyCMD2.执行命令(std::string(command));
  // A command that could not be started leaves nothing on the taskbar.
  if (starts && !commandEnded_) {
    progress_ = Progress::none;
    feedback_->setProgress(progress_);
  }
}

void Form1::updateHint() {
  const bool show = MyCMD2.busy() && phoneWait_.waiting();
  if (show == hintShown_) return;
  hintShown_ = show;
  feedback_->setHint(ControlId::CMDTeXT, show ? phoneWaitHint() : std::string());
}

std::optional<std::string> Form1::clientPath(const std::string& imagePath) {
  // The client takes its arguments in the ANSI code page, so a character that code page lacks
  // would reach it as '?' and the file could never be opened; and it opens files without
  // long-path support. Its short name is used instead; without one the user is asked to move the
  // file rather than shown a failure to open it.
  const std::string path = unquotePath(imagePath);
  ClientPath usable = shell_.pathForAnsiProgram(path);
  switch (usable.problem) {
    case ClientPath::Problem::none:
      return std::move(usable.path);
    case ClientPath::Problem::characters:
      shell_.messageBox(concat(texts::kPathNotUsableBefore, path, texts::kPathNotUsableAfter),
                        MessageStyle::critical, texts::kErrorTitle);
      break;
    case ClientPath::Problem::tooLong:
      shell_.messageBox(concat(texts::kPathNotUsableBefore, path, texts::kPathTooLongAfter),
                        MessageStyle::critical, texts::kErrorTitle);
      break;
  }
  return std::nullopt;
}

void Form1::Timer1_Timer() {
  if (!controls_.text(ControlId::Combo1).empty()) controls_.setEnabled(ControlId::Command1, true);
  // Output gathered while the last append was slow is shown once its time has come, also when
  // the command then falls silent.
  if (!pendingText_.empty() && clock_() - lastShown_ >= showInterval_) showPending();
  advanceDeviceList();
}

void Form1::filesDropped(const std::vector<std::string>& paths) {
  if (paths.size() == 1 && endsWithImageExtension(paths.front())) {
    controls_.setText(ControlId::Combo1, paths.front());
  }
}

// ---- help, links and exit ------------------------------------------------------------------

void Form1::openPage(std::string_view address) {
  const Failure failure =
      shell_.startProgram(concat(texts::kBrowserCommand, address), kBrowserShow);
  if (failure) {
    // The program lives on: the output box may hold a flash log the user still needs.
    shell_.messageBox(concat(texts::kLinkFailed, address, "\r\n", *failure), MessageStyle::critical,
                      texts::kErrorTitle);
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
      bootResultImage();
      break;
    default:
      break;
  }
}

void Form1::Form_Unload() {
  endProgram();
}

void Form1::endProgram() {
  // A command still waiting for a phone would flash whichever phone is connected next, long
  // after the program has gone: it ends with the program. One that is already sending or
  // writing is left to finish.
  if (MyCMD2.busy() && phoneWait_.waiting()) MyCMD2.endCommand();
  devices_.end();
  shell_.endProgram();
}

void Form1::Form_Activate() {
  if (progress_ != Progress::failed) return;
  progress_ = Progress::none;
  feedback_->setProgress(progress_);
}

}  // namespace quorlane::window
