#include "forms/win32/posted_calls.h"

#include "forms/win32/window_classes.h"

namespace forms::win32 {

// Queued and posted under the lock, so that messages and queue keep one order
// across threads.
void PostedCalls::Post(std::function<void()> call) {
  std::lock_guard guard(lock_);
  calls_.push_back(std::move(call));
  if (!PostMessageA(form_, PostedCallMessage(), 0, 0)) calls_.pop_back();
}

void PostedCalls::RunOldest() {
  std::function<void()> call;
  {
    std::lock_guard guard(lock_);
    if (calls_.empty()) return;
    call = std::move(calls_.front());
    calls_.pop_front();
  }
  call();
}

}  // namespace forms::win32
