// The simulated USB bus as the operating system's device manager sees it:
// which files of the bus folder stand for attached devices, and the USB
// identity of each. What the files hold is the machine library's own (bus.h).
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace sim {

struct UsbDeviceIdentity {
  uint16_t vendorId = 0;
  uint16_t productId = 0;
  std::string instance;  // the serial number, else a name unique on the bus
};

// True for the name of a file in the bus folder that stands for an attached
// device; temporaries start with a dot.
bool IsBusFileName(std::string_view fileName);

// The USB device a bus file stands for; nullopt for the parallel reader, which
// is no USB device, and for a file that is gone or malformed (reported).
std::optional<UsbDeviceIdentity> ReadUsbDevice(const std::filesystem::path& busFile);

}  // namespace sim
