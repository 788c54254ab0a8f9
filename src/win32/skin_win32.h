#pragma once
// The skin library on Windows: loaded once by its full path, kept loaded for the program's life;
// its two functions take their texts in the ANSI code page.

#include <windows.h>

#include <map>
#include <string>
#include <variant>

#include "ports/window.h"
#include "win32/handles.h"

namespace quorlane::win32 {

class Win32Skin final : public window::Skin {
 public:
  window::Failure setAero(std::string_view libraryPath, int value) override;
  window::Failure attach(std::string_view libraryPath, std::string_view skinFile,
                         std::string_view password) override;

 private:
  // The loaded library, or why it could not be loaded.
  std::variant<HMODULE, std::string> library(std::string_view libraryPath);
  // The entry point, or why it is not there.
  std::variant<FARPROC, std::string> entry(std::string_view libraryPath, const char* name);

  std::map<std::wstring, UniqueModule> loaded_;
};

}  // namespace quorlane::win32
