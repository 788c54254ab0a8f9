#pragma once
// The clock the window's parts read: the system's steady clock, or one a test sets once for all
// of them.

#include <chrono>
#include <functional>

namespace quorlane::window {

using Clock = std::chrono::steady_clock;
using ClockSource = std::function<Clock::time_point()>;

}  // namespace quorlane::window
