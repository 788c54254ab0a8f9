#pragma once
// Every procedure the program hands to the system (window procedures, subclass procedures) runs
// its body through `guarded`, so no exception ever unwinds through the system's own frames. What
// a handler fails with ends the program like a run-time error: a critical message box titled
// with the program's name gives the failure's description, and the program ends with exit
// code 1.

#include <windows.h>

#include <exception>
#include <functional>
#include <string_view>

#include "common/texts.h"

namespace quorlane::win32 {

inline constexpr const wchar_t* kProgramName = L"Quorlane";

// True from the moment a failure is being reported. The box runs a message loop of its own, so
// the program's procedures still receive messages: they then leave every message to `fallback`
// (the system's default handling) and run none of the program's handlers.
bool failureReported() noexcept;

// Shows the failure and ends the program.
[[noreturn]] void endWithFailure(std::string_view description) noexcept;

// What is to be done before a failure is shown, while the program can still act: its box holds
// the program's own handlers back, and what they would do in the meantime must not be left to
// chance. Set for the lifetime of a FailureCleanup.
class FailureCleanup {
 public:
  explicit FailureCleanup(std::function<void()> cleanup);
  ~FailureCleanup();
  FailureCleanup(const FailureCleanup&) = delete;
  FailureCleanup& operator=(const FailureCleanup&) = delete;
};

// Returns what `body` returns; a failure that escapes it ends the program.
template <typename Body, typename Fallback>
LRESULT guarded(Body&& body, Fallback&& fallback) noexcept {
  if (failureReported()) return fallback();
  try {
    return body();
  } catch (const std::exception& e) {
    endWithFailure(e.what());
  } catch (...) {
    endWithFailure(texts::kUnknownException);
  }
}

}  // namespace quorlane::win32
