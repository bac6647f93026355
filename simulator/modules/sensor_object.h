// The sensor object of the simulated driver modules: one ISensor per created
// object, driving one reader of its model at a time through a ReaderPort.
//
// Every slot may be called from the window thread and a capture thread at once.
// One mutex guards the state; it is never held while the image callback runs or
// while the object waits for a finger or a frame.
#pragma once

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "device/sensor.h"
#include "simulator/modules/catalog.h"
#include "simulator/modules/device_log.h"
#include "simulator/modules/fingerprint.h"
#include "simulator/modules/reader_port.h"

namespace simulator {

// How long GetImage waits for a finger.
inline constexpr std::chrono::milliseconds kGetImageFingerTimeout{5000};
// How often waits look at the reader (finger, unplugging, closing).
inline constexpr std::chrono::milliseconds kPollInterval{10};
// How often the auto-on watcher looks for a touch.
inline constexpr std::chrono::milliseconds kAutoOnPollInterval{20};

class SensorObject final : public ISensor {
 public:
  SensorObject(const ReaderModel& model, ReaderLocator locator);
  // Closes the reader: stops the auto-on watcher and waits for running calls to end.
  ~SensorObject();
  SensorObject(const SensorObject&) = delete;
  SensorObject& operator=(const SensorObject&) = delete;

  uint32_t SENSORAPI Reserved00() override;
  uint32_t SENSORAPI OpenDevice(uint32_t index, uint32_t flags) override;
  uint32_t SENSORAPI GetImage(uint8_t* image) override;
  uint32_t SENSORAPI Reserved03() override;
  uint32_t SENSORAPI GetDeviceInfo(DeviceInfo* info) override;
  uint32_t SENSORAPI Configure(HWND owner) override;
  uint32_t SENSORAPI ResetCmos() override;
  uint32_t SENSORAPI Reserved07() override;
  uint32_t SENSORAPI SetBrightness(int32_t brightness) override;
  uint32_t SENSORAPI Reserved09() override;
  uint32_t SENSORAPI Reserved10() override;
  uint32_t SENSORAPI SetLed(uint32_t on) override;
  uint32_t SENSORAPI Reserved12() override;
  uint32_t SENSORAPI Reserved13() override;
  uint32_t SENSORAPI Reserved14() override;
  uint32_t SENSORAPI Reserved15() override;
  uint32_t SENSORAPI SetOption(uint32_t id, uint32_t value) override;
  uint32_t SENSORAPI GetOption(uint32_t id) override;
  uint32_t SENSORAPI Reserved18() override;
  uint32_t SENSORAPI Reserved19() override;
  uint32_t SENSORAPI Reserved20() override;
  uint32_t SENSORAPI Reserved21() override;
  // `timeout`: milliseconds to wait for a finger before giving up with 54.
  // `frames`: with a callback set, the number of frame periods after which the
  // call returns unless the callback ended it before. Without a callback the
  // call returns after the first image.
  uint32_t SENSORAPI GetImageEx(uint8_t* image, uint32_t timeout, HDC dc, const RECT* rect,
                                uint32_t frames) override;
  uint32_t SENSORAPI SetImageCallback(uint32_t mode, ImageCallback callback,
                                      void* context) override;
  uint32_t SENSORAPI Reserved24() override;
  uint32_t SENSORAPI CloseDevice() override;
  uint32_t SENSORAPI Reserved26() override;
  uint32_t SENSORAPI Reserved27() override;
  uint32_t SENSORAPI Reserved28() override;
  uint32_t SENSORAPI Reserved29() override;
  uint32_t SENSORAPI Reserved30() override;
  uint32_t SENSORAPI EnableAutoOn(uint32_t enable, HWND window, uint32_t reserved) override;
  uint32_t SENSORAPI Reserved32() override;
  uint32_t SENSORAPI Reserved33() override;
  uint32_t SENSORAPI Reserved34() override;
  uint32_t SENSORAPI Reserved35() override;
  uint32_t SENSORAPI Control(uint32_t code, void* data) override;

 private:
  class CallScope;
  struct Frame {
    std::vector<uint8_t> image;
    int quality = 0;
  };

  // 0 when the reader is open and attached, else 55 (never opened) or 53 (gone).
  uint32_t CheckReaderLocked() const;
  // The status of a fault the workstation set on `call` that fires now (see
  // ReaderPort::InjectedFault); the reader must be open.
  std::optional<uint32_t> FaultLocked(ReaderCall call, uint64_t& counted);
  std::optional<uint32_t> FaultLocked(ReaderCall call);
  // The same for a capture, answered after one exposure (53 when the session ends first).
  std::optional<uint32_t> FailedCaptureLocked(std::unique_lock<std::mutex>& lock, ReaderCall call,
                                              uint64_t& counted);
  // True while the session that `generation` names is still open.
  bool SessionOpenLocked(uint64_t generation) const;
  // Waits up to `duration` unless the session ends; false when it ended.
  bool Pause(std::unique_lock<std::mutex>& lock, uint64_t generation,
             std::chrono::steady_clock::duration duration);
  // Waits for a finger until `giveUp`, then for one frame's exposure, and renders
  // it. 0, 54 (no finger by then) or 53 (unplugged or closed).
  uint32_t AcquireFrame(std::chrono::steady_clock::time_point giveUp, Frame& frame);
  Frame RenderLocked();
  uint32_t ReadControlLocked(uint32_t code, void* data);
  void StopWatcher();
  void WatchForTouches(uint64_t generation, uint64_t touchesSeen);
  void CloseLocked();

  const ReaderModel& model_;
  const ReaderLocator locator_;
  DeviceLog log_;

  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::shared_ptr<ReaderPort> port_;  // null while closed
  bool everOpened_ = false;
  uint64_t generation_ = 0;  // changes at every open and close
  bool shuttingDown_ = false;
  int activeCalls_ = 0;

  std::unique_ptr<FingerprintSynthesizer> synthesizer_;
  uint64_t nextFrame_ = 0;
  int32_t brightness_;
  uint8_t gainMax_;
  uint8_t gainMin_;
  uint8_t captureMode_;
  bool smartCapture_ = false;
  bool sharpness_ = true;
  ImageCallback callback_ = nullptr;
  void* callbackContext_ = nullptr;
  std::vector<uint8_t> detailRecord_;
  std::string logSnapshot_;  // what the last Control 200 reported the size of
  bool logSizeReported_ = false;

  HWND autoOnWindow_ = nullptr;
  std::thread watcher_;
  bool watcherStop_ = false;
};

}  // namespace simulator
