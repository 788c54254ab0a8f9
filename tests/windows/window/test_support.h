#pragma once
// Helpers of the in-process tests of the window layer: a message pump that waits for a
// condition, a private temporary folder, files, and a recorder of the window's events.

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "win32/controls_win32.h"
#include "win32/main_window.h"
#include "window/layout.h"

namespace quorlane::wintest {

// Dispatches this thread's messages until cond holds (true) or timeoutMs has passed (false).
bool pumpUntil(const std::function<bool()>& cond, int timeoutMs = 10000);
// Dispatches what is waiting now.
void pump();

// The folder of this test program, without a trailing backslash.
std::string exeFolder();

// A fresh folder under the temporary folder, removed with everything in it at the end.
class TempFolder {
 public:
  explicit TempFolder(const std::string& name = "window");
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "\\" + name; }

 private:
  std::string path_;
};

void writeFile(const std::string& path, const std::string& bytes);
std::string currentDirectory();

class EventRecorder final : public window::WindowEvents {
 public:
  void click(window::ControlId id) override { clicks.push_back(id); }
  void Timer1_Timer() override { ++ticks; }
  void filesDropped(const std::vector<std::string>& paths) override { drops.push_back(paths); }
  void Form_Unload() override { ++closings; }

  std::vector<window::ControlId> clicks;
  int ticks = 0;
  std::vector<std::vector<std::string>> drops;
  int closings = 0;
};

// The real main window, shown, with the handlers' view of its controls and its output box.
class ShownWindowTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  std::unique_ptr<win32::MainWindow> window_;
  std::unique_ptr<win32::Win32Controls> controls_;
  HWND box_ = nullptr;
};

// The rectangle of a child in its parent's client coordinates.
RECT rectInParent(HWND child);

// Expects a control where its table row puts it at `dpi`, to the pixel.
void expectPlacedAsInTable(HWND control, const window::ControlRow& row, int dpi);

// What `paint` draws on a white width x height picture, row after row, as 0x00RRGGBB (empty when
// no picture could be made).
std::vector<std::uint32_t> drawOffscreen(int width, int height,
                                         const std::function<void(HDC)>& paint);

}  // namespace quorlane::wintest
