// Enumeration of everything attached to the simulated machine.
#include <cstring>

#include "device/enumeration.h"
#include "tests/channels/machine_test.h"

namespace {

class EnumerationTest : public MachineTest {
 protected:
  int Enumerate() {
    int count = -1;
    DeviceEntry* table = nullptr;
    EXPECT_EQ(EnumerateDevices(&count, &table, 1), 0);
    EXPECT_EQ(table, DeviceTable);
    return count;
  }
  static bool IsZero(const DeviceEntry& entry) {
    static const DeviceEntry zero{};
    return std::memcmp(&entry, &zero, sizeof entry) == 0;
  }
};

TEST_F(EnumerationTest, NoReadersGiveAnEmptyZeroedTable) {
  std::memset(DeviceTable, 0xA5, sizeof DeviceTable);
  EXPECT_EQ(Enumerate(), 0);
  for (const DeviceEntry& entry : DeviceTable) EXPECT_TRUE(IsZero(entry));
}

TEST_F(EnumerationTest, NewerGenerationsComeFirst) {
  Plug("OMREL", 0);
  Plug("HMX05", 1);
  ASSERT_EQ(Enumerate(), 2);
  EXPECT_EQ(DeviceTable[0].type, kReaderHmx05);
  EXPECT_EQ(DeviceTable[0].index, 1);
  EXPECT_STREQ(DeviceTable[0].module, "Qvhmx05m.dll");
  EXPECT_EQ(DeviceTable[1].type, kReaderHmx02);
  EXPECT_EQ(DeviceTable[1].index, 0);
  EXPECT_TRUE(IsZero(DeviceTable[2]));
}

TEST_F(EnumerationTest, ParallelReaderIsListedLastWithItsPort) {
  Plug("HMX06", 0);
  Plug("parallel", 0);  // at 0x378 in mode 3
  ASSERT_EQ(Enumerate(), 2);
  const DeviceEntry& parallel = DeviceTable[1];
  EXPECT_EQ(parallel.type, kReaderParallel);
  EXPECT_EQ(parallel.index, 0);
  EXPECT_STREQ(parallel.module, "Dacro.dll");
  EXPECT_EQ(parallel.portAddress, 0x378);
  EXPECT_EQ(parallel.portMode, 3);
  EXPECT_EQ(parallel.productId, 0);
  EXPECT_EQ(parallel.release, 0);
  EXPECT_EQ(parallel.formFactor, 0);
}

TEST_F(EnumerationTest, ParallelReaderIsSkippedInARemoteSessionOrWithoutItsModule) {
  Plug("HMX06", 0);
  Plug("parallel", 0);
  ChangeProfile([](sim::Profile& p) { p.remoteSession = true; });
  EXPECT_EQ(Enumerate(), 1);

  ChangeProfile([](sim::Profile& p) { p.remoteSession = false; });
  sim::RemoveDriverFile("Dacro.dll");
  EXPECT_EQ(Enumerate(), 1);
  EXPECT_EQ(DeviceTable[0].type, kReaderHmx06);
}

TEST_F(EnumerationTest, FiftyOneReadersFillThirtyTwoEntriesAndNoMore) {
  for (const char* name : {"HMX06", "HMX05", "HMX04", "QVUSB", "OMREL"}) {
    for (uint32_t index = 0; index < 10; ++index) Plug(name, index);
  }
  Plug("parallel", 0);
  ASSERT_EQ(Enumerate(), kDeviceTableSize);
  // Types 7, 6 and 5 take ten entries each; type 4 gets the last two.
  for (int i = 0; i < kDeviceTableSize; ++i) {
    EXPECT_EQ(DeviceTable[i].type, 7 - i / 10) << i;
    EXPECT_EQ(DeviceTable[i].index, i % 10) << i;
  }
}

}  // namespace
