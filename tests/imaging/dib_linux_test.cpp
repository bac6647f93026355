// The display bitmap on the stand-in's windows: the client area of its own
// window, the repaint its drawing causes, and the palettes it keeps alive.
#include <gtest/gtest.h>

#include <vector>

#include "imaging/dib.h"
#include "platform/gdi_host.h"
#include "test_window.h"

namespace {

using imaging_test::Gray;
using imaging_test::TestWindow;
using imaging_test::WindowDc;

TEST(CDibClassOnAWindow, WithoutRectangleFillsTheClientAreaOfItsWindow) {
  TestWindow window(100, 80);
  CDibClass dib(window.Handle());
  dib.Create(10, 8);
  const std::vector<uint8_t> black(10 * 8, 0);
  {
    WindowDc dc(window.Handle());
    dib.DrawImage(dc.Get(), nullptr, black.data());
  }
  EXPECT_EQ(window.SurfaceChanges(), 1);
  for (int y = 0; y < 80; ++y) {
    for (int x = 0; x < 100; ++x) ASSERT_EQ(window.Pixel(x, y), Gray(0)) << x << "," << y;
  }
}

TEST(CDibClassOnAWindow, RepeatedCreateKeepsOnePaletteAlive) {
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

}  // namespace
