// The skin port against stand-in libraries and against the shipped Config.dll: loaded once by
// its full path, called with ANSI (GBK) texts, and a description of what went wrong when the
// file is missing, is no library, or lacks an entry point.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "test_support.h"
#include "win32/shell_win32.h"
#include "win32/skin_win32.h"
#include "win32/system_dll.h"
#include "win32/text.h"

namespace quorlane::wintest {
namespace {

namespace fs = std::filesystem;

std::string hex(const std::string& bytes) {
  static const char digits[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : bytes) {
    out += digits[c >> 4];
    out += digits[c & 15];
  }
  return out;
}

void copyFile(const std::string& from, const std::string& to) {
  fs::copy_file(fs::path(win32::widen(from)), fs::path(win32::widen(to)),
                fs::copy_options::overwrite_existing);
}

std::string recorderLog(const std::string& library) {
  HMODULE module = GetModuleHandleW(win32::widen(library).c_str());
  if (module == nullptr) return "not loaded";
  using Log = const char*(WINAPI*)();
  auto log = win32::procAddress<Log>(module, "Recorder_Log");
  return log != nullptr ? log() : "no log";
}

TEST(SkinTest, CallsBothFunctionsOnceLoadedWithAnsiTexts) {
  ASSERT_EQ(GetACP(), 936u) << "the tests run with the Chinese ANSI code page";
  TempFolder dir("皮肤");
  const std::string library = dir.file("Config.dll");
  copyFile(exeFolder() + "\\skin_recorder.dll", library);
  const std::string skinFile = dir.file("Config.INI");

  win32::Win32Skin skin;
  EXPECT_EQ(skin.setAero(library, 1), std::nullopt);
  EXPECT_EQ(skin.attach(library, skinFile, ""), std::nullopt);
  EXPECT_EQ(skin.setAero(library, 0), std::nullopt);
  EXPECT_EQ(recorderLog(library),
            "loads 1\n"
            "SetAero 1\n"
            "AttachEx " +
                hex(win32::toCodePage(936, skinFile)) +
                " []\n"
                "SetAero 0\n");
}

TEST(SkinTest, DescribesAMissingFileAFileThatIsNoLibraryAndMissingEntryPoints) {
  TempFolder dir("skin");
  win32::Win32Skin skin;

  const auto missing = skin.setAero(dir.file("Config.dll"), 1);
  ASSERT_TRUE(missing.has_value());
  EXPECT_EQ(*missing, win32::errorDescription(ERROR_MOD_NOT_FOUND));

  fs::create_directories(fs::path(win32::widen(dir.file("text"))));
  writeFile(dir.file("text\\Config.dll"), "[Skin]\r\nName=not a library\r\n");
  const auto notLibrary = skin.attach(dir.file("text\\Config.dll"), dir.file("Config.INI"), "");
  ASSERT_TRUE(notLibrary.has_value());
  EXPECT_FALSE(notLibrary->empty());
  EXPECT_NE(*notLibrary, *missing);

  fs::create_directories(fs::path(win32::widen(dir.file("bare"))));
  const std::string bare = dir.file("bare\\Config.dll");
  copyFile(exeFolder() + "\\no_exports.dll", bare);
  const auto noAero = skin.setAero(bare, 1);
  ASSERT_TRUE(noAero.has_value());
  EXPECT_NE(noAero->find("SkinH_SetAero"), std::string::npos) << *noAero;
  const auto noAttach = skin.attach(bare, dir.file("Config.INI"), "");
  ASSERT_TRUE(noAttach.has_value());
  EXPECT_NE(noAttach->find("SkinH_AttachEx"), std::string::npos) << *noAttach;
}

TEST(SkinTest, ShippedLibraryExportsPlainNamesAndReadsItsSkinFile) {
  const std::string library = exeFolder() + "\\Config.dll";
  HMODULE module = LoadLibraryExW(win32::widen(library).c_str(), nullptr, 0);
  ASSERT_NE(module, nullptr);
  using SetAero = int(WINAPI*)(int);
  using AttachEx = int(WINAPI*)(const char*, const char*);
  auto setAero = win32::procAddress<SetAero>(module, "SkinH_SetAero");
  auto attach = win32::procAddress<AttachEx>(module, "SkinH_AttachEx");
  ASSERT_NE(setAero, nullptr);
  ASSERT_NE(attach, nullptr);
  EXPECT_EQ(setAero(1), 0);
  const std::string skinFile = win32::toCodePage(CP_ACP, exeFolder() + "\\Config.INI");
  EXPECT_EQ(attach(skinFile.c_str(), ""), 0);
  const std::string missing = win32::toCodePage(CP_ACP, exeFolder() + "\\无此文件.INI");
  EXPECT_EQ(attach(missing.c_str(), ""), 1) << "a failure result, not a crash";
  FreeLibrary(module);

  win32::Win32Skin skin;
  EXPECT_EQ(skin.setAero(library, 1), std::nullopt);
  EXPECT_EQ(skin.attach(library, exeFolder() + "\\Config.INI", ""), std::nullopt);
}

}  // namespace
}  // namespace quorlane::wintest
