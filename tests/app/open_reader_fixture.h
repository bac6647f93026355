// A main window with a reader opened as Init leaves it: either a simulated
// reader of the temporary machine, driven through its built driver module, or a
// scripted sensor whose live images and statuses the test controls.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <cstring>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "device/records.h"
#include "fake_sensor.h"
#include "qt_form_fixture.h"
#include "simulator/machine/machine.h"

// Live images on demand. Gated, a frame comes only when the test allows one,
// or every millisecond once a stop is requested, as a driver keeps calling
// back every frame period; otherwise a frame comes every millisecond.
class LiveScriptedSensor : public FakeSensor {
 public:
  static constexpr uint8_t kGray = 100;
  static constexpr int32_t kQuality = 70;

  void Gate(bool on = true) { gated_ = on; }
  void Allow(int frames) {
    std::lock_guard guard(lock_);
    permits_ += frames;
    wake_.notify_all();
  }
  // The status that every live capture returns instead of an image.
  void ForceLiveStatus(uint32_t status) { liveStatus_ = status; }
  int Frames() const { return frames_; }
  std::vector<int32_t> Brightnesses() const {
    std::lock_guard guard(lock_);
    return brightnesses_;
  }

  uint32_t SENSORAPI GetImage(uint8_t* image) override {
    FakeSensor::GetImage(image);
    std::memset(image, kGray, imageBytes);
    return 0;
  }
  uint32_t SENSORAPI GetImageEx(uint8_t* image, uint32_t timeout, HDC dc, const RECT* rect,
                                uint32_t frames) override {
    FakeSensor::GetImageEx(image, timeout, dc, rect, frames);
    for (;;) {
      WaitForFrame();
      if (StopRequested == 1 && whileStopping) std::exchange(whileStopping, nullptr)();
      ++frames_;
      if (liveStatus_ != 0) return liveStatus_;
      std::memset(image, grayCountsFrames ? static_cast<uint8_t>(frames_) : kGray, imageBytes);
      ImageCallback callback;
      void* context;
      {
        std::lock_guard guard(lock_);
        callback = callback_;
        context = context_;
      }
      if (!callback) return 0;
      const CaptureEvent event{static_cast<uint32_t>(frames_), 0, kQuality, 0};
      if (callback(context, &event) == kCallbackStop) return 0;
    }
  }
  // Control 200 answers `logSize`; the log itself (201) is left as the caller set it.
  uint32_t logSize = 0;
  uint32_t SENSORAPI Control(uint32_t code, void* data) override {
    FakeSensor::Control(code, data);
    if (code == kControlLogSize) *static_cast<uint32_t*>(data) = logSize;
    return 0;
  }
  uint32_t SENSORAPI SetImageCallback(uint32_t mode, ImageCallback callback, void* context) override {
    FakeSensor::SetImageCallback(mode, callback, context);
    std::lock_guard guard(lock_);
    callback_ = callback;
    context_ = context;
    return 0;
  }
  uint32_t SENSORAPI SetBrightness(int32_t value) override {
    FakeSensor::SetBrightness(value);
    std::lock_guard guard(lock_);
    brightnesses_.push_back(value);
    return 0;
  }

  size_t imageBytes = 0;
  // Live frame k is filled with the gray k mod 256 instead of kGray.
  bool grayCountsFrames = false;
  // Runs once on the worker, in the first frame after a stop was requested: a
  // slow reader, or what happens while the window waits for one.
  std::function<void()> whileStopping;

 private:
  void WaitForFrame() {
    std::unique_lock guard(lock_);
    while (gated_ && permits_ == 0 && StopRequested == 0) {
      wake_.wait_for(guard, std::chrono::milliseconds(1));
    }
    if (gated_ && permits_ > 0) {
      --permits_;
    } else {
      guard.unlock();
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }

  mutable std::mutex lock_;
  std::condition_variable wake_;
  std::atomic<bool> gated_{false};
  int permits_ = 0;
  std::atomic<uint32_t> liveStatus_{0};
  std::atomic<int> frames_{0};
  ImageCallback callback_ = nullptr;
  void* context_ = nullptr;
  std::vector<int32_t> brightnesses_;
};

class OpenReaderTest : public FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    HoldFirstRefresh();
    // The readers the tests plug in must not refresh the window under them.
    form_->AutoRefresh->SetChecked(false);
    sim::InitMachine(true);
  }
  void TearDown() override {
    // The scripted sensor belongs to the test, not to a module: the run it
    // drives ends before the window lets go of it.
    if (form_ && form_->Sensor == &scripted_) {
      if (NotCapturing == 0) form_->BtnContCaptureClick();
      form_->Sensor = nullptr;
    }
    FormTest::TearDown();
  }

  // Plugs a simulated reader of `type` with a finger on it, then Refresh,
  // selects it and runs Init. False when Init left no open reader.
  bool OpenSimulatedReader(uint16_t type, sim::FingerState finger = sim::FingerState::Present) {
    reader_ = sim::DefaultReader(*sim::FindReaderModelByType(type), 0);
    reader_.finger = finger;
    sim::PlugReader(reader_);
    form_->BtnEnumClick();
    form_->ComboDeviceID->SetItemIndex(0);
    form_->BtnInitClick();
    return form_->Sensor && form_->BtnContCapture->Enabled();
  }

  // The scripted sensor as the open reader of `type`, images width x height.
  void OpenScriptedReader(uint16_t type, int width = 260, int height = 300) {
    form_->Sensor = &scripted_;
    scripted_.imageBytes = static_cast<size_t>(width) * static_cast<size_t>(height);
    UseImage(type, width, height);
  }

  std::string StatusText() const { return ShownStatus(*form_); }

  // Presses "Cont. Capture" and waits for the worker to be at work.
  void StartContinuousCapture() {
    form_->BtnContCaptureClick();
    ASSERT_EQ(NotCapturing, 0);
  }

  sim::Reader reader_;
  DeviceEntry entry_{};
  LiveScriptedSensor scripted_;

 private:
  void UseImage(uint16_t type, int width, int height) {
    form_->SetImageSize(width, height);
    entry_.type = type;
    form_->Devices = &entry_;
    form_->DeviceIndex = 0;
    form_->BtnCapture->SetEnabled(true);
    form_->BtnContCapture->SetEnabled(true);
  }
};
