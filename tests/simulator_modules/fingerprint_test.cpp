#include "simulator/modules/fingerprint.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "simulator/modules/smart_capture.h"
#include "tests/simulator_modules/fingerprint_checks.h"

namespace simulator {
namespace {

constexpr int kWidth = 258;  // not a multiple of four on purpose
constexpr int kHeight = 336;

std::vector<uint8_t> Frame(const FingerprintSynthesizer& finger, uint64_t number,
                           FrameSettings settings = {}, int* quality = nullptr) {
  std::vector<uint8_t> image(static_cast<size_t>(kWidth) * kHeight);
  const int q = finger.Render(number, settings, image);
  if (quality) *quality = q;
  return image;
}

TEST(Fingerprint, SameSerialAndFrameGiveSameBytesAndFramesDiffer) {
  const FingerprintSynthesizer finger(kWidth, kHeight, "SER-1");
  const FingerprintSynthesizer again(kWidth, kHeight, "SER-1");
  const FingerprintSynthesizer other(kWidth, kHeight, "SER-2");
  EXPECT_EQ(Frame(finger, 7), Frame(again, 7));
  EXPECT_NE(Frame(finger, 7), Frame(finger, 8));
  EXPECT_NE(Frame(finger, 7), Frame(other, 7));
}

TEST(Fingerprint, PresentFingerShowsRidgesAtFingerprintFrequency) {
  for (const char* serial : {"SER-1", "SER-2", "HMX02-7731"}) {
    const FingerprintSynthesizer finger(kWidth, kHeight, serial);
    for (uint64_t number : {0u, 1u, 5u}) {
      SCOPED_TRACE(std::string(serial) + " frame " + std::to_string(number));
      int quality = 0;
      const std::vector<uint8_t> image = Frame(finger, number, {}, &quality);
      fingerprint_checks::ExpectFingerprintLike(image, kWidth, kHeight);
      EXPECT_GT(quality, 50);
    }
  }
}

TEST(Fingerprint, MeanGrayRisesWithBrightness) {
  const FingerprintSynthesizer finger(kWidth, kHeight, "SER-1");
  int previous = -1;
  for (int brightness : {0, 20, 50, 80, 100}) {
    const int mean = MeanGray(Frame(finger, 3, {brightness, 1.0, true}));
    EXPECT_GT(mean, previous) << "brightness " << brightness;
    previous = mean;
  }
}

TEST(Fingerprint, ContrastDeepensRidgesAndRaisesQuality) {
  const FingerprintSynthesizer finger(kWidth, kHeight, "SER-1");
  int flatQuality = 0;
  int deepQuality = 0;
  const std::vector<uint8_t> flat = Frame(finger, 3, {50, 0.3, true}, &flatQuality);
  const std::vector<uint8_t> deep = Frame(finger, 3, {50, 1.2, true}, &deepQuality);
  EXPECT_LT(*std::min_element(deep.begin(), deep.end()),
            *std::min_element(flat.begin(), flat.end()));
  EXPECT_LT(flatQuality, deepQuality);
}

TEST(Fingerprint, EmptySensorIsNearlyWhiteNoiseOfQualityZero) {
  const FingerprintSynthesizer finger(kWidth, kHeight, "SER-1");
  int quality = -1;
  const std::vector<uint8_t> image = Frame(finger, 3, {50, 1.0, false}, &quality);
  EXPECT_EQ(quality, 0);
  const auto [low, high] = std::minmax_element(image.begin(), image.end());
  EXPECT_GE(*low, 230);
  EXPECT_LT(*low, *high);  // sensor noise
}

TEST(Fingerprint, RefusesTooSmallBuffer) {
  const FingerprintSynthesizer finger(kWidth, kHeight, "SER-1");
  std::vector<uint8_t> small(10, 7);
  EXPECT_EQ(finger.Render(0, {}, small), 0);
  EXPECT_EQ(small, std::vector<uint8_t>(10, 7));
}

TEST(SmartCapture, SettlesNearTargetGrayFromAnyStart) {
  const FingerprintSynthesizer finger(kWidth, kHeight, "SER-1");
  for (int start : {0, 50, 100}) {
    const SmartCaptureResult result =
        RunSmartCapture(finger, 4, {start, 1.0, true}, std::chrono::milliseconds(80));
    const SmartCaptureReport& report = result.report;
    ASSERT_FALSE(report.images.empty());
    EXPECT_LE(report.images.size(), 3u);
    EXPECT_EQ(report.brightnesses.front(), start);
    EXPECT_LE(report.brightnesses.size(), 11u);
    EXPECT_EQ(report.brightnesses.back(), report.smartBrightness);
    EXPECT_NEAR(MeanGray(report.images.front()), kSmartTargetGray, kSmartTolerance + 2);
    EXPECT_EQ(result.framesUsed, report.images.size());
  }
}

}  // namespace
}  // namespace simulator
