// The simulated workstation, as the stand-ins of the operating system, the
// kernel driver, the biometric framework and the driver modules see it.
//
//   root.h             MachineRoot(), EnsureMachine(), SystemDirectory(root), ModulesDirectory(), ...
//   profile.h          Profile LoadProfile(), SaveProfile()
//   installed_files.h  DriverFiles(), InstallDriverFile(), RemoveDriverFile(), ListDriverFiles()
//   version_block.h    ReadFileVersion(), TOLVANE_MODULE_VERSION(a, b, c, d) for modules
//   bus.h              ListReaders(), FindReader(), FindReaderByType(), UpdateReader(),
//                      TouchReader(), ReaderWatch, PlugReader(), foreign devices
//   usb_bus.h          IsBusFileName(), ReadUsbDevice(): the bus as the system's device manager sees it
//   faults.h           SetFault(), ClearFaults(), ListFaults(), FaultWatch for modules
//   power_notices.h    SendPowerNotice(), PowerNoticeListener for the platform
//   files.h            MachineError, atomic writes, MachineLock
//
// Reading functions never throw: a malformed file is reported on stderr with
// its path and ignored. Changing functions throw MachineError.
#pragma once

#include <filesystem>

#include "simulator/machine/bus.h"
#include "simulator/machine/faults.h"
#include "simulator/machine/files.h"
#include "simulator/machine/installed_files.h"
#include "simulator/machine/power_notices.h"
#include "simulator/machine/profile.h"
#include "simulator/machine/root.h"
#include "simulator/machine/usb_bus.h"
#include "simulator/machine/version_block.h"

namespace sim {

// Creates or resets the machine at MachineRoot(): the default profile, every
// driver file installed, and the default readers attached (none when `empty`):
// an R20 (HMX05-0) on the direct channel, an RPX (HMX06-0), an HMX04-0 served
// by the framework and the parallel HMP02 at 0x378 in EPP mode (3).
void InitMachine(bool empty);

}  // namespace sim
