#include "app/device_broadcast.h"

#include <QByteArray>
#include <QString>
#include <cstring>
#include <vector>

std::string DeviceInterfaceName(const DEV_BROADCAST_HDR* record) {
  if (!record || record->dbch_devicetype != DBT_DEVTYP_DEVICEINTERFACE) return {};
  constexpr size_t kNameOffset = offsetof(DEV_BROADCAST_DEVICEINTERFACE, dbcc_name);
  const size_t size = record->dbch_size;
  if (size <= kNameOffset) return {};

  const auto* bytes = reinterpret_cast<const uint8_t*>(record);
  const size_t maxUnits = (size - kNameOffset) / sizeof(char16_t);
  std::vector<char16_t> units;
  for (size_t i = 0; i < maxUnits; ++i) {
    char16_t unit;
    std::memcpy(&unit, bytes + kNameOffset + i * sizeof unit, sizeof unit);
    if (unit == 0) break;
    units.push_back(unit);
  }
  QByteArray text =
      QString::fromUtf16(units.data(), static_cast<qsizetype>(units.size())).toLocal8Bit();
  if (static_cast<size_t>(text.size()) > kDeviceNameMaxBytes) text.truncate(kDeviceNameMaxBytes);
  return text.toStdString();
}

bool NamesFamilyReader(const std::string& name) {
  return name.find("VID_2F3D") != std::string::npos || name.find("vid_2f3d") != std::string::npos;
}
