// The smart capture of the smart-capture reader: it settles a brightness that
// gives a well-exposed image, starting from the current one, and takes a second
// and third ("split") image when the first is weak.
#pragma once

#include <chrono>
#include <cstdint>

#include "simulator/modules/detail_record.h"
#include "simulator/modules/fingerprint.h"

namespace simulator {

struct SmartCaptureResult {
  SmartCaptureReport report;  // images[0] is the image the capture returns
  int quality = 0;            // of images[0]
  uint64_t framesUsed = 0;    // frame numbers taken, from the first one on
};

// Mean gray the brightness search aims at, and how close it must come.
inline constexpr int kSmartTargetGray = 170;
inline constexpr int kSmartTolerance = 6;
// Quality below which another image is taken.
inline constexpr int kSmartSplitQuality = 90;

SmartCaptureResult RunSmartCapture(const FingerprintSynthesizer& synthesizer, uint64_t firstFrame,
                                   const FrameSettings& settings, std::chrono::milliseconds latency);

// Mean of all bytes, fraction dropped; 0 for an empty image.
int MeanGray(std::span<const uint8_t> image);

}  // namespace simulator
