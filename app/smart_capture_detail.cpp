#include "app/smart_capture_detail.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string_view>

namespace {

// The header's list lengths, in the types their counts are read in.
constexpr auto kMaxCaptures = static_cast<int32_t>(kDetailMaxCaptures);
constexpr auto kMaxBrightnesses = static_cast<uint32_t>(kDetailMaxBrightnesses);

void AddReason(std::string& reasons, std::string_view reason) {
  if (!reasons.empty()) reasons += "; ";
  reasons += reason;
}

template <typename... Args>
std::string Format(const char* format, Args... args) {
  char text[128];
  std::snprintf(text, sizeof text, format, args...);
  return text;
}

// Image `number` (from 1), when its whole slot lies inside the record and the
// slot holds at least the reader's image; else null with the reason added.
const uint8_t* ImageInside(const uint8_t* record, size_t recordBytes, const SmartCaptureDetail& fields,
                           int number, size_t viewBytes, std::string& reasons) {
  if (fields.imageBytes < 0) {
    AddReason(reasons, Format("image %d has a negative size", number));
    return nullptr;
  }
  const uint64_t slot = static_cast<uint64_t>(fields.imageBytes);
  const uint64_t start = kSmartCaptureHeaderSize + static_cast<uint64_t>(number - 1) * slot;
  if (start + slot > recordBytes) {
    AddReason(reasons, Format("image %d lies outside the record", number));
    return nullptr;
  }
  if (viewBytes > slot) {
    AddReason(reasons, Format("image %d is smaller than the reader's image", number));
    return nullptr;
  }
  return record + start;
}

// Copies the header out when it lies inside the record; the bytes of a file
// need not be aligned for the record's fields.
bool ReadHeader(const uint8_t* record, size_t recordBytes, SmartCaptureDetail& fields,
                std::string& reasons) {
  if (!record || recordBytes < kSmartCaptureHeaderSize) {
    AddReason(reasons, "the record is smaller than its header");
    return false;
  }
  std::memcpy(&fields, record, kSmartCaptureHeaderSize);
  return true;
}

}  // namespace

SmartCaptureDetailFit FitSmartCaptureDetail(const uint8_t* record, size_t recordBytes,
                                            size_t viewBytes) {
  SmartCaptureDetailFit fit;
  fit.header = ReadHeader(record, recordBytes, fit.fields, fit.refused);
  if (!fit.header) {
    fit.listRefused = fit.refused;
    return fit;
  }
  const SmartCaptureDetail& fields = fit.fields;

  const auto brightnesses = static_cast<uint32_t>(fields.numOfBrightnesses);
  fit.brightnessLines = std::min(brightnesses, kMaxBrightnesses);
  if (brightnesses > kMaxBrightnesses) {
    AddReason(fit.listRefused,
              Format("only %u of %u brightnesses listed", kMaxBrightnesses, brightnesses));
  }

  if (fields.errorCode == 0 && fields.numOfCaptures >= 1) {
    fit.viewImages = fields.numOfCaptures > 1 ? 2 : 1;
    for (int number = 1; number <= fit.viewImages; ++number) {
      fit.viewPixels[number - 1] = ImageInside(record, recordBytes, fields, number, viewBytes, fit.refused);
    }
  }
  return fit;
}

SmartCaptureLastImage FitLastImage(const uint8_t* record, size_t recordBytes, size_t viewBytes) {
  SmartCaptureLastImage last;
  SmartCaptureDetail fields;
  if (!ReadHeader(record, recordBytes, fields, last.refused)) return last;

  const int32_t count = fields.numOfCaptures;
  if (count < 1 || count > kMaxCaptures) {
    AddReason(last.refused, Format("%d images in the record, 1 to %d expected", count, kMaxCaptures));
    return last;
  }
  last.pixels = ImageInside(record, recordBytes, fields, count, viewBytes, last.refused);
  if (!last.pixels) return last;
  last.captureTime = fields.captureTimes[count - 1];

  const int64_t area = static_cast<int64_t>(fields.width) * fields.height;
  if (fields.width > 0 && fields.height > 0 && area <= fields.imageBytes) {
    last.width = fields.width;
    last.height = fields.height;
  } else {
    AddReason(last.refused, Format("a %d x %d image does not fit %d bytes", fields.width,
                                   fields.height, fields.imageBytes));
  }
  return last;
}
