#pragma once
// How an image path becomes part of the flash command line that runs through cmd /c.

#include <string>

namespace quorlane::window {

// The path as one argument for the command interpreter: unchanged when it holds nothing the
// interpreter treats specially, otherwise in double quotes, with every % kept out of the
// interpreter's variable expansion. Quotes around a pasted path are taken off first.
std::string quoteImagePath(std::string path);

// The path as the user meant it, the way the system would open it: without the blanks and line
// breaks a pasted path may carry around it, without one pair of double quotes around it, with
// forward slashes as backslashes, and without the blanks and dots at its end that the system
// drops when it opens a file.
std::string unquotePath(std::string path);

}  // namespace quorlane::window
