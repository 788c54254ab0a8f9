// A child for the runner's tests: carries out its arguments in order, each one a write, a pause
// or a record of what it received, so that tests control exactly what reaches the pipe and when.
//
//   out:TEXT   err:TEXT        write TEXT (UTF-8 as given, converted to the ANSI code page)
//   outhex:HEX errhex:HEX      write these bytes as they are
//   fill:N                     write N bytes of text to standard output as fast as possible
//   lines:N                    the same, one 64-byte line a write
//   sleep:MS                   pause
//   cmdline:FILE               write the command line as received (UTF-8) to FILE
//   args:FILE                  write the arguments after the first, one a line (UTF-8), to FILE
// Each write is one WriteFile call.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "win32/handles.h"

namespace {

std::string encode(UINT codePage, const std::wstring& w) {
  if (w.empty()) return {};
  const int n = WideCharToMultiByte(codePage, 0, w.data(), static_cast<int>(w.size()), nullptr, 0,
                                    nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(codePage, 0, w.data(), static_cast<int>(w.size()), out.data(), n, nullptr,
                      nullptr);
  return out;
}

std::string utf8(const std::wstring& w) {
  return encode(CP_UTF8, w);
}
std::string ansi(const std::wstring& w) {
  return encode(CP_ACP, w);
}

std::string fromHex(const std::wstring& hex) {
  std::string out;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
    out += static_cast<char>(std::stoi(std::wstring(hex.substr(i, 2)), nullptr, 16));
  }
  return out;
}

void write(DWORD which, const std::string& bytes) {
  DWORD written = 0;
  WriteFile(GetStdHandle(which), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

void writeFile(const std::wstring& path, const std::string& bytes) {
  const quorlane::win32::UniqueFile f(
      CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  if (!f) return;
  DWORD written = 0;
  WriteFile(f.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::wstring arg = argv[i];
    const auto colon = arg.find(L':');
    const std::wstring op = arg.substr(0, colon);
    const std::wstring value = colon == std::wstring::npos ? L"" : arg.substr(colon + 1);
    if (op == L"out")
      write(STD_OUTPUT_HANDLE, ansi(value));
    else if (op == L"err")
      write(STD_ERROR_HANDLE, ansi(value));
    else if (op == L"outhex")
      write(STD_OUTPUT_HANDLE, fromHex(value));
    else if (op == L"errhex")
      write(STD_ERROR_HANDLE, fromHex(value));
    else if (op == L"sleep")
      Sleep(static_cast<DWORD>(std::stoul(value)));
    else if (op == L"cmdline")
      writeFile(value, utf8(GetCommandLineW()));
    else if (op == L"args") {
      std::string all;
      for (int j = 1; j < argc; ++j) all += utf8(argv[j]) + "\n";
      writeFile(value, all);
    } else if (op == L"lines") {
      const std::string line = std::string(63, 'y') + "\n";
      for (std::size_t left = std::stoull(value); left > 0;) {
        const std::size_t n = left < line.size() ? left : line.size();
        write(STD_OUTPUT_HANDLE, line.substr(0, n));
        left -= n;
      }
    } else if (op == L"handle") {
      // Whether this process holds a signalled object under that handle value (one it inherited).
      const auto handle = reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(std::stoull(value)));
      write(STD_OUTPUT_HANDLE,
            WaitForSingleObject(handle, 0) == WAIT_OBJECT_0 ? "held" : "not held");
    } else if (op == L"fill") {
      std::size_t left = std::stoull(value);
      const std::string line = std::string(63, 'x') + "\n";
      std::string block;
      while (block.size() < 4096) block += line;
      while (left > 0) {
        const std::size_t n = left < block.size() ? left : block.size();
        write(STD_OUTPUT_HANDLE, block.substr(0, n));
        left -= n;
      }
    }
  }
  return 0;
}
