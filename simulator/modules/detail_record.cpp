#include "simulator/modules/detail_record.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace simulator {

size_t DetailRecordSize(int width, int height) {
  return sizeof(SmartCaptureDetail) +
         kDetailMaxCaptures * static_cast<size_t>(width) * static_cast<size_t>(height);
}

std::vector<uint8_t> BuildDetailRecord(int width, int height, const SmartCaptureReport* report) {
  const size_t imageBytes = static_cast<size_t>(width) * static_cast<size_t>(height);
  std::vector<uint8_t> record(DetailRecordSize(width, height), 0);
  SmartCaptureDetail header{};
  header.size = static_cast<int32_t>(record.size());
  header.version = kDetailRecordVersion;
  header.width = width;
  header.height = height;
  header.imageBytes = static_cast<int32_t>(imageBytes);
  if (report) {
    const size_t images = std::min(report->images.size(), kDetailMaxCaptures);
    const size_t tried = std::min(report->brightnesses.size(), kDetailMaxBrightnesses);
    header.captureSpeed = report->captureSpeed;
    header.numOfCaptures = static_cast<int32_t>(images);
    header.initBrightness = report->initBrightness;
    header.smartBrightness = report->smartBrightness;
    header.numOfBrightnesses = static_cast<int32_t>(tried);
    std::copy_n(report->brightnesses.begin(), tried, header.brightnesses);
    header.grayQuality = report->grayQuality;
    header.errorCode = report->errorCode;
    header.lineDiffMax = report->lineDiffMax;
    std::copy(report->captureTimes.begin(), report->captureTimes.end(), header.captureTimes);
    for (size_t k = 0; k < images; ++k) {
      const std::vector<uint8_t>& image = report->images[k];
      std::memcpy(record.data() + sizeof(SmartCaptureDetail) + k * imageBytes, image.data(),
                  std::min(image.size(), imageBytes));
    }
  }
  std::memcpy(record.data(), &header, sizeof header);
  return record;
}

int32_t LineDiffMax(std::span<const uint8_t> image, int width, int height) {
  if (width <= 0 || height < 2 ||
      image.size() < static_cast<size_t>(width) * static_cast<size_t>(height)) {
    return 0;
  }
  auto rowMean = [&](int y) {
    long sum = 0;
    for (int x = 0; x < width; ++x) sum += image[static_cast<size_t>(y) * width + x];
    return static_cast<int32_t>(sum / width);
  };
  int32_t largest = 0;
  int32_t previous = rowMean(0);
  for (int y = 1; y < height; ++y) {
    const int32_t mean = rowMean(y);
    largest = std::max(largest, std::abs(mean - previous));
    previous = mean;
  }
  return largest;
}

}  // namespace simulator
