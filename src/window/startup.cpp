#include "window/startup.h"

#include "common/texts.h"

namespace quorlane::window {

using texts::concat;

bool Startup::prepare() {
  const std::string folder = shell_.applicationPath();
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
    failed(*failure);
    return false;
  }

  // Every command runs in the executable's folder, so it finds the fastboot.exe that was just
  // checked and the built-in images beside it, wherever the program was started from.
  shell_.setCurrentDirectory(folder);
  return true;
}

void Startup::missingComponent(std::string_view fileName) {
  shell_.messageBox(concat(texts::kMissingBefore, fileName, texts::kMissingAfter),
                    MessageStyle::critical,
                    concat(shell_.executableName(), texts::kMissingTitleAfter));
  shell_.endProgram();
}

void Startup::failed(const std::string& description) {
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

}  // namespace quorlane::window
