// A stand-in for a system DLL, placed beside a program under that DLL's name. Loaded, it leaves
// an empty file beside itself, "<its name>.<the program's name>.loaded", and nothing else.

#include <windows.h>

#include <string>

#include "common/file_name.h"
#include "win32/handles.h"

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    std::wstring path(MAX_PATH, L'\0');
    const DWORD length = GetModuleFileNameW(self, path.data(), MAX_PATH);
    std::wstring program(MAX_PATH, L'\0');
    const DWORD programLength = GetModuleFileNameW(nullptr, program.data(), MAX_PATH);
    if (length > 0 && length < MAX_PATH && programLength > 0 && programLength < MAX_PATH) {
      path.resize(length);
      program.resize(programLength);
      path += L"." + std::wstring(quorlane::fileName(program)) + L".loaded";
      // Made and closed at once.
      const quorlane::win32::UniqueFile marker(
          CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    }
  }
  return TRUE;
}
