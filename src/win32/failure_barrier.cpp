#include "win32/failure_barrier.h"

#include <atomic>
#include <functional>
#include <string>

#include "common/texts.h"
#include "win32/text.h"

namespace quorlane::win32 {

namespace {

std::atomic<bool> reported{false};
std::function<void()> cleanupBeforeBox;

}  // namespace

FailureCleanup::FailureCleanup(std::function<void()> cleanup) {
  cleanupBeforeBox = std::move(cleanup);
}

FailureCleanup::~FailureCleanup() {
  cleanupBeforeBox = nullptr;
}

bool failureReported() noexcept {
  return reported.load();
}

void endWithFailure(std::string_view description) noexcept {
  // A second failure while the first is shown (a procedure the box's own loop reaches) ends the
  // program at once: the first one is already on the screen.
  if (reported.exchange(true)) ExitProcess(1);
  try {
    if (cleanupBeforeBox) cleanupBeforeBox();
  } catch (...) {
    // The failure is shown all the same.
  }
  std::wstring prompt;
  try {
    prompt = widen(texts::kRunTimeError);
    prompt += L"\n\n" + widen(description);
  } catch (...) {
    // Without memory for the texts the box still says that the program failed, by its icon.
  }
  // Task-modal: every window of the program is disabled while the box is shown.
  MessageBoxW(nullptr, prompt.c_str(), kProgramName,
              MB_OK | MB_ICONERROR | MB_TASKMODAL | MB_SETFOREGROUND);
  ExitProcess(1);
}

}  // namespace quorlane::win32

#if defined(__GLIBCXX__)
// The C++ library's own handler for std::terminate names the exception's type on standard error,
// which a program without a console does not have, and brings the whole name demangler with it
// (about 45 KB of the executable). Here a terminate is reported like every other failure.
namespace __gnu_cxx {
void __verbose_terminate_handler() {
  quorlane::win32::endWithFailure(quorlane::texts::kTerminated);
}
}  // namespace __gnu_cxx
#endif
