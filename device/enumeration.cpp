#include "device/enumeration.h"

#include <cstring>

#include "device/parallel_device.h"
#include "device/sensor.h"
#include "device/usb_device.h"
#include "platform/win32.h"

namespace {

constexpr uint16_t kUsbTypesNewestFirst[] = {kReaderHmx06, kReaderHmx05, kReaderHmx04, kReaderHmx03,
                                             kReaderHmx02};
constexpr uint32_t kUsbIndexes = 10;

void ProbeUsbGeneration(uint16_t type, int& count) {
  CQVUSBDevice device(type);
  for (uint32_t index = 0; index < kUsbIndexes && count < kDeviceTableSize; ++index) {
    if (device.Open(index) == kStatusOk && device.GetEntry(&DeviceTable[count]) == kStatusOk) ++count;
    device.Close(index);
  }
}

void ProbeParallelReader(int& count) {
  CQVParallelDevice device(kReaderParallel);
  if (device.Probe() == kStatusOk && device.GetEntry(&DeviceTable[count]) == kStatusOk) ++count;
  device.CloseDevice();
}

}  // namespace

int EnumerateDevices(int* count, DeviceEntry** table, [[maybe_unused]] int accessMode) {
  std::memset(DeviceTable, 0, sizeof DeviceTable);
  int found = 0;
  for (uint16_t type : kUsbTypesNewestFirst) {
    if (found >= kDeviceTableSize) break;
    ProbeUsbGeneration(type, found);
  }
  if (found < kDeviceTableSize && GetSystemMetrics(SM_REMOTESESSION) == 0) ProbeParallelReader(found);
  if (count) *count = found;
  if (table) *table = DeviceTable;
  return 0;
}
