#include "simulator/modules/smart_capture.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numeric>

namespace simulator {

int MeanGray(std::span<const uint8_t> image) {
  if (image.empty()) return 0;
  const uint64_t sum = std::accumulate(image.begin(), image.end(), uint64_t{0});
  return static_cast<int>(sum / image.size());
}

SmartCaptureResult RunSmartCapture(const FingerprintSynthesizer& synthesizer, uint64_t firstFrame,
                                   const FrameSettings& settings,
                                   std::chrono::milliseconds latency) {
  const size_t pixels =
      static_cast<size_t>(synthesizer.width()) * static_cast<size_t>(synthesizer.height());
  const int32_t frameMs = static_cast<int32_t>(latency.count());
  SmartCaptureResult result;
  SmartCaptureReport& report = result.report;
  report.initBrightness = std::clamp(settings.brightness, 0, 100);

  // Brightness search on the first placement of the finger: each try is one
  // exposure; the mean gray rises about one step per brightness unit.
  FrameSettings trial = settings;
  trial.brightness = report.initBrightness;
  std::vector<uint8_t> image(pixels);
  int quality = 0;
  while (true) {
    quality = synthesizer.Render(firstFrame, trial, image);
    report.brightnesses.push_back(trial.brightness);
    const int error = kSmartTargetGray - MeanGray(image);
    if (std::abs(error) <= kSmartTolerance || report.brightnesses.size() >= kDetailMaxBrightnesses)
      break;
    const int next = std::clamp(trial.brightness + error * 4 / 5, 0, 100);
    if (next == trial.brightness) break;  // at the end of the range
    trial.brightness = next;
  }
  report.smartBrightness = trial.brightness;
  report.grayQuality = quality;
  report.lineDiffMax = LineDiffMax(image, synthesizer.width(), synthesizer.height());
  result.quality = quality;
  report.images.push_back(std::move(image));
  report.captureTimes[0] = frameMs;

  // Split images while the finger gives weak ones.
  while (quality < kSmartSplitQuality && report.images.size() < kDetailMaxCaptures) {
    std::vector<uint8_t> split(pixels);
    quality = synthesizer.Render(firstFrame + report.images.size(), trial, split);
    report.captureTimes[report.images.size()] = frameMs;
    report.images.push_back(std::move(split));
  }

  const int32_t searchMs = frameMs / 4 * static_cast<int32_t>(report.brightnesses.size() - 1);
  report.captureSpeed = searchMs + frameMs * static_cast<int32_t>(report.images.size());
  result.framesUsed = report.images.size();
  return result;
}

}  // namespace simulator
