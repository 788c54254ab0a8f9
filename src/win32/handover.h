#pragma once
// Work done on a thread of its own reaches the window's thread through the window's messages: a
// message-only window of the thread that is to receive it, whose message any loop dispatching
// that thread's messages delivers (the program's own, a message box's, a dialog's), so a modal
// loop never holds the work up. And the lock that guards what the two threads share.

#include <windows.h>

#include <atomic>
#include <functional>

#include "win32/handles.h"

namespace quorlane::win32 {

// A critical section with one owner, entered for the life of a Locked.
class CriticalSection {
 public:
  CriticalSection() { InitializeCriticalSection(&section_); }
  ~CriticalSection() { DeleteCriticalSection(&section_); }
  CriticalSection(const CriticalSection&) = delete;
  CriticalSection& operator=(const CriticalSection&) = delete;
  void enter() { EnterCriticalSection(&section_); }
  void leave() { LeaveCriticalSection(&section_); }

 private:
  CRITICAL_SECTION section_;
};

class Locked {
 public:
  explicit Locked(CriticalSection& section) : section_(section) { section_.enter(); }
  ~Locked() { section_.leave(); }
  Locked(const Locked&) = delete;
  Locked& operator=(const Locked&) = delete;

 private:
  CriticalSection& section_;
};

// Runs `receive` on the thread that created it, once after each notify() from any thread. One
// message stands for every notify() until it is handled: `receive` takes whatever has been
// queued for it. Destroying the handover (on its own thread) drops a message still on its way;
// a thread that may still call notify() then must be kept from it first (under a lock the
// destroying thread holds too).
class Handover {
 public:
  explicit Handover(std::function<void()> receive);
  Handover(const Handover&) = delete;
  Handover& operator=(const Handover&) = delete;

  // Whether its window could be created: without it, nothing is ever received.
  bool ready() const { return window_ != nullptr; }
  // From any thread: `receive` runs once more after this. False when no message could be posted
  // (the thread's queue is full); a later notify() tries again.
  bool notify();

 private:
  static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  std::function<void()> receive_;
  // Whether a message is on its way that has not been handled yet.
  std::atomic<bool> pending_{false};
  UniqueWindow window_;
};

}  // namespace quorlane::win32
