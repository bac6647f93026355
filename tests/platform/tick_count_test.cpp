#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/win32.h"

namespace {

TEST(TickCount, FollowsTheSteadyClock) {
  const DWORD before = GetTickCount();
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  // Unsigned difference, so a wrap in between does not matter.
  EXPECT_GE(static_cast<DWORD>(GetTickCount() - before), 30u);
}

}  // namespace
