#pragma once
// The command runner's face on the window: its 32 x 32 console picture over a light grey
// background, stretched to the control's size at other DPIs. A window of class kClassName shows
// the face handed to it as its creation parameter.

#include <windows.h>

#include "win32/handles.h"
#include "win32/picture.h"

namespace quorlane::win32 {

struct RunnerFace {
  static constexpr const wchar_t* kClassName = L"QuorlaneRunner";

  // Loads the picture from the program's resources and makes the background brush.
  explicit RunnerFace(HINSTANCE instance);
  RunnerFace(const RunnerFace&) = delete;
  RunnerFace& operator=(const RunnerFace&) = delete;

  // Registers kClassName. Throws std::runtime_error when the class cannot be registered.
  static void registerClass(HINSTANCE instance);

  MaskedPicture picture;  // owns the bitmap and its mask
  UniqueBrush background;
};

}  // namespace quorlane::win32
