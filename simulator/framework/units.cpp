#include "simulator/framework/units.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "simulator/kernel_driver/usb_answers.h"

namespace winbio {

namespace {

constexpr uint16_t kFirstUsbType = 3;
constexpr uint16_t kLastUsbType = 7;
constexpr WINBIO_UNIT_ID kUnitsPerType = 10;
constexpr ULONG kSensorSubtypeTouch = 2;
constexpr ULONG kCapabilitySensor = 0x1;

// Copies ASCII text into a UTF-16 field, cut so that the terminator fits.
void SetText(WINBIO_STRING& field, const std::string& text) {
  std::memset(field, 0, sizeof field);
  const size_t count = std::min<size_t>(text.size(), WINBIO_MAX_STRING_LEN - 1);
  for (size_t i = 0; i < count; ++i) field[i] = static_cast<WCHAR>(static_cast<unsigned char>(text[i]));
}

std::string Hex4(uint16_t value) {
  char text[5];
  std::snprintf(text, sizeof text, "%04X", value);
  return text;
}

}  // namespace

WINBIO_UNIT_ID UnitIdOf(const sim::Reader& reader) {
  return reader.index + 1 + kUnitsPerType * (reader.type - kFirstUsbType);
}

std::vector<sim::Reader> ServedReaders() {
  std::vector<sim::Reader> served;
  for (sim::Reader& reader : sim::ListReaders()) {
    if (!reader.IsParallel() && sim::FrameworkServes(reader)) served.push_back(std::move(reader));
  }
  std::sort(served.begin(), served.end(),
            [](const sim::Reader& a, const sim::Reader& b) { return UnitIdOf(a) < UnitIdOf(b); });
  return served;
}

std::optional<sim::Reader> ReaderOfUnit(WINBIO_UNIT_ID unitId) {
  if (unitId == 0) return std::nullopt;
  const WINBIO_UNIT_ID type = kFirstUsbType + (unitId - 1) / kUnitsPerType;
  if (type > kLastUsbType) return std::nullopt;
  std::optional<sim::Reader> reader =
      sim::FindReaderByType(static_cast<uint16_t>(type), (unitId - 1) % kUnitsPerType);
  if (!reader || !sim::FrameworkServes(*reader)) return std::nullopt;
  return reader;
}

void FillUnitSchema(const sim::Reader& reader, WINBIO_UNIT_SCHEMA& schema) {
  std::memset(&schema, 0, sizeof schema);
  const sim::ReaderModel* model = sim::FindReaderModelByType(reader.type);
  const std::string modelName = model ? model->model : reader.name;
  schema.UnitId = UnitIdOf(reader);
  schema.PoolType = WINBIO_POOL_SYSTEM;
  schema.BiometricFactor = WINBIO_TYPE_FINGERPRINT;
  schema.SensorSubType = kSensorSubtypeTouch;
  schema.Capabilities = kCapabilitySensor;
  SetText(schema.DeviceInstanceId, "USB\\VID_" + Hex4(reader.vendorId) + "&PID_" + Hex4(reader.productId) +
                                       "\\" + reader.serial);
  SetText(schema.Description, "Tolvane " + modelName + " fingerprint reader");
  SetText(schema.Manufacturer, "Tolvane");
  SetText(schema.Model, modelName);
  SetText(schema.SerialNumber, reader.serial);
  schema.FirmwareVersion = {static_cast<DWORD>(reader.release >> 8), static_cast<DWORD>(reader.release & 0xFF)};
}

}  // namespace winbio
