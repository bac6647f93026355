// The simulated kernel driver as the program reaches it: device paths and
// I/O control codes through the platform calls.
#include <cstring>

#include "device/qv_usb_device.h"
#include "platform/win32.h"
#include "tests/channels/machine_test.h"

namespace {

HANDLE OpenDevicePath(const char* path) {
  return CreateFileA(path, FILE_READ_DATA, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
}

class KernelDriverTest : public MachineTest {};

TEST_F(KernelDriverTest, AnswersTheDescriptorAndFailsOnceTheReaderIsUnplugged) {
  Plug("HMX05", 2, [](sim::Reader& r) {
    r.productId = 0x2200;
    r.release = 0x0105;
  });
  HANDLE device = OpenDevicePath("\\\\.\\HMX05-2");
  ASSERT_NE(device, INVALID_HANDLE_VALUE);

  uint8_t descriptor[kDeviceDescriptorSize] = {};
  DWORD returned = 0;
  ASSERT_TRUE(DeviceIoControl(device, kIoctlGetDeviceDescriptor, descriptor, sizeof descriptor, descriptor,
                              sizeof descriptor, &returned, nullptr));
  EXPECT_EQ(returned, kDeviceDescriptorSize);
  EXPECT_EQ(descriptor[8] | descriptor[9] << 8, sim::kTolvaneVendorId);
  EXPECT_EQ(descriptor[10] | descriptor[11] << 8, 0x2200);
  EXPECT_EQ(descriptor[12] | descriptor[13] << 8, 0x0105);

  ASSERT_TRUE(sim::UnplugReader("HMX05", 2));
  EXPECT_FALSE(DeviceIoControl(device, kIoctlGetDeviceDescriptor, descriptor, sizeof descriptor, descriptor,
                               sizeof descriptor, &returned, nullptr));
  EXPECT_TRUE(CloseHandle(device));
  EXPECT_FALSE(CloseHandle(device));
}

TEST_F(KernelDriverTest, RefusesMalformedRequests) {
  Plug("HMX06", 0);
  Plug("OMREL", 0, [](sim::Reader& r) { r.release = 0x001F; });
  HANDLE device = OpenDevicePath("\\\\.\\HMX06-0");
  ASSERT_NE(device, INVALID_HANDLE_VALUE);
  uint8_t header[12] = {1, 2, 0, 0, 0x25, 0, 0, 0, 0, 0};
  uint8_t answer[64] = {};
  DWORD returned = 0;
  // The well-formed serial request first, so the refusals below are about their faults.
  ASSERT_TRUE(DeviceIoControl(device, kIoctlVendorRequest, header, 10, answer, 30, &returned, nullptr));
  EXPECT_EQ(returned, 30u);
  EXPECT_FALSE(DeviceIoControl(device, kIoctlVendorRequest, header, 9, answer, 30, &returned, nullptr));
  EXPECT_FALSE(DeviceIoControl(device, kIoctlVendorRequest, header, 10, answer, 29, &returned, nullptr));
  header[1] = 3;
  EXPECT_FALSE(DeviceIoControl(device, kIoctlVendorRequest, header, 10, answer, 30, &returned, nullptr));
  EXPECT_FALSE(DeviceIoControl(device, kIoctlGetDeviceDescriptor, answer, 18, answer, 17, &returned, nullptr));
  EXPECT_FALSE(DeviceIoControl(device, 0x222000, answer, 18, answer, 18, &returned, nullptr));
  CloseHandle(device);

  // The type-3 serial exists only from release 0x20 on.
  device = OpenDevicePath("\\\\.\\OMREL-0");
  ASSERT_NE(device, INVALID_HANDLE_VALUE);
  uint8_t input[4] = {3, 0, 0x99, 0x01};
  EXPECT_FALSE(DeviceIoControl(device, kIoctlGetType3Serial, input, 4, answer, 32, &returned, nullptr));
  CloseHandle(device);
}

TEST_F(KernelDriverTest, ServesOnlyAttachedReadersOffTheFramework) {
  Plug("HMX04", 0, [](sim::Reader& r) { r.framework = true; });
  Plug("parallel", 0);
  for (const char* path : {"\\\\.\\HMX04-0", "\\\\.\\HMX04-1", "\\\\.\\parallel", "HMX04-0", "\\\\.\\HMX04-"}) {
    EXPECT_EQ(OpenDevicePath(path), INVALID_HANDLE_VALUE) << path;
  }
  // Without the framework running, its readers are reached through the driver.
  ChangeProfile([](sim::Profile& p) { p.frameworkPresent = false; });
  HANDLE device = OpenDevicePath("\\\\.\\HMX04-0");
  EXPECT_NE(device, INVALID_HANDLE_VALUE);
  CloseHandle(device);
}

}  // namespace
