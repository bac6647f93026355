#include "device/file_version.h"

#include <memory>
#include <new>

#include "platform/win32.h"

uint32_t FileVersion(const char* path) {
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeA(path, &handle);
  if (size == 0) return 0;
  std::unique_ptr<uint8_t[]> block(new (std::nothrow) uint8_t[size]());
  if (!block) return 0;
  if (!GetFileVersionInfoA(path, handle, size, block.get())) return 0;
  void* root = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(block.get(), "\\", &root, &length) || !root || length < sizeof(VS_FIXEDFILEINFO)) {
    return 0;
  }
  const auto* info = static_cast<const VS_FIXEDFILEINFO*>(root);
  const uint32_t a = (info->dwFileVersionMS >> 16) & 0xFF;
  const uint32_t b = info->dwFileVersionMS & 0xFF;
  const uint32_t c = (info->dwFileVersionLS >> 16) & 0xFF;
  const uint32_t d = info->dwFileVersionLS & 0xFF;
  return a << 24 | b << 16 | c << 8 | d;
}
