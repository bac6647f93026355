// Device contexts and palettes. A device context is the pixel surface of a
// registered window; palettes are counted objects that only answer for
// themselves, since every surface is true color. As on a screen, what is drawn
// into a window's device context shows at once: each drawing call tells the
// window, however long its drawer keeps the context.
#include <climits>
#include <cstring>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "platform/gdi_host.h"
#include "platform/gdi_stretch.h"
#include "platform/win32.h"
#include "platform/window_host.h"

namespace platform {
namespace {

constexpr int kBlackOnWhite = 1;  // the stretch mode of a new device context
constexpr WORD kPaletteVersion = 0x300;
// The system's default palette, selected in every new device context. A stock
// object: it is never created or deleted, and realizing it maps no entry.
const HPALETTE kDefaultPalette = reinterpret_cast<HPALETTE>(uintptr_t{0x7EFFFFF0});

struct DeviceContext {
  HWND window;
  HPALETTE palette = kDefaultPalette;
  int stretchMode = kBlackOnWhite;
};

// Guards the object tables; never held while a surface is locked.
std::mutex objectsLock;
std::unordered_map<uintptr_t, DeviceContext> contexts;
std::unordered_map<uintptr_t, std::vector<PALETTEENTRY>> palettes;
// One sequence for both kinds, so that a handle of one kind never names the other.
uintptr_t nextObject = 0x7F000000;

uintptr_t Key(const void* handle) { return reinterpret_cast<uintptr_t>(handle); }

uintptr_t NewObjectLocked() {
  const uintptr_t handle = nextObject;
  nextObject += 4;
  return handle;
}

DeviceContext* FindContextLocked(HDC dc) {
  auto it = contexts.find(Key(dc));
  return it == contexts.end() ? nullptr : &it->second;
}

// Reads the header and color table of an 8-bit uncompressed DIB; false for any
// other kind or an inconsistent header.
bool ReadDib(const BITMAPINFO* info, const void* bits, gdi::DibView& dib) {
  BITMAPINFOHEADER header;
  std::memcpy(&header, info, sizeof header);
  if (header.biSize < sizeof(BITMAPINFOHEADER) || header.biPlanes != 1 ||
      header.biBitCount != 8 || header.biCompression != BI_RGB || header.biWidth <= 0 ||
      header.biHeight == 0 || header.biHeight == INT32_MIN || header.biClrUsed > 256) {
    return false;
  }
  dib.bits = static_cast<const uint8_t*>(bits);
  dib.width = header.biWidth;
  dib.height = header.biHeight > 0 ? header.biHeight : -header.biHeight;
  dib.bottomUp = header.biHeight > 0;
  dib.stride = (static_cast<size_t>(header.biWidth) + 3) / 4 * 4;  // rows end on 4-byte bounds
  // Indexes past the table are drawn black.
  dib.colors.fill(0xFF000000u);
  dib.gray = true;
  const uint32_t count = header.biClrUsed == 0 ? 256 : header.biClrUsed;
  const auto* table = reinterpret_cast<const uint8_t*>(info) + header.biSize;
  for (uint32_t i = 0; i < count; ++i) {
    RGBQUAD color;
    std::memcpy(&color, table + i * sizeof(RGBQUAD), sizeof color);
    dib.colors[i] = 0xFF000000u | uint32_t{color.rgbRed} << 16 | uint32_t{color.rgbGreen} << 8 |
                    color.rgbBlue;
    dib.gray = dib.gray && color.rgbRed == color.rgbGreen && color.rgbGreen == color.rgbBlue;
  }
  return true;
}

bool Inside(int start, int length, int limit) {
  return start >= 0 && int64_t{start} + length <= limit;
}

}  // namespace

int LivePaletteCount() {
  std::lock_guard guard(objectsLock);
  return static_cast<int>(palettes.size());
}

int LiveDeviceContextCount() {
  std::lock_guard guard(objectsLock);
  return static_cast<int>(contexts.size());
}

}  // namespace platform

using platform::objectsLock;

