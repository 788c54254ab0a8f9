#pragma once
// One owner for every Win32 handle and GDI object: std::unique_ptr with the release function of
// its kind. Kernel handles come in two kinds, told apart by the value that means "none": null for
// most (processes, threads, events, jobs: UniqueHandle), INVALID_HANDLE_VALUE for files, searches
// and snapshots (UniqueFile, UniqueFind). An owner holding its kind's "none" is empty, so
// `if (!owner)` is the one test for failure.

#include <windows.h>

#include <cstddef>
#include <memory>
#include <type_traits>

#include "common/scope_exit.h"

namespace quorlane::win32 {

// Releases a handle with the function of its kind; a null handle owns nothing.
template <auto Release>
struct Releaser {
  template <typename Handle>
  void operator()(Handle h) const {
    if (h != nullptr) Release(h);
  }
};

// The owner of a handle whose "none" is INVALID_HANDLE_VALUE: the pointer type unique_ptr keeps
// (NullablePointer), which compares equal to nullptr when it holds INVALID_HANDLE_VALUE, so the
// owner is empty then and never releases it.
template <auto Release>
struct InvalidValueReleaser {
  class pointer {
   public:
    pointer() = default;
    pointer(std::nullptr_t) {}
    pointer(HANDLE h) : h_(h == INVALID_HANDLE_VALUE ? nullptr : h) {}
    operator HANDLE() const { return h_; }
    friend bool operator==(pointer a, pointer b) { return a.h_ == b.h_; }
    friend bool operator==(pointer a, std::nullptr_t) { return a.h_ == nullptr; }

   private:
    HANDLE h_ = nullptr;
  };
  void operator()(pointer h) const { Release(h); }
};
// A window is destroyed only while it still exists: the system may have destroyed it first.
struct WindowDestroyer {
  void operator()(HWND h) const {
    if (h != nullptr && IsWindow(h)) DestroyWindow(h);
  }
};

template <typename Handle, auto Release>
using Unique = std::unique_ptr<std::remove_pointer_t<Handle>, Releaser<Release>>;

using UniqueHandle = Unique<HANDLE, CloseHandle>;  // "none" is null: CreateEvent, OpenProcess...
// "None" is INVALID_HANDLE_VALUE: CreateFileW, CreateToolhelp32Snapshot.
using UniqueFile = std::unique_ptr<void, InvalidValueReleaser<CloseHandle>>;
using UniqueFind = std::unique_ptr<void, InvalidValueReleaser<FindClose>>;  // FindFirstFileW
using UniqueFont = Unique<HFONT, DeleteObject>;
using UniqueBrush = Unique<HBRUSH, DeleteObject>;
using UniqueBitmap = Unique<HBITMAP, DeleteObject>;
using UniqueIcon = Unique<HICON, DestroyIcon>;
using UniqueModule = Unique<HMODULE, FreeLibrary>;
// A buffer the system allocated with LocalAlloc for the caller (FormatMessageW).
template <typename T>
using UniqueLocal = std::unique_ptr<T, Releaser<LocalFree>>;
using UniqueWindow = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDestroyer>;

// A window's device context, released to its window.
class WindowDC {
 public:
  explicit WindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~WindowDC() {
    if (dc_ != nullptr) ReleaseDC(window_, dc_);
  }
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// A memory device context compatible with another one.
class MemoryDC {
 public:
  explicit MemoryDC(HDC compatibleWith) : dc_(CreateCompatibleDC(compatibleWith)) {}
  ~MemoryDC() {
    if (dc_ != nullptr) DeleteDC(dc_);
  }
  MemoryDC(const MemoryDC&) = delete;
  MemoryDC& operator=(const MemoryDC&) = delete;
  HDC get() const { return dc_; }

 private:
  HDC dc_;
};

// Selects an object into a device context and puts the previous one back.
class Selection {
 public:
  Selection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  ~Selection() {
    if (previous_ != nullptr && previous_ != HGDI_ERROR) SelectObject(dc_, previous_);
  }
  Selection(const Selection&) = delete;
  Selection& operator=(const Selection&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// BeginPaint / EndPaint.
class Paint {
 public:
  explicit Paint(HWND window) : window_(window) { dc_ = BeginPaint(window, &ps_); }
  ~Paint() { EndPaint(window_, &ps_); }
  Paint(const Paint&) = delete;
  Paint& operator=(const Paint&) = delete;
  HDC dc() const { return dc_; }
  const RECT& area() const { return ps_.rcPaint; }

 private:
  HWND window_;
  PAINTSTRUCT ps_{};
  HDC dc_ = nullptr;
};

}  // namespace quorlane::win32
