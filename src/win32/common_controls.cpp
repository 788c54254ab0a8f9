#include "win32/common_controls.h"

#include "win32/handles.h"
#include "win32/system_dll.h"

namespace quorlane::win32 {

namespace {

// Loaded by its base name, as an import is: the manifest's dependency then gives version 6 from
// the side-by-side store (a full path would give version 5 of the system folder), and the search
// restrictDllSearch set keeps the program's folder out. Loaded once, kept until the program ends.
HMODULE library() {
  static const UniqueModule comctl32(LoadLibraryW(L"comctl32.dll"));
  return comctl32.get();
}

template <typename Function>
Function commonControl(const char* name) {
  return procAddress<Function>(library(), name);
}

}  // namespace

void initCommonControls() {
  static const auto initialize =
      commonControl<decltype(&InitCommonControlsEx)>("InitCommonControlsEx");
  if (initialize == nullptr) return;
  INITCOMMONCONTROLSEX classes{};
  classes.dwSize = sizeof(classes);
  classes.dwICC = ICC_STANDARD_CLASSES;
  initialize(&classes);
}

BOOL setWindowSubclass(HWND window, SUBCLASSPROC proc, UINT_PTR id, DWORD_PTR data) {
  static const auto set = commonControl<decltype(&SetWindowSubclass)>("SetWindowSubclass");
  return set != nullptr ? set(window, proc, id, data) : FALSE;
}

BOOL removeWindowSubclass(HWND window, SUBCLASSPROC proc, UINT_PTR id) {
  static const auto remove = commonControl<decltype(&RemoveWindowSubclass)>("RemoveWindowSubclass");
  return remove != nullptr ? remove(window, proc, id) : FALSE;
}

LRESULT CALLBACK defSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // Only ever called for a window that setWindowSubclass subclassed, so the library has it.
  static const auto next = commonControl<decltype(&DefSubclassProc)>("DefSubclassProc");
  return next(window, message, wParam, lParam);
}

}  // namespace quorlane::win32
