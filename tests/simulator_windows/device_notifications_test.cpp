// Plugging and unplugging through the driver reach a window registered as the
// utility's window registers (a 288-byte filter for USB device interfaces) as
// WM_DEVICECHANGE from the system's own device manager.
#include <windows.h>
#include <dbt.h>
#include <initguid.h>
#include <usbiodef.h>

#include <cctype>
#include <chrono>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "tests/simulator_windows/plugged_devices.h"

namespace {

constexpr size_t kFilterSize = 288;

struct Notice {
  WPARAM event;
  std::string name;
};

// Wine hands a window registered with the "A" call the wide record; Windows
// the narrow one. Interface names are ASCII, so a zero second byte tells them apart.
std::string InterfaceName(const DEV_BROADCAST_DEVICEINTERFACE_A* record) {
  const size_t size = record->dbcc_size - offsetof(DEV_BROADCAST_DEVICEINTERFACE_A, dbcc_name);
  const char* bytes = record->dbcc_name;
  const bool wide = size >= 2 && bytes[0] != 0 && bytes[1] == 0;
  std::string name;
  for (size_t i = 0; i < size && bytes[i]; i += wide ? 2 : 1) name += bytes[i];
  return name;
}

// Windows and Wine may give the device part of a name in either case.
std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

class NotifiedWindow {
 public:
  NotifiedWindow() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "TolvaneNotifiedWindow";
    RegisterClassA(&windowClass);
    window_ = CreateWindowA(windowClass.lpszClassName, "", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                            windowClass.hInstance, nullptr);
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    DEV_BROADCAST_DEVICEINTERFACE_A head{};
    head.dbcc_size = kFilterSize;
    head.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    head.dbcc_classguid = GUID_DEVINTERFACE_USB_DEVICE;
    alignas(DEV_BROADCAST_DEVICEINTERFACE_A) uint8_t filter[kFilterSize] = {};
    std::memcpy(filter, &head, offsetof(DEV_BROADCAST_DEVICEINTERFACE_A, dbcc_name));
    notify_ = RegisterDeviceNotificationA(window_, filter, DEVICE_NOTIFY_WINDOW_HANDLE);
  }
  ~NotifiedWindow() {
    UnregisterDeviceNotification(notify_);
    DestroyWindow(window_);
  }
  bool Registered() const { return window_ && notify_; }

  // The next arrival or removal, dispatching messages for at most `wait`.
  Notice Next(std::chrono::milliseconds wait = std::chrono::seconds(5)) {
    const auto end = std::chrono::steady_clock::now() + wait;
    while (notices_.empty() && std::chrono::steady_clock::now() < end) {
      MSG message;
      while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    if (notices_.empty()) return {0, "(none in time)"};
    Notice notice = notices_.front();
    notices_.erase(notices_.begin());
    return notice;
  }

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<NotifiedWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(lParam);
    if (self && message == WM_DEVICECHANGE && (wParam == DBT_DEVICEARRIVAL || wParam == DBT_DEVICEREMOVECOMPLETE) &&
        header && header->dbch_devicetype == DBT_DEVTYP_DEVICEINTERFACE) {
      const auto* record = reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_A*>(lParam);
      self->notices_.push_back({wParam, InterfaceName(record)});
      return TRUE;
    }
    return DefWindowProcA(window, message, wParam, lParam);
  }

  HWND window_ = nullptr;
  HDEVNOTIFY notify_ = nullptr;
  std::vector<Notice> notices_;
};

class DeviceNotificationTest : public PluggedDevices {};

// Wine starts a process's listener for device events in the background at its
// first registration and drops the events that come before: a probe device
// is plugged until its arrival is heard.
void AwaitListener(NotifiedWindow& window) {
  constexpr uint16_t kProbe = 0xFFFF;
  constexpr std::chrono::milliseconds kWait(100);
  std::string error;
  for (int attempt = 0; attempt < 50; ++attempt) {
    ASSERT_TRUE(simwin::DriverPlugForeign(kProbe, kProbe, error)) << error;
    const bool heard = window.Next(kWait).event == DBT_DEVICEARRIVAL;
    ASSERT_TRUE(simwin::DriverUnplugForeign(kProbe, kProbe, error)) << error;
    window.Next(heard ? std::chrono::seconds(5) : kWait);  // the probe's removal
    if (heard) return;
  }
  FAIL() << "no arrival reached the window";
}

TEST_F(DeviceNotificationTest, ArrivalAndRemovalNameTheDevice) {
  NotifiedWindow window;
  ASSERT_TRUE(window.Registered()) << GetLastError();
  ASSERT_NO_FATAL_FAILURE(AwaitListener(window));
  constexpr driver_cases::TableReader kServed{"HMX04", 0, 5, 0x0330, 0x0100, "FW-1"};
  const struct {
    const char* what;
    std::function<void()> plug, unplug;
    const char* ids;  // what the interface name carries
  } cases[] = {
      {"a reader of the direct channel", [&] { Plug(driver_cases::kHmx05); }, [] { Unplug(driver_cases::kHmx05); },
       "VID_2F3D&PID_2200"},
      {"a reader the framework serves", [&] { Plug(kServed, /*framework=*/true); }, [&] { Unplug(kServed); },
       "VID_2F3D&PID_0330"},
      {"another maker's device", [&] { PlugForeign(0x046D, 0xC52B); }, [] { UnplugForeign(0x046D, 0xC52B); },
       "VID_046D&PID_C52B"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    c.plug();
    const Notice arrival = window.Next();
    EXPECT_EQ(arrival.event, DBT_DEVICEARRIVAL) << arrival.name;
    EXPECT_NE(Upper(arrival.name).find(c.ids), std::string::npos) << arrival.name;
    // What the utility looks for: only the family's devices carry its vendor id.
    EXPECT_EQ(Upper(arrival.name).find("VID_2F3D") != std::string::npos, std::string(c.ids).starts_with("VID_2F3D"));
    c.unplug();
    const Notice removal = window.Next();
    EXPECT_EQ(removal.event, DBT_DEVICEREMOVECOMPLETE) << removal.name;
    EXPECT_EQ(removal.name, arrival.name);
  }
}

}  // namespace
