#include "win32/common_controls.h"

#include "win32/system_dll.h"

namespace quorlane::win32 {

namespace {

// Version 6, which the manifest asks for.
template <typename Function>
Function commonControl(const char* name) {
  return procAddress<Function>(keptLibrary(L"comctl32.dll", LibrarySearch::sideBySide), name);
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
