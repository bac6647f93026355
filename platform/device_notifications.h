// Windows registered for device-interface notifications, for the watcher that
// posts WM_DEVICECHANGE to them.
#pragma once

#include <vector>

#include "platform/win32.h"

namespace platform {

struct DeviceNotificationTarget {
  HWND window;
  GUID interfaceClass;
};

// Any thread: every current registration, oldest first.
std::vector<DeviceNotificationTarget> DeviceNotificationTargets();

}  // namespace platform
