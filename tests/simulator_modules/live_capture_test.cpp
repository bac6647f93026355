// Live capture into a window's device context, the image callback and auto-on.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <utility>
#include <vector>

#include "platform/window_host.h"
#include "tests/simulator_modules/sensor_fixture.h"
#include "tests/simulator_modules/recording_window.h"

namespace simulator::testing {
namespace {

using namespace std::chrono_literals;

struct CallbackLog {
  std::vector<CaptureEvent> events;
  size_t stopAfter = 3;
};

int32_t SENSORAPI RecordEvent(void* context, const CaptureEvent* event) {
  auto* log = static_cast<CallbackLog*>(context);
  log->events.push_back(*event);
  return log->events.size() >= log->stopAfter ? kCallbackStop : static_cast<int32_t>(event->status);
}

class LiveCaptureTest : public SensorFixture {
 protected:
  void SetUp() override { window = platform::RegisterWindow(&client, 400, 500); }
  void TearDown() override { platform::UnregisterWindow(window); }

  // Non-white pixels inside and outside `rect`.
  std::pair<int, int> InkInsideAndOutside(const RECT& rect) {
    std::pair<int, int> counts{0, 0};
    platform::WithSurface(window, [&](platform::Surface& surface) {
      for (int y = 0; y < surface.height; ++y) {
        for (int x = 0; x < surface.width; ++x) {
          if (surface.pixels[static_cast<size_t>(y) * surface.width + x] == 0xFFFFFFFFu) continue;
          const bool inside = x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
          ++(inside ? counts.first : counts.second);
        }
      }
    });
    return counts;
  }

  RecordingWindow client;
  HWND window = nullptr;
};

TEST_F(LiveCaptureTest, DrawsFramesIntoTheRectangleUntilTheCallbackSaysStop) {
  OpenSensor(3);  // 258 columns: padded DIB rows
  CallbackLog log;
  ASSERT_EQ(sensor->SetImageCallback(1, RecordEvent, &log), 0u);
  const RECT rect{10, 20, 310, 420};
  std::vector<uint8_t> image(ImageBytes(), 255);
  HDC dc = GetDC(window);
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(sensor->GetImageEx(image.data(), kLiveCaptureTimeout, dc, &rect, kLiveCaptureFrames),
            0u);
  ReleaseDC(window, dc);
  ASSERT_EQ(log.events.size(), 3u);
  for (const CaptureEvent& event : log.events) {
    EXPECT_EQ(event.status, 0u);
    EXPECT_GT(event.quality, 0);
    EXPECT_LE(event.quality, 100);
  }
  const auto [inside, outside] = InkInsideAndOutside(rect);
  EXPECT_GT(inside, 300 * 400 / 4);
  EXPECT_EQ(outside, 0);
}

TEST_F(LiveCaptureTest, WithoutCallbackReturnsAfterTheFirstImage) {
  OpenSensor(6);
  std::vector<uint8_t> image(ImageBytes(), 255);
  const RECT rect{0, 0, 300, 400};
  HDC dc = GetDC(window);
  EXPECT_EQ(sensor->GetImageEx(image.data(), kLiveCaptureTimeout, dc, &rect, kLiveCaptureFrames),
            0u);
  ReleaseDC(window, dc);
  EXPECT_NE(image, std::vector<uint8_t>(ImageBytes(), 255));
  EXPECT_GT(InkInsideAndOutside(rect).first, 0);
}

TEST_F(LiveCaptureTest, WithoutAFingerTheCallbackHearsPutYourFingerAndCanStop) {
  OpenSensor(7);
  port->SetFinger(FingerState::kAbsent);
  CallbackLog log;
  log.stopAfter = 2;
  sensor->SetImageCallback(1, RecordEvent, &log);
  std::vector<uint8_t> image(ImageBytes());
  EXPECT_EQ(sensor->GetImageEx(image.data(), kLiveCaptureTimeout, nullptr, nullptr,
                               kLiveCaptureFrames),
            0u);
  ASSERT_EQ(log.events.size(), 2u);
  EXPECT_EQ(log.events[0].status, 62u);
  EXPECT_EQ(log.events[0].quality, 0);
}

TEST_F(LiveCaptureTest, FrameLimitEndsACallWhoseCallbackNeverStops) {
  OpenSensor(6);
  CallbackLog log;
  log.stopAfter = 1000;
  sensor->SetImageCallback(1, RecordEvent, &log);
  std::vector<uint8_t> image(ImageBytes());
  EXPECT_EQ(sensor->GetImageEx(image.data(), kLiveCaptureTimeout, nullptr, nullptr, 4), 0u);
  EXPECT_EQ(log.events.size(), 4u);
}

TEST_F(LiveCaptureTest, AutoOnPostsFingerDetectedOnTouchUntilSwitchedOff) {
  OpenSensor(5);
  ASSERT_EQ(sensor->EnableAutoOn(1, window, 0), 0u);
  port->Touch();
  const auto deadline = std::chrono::steady_clock::now() + 3s;
  while (client.messages.empty() && std::chrono::steady_clock::now() < deadline) {
    platform::DispatchPostedMessages(window);
    std::this_thread::sleep_for(5ms);
  }
  ASSERT_EQ(client.messages.size(), 1u);
  EXPECT_EQ(client.messages[0].first, kFingerDetectedMessage);
  EXPECT_EQ(client.messages[0].second, 1u);

  ASSERT_EQ(sensor->EnableAutoOn(0, nullptr, 0), 0u);
  port->Touch();
  std::this_thread::sleep_for(kAutoOnPollInterval * 4);
  platform::DispatchPostedMessages(window);
  EXPECT_EQ(client.messages.size(), 1u);
}

TEST_F(LiveCaptureTest, DestroyingAnOpenSensorStopsItsWatcher) {
  OpenSensor(6);
  ASSERT_EQ(sensor->EnableAutoOn(1, window, 0), 0u);
  sensor.reset();
  port->Touch();
  std::this_thread::sleep_for(kAutoOnPollInterval * 3);
  EXPECT_EQ(platform::DispatchPostedMessages(window), 0);
}

}  // namespace
}  // namespace simulator::testing
