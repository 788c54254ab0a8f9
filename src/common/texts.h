#pragma once
// Every text the program shows, in one place, with the fixed commands, file names and addresses
// it uses. A distributor who changes a wording or the shop's address does it here.

#include <array>
#include <string>
#include <string_view>

namespace quorlane::texts {

// The texts joined into one, as a message made of fixed parts and a path or a name.
template <typename... Parts>
std::string concat(const Parts&... parts) {
  std::string joined;
  (joined.append(std::string_view(parts)), ...);
  return joined;
}

// ---- the window and its controls -------------------------------------------------------------

inline constexpr std::string_view kFormCaption = "QuorlaneBeta1 -- Tessivo";
inline constexpr std::string_view kFrame1 = "自定义Recovery线刷";
inline constexpr std::string_view kCommand3 = "选择(&A)";
inline constexpr std::string_view kCommand1 = "开始(&B)";
inline constexpr std::string_view kCommand4 = "退出(&C)";
inline constexpr std::string_view kFrame2 = "Recovery本地线刷包合集";
inline constexpr std::string_view kCommand7 = "官方2/2S Recovery 2.0.1";
inline constexpr std::string_view kCommand8 = "红米CWM Recovery 触屏版";
inline constexpr std::string_view kCommand9 = "CWM Recovery 中文触屏版";
inline constexpr std::string_view kLabel6 = "注意：运行本程序时，请不要同时连接多部手机。";
inline constexpr std::string_view kLabel3 = "手机请在 FastBoot 模式下使用本程序。";
inline constexpr std::string_view kLabel2 = "作者QQ：12345678";
inline constexpr std::string_view kLabel1 = "另诚信出售七位QQ";
inline constexpr std::string_view kLabel4 = "如果程序遇到错误或者有什么问题，请联系作者。";
inline constexpr std::string_view kLabel5 =
    "线刷正确步骤：\r\n"
    "1、进入FastBoot模式并且连接手机数据线。\r\n"
    "2、选择正确的Recovery线刷包，格式为.IMG\r\n"
    "   格式，一般卡刷包或者线刷包都有的。\r\n"
    "3、点击 开始 按钮开始线刷，等待操作完成。";
inline constexpr std::string_view kCommand2 = "线刷资源下载";
inline constexpr std::string_view kCommand5 = "Veltria";
inline constexpr std::string_view kCommand10 = "进入FastBoot方法";
inline constexpr std::string_view kCommand6 = "常见问题解答";
// Text2's text: the command every flash begins with.
inline constexpr std::string_view kFlashCommand = "fastboot flash recovery ";

// ---- the command runner's refusals -----------------------------------------------------------

inline constexpr std::string_view kEmptyCommand = "请先输入命令";
inline constexpr std::string_view kBusy = "系统正忙请稍候..";
inline constexpr std::string_view kStartFailed = "错误";

// ---- start-up ---------------------------------------------------------------------------------

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
    "\r\n\r\nfastboot 无法处理它路径里的某些字符（例如表情符号或一些外文字符）。请把它移到名称"
    "只有中文、英文字母和数字的文件夹里（文件名也一样），再选择它。";
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
// Shown instead of a command that writes to or starts a phone when the list of phones could not
// be known in time: the phones keep coming and going, or the client does not answer.
inline constexpr std::string_view kListUnknownTitle = "无法确定连接的手机";
inline constexpr std::string_view kListUnknown =
    "现在无法确定连接了哪些手机：手机还在接入或断开，或者 fastboot 没有回答。\r\n\r\n"
    "为了不刷错手机，这次什么也没有运行。请稍等片刻，再点一次。";
// ---- the look at an image before it is flashed -----------------------------------------------
// A path or a name comes between the parts of a message.

inline constexpr std::string_view kImageStopTitle = "无法刷入";
inline constexpr std::string_view kImageAskTitle = "确认刷入";
inline constexpr std::string_view kNoImageChosen =
    "还没有选择要刷入的 Recovery 镜像文件。\r\n\r\n请点“选择”选中 .img 文件，或把它拖到窗口上。";
inline constexpr std::string_view kBuiltInMissingBefore = "找不到内置的 Recovery 镜像：\r\n";
inline constexpr std::string_view kBuiltInMissingMiddle =
    "\r\n\r\n软件包里没有附带镜像。请把适用于这台手机型号的 Recovery 镜像放进程序旁边的 "
    "RE 文件夹，并命名为 ";
inline constexpr std::string_view kBuiltInMissingAfter = "。";
inline constexpr std::string_view kImageMissingBefore = "找不到要刷入的镜像文件：\r\n";
inline constexpr std::string_view kImageMissingAfter =
    "\r\n\r\n请检查路径是否正确，或点“选择”重新选择文件。";
inline constexpr std::string_view kImageIsFolder = "这是一个文件夹，不是镜像文件，不能刷入：\r\n";
// The system's reason follows the path.
inline constexpr std::string_view kImageUnreadable = "无法读取镜像文件：\r\n";
inline constexpr std::string_view kImageIsDeviceBefore = "这不是镜像文件，不能刷入：\r\n";
inline constexpr std::string_view kImageIsDeviceAfter =
    "\r\n\r\n它是一个设备或管道，不是磁盘上的普通文件。请选择 .img 镜像文件。";
inline constexpr std::string_view kImageLockedBefore = "镜像文件正被另一个程序占用，无法读取：\r\n";
inline constexpr std::string_view kImageLockedAfter =
    "\r\n\r\n请关闭正在使用它的程序（例如解压或下载软件），再试一次。";
inline constexpr std::string_view kImageNoDriveBefore =
    "镜像文件所在的驱动器不存在或没有就绪：\r\n";
inline constexpr std::string_view kImageNoDriveAfter =
    "\r\n\r\nU 盘、移动硬盘或存储卡可能已经拔出。请重新插入后再试，或重新选择文件。";
inline constexpr std::string_view kImageTimedOutBefore =
    "读取镜像文件超时（2 秒内没有读到数据），已放弃：\r\n";
inline constexpr std::string_view kImageTimedOutAfter =
    "\r\n\r\n它可能在没有响应的网络位置或设备上。请把文件复制到本机磁盘后再选择它。";
inline constexpr std::string_view kImageLookBusyBefore =
    "上一个镜像文件还没有读出来（它可能在没有响应的网络位置或设备上），现在无法检查这个文件：\r\n";
inline constexpr std::string_view kImageLookBusyAfter =
    "\r\n\r\n请稍后再试。如果一直这样，请关闭本程序再重新打开。";
inline constexpr std::string_view kImageEmpty = "镜像文件是空的（0 字节），不能刷入：\r\n";
inline constexpr std::string_view kImageNotBootBefore = "这个文件不像 Recovery 镜像：\r\n";
inline constexpr std::string_view kImageNotBootMiddle =
    "\r\n\r\nRecovery 镜像通常是 Android 启动镜像，以“ANDROID!”开头，这个文件不是。";
// What the file looks like instead, between the middle and the end of that question.
inline constexpr std::string_view kImageLooksZip =
    "它是一个 ZIP 压缩包（卡刷包）。卡刷包要在手机的 Recovery 里安装，它本身不是 Recovery 镜像；"
    "如果压缩包里有 recovery.img，请先把它解压出来，再选择它。";
inline constexpr std::string_view kImageLooksSparse =
    "它是一个稀疏镜像（sparse），通常是 system、vendor 等分区的镜像，不是 Recovery 镜像。";
inline constexpr std::string_view kImageLooksUnknown = "无法识别它是什么文件。";
inline constexpr std::string_view kImageNotBootAfter =
    "\r\n\r\n如果它不是这台手机的 Recovery 镜像，刷入后手机可能无法进入 Recovery。仍然要刷入吗？";
// Laid over the output box while the client waits for a phone.
// In three lines: the wait, what to check (or what Windows tells of the phone instead), and Exit.
inline constexpr std::string_view kPhoneWaitHintFirst = "正在等待手机连接……\r\n";
inline constexpr std::string_view kPhoneWaitHintCheck =
    "请检查：手机是否已进入 FastBoot 模式，数据线是否连好，电脑是否装好了 USB 驱动。";
inline constexpr std::string_view kPhoneWaitHintLast = "\r\n点“退出”会停止等待并关闭本程序。";

inline constexpr std::array<std::string_view, 3> kBuiltInImages = {
    "RE\\recovery1.img", "RE\\recovery2.img", "RE\\recovery3.img"};

// Starts an image once from the phone's memory, writing nothing; the image path follows.
inline constexpr std::string_view kBootCommand = "fastboot boot ";

// The result panel after a command, by what it came to.
inline constexpr std::string_view kResultFlashed =
    "刷入成功。现在请点“重启进入 Recovery”，让手机直接进入新的 Recovery，不要先正常开机："
    "很多手机正常开机一次，就会把原来的 Recovery 装回去。";
inline constexpr std::string_view kResultNoRecovery =
    "这台手机没有 recovery 分区，什么也没有写入。A/B 分区的手机通常是这样，它们的 Recovery 在 "
    "boot 或 vendor_boot 分区里。可以点“临时启动”，让手机从内存启动这个镜像一次，不写入手机。";
inline constexpr std::string_view kResultBootButton = "临时启动(&T)";
inline constexpr std::string_view kResultBooted =
    "手机正在临时启动这个 Recovery（从内存启动），手机里什么也没有写入。想一直保留它，可以在这个 "
    "Recovery 里把它装到手机上（如果它有这个功能）。\r\n如果手机一直停在开机画面（logo）不动，"
    "请按住电源键约 10 秒，让它重启；手机里同样什么也没有改变。";
inline constexpr std::string_view kResultCannotBoot =
    "这台手机不支持临时启动（fastboot boot），手机里什么也没有改变。请按这个机型的刷机教程刷入 "
    "Recovery。";
inline constexpr std::string_view kResultLocked =
    "手机的 Bootloader 未解锁，什么也没有写入。要先解锁才能刷入 Recovery；解锁的方法因品牌而异，"
    "而且解锁会清除手机上的全部数据，请先备份。";
inline constexpr std::string_view kResultTooLarge =
    "镜像太大，放不进这台手机的 recovery 分区，什么也没有写入。这个镜像多半不是给这个机型用的，"
    "请换用适用于这台手机型号的镜像。";
inline constexpr std::string_view kResultConnectionBroke =
    "传输中 USB 连接断开了。请让手机保持在 FastBoot 模式，换一根数据线，直接插到电脑自带的 USB "
    "口上（不要经过集线器或扩展坞），再重新刷入。";
inline constexpr std::string_view kResultNotOpenedBefore = "fastboot 打不开镜像文件：";
inline constexpr std::string_view kResultNotOpenedAfter =
    "\r\n请确认文件还在原处、没有被别的程序占用，再重新刷入。";
inline constexpr std::string_view kResultFlashFailed = "刷入没有完成。";
inline constexpr std::string_view kResultBootFailed = "临时启动没有完成。";
inline constexpr std::string_view kResultQueryFailed = "查找手机没有完成。";
inline constexpr std::string_view kResultReasonBefore = "fastboot 报告：\r\n";
inline constexpr std::string_view kResultNoReason = "fastboot 没有说明原因。";
inline constexpr std::string_view kResultNoPhone =
    "没有找到 FastBoot 模式的手机。请检查：手机屏幕上是不是 FastBoot 画面；数据线是否连好"
    "（有的线只能充电），或换一个 USB 口；“设备管理器”里有没有带黄色感叹号的 Android 设备"
    "（有的话要装 USB 驱动）。";
inline constexpr std::string_view kResultNoAnswer =
    "fastboot 5 秒内没有回答，所以还不知道连接了哪些手机。请检查：拔下手机的数据线再插上；"
    "让手机重新进入 FastBoot 模式；仍然这样时，重新启动电脑（USB 驱动可能出了问题）。"
    "程序会继续查找，手机连好后列表会自动更新。";
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
inline constexpr std::string_view kLinkFailed = "无法打开网页 ";

// ---- what the phone says of itself ------------------------------------------------------------

// Asks one phone for its bootloader variables: the client, the option naming the phone and its
// serial (left out for the phone the environment names), and the questions. Clients
// before platform-tools 28 stop at the first variable a phone does not know, so the ones most
// phones know come first.
inline constexpr std::string_view kFactsCommand = "fastboot";
inline constexpr std::string_view kFactsSerialOption = " -s ";
inline constexpr std::string_view kFactsQuestions =
    " getvar product getvar unlocked getvar partition-type:recovery getvar has-slot:recovery"
    " getvar current-slot getvar is-userspace";

inline constexpr std::string_view kFactsLockedTitle = "Bootloader 未解锁";
inline constexpr std::string_view kFactsLocked =
    "这部手机报告它的 Bootloader 未解锁。未解锁的手机会拒绝刷入，也会拒绝临时启动，"
    "所以程序还什么也没有发送。\r\n\r\n"
    "解锁会清除手机上的全部数据；解锁方法因厂商而异（例如小米要用官方解锁工具申请），"
    "请按手机厂商的说明操作。\r\n\r\n"
    "少数 Bootloader 报告的状态不准确。确定已经解锁的话，仍然要发送吗？";
inline constexpr std::string_view kFactsNoRecoveryTitle = "没有 recovery 分区";
inline constexpr std::string_view kFactsNoRecovery =
    "这部手机没有 recovery 分区（它是 A/B 分区的手机，Recovery 在 boot 或 vendor_boot 分区里），"
    "无法刷入，所以什么也不会写入。\r\n\r\n"
    "可以改为临时启动：把这个镜像从内存启动一次，手机里什么也不写入。想一直保留它，"
    "可以在它启动后，用它自己的安装功能把它装到手机上（如果它有这个功能）。\r\n\r\n"
    "现在临时启动这个镜像吗？";
inline constexpr std::string_view kFactsFastbootdTitle = "不能临时启动";
inline constexpr std::string_view kFactsFastbootdBoot =
    "手机现在处于 fastbootd（手机系统自己的 FastBoot，不是 Bootloader 的 FastBoot 模式），"
    "fastbootd 不能临时启动镜像，所以什么也没有发送。\r\n\r\n"
    "请在手机屏幕的菜单里选“Reboot to bootloader”，让手机进入 Bootloader 的 FastBoot 模式，"
    "再试一次。";
// After a flash to an A/B phone; the slot's letter comes between the parts.
inline constexpr std::string_view kFactsSlotNoteBefore = "镜像写入了当前槽位 ";
inline constexpr std::string_view kFactsSlotNoteAfter = " 的 recovery 分区，另一个槽位没有改变。";

// The result panel's sentence on the one phone of a device list, put together from the parts
// below that the phone's answers support, joined with kFactsSeparator.
inline constexpr std::string_view kFactsPhoneBefore = "这部手机：";
inline constexpr std::string_view kFactsModel = "型号 ";
inline constexpr std::string_view kFactsUnlocked = "Bootloader 已解锁";
inline constexpr std::string_view kFactsLockedPart =
    "Bootloader 未解锁（不能刷入，也不能临时启动）";
inline constexpr std::string_view kFactsHasRecovery = "有 recovery 分区";
inline constexpr std::string_view kFactsNoRecoveryPart = "没有 recovery 分区（只能临时启动）";
inline constexpr std::string_view kFactsSlot = "当前槽位 ";
inline constexpr std::string_view kFactsSeparator = "，";
inline constexpr std::string_view kFactsEnd = "。";
inline constexpr std::string_view kFactsFastbootd =
    "它现在处于 fastbootd（手机系统自己的 FastBoot，不是 Bootloader 的 FastBoot 模式），"
    "不能临时启动镜像。刷入 Recovery 前，最好在手机屏幕的菜单里选“Reboot to bootloader”，"
    "进入 Bootloader 的 FastBoot 模式。";
// A listed phone's model, after its serial.
inline constexpr std::string_view kFactsModelBefore = "（";
inline constexpr std::string_view kFactsModelAfter = "）";

// ---- phones Windows sees that the fastboot client does not -------------------------------------
// What the ids Windows gives a USB device tell about it, one row per id: a maintainer adds a
// maker or a mode here and nowhere else. An id of the device matches a row when it is the row's
// id or begins with it followed by '&' (USB\VID_2717 matches USB\VID_2717&PID_FF40&REV_0223),
// without regard to case. A device's ids are those of all its nodes with the same VID and PID
// (a composite device and its functions).

enum class UsbIdMeaning {
  fastboot,       // Android's bootloader interface: the phone is in FastBoot mode
  adb,            // Android's debugging interface: the phone has started, USB debugging on
  phoneFunction,  // what a started phone offers the PC: its files (MTP) or photos (PTP)
  maker,          // a maker of phones, named by `name`: with a phone function, a started phone
  unusableMode,   // a chip's emergency mode or a maker's own flashing mode, named by `name`
  startingMode,   // a mode every start of the phone passes through, named by `name`
};

struct UsbIdRow {
  std::string_view id;
  UsbIdMeaning meaning;
  std::string_view name;
};

inline constexpr UsbIdRow kUsbIds[] = {
    {"USB\\Class_ff&SubClass_42&Prot_03", UsbIdMeaning::fastboot, ""},
    {"USB\\Class_ff&SubClass_42&Prot_01", UsbIdMeaning::adb, ""},
    // Android's media transfer, announced through Microsoft's descriptor.
    {"USB\\MS_COMP_MTP", UsbIdMeaning::phoneFunction, ""},
    // Media transfer or picture transfer, as a still-image interface.
    {"USB\\Class_06&SubClass_01&Prot_01", UsbIdMeaning::phoneFunction, ""},
    {"USB\\VID_05C6&PID_9008", UsbIdMeaning::unusableMode, "高通的紧急下载模式（9008 / EDL）"},
    {"USB\\VID_0E8D&PID_0003", UsbIdMeaning::unusableMode, "联发科（MediaTek）的 BROM 紧急模式"},
    {"USB\\VID_0E8D&PID_2000", UsbIdMeaning::startingMode, "联发科（MediaTek）的 Preloader 模式"},
    {"USB\\VID_04E8&PID_685D", UsbIdMeaning::unusableMode, "三星的下载模式（Odin 刷机模式）"},
    // Google's vendor id: the phones of many makers use it, in FastBoot mode above all, so it
    // names no maker.
    {"USB\\VID_18D1", UsbIdMeaning::maker, ""},
    {"USB\\VID_2717", UsbIdMeaning::maker, "小米"},
    {"USB\\VID_2A70", UsbIdMeaning::maker, "一加"},
    {"USB\\VID_22D9", UsbIdMeaning::maker, "OPPO、realme 或一加"},
    {"USB\\VID_2D95", UsbIdMeaning::maker, "vivo"},
    {"USB\\VID_12D1", UsbIdMeaning::maker, "华为"},
    {"USB\\VID_04E8", UsbIdMeaning::maker, "三星"},
    {"USB\\VID_22B8", UsbIdMeaning::maker, "摩托罗拉"},
    {"USB\\VID_0FCE", UsbIdMeaning::maker, "索尼"},
    {"USB\\VID_1004", UsbIdMeaning::maker, "LG"},
    {"USB\\VID_0BB4", UsbIdMeaning::maker, "HTC"},
    {"USB\\VID_19D2", UsbIdMeaning::maker, "中兴"},
    {"USB\\VID_17EF", UsbIdMeaning::maker, "联想"},
    {"USB\\VID_2A45", UsbIdMeaning::maker, "魅族"},
    {"USB\\VID_0B05", UsbIdMeaning::maker, "华硕"},
};

// A device is named by its maker (when known), this word and its VID:PID in brackets:
// 小米手机（2717:FF40）.
inline constexpr std::string_view kUsbPhone = "手机";
inline constexpr std::string_view kUsbIdBefore = "（";
inline constexpr std::string_view kUsbIdAfter = "）";
// The result panel after an empty device list: a sentence for each device, after the name.
inline constexpr std::string_view kUsbNoDriver =
    "已进入 FastBoot 模式，但这台电脑上没有它的 USB 驱动，所以 fastboot 找不到它。";
// The problem code of the device's node comes between the two parts.
inline constexpr std::string_view kUsbDriverFailsBefore =
    "已进入 FastBoot 模式，但它的 USB 驱动不能正常工作（“设备管理器”里显示代码 ";
inline constexpr std::string_view kUsbDriverFailsAfter = "），所以 fastboot 找不到它。";
// The name Device Manager shows for the device comes between the middle parts, when it has one.
inline constexpr std::string_view kUsbWrongDriverBefore =
    "已进入 FastBoot 模式，但 Windows 给它装的驱动";
inline constexpr std::string_view kUsbWrongDriverNameBefore = "（“设备管理器”里叫“";
inline constexpr std::string_view kUsbWrongDriverNameAfter = "”）";
inline constexpr std::string_view kUsbWrongDriverAfter =
    "不是 fastboot 能用的，所以 fastboot 找不到它。";
inline constexpr std::string_view kUsbStartedNormally =
    "已经正常开机（在传文件、充电或 USB 调试），不在 FastBoot 模式。";
// A mode's name (from kUsbIds) comes between the parts.
inline constexpr std::string_view kUsbModeBefore = "处于";
inline constexpr std::string_view kUsbUnusableAfter =
    "。这个模式只能用专门的救砖工具，本程序用不了。";
inline constexpr std::string_view kUsbStartingAfter =
    "。手机开机时会在这个模式停留几秒；几秒后还在，说明手机没能正常开机。";
// What to do, once for all the devices that need it, after their sentences.
inline constexpr std::string_view kUsbDriverSteps =
    "装驱动的方法：按 Win+R，输入 devmgmt.msc 后按回车，打开“设备管理器”；在这部手机上点右键"
    "（没有驱动时它带黄色感叹号），选“更新驱动程序”→“浏览我的电脑以查找驱动程序”→“让我从计算机上的"
    "可用驱动程序列表中选取”，选中“Android Bootloader Interface”（Windows 7 "
    "上这几项的名字稍有不同）。"
    "装好 Google USB 驱动或手机厂商的驱动后才有这一项；也可以安装手机厂商的电脑助手，它会带上驱动。"
    "驱动能用后，不必重新打开本程序，手机会自动出现在列表里。";
inline constexpr std::string_view kUsbEnterFastboot =
    "进入 FastBoot 模式的方法：先关机，再同时按住“音量减”和电源键，直到屏幕上出现 FastBoot 画面"
    "（按键因机型而异，窗口里的“进入FastBoot方法”有说明）。手机进入 FastBoot "
    "模式后，列表会自动更新。";
inline constexpr std::string_view kUsbLeaveMode =
    "退出这个模式的方法：拔掉数据线，按住电源键 10～15 秒，直到手机重启；不行的话，同时按住电源键和"
    "音量加（或音量减）。然后再让手机进入 FastBoot 模式。";
// The hint while the client waits for a phone: a line for each device.
inline constexpr std::string_view kUsbHintFastboot = "电脑看到了 FastBoot 模式的手机";
inline constexpr std::string_view kUsbHintNoDriver =
    "，但它的驱动没有装好：请在“设备管理器”里为它装上“Android Bootloader Interface”驱动。";
inline constexpr std::string_view kUsbHintWrongDriver =
    "，但它的驱动装错了：请在“设备管理器”里把它换成“Android Bootloader Interface”驱动。";
inline constexpr std::string_view kUsbHintStartedNormally =
    "不在 FastBoot 模式：请关机后同时按住“音量减”和电源键，进入 FastBoot 模式。";
inline constexpr std::string_view kUsbHintUnusable =
    "，本程序用不了：请拔掉数据线，按住电源键 10～15 秒让它重启。";
inline constexpr std::string_view kUsbHintStarting =
    "：几秒后还在时，请按住电源键 10～15 秒让它重启。";

// ---- the result panel's restarts and what else a command can come to ----------------------

// The restarts the panel offers after a flash. Bootloaders that do not know the first are asked
// once with the second.
inline constexpr std::string_view kRebootRecoveryCommand = "fastboot reboot recovery";
inline constexpr std::string_view kOemRebootRecoveryCommand = "fastboot oem reboot-recovery";
inline constexpr std::string_view kRebootCommand = "fastboot reboot";
inline constexpr std::string_view kResultRecoveryButton = "重启进入 Recovery(&R)";
inline constexpr std::string_view kResultRestartButton = "重启手机(&P)";
inline constexpr std::string_view kResultRestartingToRecovery =
    "手机正在重启进入 Recovery，可以拔掉数据线了。如果它没有进入 Recovery，而是正常开机了，"
    "新的 Recovery 可能已被换回原来的，请重新刷入，再用按键进入 Recovery（见使用说明）。";
inline constexpr std::string_view kResultRestarting = "手机正在重启，可以拔掉数据线了。";
inline constexpr std::string_view kResultRestartRefused =
    "手机不接受重启命令，手机里什么也没有改变。请拔掉数据线，按住电源键约 10 秒，手机会强制重启。";
// When neither restart command brings the phone into recovery: the keys, step by step.
inline constexpr std::string_view kResultRecoveryKeys =
    "手机不接受用命令进入 Recovery，什么也没有改变。请用按键进入（各机型略有不同）：\r\n"
    "1. 拔掉数据线，同时按住电源键和“音量加”，直到屏幕变黑。\r\n"
    "2. 松开电源键，继续按住“音量加”，直到出现 Recovery 画面。\r\n"
    "FastBoot 画面有菜单的手机：用音量键选中“Recovery”，按电源键确认。";
inline constexpr std::string_view kResultRestartConnectionBroke =
    "发出重启命令后，USB 连接断开了。这通常说明手机已经开始重启，请看手机屏幕。如果它还停在 "
    "FastBoot 画面，请重新插好数据线，再试一次。";
// A start from memory refused or broken off.
inline constexpr std::string_view kResultBootLocked =
    "手机的 Bootloader 未解锁，不允许临时启动，手机里什么也没有改变。要先解锁才能使用；解锁的方法"
    "因品牌而异，而且解锁会清除手机上的全部数据，请先备份。";
inline constexpr std::string_view kResultBootTooLarge =
    "镜像太大，手机无法把它载入内存临时启动，手机里什么也没有改变。这个镜像多半不是给这个机型用的，"
    "请换用适用于这台手机型号的镜像。";
inline constexpr std::string_view kResultBootConnectionBroke =
    "临时启动时 USB 连接断开了。手机可能已经开始启动这个镜像：请看手机屏幕，如果已经进入 "
    "Recovery，就不用再做什么。否则请让手机回到 FastBoot 模式，换一根数据线，直接插到电脑自带的 "
    "USB 口上，再试一次。手机里什么也没有写入。";
// The phone's own reason follows.
inline constexpr std::string_view kResultPhoneSaid = "\r\n手机给出的原因：";
// fastboot.exe itself could not run.
inline constexpr std::string_view kResultClientNotFound =
    "找不到 fastboot.exe，命令没有运行。请确认 fastboot.exe 还在本程序旁边（没有被杀毒软件删除"
    "或隔离），再试一次。";
inline constexpr std::string_view kResultClientLibraryMissing =
    "fastboot.exe 无法启动：缺少它需要的 DLL 文件。请把 Platform-Tools 文件夹里的 fastboot.exe "
    "和所有 .dll 文件一起复制到本程序旁边。在较旧的 Windows 上也可能是缺少系统更新，这时请改用"
    "较旧的 Platform-Tools。";
inline constexpr std::string_view kResultClientTooNew =
    "这个 fastboot.exe 太新，不能在这个版本的 Windows 上运行。请下载较旧的 "
    "Platform-Tools，用里面的 "
    "fastboot.exe、AdbWinApi.dll 和 AdbWinUsbApi.dll 替换本程序旁边的这三个文件。";
inline constexpr std::string_view kResultClientWrongArchitecture =
    "fastboot.exe 或它旁边的 DLL 与这台电脑的 Windows 不匹配（例如在 32 位 Windows 上用了 64 位的 "
    "fastboot），无法运行。请换用适合这个 Windows 的 Platform-Tools，三个文件要来自同一个压缩包。";
inline constexpr std::string_view kResultClientCrashed =
    "fastboot.exe 运行时崩溃了。请拔下数据线重新连接，再试一次；如果每次都这样，请换用另一个版本的 "
    "Platform-Tools。";

// ---- what other programs print, to recognise it ------------------------------------------------

// What cmd prints when it finds no program of the name it was given, on English and Chinese
// Windows.
inline constexpr std::array<std::string_view, 2> kCmdNotRecognised = {
    "is not recognized as an internal or external command", "不是内部或外部命令"};

// ---- failures the Windows layer reports --------------------------------------------------------

inline constexpr std::string_view kRunTimeError = "运行时错误";
inline constexpr std::string_view kUnknownException = "未知的异常";
inline constexpr std::string_view kTerminated = "程序意外终止 (std::terminate)";
// When the system has no text for an error code; the code follows.
inline constexpr std::string_view kErrorCode = "错误代码 ";
// A skin library's entry point that could not be found: the library's name, then the entry's.
inline constexpr std::string_view kNoEntryBefore = "在 ";
inline constexpr std::string_view kNoEntryMiddle = " 中找不到入口点 ";
inline constexpr std::string_view kNoEntryAfter = "：";

}  // namespace quorlane::texts
