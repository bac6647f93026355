// Drawing an 8-bit gray image into a device context, the way a driver shows live images.
#pragma once

#include <cstdint>
#include <span>

#include "platform/win32.h"

namespace simulator {

// Stretches the image (width × height bytes, top row first) over `rect` of `dc`.
// Returns false when nothing could be drawn.
bool DrawGrayImage(HDC dc, const RECT& rect, std::span<const uint8_t> image, int width,
                   int height);

}  // namespace simulator
