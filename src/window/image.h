#pragma once
// An image the user chose to flash or to start from memory.

#include <optional>
#include <string>

namespace quorlane::window {

struct Image {
  // The path as given: typed, chosen, dropped or pasted, or a built-in one beside the program.
  std::string path;
  // The file name of a built-in image (recovery1.img, ...); nothing for a path the user chose.
  std::optional<std::string> builtInName;
};

}  // namespace quorlane::window
