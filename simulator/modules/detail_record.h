// The smart-capture detail record a reader hands out on Control code 112:
// a header of 28 little-endian 32-bit integers followed by the images.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace simulator {

struct DetailHeader {
  int32_t size;
  int32_t version;
  int32_t captureSpeed;  // ms for the whole smart capture
  int32_t numOfCaptures;  // images stored, 1..3 (0 before the first smart capture)
  int32_t initBrightness;
  int32_t smartBrightness;
  int32_t numOfBrightnesses;
  int32_t brightnesses[11];  // in the order tried
  int32_t grayQuality;       // of the first image
  int32_t width;
  int32_t height;
  int32_t imageBytes;
  int32_t reserved;
  int32_t errorCode;
  int32_t lineDiffMax;
  int32_t captureTimes[3];
};
static_assert(sizeof(DetailHeader) == 112);
static_assert(offsetof(DetailHeader, numOfCaptures) == 12);
static_assert(offsetof(DetailHeader, brightnesses) == 28);
static_assert(offsetof(DetailHeader, grayQuality) == 72);
static_assert(offsetof(DetailHeader, imageBytes) == 84);
static_assert(offsetof(DetailHeader, errorCode) == 92);
static_assert(offsetof(DetailHeader, captureTimes) == 100);

inline constexpr int32_t kDetailRecordVersion = 3;
inline constexpr size_t kDetailMaxImages = 3;
inline constexpr size_t kDetailMaxBrightnesses = 11;

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
  std::array<int32_t, 3> captureTimes{};
};

// The record of a report; with no report (`report` null) a record with no images.
std::vector<uint8_t> BuildDetailRecord(int width, int height, const SmartCaptureReport* report);

// The largest difference between the mean grays of two neighbouring rows.
int32_t LineDiffMax(std::span<const uint8_t> image, int width, int height);

}  // namespace simulator
