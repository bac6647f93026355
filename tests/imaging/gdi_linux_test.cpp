// Device contexts, palettes and StretchDIBits on window surfaces.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/gdi_host.h"
#include "test_window.h"

namespace {

using imaging_test::Gray;
using imaging_test::kWhite;
using imaging_test::TestWindow;
using imaging_test::WindowDc;

// An 8-bit DIB: header, 256-entry color table and rows padded to 4 bytes.
struct TestDib {
  TestDib(int width, int height, bool gray = true) : width(width), rows(height < 0 ? -height : height) {
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 8;
    info.resize(sizeof header + 256 * sizeof(RGBQUAD));
    std::memcpy(info.data(), &header, sizeof header);
    for (int i = 0; i < 256; ++i) {
      const auto level = static_cast<BYTE>(i);
      const RGBQUAD color = gray ? RGBQUAD{level, level, level, 0}
                                 : RGBQUAD{level, static_cast<BYTE>(255 - i), static_cast<BYTE>(i / 2), 0};
      std::memcpy(info.data() + sizeof header + i * sizeof color, &color, sizeof color);
    }
    stride = (width + 3) / 4 * 4;
    bits.assign(static_cast<size_t>(stride) * rows, 0);
  }
  BITMAPINFOHEADER& Header() { return *reinterpret_cast<BITMAPINFOHEADER*>(info.data()); }
  const BITMAPINFO* Info() const { return reinterpret_cast<const BITMAPINFO*>(info.data()); }
  // memoryRow counts rows as they lie in memory.
  void SetRow(int memoryRow, std::vector<uint8_t> values) {
    std::copy(values.begin(), values.end(), bits.begin() + memoryRow * stride);
  }

  int width;
  int rows;
  int stride;
  std::vector<uint8_t> info;
  std::vector<uint8_t> bits;
};

// The colored table of TestDib(…, gray = false): index i is red i/2, green 255 - i, blue i.
uint32_t Colored(int i) {
  return 0xFF000000u | static_cast<uint32_t>(i / 2) << 16 | static_cast<uint32_t>(255 - i) << 8 |
         static_cast<uint32_t>(i);
}

int Stretch(HDC dc, int x, int y, int w, int h, const TestDib& dib, int xSrc, int ySrc, int srcW,
            int srcH) {
  return StretchDIBits(dc, x, y, w, h, xSrc, ySrc, srcW, srcH, dib.bits.data(), dib.Info(),
                       DIB_RGB_COLORS, SRCCOPY);
}

bool AllWhite(const TestWindow& window, int width, int height) {
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      if (window.Pixel(x, y) != kWhite) return false;
    }
  }
  return true;
}

// A drawing shows while its context is still held, as a long live capture
// holds one; releasing it draws nothing and repaints nothing.
TEST(DeviceContext, BelongsToOneRegisteredWindowAndRepaintsItOnEachDrawing) {
  TestWindow window(20, 10);
  TestWindow other(5, 5);
  EXPECT_EQ(GetDC(nullptr), nullptr);
  EXPECT_EQ(GetDC(reinterpret_cast<HWND>(0x1234)), nullptr);

  const int before = platform::LiveDeviceContextCount();
  HDC dc = GetDC(window.Handle());
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(platform::LiveDeviceContextCount(), before + 1);
  const TestDib dib(4, 2);
  for (int drawing = 1; drawing <= 2; ++drawing) {
    ASSERT_EQ(Stretch(dc, 0, 0, 4, 2, dib, 0, 0, 4, 2), 2);
    EXPECT_EQ(window.SurfaceChanges(), drawing);
  }
  EXPECT_EQ(ReleaseDC(other.Handle(), dc), 0);
  EXPECT_EQ(ReleaseDC(window.Handle(), dc), 1);
  EXPECT_EQ(window.SurfaceChanges(), 2);
  EXPECT_EQ(other.SurfaceChanges(), 0);
  EXPECT_EQ(platform::LiveDeviceContextCount(), before);
  EXPECT_EQ(ReleaseDC(window.Handle(), dc), 0);
  EXPECT_EQ(SetStretchBltMode(dc, HALFTONE), 0);
}

