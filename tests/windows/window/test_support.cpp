#include "test_support.h"

#include <atomic>
#include <filesystem>
#include <fstream>

#include "win32/handles.h"
#include "win32/module_path.h"
#include "win32/shell_win32.h"
#include "win32/text.h"

namespace quorlane::wintest {

namespace fs = std::filesystem;

void pump() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

bool pumpUntil(const std::function<bool()>& cond, int timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);
  for (;;) {
    pump();
    if (cond()) return true;
    if (GetTickCount64() > deadline) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

std::string exeFolder() {
  return win32::narrow(win32::executableFolder());
}

TempFolder::TempFolder(const std::string& name) {
  static std::atomic<int> counter{0};
  const fs::path folder = fs::temp_directory_path() / (win32::widen("quorlane-" + name + "-") +
                                                       std::to_wstring(GetCurrentProcessId()) +
                                                       L"-" + std::to_wstring(++counter));
  fs::remove_all(folder);
  fs::create_directories(folder);
  path_ = win32::narrow(folder.wstring());
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  const fs::path folder(win32::widen(path_));
  // Clear attributes that would stop the removal (a test may hide or protect files).
  for (const auto& entry : fs::recursive_directory_iterator(folder, ignored)) {
    SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
  }
  fs::remove_all(folder, ignored);
}

void writeFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(fs::path(win32::widen(path)), std::ios::binary | std::ios::trunc);
  out << bytes;
}

std::string currentDirectory() {
  return win32::narrow(fs::current_path().wstring());
}

RECT rectInParent(HWND child) {
  RECT r;
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

std::vector<std::uint32_t> drawOffscreen(int width, int height,
                                         const std::function<void(HDC)>& paint) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  win32::WindowDC screen(nullptr);
  win32::MemoryDC memory(screen.get());
  win32::UniqueBitmap bitmap(
      CreateDIBSection(memory.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap || bits == nullptr || width <= 0 || height <= 0) return {};
  {
    win32::Selection selected(memory.get(), bitmap.get());
    RECT all{0, 0, width, height};
    FillRect(memory.get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    paint(memory.get());
    GdiFlush();
  }
  const auto* pixels = static_cast<const std::uint32_t*>(bits);
  return std::vector<std::uint32_t>(pixels, pixels + static_cast<std::size_t>(width) * height);
}

void ShownWindowTest::SetUp() {
  window_ = std::make_unique<win32::MainWindow>(GetModuleHandleW(nullptr), 1000);
  controls_ = std::make_unique<win32::Win32Controls>(window_->handle());
  window_->show();
  pump();
  box_ = window_->control(window::ControlId::CMDTeXT);
}

void ShownWindowTest::TearDown() {
  controls_.reset();
  window_.reset();
  pump();
}

void expectPlacedAsInTable(HWND control, const window::ControlRow& row, int dpi) {
  const window::TwipsRect t = window::absoluteRect(row);
  const RECT r = rectInParent(control);
  EXPECT_NEAR(r.left, t.left * dpi / 1440.0, 1);
  EXPECT_NEAR(r.top, t.top * dpi / 1440.0, 1);
  EXPECT_NEAR(r.right - r.left, t.width * dpi / 1440.0, 1);
  EXPECT_NEAR(r.bottom - r.top, t.height * dpi / 1440.0, 1);
}

}  // namespace quorlane::wintest
