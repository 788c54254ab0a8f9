#include "win32/handover.h"

#include <utility>

#include "win32/failure_barrier.h"

namespace quorlane::win32 {

namespace {

constexpr UINT kWorkWaiting = WM_APP + 1;
constexpr const wchar_t* kHandoverClass = L"QuorlaneHandover";

}  // namespace

Handover::Handover(std::function<void()> receive) : receive_(std::move(receive)) {
  static const bool registered = [] {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kHandoverClass;
    return RegisterClassW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  }();
  if (!registered) return;
  window_.reset(CreateWindowExW(0, kHandoverClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                GetModuleHandleW(nullptr), nullptr));
  if (window_) SetWindowLongPtrW(window_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

bool Handover::notify() {
  if (pending_.exchange(true)) return true;
  if (window_ && PostMessageW(window_.get(), kWorkWaiting, 0, 0)) return true;
  pending_ = false;
  return false;
}

LRESULT CALLBACK Handover::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<Handover*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (message != kWorkWaiting || self == nullptr) {
    return DefWindowProcW(window, message, wParam, lParam);
  }
  return guarded(
      [self] {
        // Cleared before the work is taken: what is queued from here on posts a message anew.
        self->pending_ = false;
        // A copy: `receive` may destroy this handover (a delivery that ends what delivered it).
        const std::function<void()> receive = self->receive_;
        receive();
        return LRESULT{0};
      },
      [] { return LRESULT{0}; });
}

}  // namespace quorlane::win32