TEST(DeviceContext, ClientRectIsTheSurfaceSize) {
  TestWindow window(37, 21);
  RECT rect{-1, -1, -1, -1};
  ASSERT_TRUE(GetClientRect(window.Handle(), &rect));
  EXPECT_EQ(rect.left, 0);
  EXPECT_EQ(rect.top, 0);
  EXPECT_EQ(rect.right, 37);
  EXPECT_EQ(rect.bottom, 21);
  EXPECT_FALSE(GetClientRect(window.Handle(), nullptr));
  EXPECT_FALSE(GetClientRect(nullptr, &rect));
}

TEST(DeviceContext, StretchModeReportsThePreviousMode) {
  TestWindow window(4, 4);
  WindowDc dc(window.Handle());
  EXPECT_EQ(SetStretchBltMode(dc.Get(), HALFTONE), 1);
  EXPECT_EQ(SetStretchBltMode(dc.Get(), COLORONCOLOR), HALFTONE);
  EXPECT_EQ(SetStretchBltMode(dc.Get(), 0), 0);
  EXPECT_EQ(SetStretchBltMode(dc.Get(), 5), 0);
}

TEST(Palette, IsCountedSelectedRealizedAndDeleted) {
  std::vector<uint8_t> record(offsetof(LOGPALETTE, palPalEntry) + 3 * sizeof(PALETTEENTRY));
  auto* logical = reinterpret_cast<LOGPALETTE*>(record.data());
  logical->palVersion = 0x300;
  logical->palNumEntries = 3;
  EXPECT_EQ(CreatePalette(nullptr), nullptr);
  logical->palVersion = 0x200;
  EXPECT_EQ(CreatePalette(logical), nullptr);
  logical->palVersion = 0x300;

  const int before = platform::LivePaletteCount();
  HPALETTE first = CreatePalette(logical);
  HPALETTE second = CreatePalette(logical);
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_NE(first, second);
  EXPECT_EQ(platform::LivePaletteCount(), before + 2);

  TestWindow window(4, 4);
  WindowDc dc(window.Handle());
  EXPECT_EQ(RealizePalette(dc.Get()), 0u);
  // A new device context has the default palette selected, which maps no entry.
  const HPALETTE original = SelectPalette(dc.Get(), first, FALSE);
  EXPECT_NE(original, nullptr);
  EXPECT_NE(original, second);
  EXPECT_EQ(RealizePalette(dc.Get()), 3u);
  EXPECT_EQ(SelectPalette(dc.Get(), second, FALSE), first);
  EXPECT_EQ(SelectPalette(dc.Get(), first, TRUE), second);
  EXPECT_EQ(SelectPalette(nullptr, first, FALSE), nullptr);
  EXPECT_EQ(RealizePalette(nullptr), GDI_ERROR);

  EXPECT_TRUE(DeleteObject(first));
  EXPECT_TRUE(DeleteObject(second));
  EXPECT_FALSE(DeleteObject(second));
  EXPECT_FALSE(DeleteObject(nullptr));
  EXPECT_EQ(platform::LivePaletteCount(), before);
  EXPECT_EQ(SelectPalette(dc.Get(), second, FALSE), nullptr);
  EXPECT_EQ(SelectPalette(dc.Get(), original, FALSE), first);
  EXPECT_EQ(RealizePalette(dc.Get()), 0u);
}

