#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/device_notifications.h"
#include "platform/window_host.h"
#include "tests/platform/scoped_machine_root.h"

namespace {

class SilentClient : public platform::WindowClient {
 public:
  void MessagesPosted() override {}
  LRESULT WindowProc(UINT, WPARAM, LPARAM) override { return 0; }
  void SurfaceChanged() override {}
};

// The filter the main window builds: 288 zero-filled bytes.
std::vector<uint8_t> UsbInterfaceFilter(DWORD deviceType) {
  std::vector<uint8_t> bytes(288, 0);
  auto* filter = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE*>(bytes.data());
  filter->dbcc_size = 288;
  filter->dbcc_devicetype = deviceType;
  filter->dbcc_classguid = GUID_DEVINTERFACE_USB_DEVICE;
  return bytes;
}

TEST(DeviceNotifications, RegistersAWindowForInterfaceNoticesUntilUnregistered) {
  ScopedMachineRoot root;  // the bus watcher a registration starts reads the machine
  SilentClient client;
  HWND window = platform::RegisterWindow(&client, 1, 1);
  std::vector<uint8_t> filter = UsbInterfaceFilter(DBT_DEVTYP_DEVICEINTERFACE);

  HDEVNOTIFY registration = RegisterDeviceNotificationA(window, filter.data(), DEVICE_NOTIFY_WINDOW_HANDLE);
  ASSERT_NE(registration, nullptr);
  std::vector<platform::DeviceNotificationTarget> targets = platform::DeviceNotificationTargets();
  ASSERT_EQ(targets.size(), 1u);
  EXPECT_EQ(targets[0].window, window);
  EXPECT_EQ(std::memcmp(&targets[0].interfaceClass, &GUID_DEVINTERFACE_USB_DEVICE, sizeof(GUID)), 0);

  EXPECT_TRUE(UnregisterDeviceNotification(registration));
  EXPECT_FALSE(UnregisterDeviceNotification(registration));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_TRUE(platform::DeviceNotificationTargets().empty());
  platform::UnregisterWindow(window);
}

TEST(DeviceNotifications, RefusesUnknownWindowsAndOtherFilters) {
  SilentClient client;
  HWND window = platform::RegisterWindow(&client, 1, 1);
  std::vector<uint8_t> interfaces = UsbInterfaceFilter(DBT_DEVTYP_DEVICEINTERFACE);
  std::vector<uint8_t> volumes = UsbInterfaceFilter(2);
  std::vector<uint8_t> truncated = UsbInterfaceFilter(DBT_DEVTYP_DEVICEINTERFACE);
  reinterpret_cast<DEV_BROADCAST_HDR*>(truncated.data())->dbch_size = sizeof(DEV_BROADCAST_HDR);

  EXPECT_EQ(RegisterDeviceNotificationA(window, volumes.data(), DEVICE_NOTIFY_WINDOW_HANDLE), nullptr);
  EXPECT_EQ(RegisterDeviceNotificationA(window, truncated.data(), DEVICE_NOTIFY_WINDOW_HANDLE), nullptr);
  EXPECT_EQ(RegisterDeviceNotificationA(window, nullptr, DEVICE_NOTIFY_WINDOW_HANDLE), nullptr);
  EXPECT_EQ(RegisterDeviceNotificationA(window, interfaces.data(), 1), nullptr);
  platform::UnregisterWindow(window);
  EXPECT_EQ(RegisterDeviceNotificationA(window, interfaces.data(), DEVICE_NOTIFY_WINDOW_HANDLE), nullptr);
  EXPECT_TRUE(platform::DeviceNotificationTargets().empty());
  EXPECT_FALSE(UnregisterDeviceNotification(nullptr));
}

}  // namespace
