// A Windows system without the maker's drivers: no reader is listed, the
// biometric framework is absent or serves no unit of the maker, and nothing fails.
#include <gtest/gtest.h>

#include "device/enumeration.h"
#include "device/usb_device.h"
#include "device/winbio_api.h"

namespace {

TEST(EnumerationWithoutDrivers, ListsNoReader) {
  int count = -1;
  DeviceEntry* table = nullptr;
  EXPECT_EQ(EnumerateDevices(&count, &table, 0), 0);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(table, DeviceTable);
  EXPECT_EQ(DeviceTable[0].type, 0);

  if (WinBioApi::Load()) {
    EXPECT_EQ(FindFrameworkUnit(kReaderAny), kChannelNoFrameworkUnit);
    WinBioApi::Unload();
  }
}

}  // namespace
