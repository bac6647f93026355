// The smart-capture reader's capture-detail record: a 112-byte header of
// little-endian 32-bit fields followed by the images. The same bytes are the
// content of a ".scd" file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

struct SmartCaptureDetail {
  int32_t size;  // whole record, header and images
  int32_t version;
  int32_t captureSpeed;
  int32_t numOfCaptures;
  int32_t initBrightness;
  int32_t smartBrightness;
  int32_t numOfBrightnesses;
  int32_t brightnesses[11];
  int32_t grayQuality;
  int32_t width;
  int32_t height;
  int32_t imageBytes;
  int32_t reserved;
  int32_t errorCode;
  int32_t lineDiffMax;
  int32_t captureTimes[3];
};
static_assert(sizeof(SmartCaptureDetail) == 112);
static_assert(offsetof(SmartCaptureDetail, numOfBrightnesses) == 24);
static_assert(offsetof(SmartCaptureDetail, grayQuality) == 72);
static_assert(offsetof(SmartCaptureDetail, imageBytes) == 84);
static_assert(offsetof(SmartCaptureDetail, errorCode) == 92);
static_assert(offsetof(SmartCaptureDetail, captureTimes) == 100);

inline constexpr size_t kSmartCaptureHeaderSize = sizeof(SmartCaptureDetail);

// The record is a block of `size` bytes from malloc/calloc; the images follow the header.
struct SmartCaptureDetailFree {
  void operator()(SmartCaptureDetail* detail) const { std::free(detail); }
};
using SmartCaptureDetailPtr = std::unique_ptr<SmartCaptureDetail, SmartCaptureDetailFree>;
