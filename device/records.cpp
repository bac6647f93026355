#include "device/records.h"

DeviceEntry DeviceTable[kDeviceTableSize] = {};

namespace {

constexpr ReaderTypeInfo kReaderTypes[] = {
    {kReaderParallel, "Parallel -- HMP02:", nullptr, "Dacro.dll", "HMP02 : ", "Dacrodrv.sys", "Dacrodrv.sys",
     nullptr, nullptr},
    {kReaderHmx02, "USB -- HMX02:", "OMREL", "Omrel.dll", "HMX02 : ", "omreldrvx64.sys", "Omreldrv.sys", "02",
     "__TOLVANE_HMX02_SYNC_OBJ__"},
    {kReaderHmx03, "USB -- HMX03:", "QVUSB", "Qvhx03m.dll", "HMX03 : ", "QVHx03x64.sys", "Qvhx03d.sys", "03",
     "__TOLVANE_HMX03_SYNC_OBJ__"},
    {kReaderHmx04, "USB -- HMX04:", "HMX04", "Qvhmx04m.dll", "HMX04 : ", "qvhmx04x64.sys", "Qvhmx04d.sys", "04",
     "__TOLVANE_HMX04_SYNC_OBJ__"},
    {kReaderHmx05, "R20 -- HMX05:", "HMX05", "Qvhmx05m.dll", "HMX05 : ", "qvhmx05x64.sys", "Qvhmx05d.sys", "05",
     "__TOLVANE_HMX05_SYNC_OBJ__"},
    {kReaderHmx06, "RPX -- HMX06:", "HMX06", "Qvhmx06m.dll", "RPX   : ", "qvhmx06x64.sys", "Qvhmx06d.sys", "06",
     "__TOLVANE_HMX06_SYNC_OBJ__"},
};

}  // namespace

const ReaderTypeInfo* FindReaderType(uint16_t type) {
  for (const ReaderTypeInfo& info : kReaderTypes) {
    if (info.type == type) return &info;
  }
  return nullptr;
}

std::span<const ReaderTypeInfo> ReaderTypes() { return kReaderTypes; }
