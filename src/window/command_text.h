#pragma once
// How an image path becomes part of the flash command line that runs through cmd /c.

#include <string>

namespace quorlane::window {

// The path as one argument for the command interpreter: unchanged when it holds nothing the
// interpreter treats specially, otherwise in double quotes, with every % kept out of the
// interpreter's variable expansion. Quotes around a pasted path are taken off first.
std::string quoteImagePath(std::string path);

// The path without the double quotes a pasted path may carry around it.
std::string unquotePath(std::string path);

}  // namespace quorlane::window
