// A stand-in skin library for the tests: records how it was called, byte for byte, and how
// often it was loaded. Recorder_Log returns the record.

#include <windows.h>

#include <string>

namespace {

std::string record;
int loads = 0;

std::string hex(const char* text) {
  static const char digits[] = "0123456789ABCDEF";
  std::string out;
  for (const char* p = text; *p != '\0'; ++p) {
    const auto byte = static_cast<unsigned char>(*p);
    out += digits[byte >> 4];
    out += digits[byte & 15];
  }
  return out;
}

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) ++loads;
  return TRUE;
}

int WINAPI SkinH_SetAero(int enable) {
  record += "SetAero " + std::to_string(enable) + "\n";
  return 0;
}

int WINAPI SkinH_AttachEx(const char* skinFile, const char* password) {
  record += "AttachEx " + hex(skinFile) + " [" + hex(password) + "]\n";
  return 0;
}

const char* WINAPI Recorder_Log() {
  static std::string withLoads;
  withLoads = "loads " + std::to_string(loads) + "\n" + record;
  return withLoads.c_str();
}

}  // extern "C"
