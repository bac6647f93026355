// A driver module that misbehaves on purpose, for the window's robustness
// tests. It is built under the file name of a real module into the test
// program's own folder, which the library search reads before System32.
// What it does wrong is chosen by $TOLVANE_UNRULY when the sensor is created:
//   size-zero, size-huge, size-negative  GetDeviceInfo answers that image size
//   late-callback  every GetImageEx returns at once; from the first on, a
//                  thread of the driver reads the first image it was given
//                  and calls back every 200 us with the callback it was
//                  given last (even once the window took it back), up to and
//                  during the sensor's destruction
//   rewrite        GetImageEx writes each frame row by row, slowly, every
//                  pixel of frame n being n
//   odd-open       OpenDevice answers a status that no table knows
//   odd-status     every later call answers statuses that no table knows
//   log-short      code 200 announces 200 bytes, 201 writes only 150
//   log-empty      code 200 announces 0 bytes, 201 writes nothing
// Anything else: an honest 120 x 80 reader with a 200-byte log.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "device/sensor.h"

namespace {

constexpr int32_t kWidth = 120;
constexpr int32_t kHeight = 80;
constexpr uint32_t kOddStatus = 0xDEAD0042u;

// Callbacks delivered after their GetImageEx had returned, with the image
// still whole, for the test to report.
std::atomic<uint32_t> lateCallbacksDelivered{0};

class UnrulySensor final : public ISensor {
 public:
  explicit UnrulySensor(std::string mode) : mode_(std::move(mode)) {}

  // Late callbacks are a driver's fault, but even this driver waits for its
  // own thread before it goes away; that thread calls back once more first.
  void JoinLateCaller() {
    lateCallerStop_ = true;
    if (lateCaller_.joinable()) lateCaller_.join();
  }

  uint32_t SENSORAPI Reserved00() override { return 4; }
  uint32_t SENSORAPI OpenDevice(uint32_t, uint32_t) override { return mode_ == "odd-open" ? kOddStatus : 0; }
  uint32_t SENSORAPI GetImage(uint8_t* image) override {
    if (Odd()) return kOddStatus + 1;
    std::memset(image, 0x80, kWidth * kHeight);
    return 0;
  }
  uint32_t SENSORAPI Reserved03() override { return 4; }
  uint32_t SENSORAPI GetDeviceInfo(DeviceInfo* info) override {
    info->width = kWidth;
    info->height = kHeight;
    info->brightness = 50;
    if (mode_ == "size-zero") info->width = info->height = 0;
    if (mode_ == "size-huge") info->width = info->height = 0x40000000;
    if (mode_ == "size-negative") info->width = info->height = -kWidth;
    return 0;
  }
  uint32_t SENSORAPI Configure(HWND) override { return Odd() ? kOddStatus + 2 : 0; }
  uint32_t SENSORAPI ResetCmos() override { return Odd() ? kOddStatus + 3 : 0; }
  uint32_t SENSORAPI Reserved07() override { return 4; }
  uint32_t SENSORAPI SetBrightness(int32_t) override { return Odd() ? kOddStatus + 4 : 0; }
  uint32_t SENSORAPI Reserved09() override { return 4; }
  uint32_t SENSORAPI Reserved10() override { return 4; }
  uint32_t SENSORAPI SetLed(uint32_t) override { return Odd() ? kOddStatus + 5 : 0; }
  uint32_t SENSORAPI Reserved12() override { return 4; }
  uint32_t SENSORAPI Reserved13() override { return 4; }
  uint32_t SENSORAPI Reserved14() override { return 4; }
  uint32_t SENSORAPI Reserved15() override { return 4; }
  uint32_t SENSORAPI SetOption(uint32_t, uint32_t) override { return Odd() ? kOddStatus + 6 : 0; }
  uint32_t SENSORAPI GetOption(uint32_t) override { return Odd() ? kOddStatus + 7 : 0; }
  uint32_t SENSORAPI Reserved18() override { return 4; }
  uint32_t SENSORAPI Reserved19() override { return 4; }
  uint32_t SENSORAPI Reserved20() override { return 4; }
  uint32_t SENSORAPI Reserved21() override { return 4; }
  uint32_t SENSORAPI GetImageEx(uint8_t* image, uint32_t, HDC, const RECT*, uint32_t) override {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    if (Odd()) {
      CallBack(CaptureEvent{1, 5, 0, kOddStatus + 8});
      return kOddStatus + 9;
    }
    if (mode_ == "rewrite") {
      const uint8_t value = static_cast<uint8_t>(++frames_);
      for (int32_t row = 0; row < kHeight; ++row) {
        std::memset(image + row * kWidth, value, kWidth);
        std::this_thread::sleep_for(std::chrono::microseconds(50));
      }
      CallBack(CaptureEvent{1, 5, 70, 0});
      return 0;
    }
    if (mode_ == "late-callback") {
      // The image is written once, before the calling thread starts: the
      // callbacks' fault is their timing, not a buffer written beside them.
      if (!lateCaller_.joinable() && callback_) {
        std::memset(image, 0x60, kWidth * kHeight);
        lateCaller_ = std::thread([this, image] { CallLate(image); });
      }
      return 0;
    }
    std::memset(image, 0x60, kWidth * kHeight);
    CallBack(CaptureEvent{1, 5, 70, 0});
    return 0;
  }
  uint32_t SENSORAPI SetImageCallback(uint32_t, ImageCallback callback, void* context) override {
    callback_ = callback;
    context_ = context;
    if (callback) {
      lastCallback_ = callback;
      lastContext_ = context;
    }
    return 0;
  }
  uint32_t SENSORAPI Reserved24() override { return 4; }
  uint32_t SENSORAPI CloseDevice() override { return Odd() ? kOddStatus + 10 : 0; }
  uint32_t SENSORAPI Reserved26() override { return 4; }
  uint32_t SENSORAPI Reserved27() override { return 4; }
  uint32_t SENSORAPI Reserved28() override { return 4; }
  uint32_t SENSORAPI Reserved29() override { return 4; }
  uint32_t SENSORAPI Reserved30() override { return 4; }
  uint32_t SENSORAPI EnableAutoOn(uint32_t, HWND, uint32_t) override { return Odd() ? kOddStatus + 11 : 0; }
  uint32_t SENSORAPI Reserved32() override { return 4; }
  uint32_t SENSORAPI Reserved33() override { return 4; }
  uint32_t SENSORAPI Reserved34() override { return 4; }
  uint32_t SENSORAPI Reserved35() override { return 4; }
  uint32_t SENSORAPI Control(uint32_t code, void* data) override {
    if (Odd()) return kOddStatus + 12;
    if (code == kControlLogSize) {
      const uint32_t size = mode_ == "log-empty" ? 0 : 200;
      std::memcpy(data, &size, sizeof size);
      return 0;
    }
    if (code == kControlLog) {
      const size_t written = mode_ == "log-empty" ? 0 : mode_ == "log-short" ? 150 : 200;
      for (size_t i = 0; i < written; ++i) static_cast<uint8_t*>(data)[i] = static_cast<uint8_t>('A' + i % 26);
      return 0;
    }
    return 4;
  }

