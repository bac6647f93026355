// Building the smart-capture detail record (SmartCaptureDetail) a reader hands
// out on kControlDetailRecord.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "device/sensor.h"

namespace simulator {

// What the simulated modules write into the record's version field.
inline constexpr int32_t kDetailRecordVersion = 3;

// Bytes of the record for images of this size: the header and room for three images.
size_t DetailRecordSize(int width, int height);

// What one smart capture did.
struct SmartCaptureReport {
  int32_t captureSpeed = 0;
  int32_t initBrightness = 0;
  int32_t smartBrightness = 0;
  std::vector<int32_t> brightnesses;  // at most 11 are kept
  int32_t grayQuality = 0;
  int32_t errorCode = 0;
  int32_t lineDiffMax = 0;
  std::vector<std::vector<uint8_t>> images;  // 1..3, each width × height bytes
  std::array<int32_t, kDetailMaxCaptures> captureTimes{};
};

// The record of a report; with no report (`report` null) a record with no images.
std::vector<uint8_t> BuildDetailRecord(int width, int height, const SmartCaptureReport* report);

// The largest difference between the mean grays of two neighbouring rows.
int32_t LineDiffMax(std::span<const uint8_t> image, int width, int height);

}  // namespace simulator
