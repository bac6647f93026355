// A ".scd" file's bytes as the window checks and shows them once the file's
// length has matched the record: the views' images, the brightness list, and
// the last image with its capture time and mean gray. Every byte the checks
// hand out is read, so anything they let through outside the record is seen
// by the address sanitizer.
#include <cstddef>
#include <cstdint>

#include "app/smart_capture_detail.h"

namespace {

// Readers' image sizes, none at all included (an Init whose device
// information failed), plus a slot-sized one that only fits small records.
constexpr size_t kViewBytes[] = {0, 1, 240 * 320, 300 * 400, 272 * 352};

volatile uint64_t sink;

uint64_t Sum(const uint8_t* pixels, size_t bytes) {
  uint64_t sum = 0;
  for (size_t i = 0; i < bytes; ++i) sum += pixels[i];
  return sum;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  for (const size_t viewBytes : kViewBytes) {
    const SmartCaptureDetailFit fit = FitSmartCaptureDetail(data, size, viewBytes);
    uint64_t total = 0;
    for (const uint8_t* pixels : fit.viewPixels) {
      if (pixels) total += Sum(pixels, viewBytes);
    }
    for (uint32_t i = 0; i < fit.brightnessLines; ++i) total += static_cast<uint32_t>(fit.fields.brightnesses[i]);

    const SmartCaptureLastImage last = FitLastImage(data, size, viewBytes);
    if (last.pixels) {
      total += Sum(last.pixels, viewBytes);
      const size_t area = static_cast<size_t>(last.width) * static_cast<size_t>(last.height);
      if (area > 0) total += Sum(last.pixels, area) / area + static_cast<uint32_t>(last.captureTime);
    }
    sink = total;
  }
  return 0;
}
