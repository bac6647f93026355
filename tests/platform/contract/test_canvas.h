// A device context over width x height pixels, white at first, whose pixels a
// test can read: on Windows a memory device context with a 32-bit DIB section
// selected, on Linux the pixel surface of a registered window (the stand-in's
// only kind of device context).
#pragma once

#include <cstdint>

#include "platform/win32.h"

#ifdef _WIN32
#include <algorithm>
#else
#include "tests/imaging/test_window.h"
#endif

namespace contract_test {

// The 0xRRGGBB value of gray level v.
constexpr uint32_t GrayRgb(int v) { return static_cast<uint32_t>(v) * 0x010101u; }
constexpr uint32_t kWhiteRgb = 0xFFFFFFu;

class TestCanvas {
 public:
  TestCanvas(int width, int height);
  ~TestCanvas();
  TestCanvas(const TestCanvas&) = delete;
  TestCanvas& operator=(const TestCanvas&) = delete;

  HDC Dc() const;
  // 0xRRGGBB of the pixel at x, y (0, 0 the top left).
  uint32_t Pixel(int x, int y) const;

 private:
#ifdef _WIN32
  int width_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ previous_ = nullptr;
  uint32_t* pixels_ = nullptr;
#else
  imaging_test::TestWindow window_;
  imaging_test::WindowDc dc_;
#endif
};

#ifdef _WIN32

inline TestCanvas::TestCanvas(int width, int height) : width_(width), dc_(CreateCompatibleDC(nullptr)) {
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};  // top row first
  void* bits = nullptr;
  bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  pixels_ = static_cast<uint32_t*>(bits);
  previous_ = SelectObject(dc_, bitmap_);
  std::fill_n(pixels_, static_cast<size_t>(width) * height, kWhiteRgb);
}

inline TestCanvas::~TestCanvas() {
  SelectObject(dc_, previous_);
  DeleteObject(bitmap_);
  DeleteDC(dc_);
}

inline HDC TestCanvas::Dc() const { return dc_; }

inline uint32_t TestCanvas::Pixel(int x, int y) const {
  GdiFlush();
  return pixels_[static_cast<size_t>(y) * width_ + x] & 0xFFFFFFu;
}

#else

inline TestCanvas::TestCanvas(int width, int height) : window_(width, height), dc_(window_.Handle()) {}
inline TestCanvas::~TestCanvas() = default;
inline HDC TestCanvas::Dc() const { return dc_.Get(); }
inline uint32_t TestCanvas::Pixel(int x, int y) const { return window_.Pixel(x, y) & 0xFFFFFFu; }

#endif

}  // namespace contract_test
