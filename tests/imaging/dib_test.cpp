// The display bitmap drawn into a device context.
#include "imaging/dib.h"

#include <gtest/gtest.h>

#include <cstring>
#include <thread>
#include <vector>

#include "tests/platform/contract/test_canvas.h"

namespace {

using contract_test::GrayRgb;
using contract_test::kWhiteRgb;
using contract_test::TestCanvas;

std::vector<uint8_t> Image(int width, int height, uint8_t (*level)(int x, int y)) {
  std::vector<uint8_t> image(static_cast<size_t>(width) * height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) image[static_cast<size_t>(y) * width + x] = level(x, y);
  }
  return image;
}

TEST(CDibClass, CreateBuildsTheHeaderColorTableAndPalette) {
  CDibClass dib;
  dib.Create(258, 336);
  EXPECT_EQ(dib.DisplayWidth(), 256);
  const BITMAPINFOHEADER& header = dib.Header();
  EXPECT_EQ(header.biSize, 40u);
  EXPECT_EQ(header.biWidth, 256);
  EXPECT_EQ(header.biHeight, 336);
  EXPECT_EQ(header.biPlanes, 1);
  EXPECT_EQ(header.biBitCount, 8);
  EXPECT_EQ(header.biCompression, 0u);
  EXPECT_EQ(header.biSizeImage, 258u * 336u);
  EXPECT_EQ(header.biClrUsed, 256u);
  EXPECT_EQ(header.biClrImportant, 256u);
  ASSERT_NE(dib.BitmapInfo(), nullptr);
  EXPECT_EQ(std::memcmp(dib.BitmapInfo(), &header, sizeof header), 0);
  for (int i = 0; i < 256; ++i) {
    const uint8_t* entry = dib.BitmapInfo() + 40 + 4 * i;
    ASSERT_EQ(entry[0], i);
    ASSERT_EQ(entry[1], i);
    ASSERT_EQ(entry[2], i);
    ASSERT_EQ(entry[3], 0);
  }
  EXPECT_NE(dib.Palette(), nullptr);
}

TEST(CDibClass, WidthNotAMultipleOfFourDropsTheLastColumnsWithoutShearing) {
  constexpr int kWidth = 258;
  constexpr int kHeight = 336;
  // Each row has its own level; the two columns past the display width are
  // brighter than any, so a wrong row stride or a shown extra column shows up.
  const auto image = Image(kWidth, kHeight, [](int x, int y) -> uint8_t {
    return x >= 256 ? 250 : static_cast<uint8_t>(y % 200);
  });
  TestCanvas canvas(kWidth, kHeight);
  CDibClass dib;
  dib.Create(kWidth, kHeight);
  const RECT rect{0, 0, kWidth, kHeight};
  dib.DrawImage(canvas.Dc(), &rect, image.data());
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) ASSERT_EQ(canvas.Pixel(x, y), GrayRgb(y % 200)) << x << "," << y;
  }
}

TEST(CDibClass, WidthMultipleOfFourShowsEveryPixelUprightInsideTheRectangle) {
  constexpr int kWidth = 260;
  constexpr int kHeight = 300;
  const auto image = Image(kWidth, kHeight, [](int x, int y) { return static_cast<uint8_t>(x + 3 * y); });
  TestCanvas canvas(kWidth + 20, kHeight + 30);
  CDibClass dib;
  dib.Create(kWidth, kHeight);
  const RECT rect{10, 20, 10 + kWidth, 20 + kHeight};
  dib.DrawImage(canvas.Dc(), &rect, image.data());
  for (int y = 0; y < kHeight + 30; ++y) {
    for (int x = 0; x < kWidth + 20; ++x) {
      const bool inside = x >= 10 && x < 10 + kWidth && y >= 20 && y < 20 + kHeight;
      const uint32_t expected = inside ? GrayRgb(image[(y - 20) * kWidth + (x - 10)]) : kWhiteRgb;
      ASSERT_EQ(canvas.Pixel(x, y), expected) << x << "," << y;
    }
  }
}

TEST(CDibClass, DrawsNothingUntilSizedAndGivenAnImage) {
  TestCanvas canvas(8, 8);
  const RECT all{0, 0, 8, 8};
  const std::vector<uint8_t> black(64, 0);
  CDibClass dib;
  dib.Draw(canvas.Dc(), &all);
  dib.SetImage(black.data());
  dib.Draw(canvas.Dc(), &all);
  dib.Create(8, 8);
  dib.Draw(canvas.Dc(), &all);
  dib.SetImage(nullptr);
  dib.Draw(canvas.Dc(), &all);
  for (const int width : {0, 3, -8}) {
    dib.Create(width, 8);
    EXPECT_EQ(dib.Palette(), nullptr);
    dib.DrawImage(canvas.Dc(), &all, black.data());
  }
  EXPECT_EQ(canvas.Pixel(0, 0), kWhiteRgb);
  EXPECT_EQ(canvas.Pixel(7, 7), kWhiteRgb);
}

TEST(CDibClass, DrawPutsBackThePaletteSelectedBefore) {
  TestCanvas canvas(8, 8);
  std::vector<uint8_t> record(offsetof(LOGPALETTE, palPalEntry) + sizeof(PALETTEENTRY));
  auto* logical = reinterpret_cast<LOGPALETTE*>(record.data());
  logical->palVersion = 0x300;
  logical->palNumEntries = 1;
  HPALETTE earlier = CreatePalette(logical);
  const HPALETTE original = SelectPalette(canvas.Dc(), earlier, FALSE);

  CDibClass dib;
  dib.Create(8, 8);
  const std::vector<uint8_t> image(64, 9);
  const RECT all{0, 0, 8, 8};
  dib.DrawImage(canvas.Dc(), &all, image.data());
  EXPECT_EQ(canvas.Pixel(3, 3), GrayRgb(9));
  EXPECT_EQ(SelectPalette(canvas.Dc(), original, FALSE), earlier);
  DeleteObject(earlier);
}

TEST(CDibClass, DrawImageFromTwoThreadsKeepsEachPictureWhole) {
  constexpr int kSize = 64;
  TestCanvas canvas(kSize, kSize);
  CDibClass dib;
  dib.Create(kSize, kSize);
  const RECT all{0, 0, kSize, kSize};
  auto drawer = [&](uint8_t level) {
    const std::vector<uint8_t> image(kSize * kSize, level);
    for (int i = 0; i < 200; ++i) dib.DrawImage(canvas.Dc(), &all, image.data());
  };
  std::thread dark(drawer, uint8_t{0});
  std::thread light(drawer, uint8_t{200});
  dark.join();
  light.join();
  const uint32_t corner = canvas.Pixel(0, 0);
  EXPECT_TRUE(corner == GrayRgb(0) || corner == GrayRgb(200));
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) ASSERT_EQ(canvas.Pixel(x, y), corner);
  }
}

}  // namespace
