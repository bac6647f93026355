// Power broadcasts: the sleep notice and the machine's own notices reach the
// windows that watch for them, and the sender learns when each has answered.
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>
#include <vector>

#include "platform/posted_answer.h"
#include "platform/power_events.h"
#include "platform/window_host.h"
#include "scoped_machine_root.h"
#include "simulator/machine/power_notices.h"

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
  ScopedMachineRoot root;
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

// A suspend sent on the machine is answered once the window has answered it;
// once no window watches, the program no longer takes the machine's notices.
TEST(PowerEventsTest, MachineNoticeIsCountedAndWaitsForTheWindowsAnswer) {
  using namespace std::chrono_literals;
  ScopedMachineRoot root;
  AnsweringClient client;
  const HWND window = platform::RegisterWindow(&client, 0, 0);
  platform::WatchPowerEvents(window);
  std::future<sim::PowerNoticeResult> suspend =
      std::async(std::launch::async, [] { return sim::SendPowerNotice(sim::PowerNotice::Suspend, 5s); });
  const auto deadline = std::chrono::steady_clock::now() + 3s;
  while (platform::DispatchPostedMessages(window) == 0 && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(5ms);
  }
  const sim::PowerNoticeResult result = suspend.get();
  EXPECT_EQ(result.windows, 1u);
  EXPECT_EQ(result.programs, 1u);
  EXPECT_EQ(result.unanswered, 0u);
  EXPECT_EQ(client.events, std::vector<WPARAM>{PBT_APMSUSPEND});

  platform::UnregisterWindow(window);
  EXPECT_EQ(sim::SendPowerNotice(sim::PowerNotice::Resume, 1s).programs, 0u);
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
