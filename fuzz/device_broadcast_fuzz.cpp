// A device-change broadcast record as the window reads it: the device name
// out of any bytes, within the record's own size field. The harness delivers
// the record as the platform does, its size field never claiming more bytes
// than were delivered; whatever else the bytes say is up to the fuzzer.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "app/device_broadcast.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < sizeof(DEV_BROADCAST_HDR)) return 0;
  // A buffer of exactly the delivered size, so that any read past it is seen.
  std::vector<uint8_t> record(data, data + size);
  DEV_BROADCAST_HDR header;
  std::memcpy(&header, record.data(), sizeof header);
  if (header.dbch_size > size) {
    header.dbch_size = static_cast<DWORD>(size);
    std::memcpy(record.data(), &header, sizeof header);
  }
  const std::string name = DeviceInterfaceName(reinterpret_cast<const DEV_BROADCAST_HDR*>(record.data()));
  if (name.size() > kDeviceNameMaxBytes) __builtin_trap();
  if (NamesFamilyReader(name) && name.find_first_of("Vv") == std::string::npos) __builtin_trap();
  return 0;
}
