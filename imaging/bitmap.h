// Writes an 8-bit gray image as an uncompressed BMP file with a 256-level gray
// color table.
#pragma once

#include <cstdint>

class Bitmap {
 public:
  Bitmap() = default;
  ~Bitmap();
  Bitmap(const Bitmap&) = delete;
  Bitmap& operator=(const Bitmap&) = delete;

  // Stores a copy of the width x height image (top row first) and writes it to path.
  bool WriteBmp(int width, int height, const uint8_t* data, const char* path);
  // Writes the stored image. False when none is stored or the file was not
  // written completely; a failed write leaves nothing under path.
  bool Save(const char* path);

 private:
  uint8_t* grayPixels_ = nullptr;
  uint8_t* colorTable_ = nullptr;
  uint8_t loaded_ = 0;
  int32_t width_ = 0;
  int32_t height_ = 0;
  uint16_t bitsPerPixel_ = 0;
  // File header fields.
  uint16_t fileType_ = 0;
  uint32_t fileSize_ = 0;
  uint16_t fileReserved1_ = 0;
  uint16_t fileReserved2_ = 0;
  uint32_t pixelOffset_ = 0;
  // Info header fields, in BITMAPINFOHEADER order.
  uint32_t infoSize_ = 0;
  int32_t infoWidth_ = 0;
  int32_t infoHeight_ = 0;
  uint16_t infoPlanes_ = 0;
  uint16_t infoBitCount_ = 0;
  uint32_t infoCompression_ = 0;
  uint32_t infoImageSize_ = 0;
  int32_t infoXPelsPerMeter_ = 0;
  int32_t infoYPelsPerMeter_ = 0;
  uint32_t infoClrUsed_ = 0;
  uint32_t infoClrImportant_ = 0;
};
