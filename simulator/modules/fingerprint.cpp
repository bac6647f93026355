#include "simulator/modules/fingerprint.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace simulator {
namespace {

uint64_t SplitMix64(uint64_t& state) {
  uint64_t z = (state += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

// Uniform in [low, high).
double Uniform(uint64_t& state, double low, double high) {
  return low + (high - low) * static_cast<double>(SplitMix64(state) >> 11) * 0x1.0p-53;
}

uint64_t HashSerial(std::string_view serial) {
  uint64_t hash = 0xCBF29CE484222325ull;  // FNV-1a
  for (char c : serial) {
    hash ^= static_cast<uint8_t>(c);
    hash *= 0x100000001B3ull;
  }
  return hash;
}

struct Minutia {
  double x;
  double y;
  double polarity;  // +1 or -1: which way the spiral adds a ridge
};

// The finger's layout in pattern coordinates.
struct Pattern {
  double coreX, coreY;
  double rayX, rayY;        // unit direction in which the loop's legs leave the core
  double baseY, baseSlope;  // line the lower ridges run parallel to
  double period;            // ridge period in pixels
  double warpAmplitude, warpFx, warpFy, warpPhase;
  std::array<Minutia, 12> minutiae;
};

Pattern MakePattern(uint64_t seed, int patternWidth, int patternHeight) {
  Pattern p{};
  const double w = patternWidth;
  const double h = patternHeight;
  p.coreX = w * Uniform(seed, 0.44, 0.56);
  p.coreY = h * Uniform(seed, 0.36, 0.46);
  const double side = (SplitMix64(seed) & 1) ? 1.0 : -1.0;  // right or left loop
  const double slant = side * Uniform(seed, 0.35, 0.65);    // radians from straight down
  p.rayX = std::sin(slant);
  p.rayY = std::cos(slant);
  p.baseY = p.coreY + h * Uniform(seed, 0.20, 0.28);
  p.baseSlope = -side * Uniform(seed, 0.05, 0.15);
  p.period = Uniform(seed, 8.0, 10.0);
  p.warpAmplitude = Uniform(seed, 0.8, 1.6);
  p.warpFx = Uniform(seed, 0.008, 0.02);
  p.warpFy = Uniform(seed, 0.008, 0.02);
  p.warpPhase = Uniform(seed, 0.0, 2 * std::numbers::pi);
  for (size_t i = 0; i < p.minutiae.size(); ++i) {
    p.minutiae[i] = {w * Uniform(seed, 0.2, 0.8), h * Uniform(seed, 0.15, 0.85),
                     (i % 2 == 0) ? 1.0 : -1.0};
  }
  return p;
}

// Distance to the ray from the core along the loop's legs: its level lines are
// the loops, recurving around the core and running out along the legs.
double LoopDistance(const Pattern& p, double x, double y) {
  const double dx = x - p.coreX;
  const double dy = y - p.coreY;
  const double along = dx * p.rayX + dy * p.rayY;
  if (along <= 0) return std::hypot(dx, dy);
  return std::abs(dx * p.rayY - dy * p.rayX);
}

// The smooth phase, in ridge periods times 2π. Below the loops the ridges run
// across the finger; where the two families meet they form the delta. A soft
// minimum keeps the meeting line free of sharp corners.
double SmoothPhase(const Pattern& p, double x, double y) {
  const double loop = LoopDistance(p, x, y);
  const double base = p.baseY - y + p.baseSlope * (x - p.coreX);
  constexpr double kSoftness = 4.0;
  const double low = std::min(loop, base);
  const double distance = low - kSoftness * std::log1p(std::exp(-std::abs(loop - base) / kSoftness));
  const double warp =
      p.warpAmplitude * std::sin(p.warpFx * x + p.warpFy * y + p.warpPhase);
  return 2 * std::numbers::pi * distance / p.period + warp;
}

double SpiralPhase(const Pattern& p, double x, double y) {
  double phase = 0;
  for (const Minutia& m : p.minutiae) phase += m.polarity * std::atan2(y - m.y, x - m.x);
  return phase;
}

}  // namespace

FingerprintSynthesizer::FingerprintSynthesizer(int width, int height, std::string_view serial)
    : width_(std::max(width, 1)), height_(std::max(height, 1)), seed_(HashSerial(serial)) {
  const int patternWidth = width_ + 2 * kMargin;
  const int patternHeight = height_ + 2 * kMargin;
  const Pattern pattern = MakePattern(seed_, patternWidth, patternHeight);
  ridges_.resize(static_cast<size_t>(patternWidth) * static_cast<size_t>(patternHeight));
  for (int y = 0; y < patternHeight; ++y) {
    for (int x = 0; x < patternWidth; ++x) {
      const double phase = SmoothPhase(pattern, x, y) + SpiralPhase(pattern, x, y);
      ridges_[static_cast<size_t>(y) * patternWidth + x] =
          static_cast<uint8_t>(std::lround((1.0 + std::cos(phase)) * 127.5));
    }
  }
}

int FingerprintSynthesizer::Render(uint64_t frame, const FrameSettings& settings,
                                   std::span<uint8_t> image) const {
  const size_t pixelCount = static_cast<size_t>(width_) * static_cast<size_t>(height_);
  if (image.size() < pixelCount) return 0;

  uint64_t state = seed_ ^ (frame * 0xD1B54A32D192ED03ull);
  uint32_t noise = static_cast<uint32_t>(SplitMix64(state)) | 1u;
  const double brightness = std::clamp(settings.brightness, 0, 100) - 50.0;

  if (!settings.fingerPresent) {
    const int background = static_cast<int>(std::lround(242 + brightness * 0.2));
    for (size_t i = 0; i < pixelCount; ++i) {
      noise ^= noise << 13;
      noise ^= noise >> 17;
      noise ^= noise << 5;
      image[i] = static_cast<uint8_t>(std::clamp(background + static_cast<int>(noise >> 29) - 4, 0, 255));
    }
    return 0;
  }

  // Where the finger lies and how hard it presses, this frame.
  const int shiftX = static_cast<int>(Uniform(state, 0, 2 * kMargin + 1));
  const int shiftY = static_cast<int>(Uniform(state, 0, 2 * kMargin + 1));
  const double pressure = Uniform(state, 0.3, 0.9);
  const double centerX = width_ * Uniform(state, 0.44, 0.56);
  const double centerY = height_ * Uniform(state, 0.46, 0.58);
  const double radiusX = width_ * (0.34 + 0.1 * pressure);
  const double radiusY = height_ * (0.38 + 0.08 * pressure);

  // Gray of a pattern value: light valleys, dark ridges, thicker ridges under pressure.
  const double valley = 205 + brightness * 1.6;
  const double depth = 150 * std::max(settings.contrast, 0.0);
  const double threshold = 0.3 - 0.6 * pressure;
  std::array<int16_t, 256> gray{};
  for (int v = 0; v < 256; ++v) {
    const double ridge = v / 127.5 - 1.0;
    const double ink = std::clamp((ridge - threshold) / 0.35 + 0.5, 0.0, 1.0);
    gray[v] = static_cast<int16_t>(std::lround(valley - depth * ink * ink * (3 - 2 * ink)));
  }
  const int background = static_cast<int>(std::lround(std::min(242 + brightness * 0.2, 255.0)));

  // Contact weight falls from 1 inside the ellipse to 0 over a soft rim.
  constexpr double kRimFraction = 0.08;
  std::vector<float> columnTerm(static_cast<size_t>(width_));
  for (int x = 0; x < width_; ++x) {
    const double u = (x - centerX) / radiusX;
    columnTerm[x] = static_cast<float>(u * u);
  }

  const int patternWidth = width_ + 2 * kMargin;
  size_t contactPixels = 0;
  for (int y = 0; y < height_; ++y) {
    const double v = (y - centerY) / radiusY;
    const float rowTerm = static_cast<float>(v * v);
    const uint8_t* ridges = &ridges_[static_cast<size_t>(y + shiftY) * patternWidth + shiftX];
    uint8_t* out = &image[static_cast<size_t>(y) * width_];
    for (int x = 0; x < width_; ++x) {
      const float e = columnTerm[x] + rowTerm;
      const float weight = std::clamp((1.0f - e) * static_cast<float>(1 / kRimFraction), 0.0f, 1.0f);
      contactPixels += weight > 0.5f;
      noise ^= noise << 13;
      noise ^= noise >> 17;
      noise ^= noise << 5;
      const float finger = static_cast<float>(gray[ridges[x]] - background);
      const int value = background + static_cast<int>(weight * finger) + static_cast<int>(noise >> 28) - 8;
      out[x] = static_cast<uint8_t>(std::clamp(value, 0, 255));
    }
  }

  // Quality: enough contact area and enough visible ridge depth.
  const double area = static_cast<double>(contactPixels) / static_cast<double>(pixelCount);
  const double visibleDepth =
      std::clamp(valley, 0.0, 255.0) - std::clamp(valley - depth, 0.0, 255.0);
  const double quality = 100 * std::min(1.0, area / 0.45) * std::min(1.0, visibleDepth / 130);
  return static_cast<int>(std::lround(std::clamp(quality, 0.0, 100.0)));
}

}  // namespace simulator