 private:
  bool Odd() const { return mode_ == "odd-status"; }
  void CallBack(const CaptureEvent& event) {
    if (callback_) callback_(context_, &event);
  }
  // The image stays the driver's to read until its object is destroyed; a
  // window that frees it sooner makes this a read of freed memory.
  void CallLate(const uint8_t* image) {
    for (uint32_t frame = 0;; ++frame) {
      const bool last = lateCallerStop_;
      const bool whole = std::all_of(image, image + kWidth * kHeight, [](uint8_t pixel) { return pixel == 0x60; });
      const CaptureEvent event{frame, 2, 60, 0};
      lastCallback_(lastContext_, &event);
      if (whole) ++lateCallbacksDelivered;
      if (last) return;
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
  }

  const std::string mode_;
  uint32_t frames_ = 0;
  std::atomic<ImageCallback> callback_{nullptr};
  std::atomic<void*> context_{nullptr};
  std::atomic<ImageCallback> lastCallback_{nullptr};
  std::atomic<void*> lastContext_{nullptr};
  std::atomic<bool> lateCallerStop_{false};
  std::thread lateCaller_;
};

}  // namespace

extern "C" __attribute__((visibility("default"))) uint32_t SENSORAPI CreateISensor(uint32_t*, ISensor** sensor) {
  const char* mode = std::getenv("TOLVANE_UNRULY");
  *sensor = new UnrulySensor(mode ? mode : "");
  return 0;
}

extern "C" __attribute__((visibility("default"))) uint32_t UnrulyLateCallbacks() { return lateCallbacksDelivered; }

extern "C" __attribute__((visibility("default"))) uint32_t SENSORAPI DestroyISensor(ISensor* sensor) {
  auto* unruly = static_cast<UnrulySensor*>(sensor);
  unruly->JoinLateCaller();
  delete unruly;
  return 0;
}