extern "C" HDC WINAPI GetDC(HWND window) {
  if (!platform::IsWindowRegistered(window)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  std::lock_guard guard(objectsLock);
  const uintptr_t handle = platform::NewObjectLocked();
  platform::contexts.emplace(handle, platform::DeviceContext{window});
  return reinterpret_cast<HDC>(handle);
}

extern "C" int WINAPI ReleaseDC(HWND window, HDC dc) {
  {
    std::lock_guard guard(objectsLock);
    auto it = platform::contexts.find(platform::Key(dc));
    if (it == platform::contexts.end() || it->second.window != window) return 0;
    platform::contexts.erase(it);
  }
  return 1;
}

extern "C" BOOL WINAPI GetClientRect(HWND window, LPRECT rect) {
  if (rect == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const bool known = platform::WithSurface(window, [rect](platform::Surface& surface) {
    *rect = RECT{0, 0, surface.width, surface.height};
  });
  if (!known) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return TRUE;
}

extern "C" HPALETTE WINAPI CreatePalette(const LOGPALETTE* palette) {
  if (palette == nullptr || palette->palVersion != platform::kPaletteVersion ||
      palette->palNumEntries == 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  std::vector<PALETTEENTRY> entries(palette->palNumEntries);
  std::memcpy(entries.data(),
              reinterpret_cast<const uint8_t*>(palette) + offsetof(LOGPALETTE, palPalEntry),
              entries.size() * sizeof(PALETTEENTRY));
  std::lock_guard guard(objectsLock);
  const uintptr_t handle = platform::NewObjectLocked();
  platform::palettes.emplace(handle, std::move(entries));
  return reinterpret_cast<HPALETTE>(handle);
}

extern "C" HPALETTE WINAPI SelectPalette(HDC dc, HPALETTE palette, BOOL /*forceBackground*/) {
  std::lock_guard guard(objectsLock);
  platform::DeviceContext* context = platform::FindContextLocked(dc);
  if (context == nullptr ||
      (palette != platform::kDefaultPalette && !platform::palettes.contains(platform::Key(palette)))) {
    return nullptr;
  }
  const HPALETTE previous = context->palette;
  context->palette = palette;
  return previous;
}

extern "C" UINT WINAPI RealizePalette(HDC dc) {
  std::lock_guard guard(objectsLock);
  const platform::DeviceContext* context = platform::FindContextLocked(dc);
  if (context == nullptr) return GDI_ERROR;
  auto it = platform::palettes.find(platform::Key(context->palette));
  return it == platform::palettes.end() ? 0 : static_cast<UINT>(it->second.size());
}

extern "C" BOOL WINAPI DeleteObject(HGDIOBJ object) {
  std::lock_guard guard(objectsLock);
  return platform::palettes.erase(platform::Key(object)) == 1 ? TRUE : FALSE;
}

extern "C" int WINAPI SetStretchBltMode(HDC dc, int mode) {
  if (mode < platform::kBlackOnWhite || mode > HALFTONE) return 0;
  std::lock_guard guard(objectsLock);
  platform::DeviceContext* context = platform::FindContextLocked(dc);
  if (context == nullptr) return 0;
  const int previous = context->stretchMode;
  context->stretchMode = mode;
  return previous;
}

extern "C" int WINAPI StretchDIBits(HDC dc, int xDest, int yDest, int destWidth, int destHeight,
                                    int xSrc, int ySrc, int srcWidth, int srcHeight,
                                    const void* bits, const BITMAPINFO* info, UINT usage,
                                    DWORD rop) {
  platform::gdi::DibView dib;
  if (bits == nullptr || info == nullptr || usage != DIB_RGB_COLORS || rop != SRCCOPY ||
      destWidth <= 0 || destHeight <= 0 || srcWidth <= 0 || srcHeight <= 0 ||
      !platform::ReadDib(info, bits, dib) || !platform::Inside(xSrc, srcWidth, dib.width) ||
      !platform::Inside(ySrc, srcHeight, dib.height)) {
    return 0;
  }
  HWND window;
  int mode;
  {
    std::lock_guard guard(objectsLock);
    const platform::DeviceContext* context = platform::FindContextLocked(dc);
    if (context == nullptr) return 0;
    window = context->window;
    mode = context->stretchMode;
  }
  const platform::gdi::Area source{xSrc, ySrc, srcWidth, srcHeight};
  const platform::gdi::Area dest{xDest, yDest, destWidth, destHeight};
  const bool drawn = platform::WithSurface(window, [&](platform::Surface& surface) {
    platform::gdi::StretchOntoSurface(dib, source, dest, mode == HALFTONE, surface);
    ++surface.drawings;
  });
  if (!drawn) return 0;
  platform::NotifySurfaceChanged(window);
  return srcHeight;
}
