// A reader made by hand for the sensor object's tests.
#pragma once

#include <atomic>
#include <mutex>
#include <vector>

#include "simulator/modules/reader_port.h"

namespace simulator::testing {

class FakeReaderPort : public ReaderPort {
 public:
  explicit FakeReaderPort(std::string serial = "FAKE-0001", uint16_t productId = 0x2200)
      : serial_(std::move(serial)), productId_(productId) {}

  bool Present() const override { return present_; }
  std::string Serial() const override { return serial_; }
  uint16_t ProductId() const override { return productId_; }
  FingerState Finger() const override { return finger_; }
  Touches LastTouch() const override { return {touches_, 1}; }
  std::chrono::milliseconds Latency() const override { return latency_.load(); }
  ConfigureSettings ConfigureDialogSettings() const override {
    std::lock_guard guard(mutex_);
    return configure_;
  }
  bool ConfigFileExists() const override { return configFile_; }
  bool DeleteConfigFile() override { return configFile_.exchange(false); }
  void StoreDetailRecord(std::span<const uint8_t> record) override {
    std::lock_guard guard(mutex_);
    storedRecord_.assign(record.begin(), record.end());
  }

  void Unplug() { present_ = false; }
  void SetFinger(FingerState state) { finger_ = state; }
  void Touch() { ++touches_; }
  void SetLatency(std::chrono::milliseconds latency) { latency_ = latency; }
  void SetConfigFile(bool exists) { configFile_ = exists; }
  void SetConfigureSettings(const ConfigureSettings& settings) {
    std::lock_guard guard(mutex_);
    configure_ = settings;
  }
  std::vector<uint8_t> StoredRecord() const {
    std::lock_guard guard(mutex_);
    return storedRecord_;
  }

 private:
  const std::string serial_;
  const uint16_t productId_;
  std::atomic<bool> present_{true};
  std::atomic<FingerState> finger_{FingerState::kPresent};
  std::atomic<uint64_t> touches_{0};
  std::atomic<std::chrono::milliseconds> latency_{std::chrono::milliseconds(5)};
  std::atomic<bool> configFile_{true};
  mutable std::mutex mutex_;
  ConfigureSettings configure_;
  std::vector<uint8_t> storedRecord_;
};

}  // namespace simulator::testing
