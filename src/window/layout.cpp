#include "window/layout.h"

#include <array>
#include <stdexcept>

namespace quorlane::window {

namespace {

constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kBlue{0, 0, 255};
constexpr Font kPathFont{"楷体_GB2312", 12, 400, 134};

using enum ControlId;
using enum Kind;

constexpr std::string_view kSteps =
    "线刷正确步骤：\r\n"
    "1、进入FastBoot模式并且连接手机数据线。\r\n"
    "2、选择正确的Recovery线刷包，格式为.IMG\r\n"
    "   格式，一般卡刷包或者线刷包都有的。\r\n"
    "3、点击 开始 按钮开始线刷，等待操作完成。";

// In creation order; the tab order follows the tab index.
const std::array<ControlRow, 23> kControls = {{
    {Frame1, "Frame1", frame, none, "自定义Recovery线刷", 120, 120, 8055, 3015, 9, kRed},
    {Combo1, "Combo1", combo, Frame1, "", 120, 240, 4215, 360, 11, std::nullopt, true, false, false,
     true, kPathFont},
    {Command3, "Command3", button, Frame1, "选择(&A)", 4440, 240, 1095, 375, 13},
    {Command1, "Command1", button, Frame1, "开始(&B)", 5640, 240, 1095, 375, 14, std::nullopt,
     false},
    {Command4, "Command4", button, Frame1, "退出(&C)", 6840, 240, 1095, 375, 12},
    {CMDTeXT, "CMDTeXT", edit, Frame1, "", 120, 720, 7815, 2055, 10, std::nullopt, true, true,
     true},
    {Frame2, "Frame2", frame, none, "Recovery本地线刷包合集", 120, 3240, 8055, 735, 15, kRed},
    {Command7, "Command7", button, Frame2, "官方2/2S Recovery 2.0.1", 120, 240, 2535, 375, 16},
    {Command8, "Command8", button, Frame2, "红米CWM Recovery 触屏版", 2760, 240, 2535, 375, 17},
    {Command9, "Command9", button, Frame2, "CWM Recovery 中文触屏版", 5400, 240, 2535, 375, 18},
    {Label6, "Label6", label, none, "注意：运行本程序时，请不要同时连接多部手机。", 120, 4080, 3975,
     375, 20, kRed},
    {Label3, "Label3", label, none, "手机请在 FastBoot 模式下使用本程序。", 4320, 4080, 3975, 375,
     2, kBlue},
    {Label2, "Label2", label, none, "作者QQ：12345678", 120, 4440, 1695, 375, 0, kRed},
    {Label1, "Label1", label, none, "另诚信出售七位QQ", 1800, 4440, 1695, 375, 7, kRed},
    {Label4, "Label4", label, none, "如果程序遇到错误或者有什么问题，请联系作者。", 4320, 4440,
     4095, 375, 3, kBlue},
    {Label5, "Label5", label, none, kSteps, 120, 4800, 4095, 1215, 4, kBlue},
    {Command2, "Command2", button, none, "线刷资源下载", 4320, 4800, 1575, 375, 5},
    {Command5, "Command5", button, none, "Veltria", 6480, 4800, 1575, 375, 6},
    {Command10, "Command10", button, none, "进入FastBoot方法", 4320, 5280, 1575, 375, 19},
    {Command6, "Command6", button, none, "常见问题解答", 6480, 5280, 1575, 375, 8},
    // Holds the flash command prefix out of sight. Read-only and out of the tab order, so that
    // keys typed before the first click cannot change the command of every later flash.
    {Text2, "Text2", edit, none, "fastboot flash recovery ", 840, 6480, 3135, 375, 1, std::nullopt,
     true, false, true, false},
    {MyCMD2, "MyCMD2", runner, none, "", 5280, 5880, 480, 480, -1, std::nullopt, true, false, false,
     false},
    {MyCMD1, "MyCMD1", runner, none, "", 6240, 5760, 480, 480, -1, std::nullopt, true, false, false,
     false},
}};

constexpr FormLayout kForm{"QuorlaneBeta1 -- Tessivo", 8325, 6015};

}  // namespace

const FormLayout& form() {
  return kForm;
}

std::span<const ControlRow> controls() {
  return kControls;
}

const ControlRow& control(ControlId id) {
  for (const auto& c : kControls) {
    if (c.id == id) return c;
  }
  throw std::out_of_range("no such control");
}

TwipsRect absoluteRect(const ControlRow& row) {
  TwipsRect r{row.left, row.top, row.width, row.height};
  if (row.container != ControlId::none) {
    const ControlRow& frame = control(row.container);
    r.left += frame.left;
    r.top += frame.top;
  }
  return r;
}

int twipsToPixels(int twips, int dpi) {
  // Round half away from zero, so that 15 twips are one pixel at 96 DPI and 7 twips are none.
  const long long scaled = static_cast<long long>(twips) * dpi;
  const long long half = 720;
  return static_cast<int>(scaled >= 0 ? (scaled + half) / 1440 : -((-scaled + half) / 1440));
}

}  // namespace quorlane::window
