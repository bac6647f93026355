// The calls posted to a form from any thread, run on its thread in posting
// order: each posted call is one posted message that runs the oldest waiting.
#pragma once

#include <deque>
#include <functional>
#include <mutex>

#include "platform/win32.h"

namespace forms::win32 {

class PostedCalls {
 public:
  explicit PostedCalls(HWND form) : form_(form) {}

  // Any thread. A window that is gone drops the call.
  void Post(std::function<void()> call);
  // Window thread, on the posted message.
  void RunOldest();

 private:
  HWND form_;
  std::mutex lock_;
  std::deque<std::function<void()>> calls_;
};

}  // namespace forms::win32
