// StretchDIBits as the display bitmap uses it: an 8-bit bottom-up DIB with a
// 256-entry gray color table, a 256-level gray palette selected and realized,
// drawn into a device context in HALFTONE or COLORONCOLOR mode.
//
// Equal sizes copy exactly. Scaled, the systems place their samples and filter
// differently (platform/README.md), so a smooth picture is compared with its
// ideal scaled form: every pixel within kTolerance gray levels of it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "platform/win32.h"
#include "tests/platform/contract/test_canvas.h"

namespace {

using contract_test::GrayRgb;
using contract_test::TestCanvas;

constexpr int kWidth = 64;
constexpr int kHeight = 48;
// A sample may sit up to a source pixel apart between systems: 2 + 1 levels.
constexpr int kTolerance = 3;

// The picture, top row first: 2 levels more each column right, 1 each row down.
double IdealLevel(double x, double y) {
  return 2 * std::clamp(x, 0.0, kWidth - 1.0) + std::clamp(y, 0.0, kHeight - 1.0);
}

// Header, 256 gray color-table entries, then the rows bottom row first.
struct GrayDib {
  GrayDib() : info(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD)), bits(kWidth * kHeight) {
    const BITMAPINFOHEADER header{sizeof header, kWidth, kHeight, 1, 8, BI_RGB, 0, 0, 0, 256, 256};
    std::memcpy(info.data(), &header, sizeof header);
    for (int i = 0; i < 256; ++i) {
      const auto level = static_cast<BYTE>(i);
      const RGBQUAD color{level, level, level, 0};
      std::memcpy(info.data() + sizeof header + i * sizeof color, &color, sizeof color);
    }
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) bits[(kHeight - 1 - y) * kWidth + x] = static_cast<uint8_t>(IdealLevel(x, y));
    }
  }
  const BITMAPINFO* Info() const { return reinterpret_cast<const BITMAPINFO*>(info.data()); }

  std::vector<uint8_t> info;
  std::vector<uint8_t> bits;  // rows of 64 bytes need no padding
};

HPALETTE CreateGrayPalette() {
  std::vector<uint8_t> record(offsetof(LOGPALETTE, palPalEntry) + 256 * sizeof(PALETTEENTRY));
  auto* palette = reinterpret_cast<LOGPALETTE*>(record.data());
  palette->palVersion = 0x300;
  palette->palNumEntries = 256;
  for (int i = 0; i < 256; ++i) {
    const auto level = static_cast<BYTE>(i);
    const PALETTEENTRY entry{level, level, level, 0};
    std::memcpy(record.data() + offsetof(LOGPALETTE, palPalEntry) + i * sizeof entry, &entry, sizeof entry);
  }
  return CreatePalette(palette);
}

struct Scaling {
  int mode;
  int width;
  int height;
};

class StretchDIBitsTest : public testing::TestWithParam<Scaling> {};

TEST_P(StretchDIBitsTest, DrawsTheGrayPictureWithinTheTolerance) {
  const Scaling scaling = GetParam();
  const GrayDib dib;
  TestCanvas canvas(scaling.width, scaling.height);
  HPALETTE gray = CreateGrayPalette();
  ASSERT_NE(gray, nullptr);
  // A device context starts with a palette selected, which the drawing puts back.
  const HPALETTE previous = SelectPalette(canvas.Dc(), gray, FALSE);
  EXPECT_NE(previous, nullptr);
  RealizePalette(canvas.Dc());
  SetStretchBltMode(canvas.Dc(), scaling.mode);
  EXPECT_EQ(StretchDIBits(canvas.Dc(), 0, 0, scaling.width, scaling.height, 0, 0, kWidth, kHeight,
                          dib.bits.data(), dib.Info(), DIB_RGB_COLORS, SRCCOPY),
            kHeight);

  const bool sameSize = scaling.width == kWidth && scaling.height == kHeight;
  int worst = 0;
  for (int y = 0; y < scaling.height; ++y) {
    for (int x = 0; x < scaling.width; ++x) {
      const double sourceX = (x + 0.5) * kWidth / scaling.width - 0.5;
      const double sourceY = (y + 0.5) * kHeight / scaling.height - 0.5;
      const int ideal = static_cast<int>(std::lround(IdealLevel(sourceX, sourceY)));
      const uint32_t pixel = canvas.Pixel(x, y);
      const int level = static_cast<int>(pixel & 0xFF);
      ASSERT_EQ(pixel, GrayRgb(level)) << "not gray at " << x << "," << y;
      if (sameSize) {
        ASSERT_EQ(level, ideal) << x << "," << y;
      }
      worst = std::max(worst, std::abs(level - ideal));
    }
  }
  EXPECT_LE(worst, kTolerance);
  EXPECT_EQ(SelectPalette(canvas.Dc(), previous, TRUE), gray);
  EXPECT_TRUE(DeleteObject(gray));
}

INSTANTIATE_TEST_SUITE_P(Scalings, StretchDIBitsTest,
                         testing::Values(Scaling{HALFTONE, kWidth, kHeight}, Scaling{COLORONCOLOR, kWidth, kHeight},
                                         Scaling{HALFTONE, 32, 24}, Scaling{COLORONCOLOR, 32, 24},
                                         Scaling{HALFTONE, 160, 120}, Scaling{COLORONCOLOR, 160, 120},
                                         Scaling{HALFTONE, 100, 37}, Scaling{COLORONCOLOR, 100, 37}),
                         [](const testing::TestParamInfo<Scaling>& info) {
                           return std::string(info.param.mode == HALFTONE ? "Halftone" : "ColorOnColor") +
                                  std::to_string(info.param.width) + "x" + std::to_string(info.param.height);
                         });

}  // namespace
