#include "app/device_broadcast.h"

#include <cstring>

std::string DeviceInterfaceName(const DEV_BROADCAST_HDR* record) {
  if (!record || record->dbch_devicetype != DBT_DEVTYP_DEVICEINTERFACE) return {};
  constexpr size_t kNameOffset = offsetof(DEV_BROADCAST_DEVICEINTERFACE, dbcc_name);
  const size_t size = record->dbch_size;
  if (size <= kNameOffset) return {};

  // Device names are ASCII; another character becomes '?', as the system's
  // conversion to its 8-bit character set writes a character it lacks.
  const auto* bytes = reinterpret_cast<const uint8_t*>(record);
  const size_t maxUnits = (size - kNameOffset) / sizeof(char16_t);
  std::string text;
  for (size_t i = 0; i < maxUnits && text.size() < kDeviceNameMaxBytes; ++i) {
    char16_t unit;
    std::memcpy(&unit, bytes + kNameOffset + i * sizeof unit, sizeof unit);
    if (unit == 0) break;
    text.push_back(unit < 0x80 ? static_cast<char>(unit) : '?');
  }
  return text;
}

bool NamesFamilyReader(const std::string& name) {
  return name.find("VID_2F3D") != std::string::npos || name.find("vid_2f3d") != std::string::npos;
}
