#include <windows.h>

#include <stdexcept>
#include <string>

#include "simulator/machine/files.h"
#include "simulator/tool/system.h"
#include "simulator/windows/driver_control.h"

namespace sim {

namespace {

// Whether the kernel driver's service runs in this prefix. A machine without
// it (a test's) has only the bus, which the modules and the framework read.
bool DriverRuns() {
  SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT);
  if (!manager) return false;
  SC_HANDLE service = OpenServiceA(manager, simwin::kDriverServiceName, SERVICE_QUERY_STATUS);
  SERVICE_STATUS status{};
  const bool runs = service && QueryServiceStatus(service, &status) && status.dwCurrentState == SERVICE_RUNNING;
  if (service) CloseServiceHandle(service);
  CloseServiceHandle(manager);
  return runs;
}

void Told(bool done, const std::string& error) {
  if (!done) throw MachineError("the kernel driver did not follow: " + error);
}

}  // namespace

void TellDriverPlugged(const Reader& reader) {
  if (reader.IsParallel() || !DriverRuns()) return;
  const simwin::ReaderRecord record{reader.name, reader.index, reader.type, reader.vendorId,
                                    reader.productId, reader.release, reader.serial, reader.framework};
  std::string error;
  Told(simwin::DriverPlug(record, error), error);
}

void TellDriverUnplugged(std::string_view name, uint32_t index) {
  const ReaderModel* model = FindReaderModel(name);
  if ((model && model->type == 1) || !DriverRuns()) return;
  std::string error;
  Told(simwin::DriverUnplug(std::string(name), index, error), error);
}

void TellDriverPluggedForeign(ForeignDevice device) {
  if (!DriverRuns()) return;
  std::string error;
  Told(simwin::DriverPlugForeign(device.vendorId, device.productId, error), error);
}

void TellDriverUnpluggedForeign(ForeignDevice device) {
  if (!DriverRuns()) return;
  std::string error;
  Told(simwin::DriverUnplugForeign(device.vendorId, device.productId, error), error);
}

void StartKernelDriver() {
  char program[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, program, MAX_PATH);
  const std::string folder = std::string(program, length).substr(0, std::string(program, length).find_last_of('\\'));
  std::string error;
  Told(simwin::DriverInstallAndStart(folder + "\\tolvanesim.sys", error), error);
  for (const Reader& reader : ListReaders()) TellDriverPlugged(reader);
  for (const ForeignDevice& device : ListForeignDevices()) TellDriverPluggedForeign(device);
}

void StopKernelDriver() {
  std::string error;
  Told(simwin::DriverStopAndRemove(error), error);
}

bool ProfileDecidesSystemFacts() { return false; }

namespace {

// Wine's names of the Windows versions a 64-bit prefix can report.
const char* WineVersionName(uint32_t major, uint32_t minor) {
  struct Known {
    uint32_t major, minor;
    const char* name;
  };
  static constexpr Known kKnown[] = {{10, 0, "win10"}, {6, 3, "win81"}, {6, 2, "win8"},
                                     {6, 1, "win7"},   {6, 0, "vista"}, {5, 2, "winxp64"}};
  for (const Known& known : kKnown) {
    if (known.major == major && known.minor == minor) return known.name;
  }
  return nullptr;
}

bool RunsUnderWine() {
  const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

}  // namespace

// Wine reports the version its prefix is set to (what winecfg sets), to every
// program started afterwards.
void ApplyWindowsVersion(uint32_t major, uint32_t minor) {
  const std::string version = std::to_string(major) + "." + std::to_string(minor);
  if (!RunsUnderWine()) throw std::runtime_error("Windows reports its own version; --version needs Wine");
  const char* name = WineVersionName(major, minor);
  if (!name) throw std::runtime_error("Wine cannot report Windows " + version);
  const LSTATUS status = RegSetKeyValueA(HKEY_CURRENT_USER, "Software\\Wine", "Version", REG_SZ, name,
                                         static_cast<DWORD>(std::char_traits<char>::length(name) + 1));
  if (status != ERROR_SUCCESS) {
    throw std::runtime_error("cannot set the prefix's Windows version: error " + std::to_string(status));
  }
}

}  // namespace sim
