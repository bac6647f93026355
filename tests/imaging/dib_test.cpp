// The display bitmap drawn onto a window surface.
#include "imaging/dib.h"

#include <gtest/gtest.h>

#include <cstring>
#include <thread>
#include <vector>

#include "platform/gdi_host.h"
#include "test_window.h"

namespace {

using imaging_test::Gray;
using imaging_test::kWhite;
using imaging_test::TestWindow;
using imaging_test::WindowDc;

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
  TestWindow window(kWidth, kHeight);
  CDibClass dib(window.Handle());
  dib.Create(kWidth, kHeight);
  {
    WindowDc dc(window.Handle());
    const RECT rect{0, 0, kWidth, kHeight};
    dib.DrawImage(dc.Get(), &rect, image.data());
  }
  EXPECT_EQ(window.SurfaceChanges(), 1);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) ASSERT_EQ(window.Pixel(x, y), Gray(y % 200)) << x << "," << y;
  }
}

TEST(CDibClass, WidthMultipleOfFourShowsEveryPixelUprightInsideTheRectangle) {
  constexpr int kWidth = 260;
  constexpr int kHeight = 300;
  const auto image = Image(kWidth, kHeight, [](int x, int y) { return static_cast<uint8_t>(x + 3 * y); });
  TestWindow window(kWidth + 20, kHeight + 30);
  CDibClass dib(window.Handle());
  dib.Create(kWidth, kHeight);
  WindowDc dc(window.Handle());
  const RECT rect{10, 20, 10 + kWidth, 20 + kHeight};
  dib.DrawImage(dc.Get(), &rect, image.data());
  for (int y = 0; y < kHeight + 30; ++y) {
    for (int x = 0; x < kWidth + 20; ++x) {
      const bool inside = x >= 10 && x < 10 + kWidth && y >= 20 && y < 20 + kHeight;
      const uint32_t expected = inside ? Gray(image[(y - 20) * kWidth + (x - 10)]) : kWhite;
      ASSERT_EQ(window.Pixel(x, y), expected) << x << "," << y;
    }
  }
}

TEST(CDibClass, WithoutRectangleFillsTheClientAreaOfItsWindow) {
  TestWindow window(100, 80);
  CDibClass dib(window.Handle());
  dib.Create(10, 8);
  const std::vector<uint8_t> black(10 * 8, 0);
  WindowDc dc(window.Handle());
  dib.DrawImage(dc.Get(), nullptr, black.data());
  for (int y = 0; y < 80; ++y) {
    for (int x = 0; x < 100; ++x) ASSERT_EQ(window.Pixel(x, y), Gray(0)) << x << "," << y;
  }
}

TEST(CDibClass, DrawsNothingUntilSizedAndGivenAnImage) {
  TestWindow window(8, 8);
  WindowDc dc(window.Handle());
  const std::vector<uint8_t> black(64, 0);
  CDibClass dib(window.Handle());
  dib.Draw(dc.Get(), nullptr);
  dib.SetImage(black.data());
  dib.Draw(dc.Get(), nullptr);
  dib.Create(8, 8);
  dib.Draw(dc.Get(), nullptr);
  dib.SetImage(nullptr);
  dib.Draw(dc.Get(), nullptr);
  for (const int width : {0, 3, -8}) {
    dib.Create(width, 8);
    EXPECT_EQ(dib.Palette(), nullptr);
    dib.DrawImage(dc.Get(), nullptr, black.data());
  }
  EXPECT_EQ(window.Pixel(0, 0), kWhite);
  EXPECT_EQ(window.Pixel(7, 7), kWhite);
}

TEST(CDibClass, RepeatedCreateKeepsOnePaletteAlive) {
  const int before = platform::LivePaletteCount();
  {
    CDibClass dib;
    for (int i = 0; i < 3; ++i) dib.Create(8 + 4 * i, 8);
    EXPECT_EQ(platform::LivePaletteCount(), before + 1);
    dib.Free();
    EXPECT_EQ(platform::LivePaletteCount(), before);
    dib.Create(8, 8);
  }
  EXPECT_EQ(platform::LivePaletteCount(), before);
}

TEST(CDibClass, DrawPutsBackThePaletteSelectedBefore) {
  TestWindow window(8, 8);
  WindowDc dc(window.Handle());
  std::vector<uint8_t> record(offsetof(LOGPALETTE, palPalEntry) + sizeof(PALETTEENTRY));
  auto* logical = reinterpret_cast<LOGPALETTE*>(record.data());
  logical->palVersion = 0x300;
  logical->palNumEntries = 1;
  HPALETTE earlier = CreatePalette(logical);
  SelectPalette(dc.Get(), earlier, FALSE);

  CDibClass dib(window.Handle());
  dib.Create(8, 8);
  const std::vector<uint8_t> image(64, 9);
  dib.DrawImage(dc.Get(), nullptr, image.data());
  EXPECT_EQ(window.Pixel(3, 3), Gray(9));
  EXPECT_EQ(SelectPalette(dc.Get(), earlier, FALSE), earlier);
  DeleteObject(earlier);
}

TEST(CDibClass, DrawImageFromTwoThreadsKeepsEachPictureWhole) {
  constexpr int kSize = 64;
  TestWindow window(kSize, kSize);
  CDibClass dib(window.Handle());
  dib.Create(kSize, kSize);
  auto drawer = [&](uint8_t level) {
    const std::vector<uint8_t> image(kSize * kSize, level);
    WindowDc dc(window.Handle());
    for (int i = 0; i < 200; ++i) dib.DrawImage(dc.Get(), nullptr, image.data());
  };
  std::thread dark(drawer, uint8_t{0});
  std::thread light(drawer, uint8_t{200});
  dark.join();
  light.join();
  const uint32_t corner = window.Pixel(0, 0);
  EXPECT_TRUE(corner == Gray(0) || corner == Gray(200));
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) ASSERT_EQ(window.Pixel(x, y), corner);
  }
}

}  // namespace
