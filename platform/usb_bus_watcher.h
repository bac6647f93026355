// The watcher of the machine's USB bus that turns plugging and unplugging into
// WM_DEVICECHANGE broadcasts for the windows registered for device-interface
// notifications.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Counted: the first Retain starts the watcher (one thread blocked in poll on
// the bus folder's inotify descriptor), the last Release stops it and waits
// for its thread. Any thread; never while holding the registrations' lock.
void RetainUsbBusWatcher();
void ReleaseUsbBusWatcher();

// The device-interface path Windows gives a USB device, for example
// \\?\USB#VID_2F3D&PID_2200#TVHMX05N0#{a5dcbf10-6530-11d2-901f-00c04fb951ed}.
std::u16string UsbInterfacePath(uint16_t vendorId, uint16_t productId, std::string_view instance);

// A DEV_BROADCAST_DEVICEINTERFACE record of the USB device class carrying `name`
// (zero-terminated), its size field covering the whole record.
std::vector<uint8_t> DeviceInterfaceRecord(const std::u16string& name);

}  // namespace platform
