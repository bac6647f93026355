// A fake sensor that answers like a reader: a capture mode, a smart-capture
// switch, a brightness, a configuration dialog, and a capture-detail record
// that Control 112 copies out. Every call that matters here is logged with its
// values ("SetOption 0 1", "Control 5 1", "SetBrightness 40"), in order.
#pragma once

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "app/smart_capture_detail.h"
#include "fake_sensor.h"

class ScriptedSensor : public FakeSensor {
 public:
  // What the reader holds.
  uint8_t mode = 2;
  uint8_t smartCapture = 0;
  int32_t brightness = 50;
  int32_t width = 30;
  int32_t height = 40;
  int32_t deleteAnswer = 0;  // what Control 118 leaves in its int32
  std::vector<uint8_t> record;  // what Control 112 writes, up to the size it is told

  // What the reader's own dialog applies at Configure, and what Configure returns.
  std::optional<uint8_t> dialogMode;
  std::optional<int32_t> dialogBrightness;
  std::optional<uint8_t> dialogSmartCapture;
  uint32_t configureStatus = 0;

  std::vector<std::string> log;
  std::vector<int32_t> detailSizesTold;  // the record's `size` at each Control 112

  // Log lines starting with `prefix`.
  std::vector<std::string> LogOf(const std::string& prefix) const {
    std::vector<std::string> lines;
    std::copy_if(log.begin(), log.end(), std::back_inserter(lines),
                 [&](const std::string& line) { return line.rfind(prefix, 0) == 0; });
    return lines;
  }

  uint32_t SENSORAPI GetDeviceInfo(DeviceInfo* info) override {
    FakeSensor::GetDeviceInfo(info);
    info->width = width;
    info->height = height;
    info->brightness = brightness;
    return 0;
  }
  uint32_t SENSORAPI Configure(HWND owner) override {
    FakeSensor::Configure(owner);
    log.emplace_back("Configure");
    if (dialogMode) mode = *dialogMode;
    if (dialogBrightness) brightness = *dialogBrightness;
    if (dialogSmartCapture) smartCapture = *dialogSmartCapture;
    return configureStatus;
  }
  uint32_t SENSORAPI SetBrightness(int32_t value) override {
    FakeSensor::SetBrightness(value);
    log.push_back("SetBrightness " + std::to_string(value));
    brightness = value;
    return 0;
  }
  uint32_t SENSORAPI SetLed(uint32_t on) override {
    FakeSensor::SetLed(on);
    log.push_back("SetLed " + std::to_string(on));
    return 0;
  }
  uint32_t SENSORAPI SetOption(uint32_t id, uint32_t value) override {
    FakeSensor::SetOption(id, value);
    log.push_back("SetOption " + std::to_string(id) + " " + std::to_string(value));
    if (id == kOptionCaptureMode) mode = static_cast<uint8_t>(value);
    return 0;
  }
  uint32_t SENSORAPI GetOption(uint32_t id) override {
    FakeSensor::GetOption(id);
    return id == kOptionCaptureMode ? mode : 0;
  }
  uint32_t SENSORAPI Control(uint32_t code, void* data) override {
    FakeSensor::Control(code, data);
    switch (code) {
      case kControlRead | kControlSmartCapture:
        *static_cast<uint8_t*>(data) = smartCapture;
        break;
      case kControlSmartCapture:
        smartCapture = *static_cast<uint8_t*>(data);
        log.push_back("Control 5 " + std::to_string(smartCapture));
        break;
      case kControlDetailRecord: {
        int32_t told = 0;
        std::memcpy(&told, data, sizeof told);
        detailSizesTold.push_back(told);
        const size_t bytes = std::min(record.size(), static_cast<size_t>(std::max(told, 0)));
        std::memcpy(data, record.data(), bytes);
        break;
      }
      case kControlDeleteConfigFile:
        log.emplace_back("Control 118");
        *static_cast<int32_t*>(data) = deleteAnswer;
        break;
      default:
        log.push_back("Control " + std::to_string(code));
        break;
    }
    return 0;
  }
};

// A capture-detail record of `size` bytes (at least the header) whose image k
// (from 1) is filled with grays[k-1], with the given capture times.
struct RecordSpec {
  int32_t size = 0;
  int32_t captures = 2;
  int32_t errorCode = 0;
  int32_t width = 30;
  int32_t height = 40;
  int32_t imageBytes = 30 * 40;
  std::vector<int32_t> brightnesses = {40, 45, 50};
  std::vector<uint8_t> grays = {0x40, 0x80, 0xC0};
  std::vector<int32_t> times = {31, 32, 33};
};

inline std::vector<uint8_t> MakeRecord(const RecordSpec& layout) {
  std::vector<uint8_t> bytes(std::max<size_t>(layout.size, kSmartCaptureHeaderSize), 0);
  SmartCaptureDetail header{};
  header.size = layout.size;
  header.version = 3;
  header.captureSpeed = 123;
  header.numOfCaptures = layout.captures;
  header.initBrightness = 50;
  header.smartBrightness = 44;
  header.numOfBrightnesses = static_cast<int32_t>(layout.brightnesses.size());
  for (size_t i = 0; i < layout.brightnesses.size() && i < 11; ++i) header.brightnesses[i] = layout.brightnesses[i];
  header.grayQuality = 77;
  header.width = layout.width;
  header.height = layout.height;
  header.imageBytes = layout.imageBytes;
  header.errorCode = layout.errorCode;
  header.lineDiffMax = 9;
  for (size_t i = 0; i < 3 && i < layout.times.size(); ++i) header.captureTimes[i] = layout.times[i];
  std::memcpy(bytes.data(), &header, sizeof header);
  for (size_t k = 0; k < layout.grays.size(); ++k) {
    const size_t start = kSmartCaptureHeaderSize + k * static_cast<size_t>(std::max(layout.imageBytes, 0));
    if (start >= bytes.size()) break;
    const size_t end = std::min(bytes.size(), start + static_cast<size_t>(std::max(layout.imageBytes, 0)));
    std::fill(bytes.begin() + static_cast<ptrdiff_t>(start), bytes.begin() + static_cast<ptrdiff_t>(end),
              layout.grays[k]);
  }
  return bytes;
}
