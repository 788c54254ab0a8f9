#pragma once
// One owner for every Win32 handle and GDI object: std::unique_ptr with the release function of
// its kind. A null (or, for the kinds that use it, INVALID_HANDLE_VALUE) handle owns nothing.

#include <shellapi.h>
#include <windows.h>

#include <memory>
#include <type_traits>

#include "platform/scope_exit.h"

namespace quorlane::win32 {

struct KernelCloser {
  void operator()(HANDLE h) const {
    if (h != nullptr && h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
};
struct FindCloser {
  void operator()(HANDLE h) const {
    if (h != nullptr && h != INVALID_HANDLE_VALUE) FindClose(h);
  }
};
struct GdiDeleter {
  void operator()(HGDIOBJ h) const {
    if (h != nullptr) DeleteObject(h);
  }
};
struct IconDestroyer {
  void operator()(HICON h) const {
    if (h != nullptr) DestroyIcon(h);
  }
};
struct ModuleFreer {
  void operator()(HMODULE h) const {
    if (h != nullptr) FreeLibrary(h);
  }
};
struct DropFinisher {
  void operator()(HDROP h) const {
    if (h != nullptr) DragFinish(h);
  }
};
struct LocalFreer {
  void operator()(void* p) const {
    if (p != nullptr) LocalFree(p);
  }
};
struct WindowDestroyer {
  void operator()(HWND h) const {
    if (h != nullptr && IsWindow(h)) DestroyWindow(h);
  }
};

using UniqueHandle = std::unique_ptr<void, KernelCloser>;
using UniqueFind = std::unique_ptr<void, FindCloser>;
using UniqueFont = std::unique_ptr<std::remove_pointer_t<HFONT>, GdiDeleter>;
using UniqueBrush = std::unique_ptr<std::remove_pointer_t<HBRUSH>, GdiDeleter>;
using UniqueBitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, GdiDeleter>;
using UniqueIcon = std::unique_ptr<std::remove_pointer_t<HICON>, IconDestroyer>;
using UniqueModule = std::unique_ptr<std::remove_pointer_t<HMODULE>, ModuleFreer>;
using UniqueDrop = std::unique_ptr<std::remove_pointer_t<HDROP>, DropFinisher>;
// A buffer the system allocated with LocalAlloc for the caller (FormatMessageW,
// CommandLineToArgvW).
template <typename T>
using UniqueLocal = std::unique_ptr<T, LocalFreer>;
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
