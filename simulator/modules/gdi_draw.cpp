#include "simulator/modules/gdi_draw.h"

#include <cstring>
#include <vector>

namespace simulator {
namespace {

// BITMAPINFO with the full gray palette behind it, as a DIB header is laid out.
struct GrayBitmapInfo {
  BITMAPINFOHEADER header;
  RGBQUAD colors[256];
};

GrayBitmapInfo MakeGrayInfo(int width, int height, uint32_t imageBytes) {
  GrayBitmapInfo info{};
  info.header.biSize = sizeof(BITMAPINFOHEADER);
  info.header.biWidth = width;
  info.header.biHeight = height;  // positive: bottom row first
  info.header.biPlanes = 1;
  info.header.biBitCount = 8;
  info.header.biCompression = BI_RGB;
  info.header.biSizeImage = imageBytes;
  info.header.biClrUsed = 256;
  for (int i = 0; i < 256; ++i) {
    const BYTE level = static_cast<BYTE>(i);
    info.colors[i] = {level, level, level, 0};
  }
  return info;
}

}  // namespace

bool DrawGrayImage(HDC dc, const RECT& rect, std::span<const uint8_t> image, int width,
                   int height) {
  if (!dc || width <= 0 || height <= 0 || rect.right <= rect.left || rect.bottom <= rect.top ||
      image.size() < static_cast<size_t>(width) * static_cast<size_t>(height)) {
    return false;
  }
  // DIB rows are padded to four bytes and stored bottom row first.
  const size_t stride = (static_cast<size_t>(width) + 3) & ~size_t{3};
  std::vector<uint8_t> bits(stride * static_cast<size_t>(height), 0);
  for (int y = 0; y < height; ++y) {
    std::memcpy(&bits[static_cast<size_t>(height - 1 - y) * stride],
                &image[static_cast<size_t>(y) * width], static_cast<size_t>(width));
  }
  const GrayBitmapInfo info = MakeGrayInfo(width, height, static_cast<uint32_t>(bits.size()));
  SetStretchBltMode(dc, HALFTONE);
  const int lines = StretchDIBits(dc, rect.left, rect.top, rect.right - rect.left,
                                  rect.bottom - rect.top, 0, 0, width, height, bits.data(),
                                  reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS,
                                  SRCCOPY);
  return lines > 0 && static_cast<unsigned>(lines) != GDI_ERROR;
}

}  // namespace simulator
