// The framework channel and the channel choice on the framework stand-in.
#include "device/enumeration.h"
#include "device/sensor.h"
#include "device/usb_device.h"
#include "device/wbf_usb_device.h"
#include "device/winbio_api.h"
#include "tests/channels/machine_test.h"

namespace {

class FrameworkChannelTest : public MachineTest {
 protected:
  static sim::Reader PlugServed(const char* name, uint32_t index) {
    return Plug(name, index, [](sim::Reader& r) { r.framework = true; });
  }
  template <typename Device>
  static DeviceEntry EntryOf(const Device& device) {
    DeviceEntry entry{};
    device.GetEntry(&entry);
    return entry;
  }
};

TEST_F(FrameworkChannelTest, UnitIdsSelectTheIndexes) {
  PlugServed("OMREL", 0);  // unit 1
  PlugServed("OMREL", 1);  // unit 2
  CQVUSBDevice device(kReaderHmx02);
  ASSERT_EQ(device.Choice(), kChannelFramework);
  EXPECT_TRUE(WbfAvailable);

  ASSERT_EQ(device.Open(0), kStatusOk);
  DeviceEntry entry = EntryOf(device);
  EXPECT_EQ(entry.index, 0);
  EXPECT_EQ(entry.release, 0x0020);
  EXPECT_EQ(entry.productId, 0x0300);
  EXPECT_EQ(entry.formFactor, 1);
  EXPECT_STREQ(entry.serial, "TVHMX02N0");

  ASSERT_EQ(device.Open(1), kStatusOk);
  EXPECT_STREQ(EntryOf(device).serial, "TVHMX02N1");
  EXPECT_EQ(device.Open(2), kStatusSystemFileLoadFail);
  device.Close(2);
}

TEST_F(FrameworkChannelTest, EveryGenerationReadsItsSerialThroughTheFramework) {
  PlugServed("QVUSB", 0);  // release 0x1000: 30-byte request
  Plug("QVUSB", 1, [](sim::Reader& r) {
    r.framework = true;
    r.release = 0x0200;  // 42-byte request
  });
  PlugServed("HMX06", 4);
  for (auto [type, index, serial] : {std::tuple{kReaderHmx03, 0u, "TVHMX03N0"}, std::tuple{kReaderHmx03, 1u, "TVHMX03N1"},
                                     std::tuple{kReaderHmx06, 4u, "TVHMX06N4"}}) {
    CQVUSBDevice device(type);
    ASSERT_EQ(device.Choice(), kChannelFramework);
    ASSERT_EQ(device.Open(index), kStatusOk) << serial;
    EXPECT_STREQ(EntryOf(device).serial, serial);
    device.Close(index);
  }
}

TEST_F(FrameworkChannelTest, AReaderLockedElsewhereIsRefusedAndLeftOutOfTheTable) {
  PlugServed("HMX04", 0);
  PlugServed("HMX04", 1);
  NamedLockHolder holder("__TOLVANE_HMX04_SYNC_OBJ__UNITLOCKER0");
  ASSERT_TRUE(holder.Holding());
  {
    CQVUSBDevice device(kReaderHmx04);
    EXPECT_EQ(device.Open(0), kStatusUsedByAnotherProcess);
    device.Close(0);
  }
  int count = -1;
  DeviceEntry* table = nullptr;
  EnumerateDevices(&count, &table, 1);
  ASSERT_EQ(count, 1);
  EXPECT_EQ(table[0].type, kReaderHmx04);
  EXPECT_EQ(table[0].index, 1);
}

TEST_F(FrameworkChannelTest, AUnitLockedByAnotherSessionFailsTheOpen) {
  PlugServed("HMX05", 0);
  // A reference of our own keeps the framework, and the other session, alive
  // while the facades load and unload it.
  HMODULE keep = LoadLibraryA("winbio.dll");
  ASSERT_NE(keep, nullptr);
  ASSERT_TRUE(WinBioApi::Load());
  WINBIO_SESSION_HANDLE other = 0;
  ASSERT_GE(WinBioApi::OpenSession(WINBIO_TYPE_FINGERPRINT, WINBIO_POOL_SYSTEM, 0, nullptr, 0, WINBIO_DB_DEFAULT,
                                   &other),
            0);
  const WINBIO_UNIT_ID unit = 31;  // HMX05 index 0
  ASSERT_GE(WinBioApi::LockUnit(other, unit), 0);
  {
    CQVUSBDevice device(kReaderHmx05);
    EXPECT_EQ(device.Open(0), kStatusFunctionFail);
    device.Close(0);
  }
  ASSERT_TRUE(WinBioApi::Load());  // the facade unloaded the entry points
  ASSERT_GE(WinBioApi::UnlockUnit(other, unit), 0);
  ASSERT_GE(WinBioApi::CloseSession(other), 0);
  WinBioApi::Unload();
  FreeLibrary(keep);
  CQVUSBDevice device(kReaderHmx05);
  EXPECT_EQ(device.Open(0), kStatusOk);
  device.Close(0);
  // The named lock was given back after the refusal: another process can take it.
  NamedLockHolder holder("__TOLVANE_HMX05_SYNC_OBJ__UNITLOCKER0");
  EXPECT_TRUE(holder.Holding());
}

// Closing a channel that holds its unit ends the session first, so the
// framework refuses the unlock; the channel must not think itself still
// locked, or its next requests would skip the named lock.
TEST_F(FrameworkChannelTest, AFailedUnitUnlockStillEndsTheLock) {
  PlugServed("HMX05", 0);
  ASSERT_TRUE(WinBioApi::Load());
  WbfAvailable = true;
  WbfUsbDevice channel(kReaderHmx05);
  ASSERT_EQ(channel.Open(0), kStatusOk);
  ASSERT_EQ(channel.LockUnit(), kStatusOk);
  channel.Close(0);
  {
    NamedLockHolder holder("__TOLVANE_HMX05_SYNC_OBJ__UNITLOCKER0");
    ASSERT_TRUE(holder.Holding());
    EXPECT_EQ(channel.Open(0), kStatusUsedByAnotherProcess);
    channel.Close(0);
  }
  EXPECT_EQ(channel.Open(0), kStatusOk);
  EXPECT_STREQ(EntryOf(channel).serial, "TVHMX05N0");
  channel.Close(0);
  WbfAvailable = false;
  WinBioApi::Unload();
}

TEST_F(FrameworkChannelTest, OlderSystemsAndMissingFrameworksUseTheDriver) {
  PlugServed("HMX05", 0);
  ChangeProfile([](sim::Profile& p) {
    p.major = 6;
    p.minor = 0;
  });
  EXPECT_EQ(CQVUSBDevice(kReaderHmx05).Choice(), kChannelSystemTooOld);

  ChangeProfile([](sim::Profile& p) { p.minor = 1; });
  EXPECT_EQ(CQVUSBDevice(kReaderHmx05).Choice(), kChannelFramework);
  EXPECT_EQ(CQVUSBDevice(kReaderHmx06).Choice(), kChannelNoFrameworkUnit);
  EXPECT_FALSE(WbfAvailable);
  EXPECT_FALSE(WinBioApi::IsLoaded());

  sim::RemoveDriverFile("winbio.dll");
  EXPECT_EQ(CQVUSBDevice(kReaderHmx05).Choice(), kChannelNoFramework);

  // With the framework service off, its readers are the driver's again.
  ChangeProfile([](sim::Profile& p) { p.frameworkPresent = false; });
  CQVUSBDevice device(kReaderHmx05);
  EXPECT_EQ(device.Open(0), kStatusOk);
  EXPECT_STREQ(EntryOf(device).serial, "TVHMX05N0");
  device.Close(0);
}

// The stand-in itself, through the program's own wrappers.
TEST_F(FrameworkChannelTest, StandInListsUnitsAndGuardsThemPerSession) {
  PlugServed("HMX05", 2);
  Plug("HMX06", 0);  // on the driver: not a unit
  ASSERT_TRUE(WinBioApi::Load());
  {
    FingerprintUnitList units;
    ASSERT_EQ(units.Count(), 1u);
    const WINBIO_UNIT_SCHEMA& unit = *units.begin();
    EXPECT_EQ(unit.UnitId, 33u);
    EXPECT_TRUE(IsMakerUnit(unit, FrameworkModelPattern(kReaderHmx05)));
    EXPECT_FALSE(IsMakerUnit(unit, FrameworkModelPattern(kReaderHmx06)));
  }
  WINBIO_SESSION_HANDLE first = 0, second = 0;
  ASSERT_GE(WinBioApi::OpenSession(8, 1, 0, nullptr, 0, WINBIO_DB_DEFAULT, &first), 0);
  ASSERT_GE(WinBioApi::OpenSession(8, 1, 0, nullptr, 0, WINBIO_DB_DEFAULT, &second), 0);
  uint8_t descriptor[18] = {};
  SIZE_T received = 0;
  ULONG status = 0;
  auto control = [&](WINBIO_SESSION_HANDLE session) {
    return WinBioApi::ControlUnit(session, 33, 1, 0x442190, descriptor, sizeof descriptor, descriptor,
                                  sizeof descriptor, &received, &status);
  };
  EXPECT_LT(control(first), 0);  // not locked by this session
  ASSERT_GE(WinBioApi::LockUnit(first, 33), 0);
  EXPECT_LT(WinBioApi::LockUnit(second, 33), 0);
  ASSERT_GE(control(first), 0);
  EXPECT_EQ(received, 18u);
  EXPECT_EQ(descriptor[12] | descriptor[13] << 8, 0x0105);
  EXPECT_LT(control(second), 0);
  EXPECT_LT(WinBioApi::LockUnit(first, 34), 0);  // no such unit
  // Closing a session gives its units back.
  ASSERT_GE(WinBioApi::CloseSession(first), 0);
  EXPECT_GE(WinBioApi::LockUnit(second, 33), 0);
  EXPECT_GE(WinBioApi::CloseSession(second), 0);
  EXPECT_LT(WinBioApi::CloseSession(second), 0);
  WinBioApi::Unload();
}

}  // namespace
