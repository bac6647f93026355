// RegisterDeviceNotificationA / UnregisterDeviceNotification: the registrations
// of windows for device-interface arrivals and removals.
#include "platform/device_notifications.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>

#include "platform/usb_bus_watcher.h"
#include "platform/window_host.h"

namespace platform {
namespace {

std::mutex registrationsLock;
// Keyed by the handle's value; handles rise, so the map lists oldest first.
std::map<uintptr_t, DeviceNotificationTarget> registrations;
uintptr_t nextHandle = 0x20000;

// The filter must at least reach the class GUID it names.
constexpr DWORD kMinimumFilterSize = offsetof(DEV_BROADCAST_DEVICEINTERFACE, dbcc_name);

}  // namespace

std::vector<DeviceNotificationTarget> DeviceNotificationTargets() {
  std::lock_guard guard(registrationsLock);
  std::vector<DeviceNotificationTarget> targets;
  for (const auto& [handle, target] : registrations) targets.push_back(target);
  return targets;
}

}  // namespace platform

extern "C" HDEVNOTIFY WINAPI RegisterDeviceNotificationA(HANDLE recipient, LPVOID filter, DWORD flags) {
  HWND window = static_cast<HWND>(recipient);
  const auto* header = static_cast<const DEV_BROADCAST_DEVICEINTERFACE*>(filter);
  if (flags != DEVICE_NOTIFY_WINDOW_HANDLE || !header || header->dbcc_size < platform::kMinimumFilterSize ||
      header->dbcc_devicetype != DBT_DEVTYP_DEVICEINTERFACE || !platform::IsWindowRegistered(window)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  uintptr_t handle = 0;
  {
    std::lock_guard guard(platform::registrationsLock);
    handle = platform::nextHandle;
    platform::nextHandle += 4;
    platform::registrations.emplace(handle, platform::DeviceNotificationTarget{window, header->dbcc_classguid});
  }
  // Outside the registrations' lock: the watcher's thread takes it to post.
  platform::RetainUsbBusWatcher();
  return reinterpret_cast<HDEVNOTIFY>(handle);
}

extern "C" BOOL WINAPI UnregisterDeviceNotification(HDEVNOTIFY handle) {
  {
    std::lock_guard guard(platform::registrationsLock);
    if (platform::registrations.erase(reinterpret_cast<uintptr_t>(handle)) == 0) {
      SetLastError(ERROR_INVALID_HANDLE);
      return FALSE;
    }
  }
  // The last registration gone stops the watcher and waits for its thread.
  platform::ReleaseUsbBusWatcher();
  return TRUE;
}
