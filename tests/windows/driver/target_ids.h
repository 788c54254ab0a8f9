#pragma once
// What the driver's test window shows, shared by the window and the tests that drive it.

#include <windows.h>

namespace quorlane::gui::target {

inline constexpr const char* kTitle = "驱动测试窗口";
inline constexpr const wchar_t* kTitleW = L"驱动测试窗口";
inline constexpr const char* kMainClass = "QuorlaneDriverTarget";
inline constexpr const wchar_t* kMainClassW = L"QuorlaneDriverTarget";
inline constexpr const char* kInfoTitle = "提示标题";
inline constexpr const wchar_t* kInfoTitleW = L"提示标题";
inline constexpr const char* kInfoPrompt = "操作已完成。\n第二行";
inline constexpr const wchar_t* kInfoPromptW = L"操作已完成。\n第二行";

inline constexpr int kClientWidth = 400;
inline constexpr int kClientHeight = 300;
inline constexpr int kExitCode = 7;

// Control ids; all but the frame sit inside the frame.
inline constexpr int kFrame = 100;
inline constexpr int kInfoButton = 1001;  // MessageBox with MB_ICONINFORMATION
inline constexpr int kAskButton = 1002;   // MessageBox MB_YESNO, no icon
inline constexpr int kOpenButton = 1003;  // GetOpenFileNameW
inline constexpr int kDisabledButton = 1004;
inline constexpr int kQuitButton = 1005;  // ends with kExitCode
inline constexpr int kHiddenButton = 1006;
inline constexpr int kStatusEdit = 1010;  // current folder, then "msgbox:<result>", the chosen
                                          // path or "<cancel CommDlgExtendedError>"
inline constexpr int kInputEdit = 1011;   // the command-line arguments at start

// Rectangles: the frame in the main window's client area, the info button in the frame's.
inline constexpr RECT kFrameRect{10, 10, 390, 290};
inline constexpr RECT kInfoRect{20, 30, 120, 58};

}  // namespace quorlane::gui::target