TEST(StretchDIBits, RefusesBadArgumentsWithoutDrawing) {
  TestWindow window(8, 8);
  WindowDc dc(window.Handle());
  TestDib dib(4, 4);
  const void* bits = dib.bits.data();
  auto stretch = [&](HDC target, const void* b, const BITMAPINFO* info, int w, int h, int xs,
                     int ys, int ws, int hs, UINT usage = DIB_RGB_COLORS, DWORD rop = SRCCOPY) {
    return StretchDIBits(target, 0, 0, w, h, xs, ys, ws, hs, b, info, usage, rop);
  };
  EXPECT_EQ(stretch(nullptr, bits, dib.Info(), 4, 4, 0, 0, 4, 4), 0);
  EXPECT_EQ(stretch(dc.Get(), nullptr, dib.Info(), 4, 4, 0, 0, 4, 4), 0);
  EXPECT_EQ(stretch(dc.Get(), bits, nullptr, 4, 4, 0, 0, 4, 4), 0);
  EXPECT_EQ(stretch(dc.Get(), bits, dib.Info(), -4, 4, 0, 0, 4, 4), 0);
  EXPECT_EQ(stretch(dc.Get(), bits, dib.Info(), 4, 0, 0, 0, 4, 4), 0);
  EXPECT_EQ(stretch(dc.Get(), bits, dib.Info(), 4, 4, 0, 0, -4, 4), 0);
  EXPECT_EQ(stretch(dc.Get(), bits, dib.Info(), 4, 4, 0, 0, 4, 0), 0);
  EXPECT_EQ(stretch(dc.Get(), bits, dib.Info(), 4, 4, -1, 0, 4, 4), 0);
  EXPECT_EQ(stretch(dc.Get(), bits, dib.Info(), 4, 4, 1, 0, 4, 4), 0);
  EXPECT_EQ(stretch(dc.Get(), bits, dib.Info(), 4, 4, 0, 2, 4, 3), 0);
  EXPECT_EQ(stretch(dc.Get(), bits, dib.Info(), 4, 4, 0, 0, 4, 4, 1u), 0);
  EXPECT_EQ(stretch(dc.Get(), bits, dib.Info(), 4, 4, 0, 0, 4, 4, DIB_RGB_COLORS, 0x00EE0086u), 0);
  dib.Header().biBitCount = 24;
  EXPECT_EQ(stretch(dc.Get(), bits, dib.Info(), 4, 4, 0, 0, 4, 4), 0);
  dib.Header().biBitCount = 8;
  dib.Header().biWidth = 0;
  EXPECT_EQ(stretch(dc.Get(), bits, dib.Info(), 4, 4, 0, 0, 4, 4), 0);
  dib.Header().biWidth = 4;
  dib.Header().biClrUsed = 257;
  EXPECT_EQ(stretch(dc.Get(), bits, dib.Info(), 4, 4, 0, 0, 4, 4), 0);
  EXPECT_TRUE(AllWhite(window, 8, 8));
  EXPECT_EQ(window.SurfaceChanges(), 0);
}

TEST(StretchDIBits, ReadsPaddedRowsBottomUpThroughTheColorTable) {
  TestWindow window(3, 2);
  WindowDc dc(window.Handle());
  TestDib dib(3, 2, /*gray=*/false);  // rows of 4 bytes
  dib.SetRow(0, {10, 20, 30, 99});    // bottom row; the 99 is padding
  dib.SetRow(1, {40, 50, 60, 99});
  EXPECT_EQ(Stretch(dc.Get(), 0, 0, 3, 2, dib, 0, 0, 3, 2), 2);
  EXPECT_EQ(window.Pixel(0, 0), Colored(40));
  EXPECT_EQ(window.Pixel(2, 0), Colored(60));
  EXPECT_EQ(window.Pixel(0, 1), Colored(10));
  EXPECT_EQ(window.Pixel(2, 1), Colored(30));
}

TEST(StretchDIBits, ReadsTopDownRows) {
  TestWindow window(2, 2);
  WindowDc dc(window.Handle());
  TestDib dib(2, -2);
  dib.SetRow(0, {1, 2});
  dib.SetRow(1, {3, 4});
  EXPECT_EQ(Stretch(dc.Get(), 0, 0, 2, 2, dib, 0, 0, 2, 2), 2);
  EXPECT_EQ(window.Pixel(0, 0), Gray(1));
  EXPECT_EQ(window.Pixel(1, 1), Gray(4));
}

TEST(StretchDIBits, SourceRectangleOfABottomUpDibCountsFromTheBottom) {
  TestWindow window(2, 2);
  WindowDc dc(window.Handle());
  TestDib dib(4, 4);
  for (int row = 0; row < 4; ++row) {
    dib.SetRow(row, {static_cast<uint8_t>(10 * row), static_cast<uint8_t>(10 * row + 1),
                     static_cast<uint8_t>(10 * row + 2), static_cast<uint8_t>(10 * row + 3)});
  }
  EXPECT_EQ(Stretch(dc.Get(), 0, 0, 2, 2, dib, 1, 1, 2, 2), 2);
  EXPECT_EQ(window.Pixel(0, 0), Gray(21));  // memory rows 1 and 2, the upper one on top
  EXPECT_EQ(window.Pixel(1, 0), Gray(22));
  EXPECT_EQ(window.Pixel(0, 1), Gray(11));
  EXPECT_EQ(window.Pixel(1, 1), Gray(12));
}

