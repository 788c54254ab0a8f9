#include "win32/skin_win32.h"

#include "common/file_name.h"
#include "common/texts.h"
#include "win32/shell_win32.h"
#include "win32/system_dll.h"
#include "win32/text.h"

namespace quorlane::win32 {

namespace {

using SetAeroFunction = int(WINAPI*)(int);
using AttachExFunction = int(WINAPI*)(const char* skinFile, const char* password);

}  // namespace

std::variant<HMODULE, std::string> Win32Skin::library(std::string_view libraryPath) {
  const std::wstring path = widen(libraryPath);
  if (auto it = loaded_.find(path); it != loaded_.end()) return it->second.get();
  // By the full path only: the altered search order looks for the library's own dependencies
  // beside it, and never searches for the library itself.
  UniqueModule module(LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
  if (!module) return errorDescription(GetLastError());
  HMODULE handle = module.get();
  loaded_.emplace(path, std::move(module));
  return handle;
}

std::variant<FARPROC, std::string> Win32Skin::entry(std::string_view libraryPath,
                                                    const char* name) {
  auto module = library(libraryPath);
  if (auto* error = std::get_if<std::string>(&module)) return *error;
  FARPROC proc = GetProcAddress(std::get<HMODULE>(module), name);
  if (proc == nullptr) {
    return texts::concat(texts::kNoEntryBefore, fileName(libraryPath), texts::kNoEntryMiddle, name,
                         texts::kNoEntryAfter, errorDescription(ERROR_PROC_NOT_FOUND));
  }
  return proc;
}

window::Failure Win32Skin::setAero(std::string_view libraryPath, int value) {
  auto proc = entry(libraryPath, "SkinH_SetAero");
  if (auto* error = std::get_if<std::string>(&proc)) return *error;
  (void)functionAs<SetAeroFunction>(std::get<FARPROC>(proc))(value);
  return std::nullopt;
}

window::Failure Win32Skin::attach(std::string_view libraryPath, std::string_view skinFile,
                                  std::string_view password) {
  auto proc = entry(libraryPath, "SkinH_AttachEx");
  if (auto* error = std::get_if<std::string>(&proc)) return *error;
  const std::string file = toCodePage(CP_ACP, skinFile);
  const std::string key = toCodePage(CP_ACP, password);
  (void)functionAs<AttachExFunction>(std::get<FARPROC>(proc))(file.c_str(), key.c_str());
  return std::nullopt;
}

}  // namespace quorlane::win32
