// Power broadcasts: the sleep notice reaches the windows that watch for it,
// and the sender learns when each window has answered.
#include <gtest/gtest.h>

#include <vector>

#include "platform/posted_answer.h"
#include "platform/power_events.h"
#include "platform/window_host.h"

namespace {

class AnsweringClient : public platform::WindowClient {
 public:
  void MessagesPosted() override {}
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM) override {
    if (message == WM_POWERBROADCAST) events.push_back(wParam);
    return TRUE;
  }
  void SurfaceChanged() override {}

  std::vector<WPARAM> events;
};

// One window that watches and one that does not; no system bus is needed.
TEST(PowerEventsTest, SleepNoticeReachesWatchingWindowsOnly) {
  AnsweringClient watching;
  AnsweringClient other;
  const HWND watchingWindow = platform::RegisterWindow(&watching, 0, 0);
  const HWND otherWindow = platform::RegisterWindow(&other, 0, 0);
  platform::WatchPowerEvents(watchingWindow);

  platform::DeliverPrepareForSleep(true);
  platform::DeliverPrepareForSleep(false);
  EXPECT_EQ(platform::DispatchPostedMessages(watchingWindow), 2);
  EXPECT_EQ(platform::DispatchPostedMessages(otherWindow), 0);
  EXPECT_EQ(watching.events, (std::vector<WPARAM>{PBT_APMSUSPEND, PBT_APMRESUMEAUTOMATIC}));

  // A window that is gone no longer counts, and delivery goes on without it.
  platform::UnregisterWindow(watchingWindow);
  platform::DeliverPrepareForSleep(true);
  EXPECT_EQ(platform::DispatchPostedMessages(otherWindow), 0);
  platform::UnregisterWindow(otherWindow);
}

TEST(PowerEventsTest, AnswerComesWithTheResultOrZeroWhenTheWindowGoes) {
  AnsweringClient client;
  const HWND window = platform::RegisterWindow(&client, 0, 0);
  std::vector<LRESULT> answers;
  auto record = [&](LRESULT result) { answers.push_back(result); };
  ASSERT_TRUE(platform::PostMessageWithAnswer(window, WM_POWERBROADCAST, PBT_APMSUSPEND, 0, record));
  EXPECT_TRUE(answers.empty());
  platform::DispatchPostedMessages(window);
  EXPECT_EQ(answers, std::vector<LRESULT>{TRUE});

  ASSERT_TRUE(platform::PostMessageWithAnswer(window, WM_POWERBROADCAST, PBT_APMSUSPEND, 0, record));
  platform::UnregisterWindow(window);
  EXPECT_EQ(answers, (std::vector<LRESULT>{TRUE, 0}));
  EXPECT_FALSE(platform::PostMessageWithAnswer(window, WM_POWERBROADCAST, PBT_APMSUSPEND, 0, record));
  EXPECT_EQ(answers.size(), 2u);
}

}  // namespace
