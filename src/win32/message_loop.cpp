#include "win32/message_loop.h"

namespace quorlane::win32 {

void dispatchMessage(MSG& message, HWND dialog) {
  if (dialog != nullptr && IsDialogMessageW(dialog, &message)) return;
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

bool dispatchWaiting(HWND dialog) {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return false;
    }
    dispatchMessage(message, dialog);
  }
  return true;
}

int runMessageLoop(HWND dialog) {
  MSG message;
  for (;;) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(message.wParam);
    if (got == -1) return 1;
    dispatchMessage(message, dialog);
  }
}

}  // namespace quorlane::win32