TEST(StretchDIBits, ClipsToTheSurface) {
  TestWindow window(4, 3);
  WindowDc dc(window.Handle());
  TestDib dib(4, -4);
  for (int row = 0; row < 4; ++row) {
    dib.SetRow(row, {static_cast<uint8_t>(10 * row), static_cast<uint8_t>(10 * row + 1),
                     static_cast<uint8_t>(10 * row + 2), static_cast<uint8_t>(10 * row + 3)});
  }
  EXPECT_EQ(Stretch(dc.Get(), -1, -2, 4, 4, dib, 0, 0, 4, 4), 4);
  EXPECT_EQ(window.Pixel(0, 0), Gray(21));
  EXPECT_EQ(window.Pixel(2, 1), Gray(33));
  EXPECT_EQ(window.Pixel(3, 0), kWhite);
  EXPECT_EQ(window.Pixel(0, 2), kWhite);
  EXPECT_EQ(Stretch(dc.Get(), 2, 1, 4, 4, dib, 0, 0, 4, 4), 4);
  EXPECT_EQ(window.Pixel(3, 2), Gray(11));
  EXPECT_EQ(Stretch(dc.Get(), 100, 100, 4, 4, dib, 0, 0, 4, 4), 4);
}

TEST(StretchDIBits, HalftoneAveragesAreasAndOtherModesPickPixels) {
  TestDib dib(4, -2);
  dib.SetRow(0, {0, 255, 100, 100});
  dib.SetRow(1, {255, 0, 100, 100});
  TestWindow window(2, 1);
  WindowDc dc(window.Handle());

  SetStretchBltMode(dc.Get(), HALFTONE);
  EXPECT_EQ(Stretch(dc.Get(), 0, 0, 2, 1, dib, 0, 0, 4, 2), 2);
  const uint32_t mixed = window.Pixel(0, 0);
  EXPECT_TRUE(mixed == Gray(127) || mixed == Gray(128)) << std::hex << mixed;
  EXPECT_EQ(window.Pixel(1, 0), Gray(100));

  SetStretchBltMode(dc.Get(), COLORONCOLOR);
  Stretch(dc.Get(), 0, 0, 2, 1, dib, 0, 0, 4, 2);
  const uint32_t picked = window.Pixel(0, 0);
  EXPECT_TRUE(picked == Gray(0) || picked == Gray(255)) << std::hex << picked;
  EXPECT_EQ(window.Pixel(1, 0), Gray(100));
}

TEST(StretchDIBits, HalftoneMixesEachChannelOfAColorTable) {
  TestDib dib(2, 1, /*gray=*/false);
  dib.SetRow(0, {0, 200});
  TestWindow window(1, 1);
  WindowDc dc(window.Handle());
  SetStretchBltMode(dc.Get(), HALFTONE);
  Stretch(dc.Get(), 0, 0, 1, 1, dib, 0, 0, 2, 1);
  EXPECT_EQ(window.Pixel(0, 0), 0xFF000000u | 50u << 16 | 155u << 8 | 100u);
}

TEST(StretchDIBits, HalftoneKeepsAUniformAreaWhenEnlarging) {
  TestDib dib(3, 3);
  std::fill(dib.bits.begin(), dib.bits.end(), 77);
  TestWindow window(10, 7);
  WindowDc dc(window.Handle());
  SetStretchBltMode(dc.Get(), HALFTONE);
  Stretch(dc.Get(), 0, 0, 10, 7, dib, 0, 0, 3, 3);
  for (int y = 0; y < 7; ++y) {
    for (int x = 0; x < 10; ++x) ASSERT_EQ(window.Pixel(x, y), Gray(77)) << x << "," << y;
  }
}

}  // namespace
