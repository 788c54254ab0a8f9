// Config.dll, the skin library Quorlane loads at start-up (Config.def names its exports). This
// skin keeps the window in the system's own look: SkinH_AttachEx reads the skin file and records
// what it names, and nothing is drawn differently. Both functions return 0 for success.

#include <windows.h>

namespace {

int aero = 0;
char skinName[64] = "";

}  // namespace

extern "C" {

// Turns the translucent (Aero) effects on (non-zero) or off. Recorded only.
int WINAPI SkinH_SetAero(int enable) {
  aero = enable != 0 ? 1 : 0;
  return 0;
}

// Attaches the skin described by skinFile (an INI file, ANSI path). The password is for
// encrypted skins, which this library does not have; it is ignored. Returns 0 when the skin file
// names a skin, 1 otherwise.
int WINAPI SkinH_AttachEx(const char* skinFile, const char* password) {
  (void)password;
  if (skinFile == nullptr || *skinFile == '\0') return 1;
  const DWORD length =
      GetPrivateProfileStringA("Skin", "Name", "", skinName, sizeof(skinName), skinFile);
  return length > 0 ? 0 : 1;
}

}  // extern "C"
