// Loads each library named on its command line by name alone, the way that lets a file beside
// the program stand in for a system library. Exits with the number it could not load.

#include <windows.h>

int wmain(int argc, wchar_t** argv) {
  int failed = 0;
  for (int i = 1; i < argc; ++i) {
    if (LoadLibraryW(argv[i]) == nullptr) ++failed;
  }
  return failed;
}
