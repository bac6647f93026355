// The display bitmap: turns an 8-bit gray image into a bottom-up DIB with a
// gray color table and palette, and draws it stretched into a device context.
//
// Threads: the window thread and the capture thread may both draw through one
// object. Every public operation takes the object's lock, and DrawImage makes
// a SetImage and its Draw one step, so that no other thread's image can slip in
// between. The accessors read without the lock: use them only while no other
// thread draws.
#pragma once

#include <cstdint>
#include <mutex>

#include "platform/win32.h"

class CDibClass {
 public:
  explicit CDibClass(HWND window = nullptr);
  ~CDibClass();
  CDibClass(const CDibClass&) = delete;
  CDibClass& operator=(const CDibClass&) = delete;

  // Releases what the object holds, then sizes it for images of width x height.
  // Sizes that leave nothing to show (display width or height below 1), or
  // memory that cannot be had, leave it empty: Draw then draws nothing.
  void Create(int width, int height);
  // Copies a width x height image (top row first) into the pixel block, upside
  // down. Null data is refused and the previous picture kept.
  void SetImage(const uint8_t* data);
  // Draws the pixel block stretched into rect, or the stored window's client area.
  void Draw(HDC dc, const RECT* rect);
  // SetImage and Draw as one step; what every drawing caller should use.
  void DrawImage(HDC dc, const RECT* rect, const uint8_t* data);
  void Free();

  int SourceWidth() const { return sourceWidth_; }
  int Height() const { return height_; }
  int DisplayWidth() const { return displayWidth_; }
  const BITMAPINFOHEADER& Header() const { return header_; }
  const uint8_t* BitmapInfo() const { return bitmapInfo_; }
  const uint8_t* Pixels() const { return pixels_; }
  HPALETTE Palette() const { return palette_; }

 private:
  void FreeLocked();
  void SetImageLocked(const uint8_t* data);
  void DrawLocked(HDC dc, const RECT* rect);

  BITMAPINFOHEADER header_{};
  uint8_t* pixels_ = nullptr;      // display width x height, bottom row first
  uint8_t* bitmapInfo_ = nullptr;  // header + 256 gray color-table entries (1064 bytes)
  HPALETTE palette_ = nullptr;
  HWND window_ = nullptr;
  int32_t sourceWidth_ = 0;
  int32_t height_ = 0;
  int32_t displayWidth_ = 0;
  std::mutex lock_;
};
