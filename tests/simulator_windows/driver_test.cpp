// The kernel driver under Wine, reached as the device layer reaches it, and
// its control device refusing what it cannot use.
#include <windows.h>

#include <algorithm>
#include <cstring>

#include "simulator/windows/driver/control_codes.h"
#include "tests/simulator_windows/plugged_devices.h"

namespace {

using driver_cases::kHmx05;

class DriverTest : public PluggedDevices {};

TEST_F(DriverTest, AnswersAsTheLinuxStandInDoes) {
  for (const driver_cases::TableReader& reader : driver_cases::kTableReaders) Plug(reader);
  driver_cases::CheckAnswerCases();
}

TEST_F(DriverTest, FailsCleanlyOnceTheReaderIsUnplugged) {
  Plug(kHmx05);
  driver_cases::CheckUnplugged(kHmx05, [] { Unplug(kHmx05); });
}

TEST_F(DriverTest, ServesPathsOfPluggedReadersOfTheDirectChannelOnly) {
  constexpr driver_cases::TableReader kServed{"HMX04", 0, 5, 0x0330, 0x0100, "FW-1"};
  EXPECT_EQ(driver_cases::OpenReader(kHmx05), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  Plug(kServed, /*framework=*/true);
  EXPECT_EQ(driver_cases::OpenReader(kServed), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);

  // Plugged, unplugged with a handle left open, plugged again: the path is the new reader's.
  Plug(kHmx05);
  HANDLE stale = driver_cases::OpenReader(kHmx05);
  ASSERT_NE(stale, INVALID_HANDLE_VALUE);
  Unplug(kHmx05);
  Plug(kHmx05);
  HANDLE device = driver_cases::OpenReader(kHmx05);
  ASSERT_NE(device, INVALID_HANDLE_VALUE) << GetLastError();
  uint8_t descriptor[18] = {};
  DWORD returned = 0;
  EXPECT_TRUE(DeviceIoControl(device, driver_cases::kDescriptor, nullptr, 0, descriptor, 18, &returned, nullptr));
  EXPECT_FALSE(DeviceIoControl(stale, driver_cases::kDescriptor, nullptr, 0, descriptor, 18, &returned, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_DEVICE_NOT_CONNECTED);
  EXPECT_TRUE(CloseHandle(stale));
  EXPECT_TRUE(CloseHandle(device));
}

// Requests a client of the control device can get wrong: each is refused and
// the driver goes on serving.
TEST_F(DriverTest, ControlDeviceRefusesWhatItCannotUse) {
  TsimPlugRecord good{};
  std::copy_n("HMX05", 6, good.name);
  good.reader = {6, 0x2F3D, 0x2200, 0x0105, "S1"};
  auto with = [&](auto change) {
    TsimPlugRecord record = good;
    change(record);
    return record;
  };
  const struct {
    const char* what;
    DWORD code;
    TsimPlugRecord record;
    DWORD size;
    DWORD error;
  } cases[] = {
      {"a short record", TSIM_IOCTL_PLUG, good, sizeof good - 1, ERROR_INVALID_PARAMETER},
      {"a long record", TSIM_IOCTL_PLUG, good, sizeof good + 1, ERROR_INVALID_PARAMETER},
      {"an unknown code", TSIM_IOCTL_PLUG + 0x40, good, sizeof good, ERROR_INVALID_FUNCTION},
      {"a name in lower case", TSIM_IOCTL_PLUG, with([](auto& r) { r.name[0] = 'h'; }), sizeof good,
       ERROR_INVALID_PARAMETER},
      {"an empty name", TSIM_IOCTL_PLUG, with([](auto& r) { r.name[0] = 0; }), sizeof good, ERROR_INVALID_PARAMETER},
      {"a name without its end", TSIM_IOCTL_PLUG, with([](auto& r) { std::fill_n(r.name, 8, 'A'); }), sizeof good,
       ERROR_INVALID_PARAMETER},
      {"index 10", TSIM_IOCTL_PLUG, with([](auto& r) { r.index = 10; }), sizeof good, ERROR_INVALID_PARAMETER},
      {"a serial without its end", TSIM_IOCTL_PLUG, with([](auto& r) { std::fill_n(r.reader.serial, 21, 'S'); }),
       sizeof good, ERROR_INVALID_PARAMETER},
      {"a reader not plugged", TSIM_IOCTL_UNPLUG, good, sizeof good, ERROR_NOT_FOUND},
      {"a foreign device of the family's maker", TSIM_IOCTL_PLUG_FOREIGN, good, sizeof good, ERROR_INVALID_PARAMETER},
      {"a foreign device not plugged", TSIM_IOCTL_UNPLUG_FOREIGN, good, sizeof good, ERROR_NOT_FOUND},
  };
  HANDLE control = CreateFileA(TSIM_CONTROL_PATH, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(control, INVALID_HANDLE_VALUE);
  uint8_t buffer[sizeof good + 1] = {};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::memcpy(buffer, &c.record, sizeof c.record);
    DWORD returned = 0;
    EXPECT_FALSE(DeviceIoControl(control, c.code, buffer, c.size, nullptr, 0, &returned, nullptr));
    EXPECT_EQ(GetLastError(), c.error);
  }
  CloseHandle(control);
  std::string error;
  EXPECT_FALSE(simwin::DriverPlug({"HMX05-", 0, 6, 0x2F3D, 0x2200, 0x0105, "S1", false}, error));
  EXPECT_FALSE(simwin::DriverPlug({"HMX05", 0, 6, 0x2F3D, 0x2200, 0x0105, std::string(21, 'S'), false}, error));
  Plug(kHmx05);
  HANDLE device = driver_cases::OpenReader(kHmx05);
  EXPECT_NE(device, INVALID_HANDLE_VALUE);
  CloseHandle(device);
}

}  // namespace
