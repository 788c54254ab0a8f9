#include "window/flash_safety.h"

namespace quorlane::window {

namespace {

constexpr std::string_view kWaitPrefix = "< waiting for";
// Only the start of a line decides; longer lines are not kept whole.
constexpr std::size_t kKeptLineStart = 64;

constexpr std::string_view kZipMagic = "PK\x03\x04";
constexpr std::string_view kSparseMagic = "\x3A\xFF\x26\xED";

constexpr const char* kStopTitle = "无法刷入";
constexpr const char* kAskTitle = "确认刷入";

bool startsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

ImageVerdict stop(std::string prompt) {
  return {ImageVerdict::Action::stop, std::move(prompt), kStopTitle, MessageStyle::warning};
}

}  // namespace

ImageKind imageKind(std::string_view firstBytes) {
  if (startsWith(firstBytes, kBootImageMagic)) return ImageKind::bootImage;
  if (startsWith(firstBytes, kZipMagic)) return ImageKind::zip;
  if (startsWith(firstBytes, kSparseMagic)) return ImageKind::sparse;
  return ImageKind::unknown;
}

bool namesDevice(std::string_view path) {
  const auto upper = [](std::string_view text) {
    std::string out(text);
    for (char& c : out) {
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return out;
  };
  // The device namespace: only a path on a drive (\\.\C:\...) or a volume names a file there.
  if (startsWith(path, "\\\\.\\") || startsWith(path, "\\\\?\\") || startsWith(path, "//./") ||
      startsWith(path, "//?/")) {
    const std::string rest = upper(path.substr(4));
    const bool onDrive = rest.size() > 3 && rest[0] >= 'A' && rest[0] <= 'Z' && rest[1] == ':' &&
                         (rest[2] == '\\' || rest[2] == '/');
    const bool onVolume = startsWith(rest, "VOLUME{") && rest.find('\\') != std::string::npos;
    const bool onShare = startsWith(rest, "UNC\\");
    return !(onDrive || onVolume || onShare);
  }
  // A reserved name is a device in every folder, whatever follows its first dot, and with
  // blanks or a colon after it ("CON:" names the device itself).
  std::string_view last = path;
  if (!last.empty() && last.back() == ':') last.remove_suffix(1);
  const std::size_t separator = last.find_last_of("\\/:");
  std::string name(separator == std::string_view::npos ? last : last.substr(separator + 1));
  name = upper(name.substr(0, name.find('.')));
  while (!name.empty() && name.back() == ' ') name.pop_back();
  for (const char* reserved : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$", "CLOCK$"}) {
    if (name == reserved) return true;
  }
  // COM1 to COM9 and LPT1 to LPT9, also with the superscript digits 1, 2 and 3.
  if (startsWith(name, "COM") || startsWith(name, "LPT")) {
    const std::string digit = name.substr(3);
    if (digit.size() == 1 && digit[0] >= '1' && digit[0] <= '9') return true;
    if (digit == "\xC2\xB9" || digit == "\xC2\xB2" || digit == "\xC2\xB3") return true;
  }
  return false;
}

ImageVerdict noImageChosen() {
  return stop(
      "还没有选择要刷入的 Recovery 镜像文件。\r\n\r\n请点“选择”选中 .img 文件，或把它拖到窗口上。");
}

ImageVerdict judgeImage(const FileStart& found, const std::string& shownPath,
                        const std::optional<std::string>& builtInName) {
  switch (found.state) {
    case FileStart::State::missing:
      if (builtInName) {
        return stop(
            "找不到内置的 Recovery 镜像：\r\n" + shownPath +
            "\r\n\r\n软件包里不带镜像。请把为这台手机的型号制作的 Recovery 镜像放到程序旁边的 "
            "RE 文件夹里，并命名为 " +
            *builtInName + "。");
      }
      return stop("找不到要刷入的镜像文件：\r\n" + shownPath +
                  "\r\n\r\n请检查路径是否正确，或点“选择”重新选择文件。");
    case FileStart::State::folder:
      return stop("这是一个文件夹，不是镜像文件，不能刷入：\r\n" + shownPath);
    case FileStart::State::unreadable:
      return stop("无法读取镜像文件：\r\n" + shownPath + "\r\n\r\n" + found.error);
    case FileStart::State::device:
      return stop("这不是镜像文件，不能刷入：\r\n" + shownPath +
                  "\r\n\r\n它是一个设备或管道，不是磁盘上的普通文件。请选择 .img 镜像文件。");
    case FileStart::State::locked:
      return stop("镜像文件正被另一个程序占用，无法读取：\r\n" + shownPath +
                  "\r\n\r\n请关闭正在使用它的程序（例如解压或下载软件），再试一次。");
    case FileStart::State::noDrive:
      return stop("镜像文件所在的驱动器不存在或没有就绪：\r\n" + shownPath +
                  "\r\n\r\nU 盘、移动硬盘或存储卡可能已经拔出。请重新插入后再试，或重新选择文件。");
    case FileStart::State::timedOut:
      return stop("读取镜像文件超时（2 秒内没有读到数据），已放弃：\r\n" + shownPath +
                  "\r\n\r\n它可能在没有响应的网络位置或设备上。请把文件复制到本机磁盘后再选择它。");
    case FileStart::State::file:
      break;
  }
  if (found.bytes.empty()) return stop("镜像文件是空的（0 字节），不能刷入：\r\n" + shownPath);

  std::string looks;
  switch (imageKind(found.bytes)) {
    case ImageKind::bootImage:
      return {};
    case ImageKind::zip:
      looks =
          "它是一个 ZIP 压缩包：这种刷机包要在手机的 Recovery 里刷入，不能用本工具刷到 Recovery "
          "分区。";
      break;
    case ImageKind::sparse:
      looks =
          "它是一个稀疏镜像（sparse），通常是 system 或 vendor 等分区的镜像，不是 Recovery 镜像。";
      break;
    case ImageKind::unknown:
      looks = "无法识别它是什么文件。";
      break;
  }
  return {ImageVerdict::Action::ask,
          "这个文件不像 Recovery 镜像：\r\n" + shownPath +
              "\r\n\r\nRecovery 镜像都是 Android 启动镜像，以“ANDROID!”开头，这个文件不是。" +
              looks + "\r\n\r\n刷入错误的镜像可能使手机无法进入 Recovery。仍然要刷入吗？",
          kAskTitle, MessageStyle::yesNo | MessageStyle::warning | MessageStyle::secondDefault};
}

std::string phoneWaitHint() {
  return "正在等待手机连接……\r\n"
         "请检查：手机是否已进入 FastBoot 模式，数据线是否连好，电脑是否装好了 USB 驱动。\r\n"
         "点“退出”可取消等待。";
}

void PhoneWaitWatch::reset() {
  last_.clear();
  current_.clear();
}

void PhoneWaitWatch::add(std::string_view output) {
  for (const char c : output) {
    if (c == '\r' || c == '\n') {
      if (!current_.empty()) last_ = std::move(current_);
      current_.clear();
    } else if (current_.size() < kKeptLineStart) {
      current_ += c;
    }
  }
}

bool PhoneWaitWatch::waiting() const {
  return startsWith(current_.empty() ? last_ : current_, kWaitPrefix);
}

}  // namespace quorlane::window
