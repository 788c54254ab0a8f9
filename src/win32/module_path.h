#pragma once
// Where a loaded module (this program by default) lies on disk, and the process's current
// directory.

#include <windows.h>

#include <string>

namespace quorlane::win32 {

// The full path of a loaded module's file; empty when the system cannot say.
std::wstring modulePath(HMODULE module = nullptr);

// The folder of this program's executable, without a trailing backslash.
std::wstring executableFolder();

// The process's current directory; empty when the system cannot say.
std::wstring currentDirectory();

}  // namespace quorlane::win32
