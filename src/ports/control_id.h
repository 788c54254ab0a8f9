#pragma once
// The ids of the main window's controls: how the handlers, the ports and the Windows layer name a
// control. The control table in window/layout.h describes each of them.

namespace quorlane::window {

// Control ids stay clear of 1001, the id a combo box gives its own edit field, so that every id
// names exactly one window of the main window's tree.
enum class ControlId : int {
  none = 0,
  Command1 = 2001,  // 开始 (Start)
  Command2,         // 线刷资源下载 (download page)
  Command3,         // 选择 (Select)
  Command4,         // 退出 (Exit)
  Command5,         // shop page
  Command6,         // 常见问题解答 (FAQ page)
  Command7,         // built-in image 1
  Command8,         // built-in image 2
  Command9,         // built-in image 3
  Command10,        // 进入FastBoot方法 (how to enter fastboot)
  Label1 = 2101,
  Label2,
  Label3,
  Label4,
  Label5,
  Label6,
  Frame1 = 2201,
  Frame2,
  Combo1 = 2301,  // image path
  Text2,          // flash command prefix, below the client area
  CMDTeXT,        // output box
  MyCMD1 = 2401,
  MyCMD2,
  // Not in the table: the buttons of the result panel that the feedback shows over the output
  // box (the panels themselves are 2501 and 2502), the first and the second.
  ResultAction = 2503,
  ResultAction2 = 2504,
};

}  // namespace quorlane::window
