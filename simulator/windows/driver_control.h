// Runs the simulated workstation's kernel driver (tolvanesim.sys) in a Wine
// prefix or on Windows: installs it as a kernel-driver service with its root
// device, and plugs and unplugs readers through its control device while it
// runs. Each call answers true, or false with a one-line reason in `error`.
#pragma once

#include <cstdint>
#include <string>

namespace simwin {

// The service that runs the driver, and the root device it serves.
inline constexpr const char* kDriverServiceName = "TolvaneSim";
inline constexpr const char* kDriverRootDevice = "ROOT\\TOLVANESIM\\0000";

// An attached reader as the driver serves it.
struct ReaderRecord {
  std::string name;    // device-path name ("HMX05"), at most 7 characters
  uint32_t index = 0;  // 0..9
  uint16_t type = 0;   // reader generation, 3..7
  uint16_t vendorId = 0x2F3D;
  uint16_t productId = 0;
  uint16_t release = 0;
  std::string serial;      // at most 20 characters
  bool framework = false;  // served by the biometric framework: an interface, no device path
};

// Installs the driver file `sysPath` (a Windows path) as the service, or points
// the installed service at it, makes the root device and starts the service.
// Safe to call while the driver runs.
bool DriverInstallAndStart(const std::string& sysPath, std::string& error);
// Removes the root device (which unloads the driver), stops and deletes the service.
// True when neither is left, also when they were never installed.
bool DriverStopAndRemove(std::string& error);

// A reader appears: the device path \\.\NAME-N (unless the framework serves it)
// and an arrival of its USB device interface. Plugging an attached reader
// replaces it, with a removal first.
bool DriverPlug(const ReaderRecord& reader, std::string& error);
// The reader goes: its device path, open handles and interface (removal).
bool DriverUnplug(const std::string& name, uint32_t index, std::string& error);
// Another maker's USB device: only a device interface.
bool DriverPlugForeign(uint16_t vendorId, uint16_t productId, std::string& error);
bool DriverUnplugForeign(uint16_t vendorId, uint16_t productId, std::string& error);

}  // namespace simwin
