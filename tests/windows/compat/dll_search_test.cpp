// The program's own way of loading system libraries, in this process: stand-ins for system DLLs
// lie beside this test and Wine is told to prefer them (WINEDLLOVERRIDES, set by CTest). A load by
// name alone takes the stand-in; loadSystemLibrary and, once restrictDllSearch has run, a load by
// name take the system's. The tests run in this order: the restriction holds for the process.

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <string>

#include "win32/handles.h"
#include "win32/module_path.h"
#include "win32/system_dll.h"

namespace quorlane::win32 {
namespace {

namespace fs = std::filesystem;

fs::path folderOf(HMODULE module) {
  return fs::path(modulePath(module)).parent_path();
}

bool sameFolder(const fs::path& a, const fs::path& b) {
  const std::wstring x = a.wstring();
  const std::wstring y = b.wstring();
  return CompareStringOrdinal(x.c_str(), static_cast<int>(x.size()), y.c_str(),
                              static_cast<int>(y.size()), TRUE) == CSTR_EQUAL;
}

fs::path here() {
  return folderOf(nullptr);
}

bool marked(const wchar_t* dll) {
  return fs::exists(here() / (std::wstring(dll) + L".dll.dll_search_test.exe.loaded"));
}

// Markers of an earlier run must not count.
const bool markersCleared = [] {
  std::error_code ignored;
  for (const auto& entry : fs::directory_iterator(here(), ignored)) {
    if (entry.path().extension() == L".loaded") fs::remove(entry.path(), ignored);
  }
  return true;
}();

TEST(DllSearchTest, ByNameAloneTheStandInBesideTheProgramIsLoaded) {
  ASSERT_TRUE(markersCleared);
  UniqueModule module(LoadLibraryW(L"netapi32.dll"));
  ASSERT_TRUE(module);
  EXPECT_TRUE(sameFolder(folderOf(module.get()), here()));
  EXPECT_TRUE(marked(L"netapi32"));
}

TEST(DllSearchTest, SystemLibrariesComeFromTheSystemFolder) {
  const std::wstring system = systemFolder();
  ASSERT_FALSE(system.empty());
  EXPECT_EQ(system.back() == L'\\', false);
  UniqueModule module = loadSystemLibrary(L"wtsapi32.dll");
  ASSERT_TRUE(module);
  EXPECT_TRUE(sameFolder(folderOf(module.get()), system));
  EXPECT_FALSE(marked(L"wtsapi32"));
  EXPECT_FALSE(loadSystemLibrary(L"no-such-library.dll"));
}

TEST(DllSearchTest, OnceRestrictedALoadByNameTakesTheSystemLibrary) {
  EXPECT_EQ(restrictDllSearch(), DllSearch::systemFolderOnly);
  UniqueModule module(LoadLibraryW(L"dwmapi.dll"));
  ASSERT_TRUE(module);
  EXPECT_TRUE(sameFolder(folderOf(module.get()), systemFolder()));
  EXPECT_FALSE(marked(L"dwmapi"));
}

}  // namespace
}  // namespace quorlane::win32
