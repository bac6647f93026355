// The BMP writer.
#include "imaging/bitmap.h"

#include <cstring>
#include <limits>
#include <memory>
#include <new>

#include "imaging/whole_file.h"

namespace {

constexpr uint16_t kBmpType = 0x4D42;  // "BM"
constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kGrayLevels = 256;
constexpr uint32_t kColorTableSize = kGrayLevels * 4;
constexpr uint32_t kPixelOffset = kFileHeaderSize + kInfoHeaderSize + kColorTableSize;
static_assert(kPixelOffset == 1078);

// Bytes per file row: whole bytes of the pixels, up to the next multiple of 4.
uint64_t RowLength(int32_t width, uint16_t bitsPerPixel) {
  const uint64_t bytes = static_cast<uint64_t>(width) * bitsPerPixel / 8;
  return (bytes + 3) / 4 * 4;
}

// True when an 8-bit image of these sizes can be held and described by the
// 32-bit size fields of the file.
bool Writable(int width, int height) {
  if (width <= 0 || height <= 0) return false;
  const uint64_t fileSize = RowLength(width, 8) * static_cast<uint64_t>(height) + kPixelOffset;
  return fileSize <= std::numeric_limits<uint32_t>::max();
}

class LittleEndianWriter {
 public:
  explicit LittleEndianWriter(uint8_t* out) : out_(out) {}
  void Put16(uint16_t value) { Put(value, 2); }
  void Put32(uint32_t value) { Put(value, 4); }
  void PutBytes(const uint8_t* bytes, size_t count) {
    std::memcpy(out_, bytes, count);
    out_ += count;
  }

 private:
  void Put(uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) *out_++ = static_cast<uint8_t>(value >> (8 * i));
  }
  uint8_t* out_;
};

}  // namespace

Bitmap::~Bitmap() {
  delete[] grayPixels_;
  delete[] colorTable_;
}

bool Bitmap::WriteBmp(int width, int height, const uint8_t* data, const char* path) {
  if (data == nullptr || !Writable(width, height)) return false;
  const size_t size = static_cast<size_t>(width) * static_cast<size_t>(height);
  // The previous image stays stored when no memory can be had for the new one.
  auto* copy = new (std::nothrow) uint8_t[size];
  if (copy == nullptr) return false;
  std::memcpy(copy, data, size);
  delete[] grayPixels_;
  grayPixels_ = copy;
  width_ = width;
  height_ = height;
  loaded_ = 1;
  bitsPerPixel_ = 8;
  return Save(path);
}

bool Bitmap::Save(const char* path) {
  if (!loaded_ || path == nullptr) return false;
  const uint64_t rowLength = RowLength(width_, bitsPerPixel_);
  const uint64_t pixelBytes = rowLength * static_cast<uint64_t>(height_);

  fileType_ = kBmpType;
  fileSize_ = static_cast<uint32_t>(pixelBytes + kPixelOffset);
  fileReserved1_ = 0;
  fileReserved2_ = 0;
  pixelOffset_ = kPixelOffset;
  infoSize_ = kInfoHeaderSize;
  infoWidth_ = width_;
  infoHeight_ = height_;  // positive: bottom row first
  infoPlanes_ = 1;
  infoBitCount_ = bitsPerPixel_;
  infoCompression_ = 0;
  infoImageSize_ = 0;
  infoXPelsPerMeter_ = 0;
  infoYPelsPerMeter_ = 0;
  infoClrUsed_ = 0;
  infoClrImportant_ = 0;

  delete[] colorTable_;
  colorTable_ = new (std::nothrow) uint8_t[kColorTableSize];
  if (colorTable_ == nullptr) return false;
  for (uint32_t i = 0; i < kGrayLevels; ++i) {
    const auto level = static_cast<uint8_t>(i);
    colorTable_[4 * i + 0] = level;  // blue
    colorTable_[4 * i + 1] = level;  // green
    colorTable_[4 * i + 2] = level;  // red
    colorTable_[4 * i + 3] = 0;
  }

  // The whole file is built in memory and written in one piece.
  std::unique_ptr<uint8_t[]> file(new (std::nothrow) uint8_t[fileSize_]);
  if (!file) return false;
  LittleEndianWriter out(file.get());
  out.Put16(fileType_);
  out.Put32(fileSize_);
  out.Put16(fileReserved1_);
  out.Put16(fileReserved2_);
  out.Put32(pixelOffset_);
  out.Put32(infoSize_);
  out.Put32(static_cast<uint32_t>(infoWidth_));
  out.Put32(static_cast<uint32_t>(infoHeight_));
  out.Put16(infoPlanes_);
  out.Put16(infoBitCount_);
  out.Put32(infoCompression_);
  out.Put32(infoImageSize_);
  out.Put32(static_cast<uint32_t>(infoXPelsPerMeter_));
  out.Put32(static_cast<uint32_t>(infoYPelsPerMeter_));
  out.Put32(infoClrUsed_);
  out.Put32(infoClrImportant_);
  out.PutBytes(colorTable_, kColorTableSize);

  const size_t width = static_cast<size_t>(width_);
  const size_t padding = static_cast<size_t>(rowLength) - width;
  for (int32_t row = height_ - 1; row >= 0; --row) {  // bottom row first
    out.PutBytes(grayPixels_ + width * static_cast<size_t>(row), width);
    static constexpr uint8_t kZeros[3] = {};
    out.PutBytes(kZeros, padding);
  }
  return imaging::WriteWholeFile(path, file.get(), fileSize_);
}
