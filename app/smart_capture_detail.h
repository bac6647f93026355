// Holding and checking the smart-capture reader's capture-detail record
// (declared with the sensor interface), from the reader or from a ".scd" file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "device/sensor.h"

// The record is a block of `size` bytes from malloc/calloc; the images follow the header.
struct SmartCaptureDetailFree {
  void operator()(SmartCaptureDetail* detail) const { std::free(detail); }
};
using SmartCaptureDetailPtr = std::unique_ptr<SmartCaptureDetail, SmartCaptureDetailFree>;

// What of a capture-detail record can be shown without reading outside it.
// The record comes from a driver or from a file, so every field that places
// something is checked against the bytes that really hold the record.
// `viewBytes` is the open reader's image size (width x height): the views draw
// that many bytes from an image.
struct SmartCaptureDetailFit {
  bool header = false;         // the 112-byte header lies inside the record
  SmartCaptureDetail fields{};  // a copy of the header, when it lies inside
  // Images for the two smart-capture views, only when errorCode is 0:
  // viewImages is 0 (views left as they are), 1 or 2; a view's pixels are
  // null when its image does not lie inside the record or is too small.
  int viewImages = 0;
  const uint8_t* viewPixels[2] = {nullptr, nullptr};
  std::string refused;  // what of the header and views was not shown and why
  uint32_t brightnessLines = 0;  // lines of the brightness list, at most 11
  std::string listRefused;       // what of the list was not shown
};

SmartCaptureDetailFit FitSmartCaptureDetail(const uint8_t* record, size_t recordBytes,
                                            size_t viewBytes);

// The last image of a loaded file: image numOfCaptures, with its capture time.
struct SmartCaptureLastImage {
  const uint8_t* pixels = nullptr;  // null when refused
  int32_t captureTime = 0;
  int32_t width = 0;   // the record's own size for the mean gray; 0 x 0 when
  int32_t height = 0;  // those do not fit the image
  std::string refused;
};

SmartCaptureLastImage FitLastImage(const uint8_t* record, size_t recordBytes, size_t viewBytes);
