// The built driver modules and the stand-in's windows: messages a module posts.
#include <chrono>
#include <thread>

#include "platform/window_host.h"
#include "tests/simulator_modules/libraries/module_library.h"
#include "tests/simulator_modules/recording_window.h"

namespace {

using namespace module_library;
using namespace std::chrono_literals;

TEST_F(ModuleLibraryTest, ATouchOnTheMachinePostsFingerDetectedWhileAutoOnIsOn) {
  UseMachine(/*empty=*/false);
  RecordingWindow client;
  HWND window = platform::RegisterWindow(&client, 10, 10);
  {
    LoadedSensor sensor("Qvhmx05m.dll", 6);
    ASSERT_TRUE(sensor.Loaded());
    ASSERT_EQ(sensor->OpenDevice(0, 0), 0u);
    ASSERT_EQ(sensor->EnableAutoOn(1, window, 0), 0u);
    // Each touch's message carries the first parameter the machine gave it.
    for (const WPARAM wParam : {WPARAM{1}, WPARAM{0x10001}}) {
      client.messages.clear();
      ASSERT_TRUE(sim::TouchReader("HMX05", 0, static_cast<uint32_t>(wParam)));
      const auto deadline = std::chrono::steady_clock::now() + 3s;
      while (client.messages.empty() && std::chrono::steady_clock::now() < deadline) {
        platform::DispatchPostedMessages(window);
        std::this_thread::sleep_for(5ms);
      }
      ASSERT_EQ(client.messages.size(), 1u);
      EXPECT_EQ(client.messages[0], std::make_pair(kFingerDetectedMessage, wParam));
    }
  }
  platform::UnregisterWindow(window);
}

}  // namespace
