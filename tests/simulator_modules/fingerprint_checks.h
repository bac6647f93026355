// What makes an image fingerprint-like, checked alike on a synthesized frame
// and on an image a built module hands through its slot table.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <span>

namespace fingerprint_checks {

// Ridge period in pixels, from how often rows and columns of a central patch
// cross their mean (with hysteresis, so sensor noise does not count). Along the
// direction closest to across the ridges the crossings come fastest.
inline double RidgePeriod(std::span<const uint8_t> image, int width, int height) {
  constexpr int kPatch = 96;
  const int left = width / 2 - kPatch / 2;
  const int top = height / 2 - kPatch / 2;
  auto crossings = [&](bool alongRows) {
    double total = 0;
    for (int line = 0; line < kPatch; ++line) {
      auto at = [&](int i) {
        const int x = left + (alongRows ? i : line);
        const int y = top + (alongRows ? line : i);
        return static_cast<int>(image[static_cast<size_t>(y) * width + x]);
      };
      int sum = 0;
      for (int i = 0; i < kPatch; ++i) sum += at(i);
      const int mean = sum / kPatch;
      int side = 0;
      for (int i = 0; i < kPatch; ++i) {
        const int now = at(i) > mean + 20 ? 1 : (at(i) < mean - 20 ? -1 : 0);
        if (now != 0 && side != 0 && now != side) ++total;
        if (now != 0) side = now;
      }
    }
    return total / kPatch;
  };
  const double fastest = std::max(crossings(true), crossings(false));
  return fastest > 0 ? 2.0 * kPatch / fastest : 1e9;
}

// Ridges at a finger's frequency, dark ridges and light valleys both, and a
// mean gray that is neither an empty sensor nor a black frame.
inline void ExpectFingerprintLike(std::span<const uint8_t> image, int width, int height) {
  ASSERT_EQ(image.size(), static_cast<size_t>(width) * height);
  const double period = RidgePeriod(image, width, height);
  EXPECT_GE(period, 6.0);
  EXPECT_LE(period, 16.0);
  const auto [low, high] = std::minmax_element(image.begin(), image.end());
  EXPECT_LT(*low, 90);
  EXPECT_GT(*high, 200);
  const double mean = std::accumulate(image.begin(), image.end(), 0.0) / static_cast<double>(image.size());
  EXPECT_GT(mean, 60.0);
  EXPECT_LT(mean, 230.0);
}

}  // namespace fingerprint_checks
