#include "win32/system_dll.h"

#include <objbase.h>

#include <utility>
#include <vector>

namespace quorlane::win32 {

namespace {

using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);

// Whether enterCom has been called, and whether COM was entered then.
bool comTried = false;
bool comEntered = false;

}  // namespace

std::wstring systemFolder() {
  const UINT needed = GetSystemDirectoryW(nullptr, 0);
  if (needed == 0) return {};
  std::wstring folder(needed, L'\0');
  const UINT got = GetSystemDirectoryW(folder.data(), needed);
  if (got == 0 || got >= needed) return {};
  folder.resize(got);
  while (!folder.empty() && folder.back() == L'\\') folder.pop_back();
  return folder;
}

UniqueModule loadSystemLibrary(const wchar_t* name) {
  // The system folder alone, for the library and its dependencies.
  if (HMODULE module = LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) {
    return UniqueModule(module);
  }
  // Windows 7 without its 2011 loader update refuses the flag: the full path instead.
  if (GetLastError() != ERROR_INVALID_PARAMETER) return UniqueModule();
  const std::wstring folder = systemFolder();
  if (folder.empty()) return UniqueModule();
  const std::wstring path = folder + L"\\" + name;
  // A full path: the library itself is never searched for. The altered search order looks for
  // its dependencies in its own folder, the system folder, first.
  return UniqueModule(LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
}

DllSearch restrictDllSearch() {
  // kernel32 is loaded in every process: looking it up loads nothing.
  if (HMODULE kernel = GetModuleHandleW(L"kernel32.dll")) {
    const auto setDefault =
        procAddress<SetDefaultDllDirectoriesFunction>(kernel, "SetDefaultDllDirectories");
    if (setDefault != nullptr && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) {
      return DllSearch::systemFolderOnly;
    }
  }
  return SetDllDirectoryW(L"") ? DllSearch::noCurrentDirectory : DllSearch::unchanged;
}

HMODULE keptLibrary(const wchar_t* name, LibrarySearch search) {
  // Each library loaded once, owned here until the program ends.
  static std::vector<std::pair<std::wstring, UniqueModule>> loaded;
  for (const auto& [loadedName, module] : loaded) {
    if (loadedName == name) return module.get();
  }
  loaded.emplace_back(name, search == LibrarySearch::systemFolder
                                ? loadSystemLibrary(name)
                                : UniqueModule(LoadLibraryW(name)));
  return loaded.back().second.get();
}

FARPROC laterProc(const wchar_t* library, const char* name) {
  return procAddress<FARPROC>(keptLibrary(library), name);
}

void enterCom() {
  if (comTried) return;
  comTried = true;
  const auto initialize = laterFunction<decltype(&CoInitializeEx)>(L"ole32.dll", "CoInitializeEx");
  comEntered = initialize != nullptr && SUCCEEDED(initialize(nullptr, COINIT_APARTMENTTHREADED));
}

void endCom() {
  if (!comEntered) return;
  comEntered = false;
  if (const auto uninitialize =
          laterFunction<decltype(&CoUninitialize)>(L"ole32.dll", "CoUninitialize")) {
    uninitialize();
  }
}

}  // namespace quorlane::win32
