// Plugging and unplugging devices through the running driver's control device.
#include "simulator/windows/driver_control.h"

#include <windows.h>

#include <algorithm>
#include <cctype>

#include "simulator/windows/driver/control_codes.h"
#include "simulator/windows/system_error.h"

namespace simwin {

namespace {

// One request to the running driver's control device.
bool SendToDriver(DWORD code, const TsimPlugRecord& record, const std::string& what, std::string& error) {
  HANDLE control = CreateFileA(TSIM_CONTROL_PATH, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (control == INVALID_HANDLE_VALUE) return Failed("the driver is not running", error);
  DWORD returned = 0;
  const bool sent = DeviceIoControl(control, code, const_cast<TsimPlugRecord*>(&record), sizeof record, nullptr, 0,
                                    &returned, nullptr);
  const DWORD sendError = GetLastError();
  CloseHandle(control);
  SetLastError(sendError);
  return sent || Failed(what, error);
}

// The record of reader NAME-INDEX, or false with the reason.
bool ReaderIdRecord(const std::string& name, uint32_t index, TsimPlugRecord& record, std::string& error) {
  record = TsimPlugRecord{};
  if (name.empty() || name.size() >= sizeof record.name || index > 9) {
    error = "not a reader: " + name + "-" + std::to_string(index);
    return false;
  }
  std::transform(name.begin(), name.end(), record.name,
                 [](char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); });
  record.index = index;
  return true;
}

TsimPlugRecord ForeignRecord(uint16_t vendorId, uint16_t productId) {
  TsimPlugRecord record{};
  record.reader.vendorId = vendorId;
  record.reader.productId = productId;
  return record;
}

}  // namespace

bool DriverPlug(const ReaderRecord& reader, std::string& error) {
  TsimPlugRecord record;
  if (!ReaderIdRecord(reader.name, reader.index, record, error)) return false;
  if (reader.serial.size() > TSIM_SERIAL_MAX_CHARACTERS) {
    error = "a serial has at most 20 characters: " + reader.serial;
    return false;
  }
  record.framework = reader.framework;
  record.reader.type = reader.type;
  record.reader.vendorId = reader.vendorId;
  record.reader.productId = reader.productId;
  record.reader.release = reader.release;
  std::copy(reader.serial.begin(), reader.serial.end(), record.reader.serial);
  return SendToDriver(TSIM_IOCTL_PLUG, record, "cannot plug " + reader.name + "-" + std::to_string(reader.index),
                      error);
}

bool DriverUnplug(const std::string& name, uint32_t index, std::string& error) {
  TsimPlugRecord record;
  return ReaderIdRecord(name, index, record, error) &&
         SendToDriver(TSIM_IOCTL_UNPLUG, record, "cannot unplug " + name + "-" + std::to_string(index), error);
}

bool DriverPlugForeign(uint16_t vendorId, uint16_t productId, std::string& error) {
  return SendToDriver(TSIM_IOCTL_PLUG_FOREIGN, ForeignRecord(vendorId, productId), "cannot plug the foreign device",
                      error);
}

bool DriverUnplugForeign(uint16_t vendorId, uint16_t productId, std::string& error) {
  return SendToDriver(TSIM_IOCTL_UNPLUG_FOREIGN, ForeignRecord(vendorId, productId),
                      "cannot unplug the foreign device", error);
}

}  // namespace simwin
