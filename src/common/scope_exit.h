#pragma once
// Runs a piece of code when a scope is left, however it is left (a return, an exception), unless
// released first. For the one-off clean-ups that have no owner type of their own.

#include <utility>

namespace quorlane {

template <typename F>
class [[nodiscard]] ScopeExit {
 public:
  explicit ScopeExit(F onExit) : onExit_(std::move(onExit)) {}
  ~ScopeExit() { runNow(); }
  ScopeExit(const ScopeExit&) = delete;
  ScopeExit& operator=(const ScopeExit&) = delete;

  // Runs the clean-up now rather than at the end of the scope; it runs at most once.
  void runNow() {
    if (armed_) {
      armed_ = false;
      onExit_();
    }
  }
  // The clean-up will not run.
  void release() { armed_ = false; }

 private:
  F onExit_;
  bool armed_ = true;
};

}  // namespace quorlane
