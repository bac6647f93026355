// Copies an 8-bit DIB, scaled, onto a window's pixel surface (the work behind
// StretchDIBits once its arguments have been checked).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "platform/window_host.h"

namespace platform::gdi {

// A checked 8-bit DIB: every row of `bits` is `stride` bytes, `height` rows.
struct DibView {
  const uint8_t* bits;
  int width;
  int height;
  size_t stride;
  bool bottomUp;                     // memory row 0 is the bottom row of the picture
  std::array<uint32_t, 256> colors;  // 0xAARRGGBB for each index
  bool gray;                         // every color has red == green == blue
};

struct Area {
  int x;
  int y;
  int width;   // > 0
  int height;  // > 0
};

// Scales `source` (in DIB coordinates: for a bottom-up DIB, y counts from the
// bottom row) of `dib` onto `dest` of `surface`, clipped to the surface.
// Equal sizes copy exactly; otherwise `averaging` selects area averaging,
// else the nearest source pixel is taken.
void StretchOntoSurface(const DibView& dib, const Area& source, const Area& dest,
                        bool averaging, Surface& surface);

}  // namespace platform::gdi
