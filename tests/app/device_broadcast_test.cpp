// The device name of a broadcast record, bounded by the record's own size.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/device_broadcast.h"

namespace {

constexpr size_t kNameOffset = offsetof(DEV_BROADCAST_DEVICEINTERFACE, dbcc_name);

std::vector<uint8_t> Record(const std::u16string& name, DWORD size, DWORD type = DBT_DEVTYP_DEVICEINTERFACE) {
  std::vector<uint8_t> record(std::max<size_t>(size, sizeof(DEV_BROADCAST_HDR)));
  std::memcpy(record.data(), &size, 4);
  std::memcpy(record.data() + 4, &type, 4);
  const size_t room = record.size() > kNameOffset ? record.size() - kNameOffset : 0;
  std::memcpy(record.data() + kNameOffset, name.data(), std::min(room, name.size() * 2));
  return record;
}

std::string NameOf(const std::vector<uint8_t>& record) {
  return DeviceInterfaceName(reinterpret_cast<const DEV_BROADCAST_HDR*>(record.data()));
}

TEST(DeviceBroadcastTest, NameStopsAtTheTerminatorOrTheRecordEnd) {
  EXPECT_EQ(NameOf(Record(u"USB#VID_2F3D", kNameOffset + 26)), "USB#VID_2F3D");  // with terminator
  EXPECT_EQ(NameOf(Record(u"USB#VID_2F3D", kNameOffset + 24)), "USB#VID_2F3D");  // without
  EXPECT_EQ(NameOf(Record(u"USB#VID_2F3D", kNameOffset + 9)), "USB#");           // odd byte left out
  EXPECT_EQ(NameOf(Record(u"", sizeof(DEV_BROADCAST_HDR))), "");
}

TEST(DeviceBroadcastTest, OtherRecordKindsHaveNoName) {
  EXPECT_EQ(NameOf(Record(u"USB#VID_2F3D", kNameOffset + 24, 3)), "");
  EXPECT_EQ(DeviceInterfaceName(nullptr), "");
}

TEST(DeviceBroadcastTest, LongNamesAreCutTo255Bytes) {
  const std::u16string name(400, u'A');
  const std::vector<uint8_t> record = Record(name, static_cast<DWORD>(kNameOffset + name.size() * 2));
  EXPECT_EQ(NameOf(record), std::string(255, 'A'));
}

TEST(DeviceBroadcastTest, VendorIdentifierInEitherDriverSpelling) {
  EXPECT_TRUE(NamesFamilyReader("\\\\?\\USB#VID_2F3D&PID_2200#1"));
  EXPECT_TRUE(NamesFamilyReader("\\\\?\\usb#vid_2f3d&pid_2200#1"));
  EXPECT_FALSE(NamesFamilyReader("\\\\?\\USB#VID_2F3E&PID_2200#1"));
  EXPECT_FALSE(NamesFamilyReader(""));
}

}  // namespace
