#pragma once
// Libraries of the system, loaded only from the system folder, and the process's DLL search kept
// out of the program's folder and the current directory. A file placed beside the program (often
// the Downloads folder) under the name of a system DLL must never run inside it. And the one way
// the program looks up a library's function at run time, as the type it has.

#include <windows.h>

#include <string>

#include "win32/handles.h"

namespace quorlane::win32 {

// The system folder (System32, or SysWOW64 for a 32-bit program on 64-bit Windows), without a
// trailing backslash; empty when the system cannot say.
std::wstring systemFolder();

// Loads a library of the system from the system folder only (LOAD_LIBRARY_SEARCH_SYSTEM32, or its
// full path there where the flag is unknown); its own dependencies are searched from there too.
// Owns nothing when the system has no such library.
UniqueModule loadSystemLibrary(const wchar_t* name);

// How restrictDllSearch closed the search path.
enum class DllSearch {
  systemFolderOnly,    // SetDefaultDllDirectories: the system folder alone
  noCurrentDirectory,  // SetDllDirectoryW(L""): Windows 7 without its 2011 loader update
  unchanged,           // neither worked
};

// Makes the system folder the only place libraries loaded without a full path are searched from,
// for this process and for what the system loads on its behalf (themes, the file dialog's
// helpers). SetDefaultDllDirectories is looked up at run time: Windows 7 has it only with its
// 2011 update; without it, the current directory at least leaves the search.
DllSearch restrictDllSearch();

// An address GetProcAddress gave, as the function type it has: through the generic function
// pointer type, which converts to any other without a warning.
template <typename Function>
Function functionAs(FARPROC proc) {
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(proc));
}

// The function `name` of `module` as type `Function`; nullptr when the module (which may be
// nullptr) has no such function.
template <typename Function>
Function procAddress(HMODULE module, const char* name) {
  return module != nullptr ? functionAs<Function>(GetProcAddress(module, name)) : nullptr;
}

// How a library is found: in the system folder only, or by its base name, which for common
// controls gives version 6 from the side-by-side store, as the manifest's dependency asks (its
// full path would give the system folder's version 5; the search restrictDllSearch set keeps the
// program's folder out).
enum class LibrarySearch { systemFolder, sideBySide };

// A library the program needs only once the user asks for something (the file dialog, dropped
// files, the taskbar's progress, the window itself): loaded at the first look, not while the
// program starts, and kept until the program ends. nullptr when the system has none. For the
// window's thread only.
HMODULE keptLibrary(const wchar_t* name, LibrarySearch search = LibrarySearch::systemFolder);

// A function of such a library from the system folder; nullptr when the system has no such
// library or function.
FARPROC laterProc(const wchar_t* library, const char* name);

template <typename Function>
Function laterFunction(const wchar_t* library, const char* name) {
  return functionAs<Function>(laterProc(library, name));
}

// COM on the window's thread (a single-threaded apartment), for the taskbar's progress and the
// shell's dialogs: entered at its first need rather than while the program starts. endCom leaves
// it again, if it was entered, once the window has gone.
void enterCom();
void endCom();

}  // namespace quorlane::win32
