// The built driver modules and real windows: what a module posts to a window
// and draws into its device context, through the system's own calls.
#include <windows.h>

#include <chrono>
#include <sstream>
#include <thread>
#include <vector>

#include "device/enumeration.h"
#include "simulator/tool/tool.h"
#include "tests/simulator_modules/libraries/module_library.h"

namespace {

using namespace module_library;
using namespace std::chrono_literals;

// A plain top-level window of this thread, whose messages the test pumps.
class TestWindow {
 public:
  TestWindow(int width, int height) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "TolvaneModuleTestWindow";
    RegisterClassA(&windowClass);
    // The client area is what the module draws into: make it exactly the image's size.
    RECT frame{0, 0, width, height};
    AdjustWindowRect(&frame, WS_POPUP, FALSE);
    handle_ = CreateWindowExA(0, windowClass.lpszClassName, "", WS_POPUP | WS_VISIBLE, 0, 0,
                              frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                              windowClass.hInstance, nullptr);
  }
  ~TestWindow() { DestroyWindow(handle_); }
  TestWindow(const TestWindow&) = delete;
  TestWindow& operator=(const TestWindow&) = delete;

  HWND Handle() const { return handle_; }

  // The first parameter of the next finger-detected message, or -1 after `wait`.
  int64_t NextFingerMessage(std::chrono::milliseconds wait) const {
    const auto deadline = std::chrono::steady_clock::now() + wait;
    MSG message;
    while (std::chrono::steady_clock::now() < deadline) {
      while (PeekMessageA(&message, handle_, 0, 0, PM_REMOVE)) {
        if (message.message == kFingerDetectedMessage) return static_cast<int64_t>(message.wParam);
        DispatchMessageA(&message);
      }
      std::this_thread::sleep_for(5ms);
    }
    return -1;
  }

 private:
  HWND handle_ = nullptr;
};

TEST_F(ModuleLibraryTest, ATouchOnTheMachinePostsFingerDetectedToTheWindow) {
  UseMachine(/*empty=*/false);
  TestWindow window(10, 10);
  ASSERT_TRUE(window.Handle());
  LoadedSensor sensor("Qvhmx05m.dll", 6);
  ASSERT_TRUE(sensor.Loaded());
  ASSERT_EQ(sensor->OpenDevice(0, 0), 0u);
  ASSERT_EQ(sensor->EnableAutoOn(1, window.Handle(), 0), 0u);
  for (const uint32_t wParam : {1u, 0x10001u}) {
    ASSERT_TRUE(sim::TouchReader("HMX05", 0, wParam));
    EXPECT_EQ(window.NextFingerMessage(3s), wParam);
  }
  ASSERT_EQ(sensor->EnableAutoOn(0, window.Handle(), 0), 0u);
  ASSERT_TRUE(sim::TouchReader("HMX05", 0));
  EXPECT_EQ(window.NextFingerMessage(300ms), -1);
}

// The HMX02's 258 columns need padded rows: the drawing must still match the image.
TEST_F(ModuleLibraryTest, ALiveImageIsDrawnIntoTheWindowsDeviceContextPixelForPixel) {
  UseMachine(/*empty=*/true);
  Plug("OMREL", 0);
  constexpr int kWidth = 258, kHeight = 336;
  TestWindow window(kWidth, kHeight);
  LoadedSensor sensor("Omrel.dll", 3);
  ASSERT_TRUE(sensor.Loaded());
  ASSERT_EQ(sensor->OpenDevice(0, 0), 0u);
  std::vector<uint8_t> image(kWidth * kHeight);
  RECT area{0, 0, kWidth, kHeight};
  HDC dc = GetDC(window.Handle());
  ASSERT_TRUE(dc);
  ASSERT_EQ(sensor->GetImageEx(image.data(), 65535, dc, &area, 100), 0u);
  for (const POINT at : {POINT{0, 0}, POINT{257, 0}, POINT{129, 168}, POINT{0, 335}, POINT{257, 335}}) {
    const uint8_t gray = image[static_cast<size_t>(at.y) * kWidth + at.x];
    EXPECT_EQ(GetPixel(dc, at.x, at.y), RGB(gray, gray, gray)) << at.x << "," << at.y;
  }
  ReleaseDC(window.Handle(), dc);
}

// The device layer against the whole simulated world: the kernel driver's
// device paths, winbio.dll's units and the parallel module.
TEST_F(ModuleLibraryTest, EnumerateDevicesListsTheDefaultMachinesReadersNewestFirst) {
  UseMachine(/*empty=*/false);
  std::ostringstream out, err;
  ASSERT_EQ(sim::RunTool({"driver", "start"}, out, err), 0) << err.str();
  int count = 0;
  DeviceEntry* table = nullptr;
  EXPECT_EQ(EnumerateDevices(&count, &table, 0), 0);
  struct Expected {
    uint16_t type, productId;
  };
  const Expected expected[] = {{kReaderHmx06, 0x2201}, {kReaderHmx05, 0x2200}, {kReaderHmx04, 0x0330},
                               {kReaderParallel, 0}};
  ASSERT_EQ(count, 4);
  for (int i = 0; i < count; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(table[i].type, expected[i].type);
    EXPECT_EQ(table[i].index, 0);
    EXPECT_EQ(table[i].productId, expected[i].productId);
  }
  ASSERT_EQ(sim::RunTool({"driver", "stop"}, out, err), 0) << err.str();
}

}  // namespace
