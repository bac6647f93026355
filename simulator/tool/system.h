// What the tool changes besides the machine's files, as each system needs it.
#pragma once

#include <cstdint>
#include <string_view>

#include "simulator/machine/bus.h"

namespace sim {

// The kernel driver learns of a plug or unplug, so that device paths and
// device-change notices follow the bus. On Linux the driver stand-in reads the
// bus itself; on Windows the running driver is told through its control device.
void TellDriverPlugged(const Reader& reader);
void TellDriverUnplugged(std::string_view name, uint32_t index);
void TellDriverPluggedForeign(ForeignDevice device);
void TellDriverUnpluggedForeign(ForeignDevice device);

// `driver start`: installs and starts the kernel driver's service, and plugs
// every attached device into it; `driver stop` removes it. Windows only: on
// Linux the stand-in serves whenever a program asks. Throw MachineError.
void StartKernelDriver();
void StopKernelDriver();

// Whether the machine's profile decides the platform id, 64-bit and remote
// session the program sees. On Windows the system reports them itself.
bool ProfileDecidesSystemFacts();

// The Windows version the program sees follows the profile. On Linux the
// platform layer reads the profile; under Wine the prefix's version is set.
// Throws std::runtime_error when the system cannot take that version.
void ApplyWindowsVersion(uint32_t major, uint32_t minor);

}  // namespace sim
