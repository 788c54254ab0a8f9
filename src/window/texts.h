#pragma once
// The fixed texts, commands and addresses of the main window.

#include <array>
#include <string_view>

#include "ports/window.h"

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
// Shown instead of a flash while the device list holds several phones: the client would write to
// whichever it finds first. The serials come between the two parts, one a line.
inline constexpr std::string_view kSeveralPhonesTitle = "连接了多部手机";
inline constexpr std::string_view kSeveralPhonesBefore =
    "现在有多部手机处于 FastBoot 模式：\r\n\r\n";
inline constexpr std::string_view kSeveralPhonesAfter =
    "\r\n为了不把镜像刷进别的手机，这次什么也没有刷入。请只连接要刷入的那一部手机，再试一次。";
inline constexpr std::array<std::string_view, 3> kBuiltInImages = {
    "RE\\recovery1.img", "RE\\recovery2.img", "RE\\recovery3.img"};

// Starts an image once from the phone's memory, writing nothing; the image path follows.
inline constexpr std::string_view kBootCommand = "fastboot boot ";

// The result panel after a command, by what it came to.
inline constexpr std::string_view kResultFlashed =
    "刷入成功。现在请直接让手机进入 Recovery（按键因机型而异，常见的是“音量加 + 电源键”），"
    "不要先正常开机：很多手机正常开机一次，就会把原来的 Recovery 装回去。";
inline constexpr std::string_view kResultNoRecovery =
    "这台手机没有 recovery 分区，什么也没有写入（A/B 分区的手机和多数 Android 11 以后的手机，"
    "Recovery 在 boot 或 vendor_boot 里）。可以点右边的按钮，把这个镜像从内存启动一次，"
    "不写入手机。";
inline constexpr std::string_view kResultBootButton = "从内存启动(&R)";
inline constexpr std::string_view kResultBooted =
    "手机正在从内存启动这个 Recovery，手机里什么也没有写入。想一直保留它，可以在这个 Recovery "
    "里安装它（如果它提供这个功能）。";
inline constexpr std::string_view kResultCannotBoot =
    "这台手机的 Bootloader 不能从电脑启动镜像，什么也没有写入。请使用为这个机型准备的刷入方法。";
inline constexpr std::string_view kResultLocked =
    "手机的 Bootloader 已上锁，什么也没有写入。解锁要用手机厂商自己的工具，"
    "解锁会清除手机上的全部数据。";
inline constexpr std::string_view kResultTooLarge =
    "镜像太大，放不进这台手机的 Recovery 分区：它是为别的机型制作的。"
    "请换用为这个机型制作的镜像。";
inline constexpr std::string_view kResultConnectionBroke =
    "传输中 USB 连接断开了。请让手机保持在 FastBoot 模式，换一根数据线，插到电脑机箱后面的 "
    "USB 口（不要用集线器），再重新刷入。";
inline constexpr std::string_view kResultNotOpenedBefore = "fastboot 打不开镜像文件：";
inline constexpr std::string_view kResultNotOpenedAfter =
    "\r\n请确认文件还在原处、没有被别的程序占用，再重新刷入。";
inline constexpr std::string_view kResultFlashFailed = "刷入没有完成。";
inline constexpr std::string_view kResultBootFailed = "从内存启动没有完成。";
inline constexpr std::string_view kResultQueryFailed = "查找手机没有完成。";
inline constexpr std::string_view kResultReasonBefore = "fastboot 报告：\r\n";
inline constexpr std::string_view kResultNoReason = "fastboot 没有说明原因。";
inline constexpr std::string_view kResultNoPhone =
    "没有找到 FastBoot 模式的手机。请检查：手机屏幕上是不是 FastBoot 画面；数据线是否连好"
    "（有的线只能充电），或换一个 USB 口；“设备管理器”里有没有带黄色感叹号的 Android 设备"
    "（有的话要装 USB 驱动）。";
inline constexpr std::string_view kResultSeveralBefore = "连接了 ";
inline constexpr std::string_view kResultSeveralMiddle = " 部 FastBoot 模式的手机：";
inline constexpr std::string_view kResultSerialSeparator = "、";
inline constexpr std::string_view kResultSeveralAfter = "。请只连接要刷入的那一部，拔掉其他的。";

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
