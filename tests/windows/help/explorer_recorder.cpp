// Stands in for EXPLORER.EXE in the program's folder, which the platform searches first: appends
// the command line it was started with (UTF-8) and a line break to explorer.log beside itself.

#include <windows.h>

#include <string>

#include "win32/handles.h"

int wmain() {
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring log = self;
  log = log.substr(0, log.find_last_of(L'\\')) + L"\\explorer.log";

  const wchar_t* line = GetCommandLineW();
  const int n = WideCharToMultiByte(CP_UTF8, 0, line, -1, nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<std::size_t>(n > 0 ? n - 1 : 0), '\0');
  WideCharToMultiByte(CP_UTF8, 0, line, -1, text.data(), n, nullptr, nullptr);
  text += "\n";

  const quorlane::win32::UniqueFile file(CreateFileW(log.c_str(), FILE_APPEND_DATA,
                                                     FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                                     OPEN_ALWAYS, 0, nullptr));
  if (!file) return 1;
  DWORD written = 0;
  WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  return 0;
}
