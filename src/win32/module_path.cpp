#include "win32/module_path.h"

namespace quorlane::win32 {

std::wstring modulePath(HMODULE module) {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD got = GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
    if (got == 0) return {};
    if (got < path.size()) {
      path.resize(got);
      return path;
    }
    path.resize(path.size() * 2);  // truncated: try a larger buffer
  }
}

std::wstring executableFolder() {
  std::wstring path = modulePath();
  const auto slash = path.find_last_of(L"\\/");
  path.resize(slash == std::wstring::npos ? 0 : slash);
  return path;
}

std::wstring currentDirectory() {
  const DWORD needed = GetCurrentDirectoryW(0, nullptr);
  if (needed == 0) return {};
  std::wstring dir(needed, L'\0');
  const DWORD got = GetCurrentDirectoryW(needed, dir.data());
  dir.resize(got < needed ? got : 0);
  return dir;
}

}  // namespace quorlane::win32
