// On Linux the stand-ins read the machine's files: nothing more to tell.
#include "simulator/machine/files.h"
#include "simulator/tool/system.h"

namespace sim {

void TellDriverPlugged(const Reader&) {}
void TellDriverUnplugged(std::string_view, uint32_t) {}
void TellDriverPluggedForeign(ForeignDevice) {}
void TellDriverUnpluggedForeign(ForeignDevice) {}

void StartKernelDriver() { throw MachineError("the machine's kernel driver always runs on Linux"); }
void StopKernelDriver() { throw MachineError("the machine's kernel driver always runs on Linux"); }

bool ProfileDecidesSystemFacts() { return true; }

void ApplyWindowsVersion(uint32_t, uint32_t) {}

}  // namespace sim
