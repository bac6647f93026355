// The display bitmap.
#include "imaging/dib.h"

#include <cstdint>
#include <cstring>
#include <new>

namespace {

constexpr int kGrayLevels = 256;
constexpr size_t kBitmapInfoSize = sizeof(BITMAPINFOHEADER) + kGrayLevels * sizeof(RGBQUAD);
// The record's own one-entry array plus 256 entries: one entry more than needed.
constexpr size_t kLogPaletteSize = sizeof(LOGPALETTE) + kGrayLevels * sizeof(PALETTEENTRY);
static_assert(kBitmapInfoSize == 1064);
static_assert(kLogPaletteSize == 1032);

// A logical palette of the 256 gray levels; null when it cannot be made.
HPALETTE CreateGrayPalette() {
  auto* record = new (std::nothrow) uint8_t[kLogPaletteSize]();
  if (record == nullptr) return nullptr;
  const LOGPALETTE head{0x300, kGrayLevels, {}};
  std::memcpy(record, &head, offsetof(LOGPALETTE, palPalEntry));
  for (int i = 0; i < kGrayLevels; ++i) {
    const auto level = static_cast<BYTE>(i);
    const PALETTEENTRY entry{level, level, level, 0};
    std::memcpy(record + offsetof(LOGPALETTE, palPalEntry) + i * sizeof entry, &entry, sizeof entry);
  }
  const HPALETTE palette = CreatePalette(reinterpret_cast<const LOGPALETTE*>(record));
  delete[] record;
  return palette;
}

}  // namespace

CDibClass::CDibClass(HWND window) : window_(window) {}

CDibClass::~CDibClass() { FreeLocked(); }

void CDibClass::Create(int width, int height) {
  std::lock_guard guard(lock_);
  FreeLocked();
  sourceWidth_ = width;
  height_ = height;
  displayWidth_ = width - width % 4;
  header_ = BITMAPINFOHEADER{};
  if (displayWidth_ <= 0 || height <= 0) return;

  header_.biSize = sizeof(BITMAPINFOHEADER);
  header_.biWidth = displayWidth_;
  header_.biHeight = height;  // positive: rows are stored bottom-up
  header_.biPlanes = 1;
  header_.biBitCount = 8;
  header_.biCompression = BI_RGB;
  header_.biSizeImage = static_cast<DWORD>(static_cast<uint64_t>(width) * static_cast<uint64_t>(height));
  header_.biClrUsed = kGrayLevels;
  header_.biClrImportant = kGrayLevels;

  bitmapInfo_ = new (std::nothrow) uint8_t[kBitmapInfoSize];
  if (bitmapInfo_ == nullptr) return;
  std::memcpy(bitmapInfo_, &header_, sizeof header_);
  for (int i = 0; i < kGrayLevels; ++i) {
    const auto level = static_cast<BYTE>(i);
    const RGBQUAD color{level, level, level, 0};
    std::memcpy(bitmapInfo_ + sizeof header_ + i * sizeof color, &color, sizeof color);
  }
  palette_ = CreateGrayPalette();
}

void CDibClass::SetImage(const uint8_t* data) {
  std::lock_guard guard(lock_);
  SetImageLocked(data);
}

void CDibClass::Draw(HDC dc, const RECT* rect) {
  std::lock_guard guard(lock_);
  DrawLocked(dc, rect);
}

void CDibClass::DrawImage(HDC dc, const RECT* rect, const uint8_t* data) {
  std::lock_guard guard(lock_);
  SetImageLocked(data);
  DrawLocked(dc, rect);
}

void CDibClass::Free() {
  std::lock_guard guard(lock_);
  FreeLocked();
}

void CDibClass::FreeLocked() {
  delete[] pixels_;
  delete[] bitmapInfo_;
  if (palette_ != nullptr) DeleteObject(palette_);
  pixels_ = nullptr;
  bitmapInfo_ = nullptr;
  palette_ = nullptr;
}

void CDibClass::SetImageLocked(const uint8_t* data) {
  if (data == nullptr || bitmapInfo_ == nullptr) return;
  delete[] pixels_;
  const size_t rowBytes = static_cast<size_t>(displayWidth_);
  const size_t stride = static_cast<size_t>(sourceWidth_);
  const size_t rows = static_cast<size_t>(height_);
  pixels_ = new (std::nothrow) uint8_t[rowBytes * rows];
  if (pixels_ == nullptr) return;
  // Row 0 of the block is the bottom row of the image; the source keeps its own
  // row length, so the columns cut off by the display width are skipped.
  for (size_t i = 0; i < rows; ++i) {
    std::memcpy(pixels_ + rowBytes * i, data + stride * (rows - 1 - i), rowBytes);
  }
}

void CDibClass::DrawLocked(HDC dc, const RECT* rect) {
  RECT dest;
  if (rect != nullptr) {
    dest = *rect;
  } else if (!GetClientRect(window_, &dest)) {
    return;
  }
  const int64_t width = int64_t{dest.right} - dest.left;
  const int64_t height = int64_t{dest.bottom} - dest.top;
  if (palette_ == nullptr || pixels_ == nullptr || width <= 0 || height <= 0 ||
      width > INT32_MAX || height > INT32_MAX) {
    return;
  }
  const HPALETTE previous = SelectPalette(dc, palette_, FALSE);
  RealizePalette(dc);
  SetStretchBltMode(dc, HALFTONE);
  StretchDIBits(dc, dest.left, dest.top, static_cast<int>(width), static_cast<int>(height), 0, 0,
                displayWidth_, height_, pixels_, reinterpret_cast<const BITMAPINFO*>(bitmapInfo_),
                DIB_RGB_COLORS, SRCCOPY);
  if (previous != nullptr) SelectPalette(dc, previous, TRUE);
}
