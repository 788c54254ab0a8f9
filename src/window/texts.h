#pragma once
// The fixed texts, commands and addresses of the main window.

#include <array>
#include <string_view>

#include "window/ports.h"

namespace quorlane::window::texts {

inline constexpr std::string_view kDeviceQuery = "fastboot devices";
inline constexpr std::array<std::string_view, 3> kComponents = {"fastboot.exe", "AdbWinUsbApi.dll",
                                                                "AdbWinApi.dll"};
inline constexpr std::string_view kSkinLibrary = "Config.dll";
inline constexpr std::string_view kSkinFile = "Config.INI";
// The failure path looks for the skin file under this spelling; the search ignores case.
inline constexpr std::string_view kSkinFileChecked = "Config.ini";

inline constexpr std::string_view kMissingBefore = "没有找到 ";
inline constexpr std::string_view kMissingAfter =
    " ，因此这个应用程序未能启动。重新安装应用程序可能修复此问题。";
inline constexpr std::string_view kMissingTitleAfter = ".exe  - 无法找到组件";
inline constexpr std::string_view kStartupErrorPrefix = "错误信息：";
inline constexpr std::string_view kErrorTitle = "错误";

inline constexpr std::string_view kImageFilter = "Recovery线刷包(*.img)|*.img|";
inline constexpr bool kImageDialogOverwritePrompt = true;
// Shown instead of running the flash when the client could not open the image: its path holds
// characters the ANSI code page cannot represent and the file has no short name.
inline constexpr std::string_view kPathNotUsableBefore = "fastboot 无法打开这个镜像文件：\r\n";
inline constexpr std::string_view kPathNotUsableAfter =
    "\r\n\r\n它的路径里有系统编码无法表示的字符。请把它移到名称只含中文或英文字符的文件夹里"
    "（文件名也一样），再选择它。";
// The same, when the path is longer than the client can open (260 characters) and has no short
// form that is not.
inline constexpr std::string_view kPathTooLongAfter =
    "\r\n\r\n它的路径太长（超过 260 个字符），fastboot 打不开。请把它移到路径较短的文件夹里"
    "（例如 D:\\img），再选择它。";
inline constexpr std::array<std::string_view, 3> kBuiltInImages = {
    "RE\\recovery1.img", "RE\\recovery2.img", "RE\\recovery3.img"};

inline constexpr std::string_view kInstructionsTitle = "进入FastBoot方法";
inline constexpr std::string_view kInstructions =
    "先重启手机，然后在手机关机的时候，安装 音量减 键，再按住关机\r\n"
    "键，然后手机会不断重启，在手机关闭后立即松开关机键，然后会进\r\n"
    "入FastBoot，一个米兔在修安卓机器人的图案。";

// The web pages behind the three link buttons. A distributor sets the shop's address here; the
// one below is a placeholder under a domain reserved for examples and leads nowhere.
inline constexpr std::string_view kDownloadPage =
    "https://developer.android.com/tools/releases/platform-tools";
inline constexpr std::string_view kQuestionsPage =
    "https://source.android.com/docs/setup/test/flash";
inline constexpr std::string_view kShopPage = "https://veltria.example.com/";
inline constexpr std::string_view kBrowserCommand = "EXPLORER ";
inline constexpr Show kBrowserShow = Show::minimized;
inline constexpr std::string_view kLinkFailed = "无法打开网页 ";

}  // namespace quorlane::window::texts
