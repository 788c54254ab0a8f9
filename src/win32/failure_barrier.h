#pragma once
// Every procedure the program hands to the system (window procedures, subclass procedures) runs
// its body through `guarded`, so no exception ever unwinds through the system's own frames. What
// a handler fails with ends the program like a run-time error: a critical message box titled
// with the program's name gives the failure's description, and the program ends with exit
// code 1.

#include <windows.h>

#include <exception>
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
