// Installing, starting, stopping and removing the driver: its service and its root device.
#include "simulator/windows/driver_control.h"

#include <windows.h>
#include <setupapi.h>

#include <chrono>
#include <cstring>
#include <memory>
#include <thread>
#include <type_traits>

#include "simulator/windows/system_error.h"

namespace simwin {

namespace {

// The "System" setup class: a root device that belongs to no bus.
constexpr GUID kSystemDeviceClass = {0x4D36E97D, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};
constexpr char kHardwareIds[] = "ROOT\\TOLVANESIM\0";  // a list: ends with an empty string
constexpr auto kServiceWait = std::chrono::seconds(10);
constexpr auto kPollPeriod = std::chrono::milliseconds(20);

struct ServiceHandleCloser {
  void operator()(SC_HANDLE handle) const { CloseServiceHandle(handle); }
};
using ServiceHandle = std::unique_ptr<std::remove_pointer_t<SC_HANDLE>, ServiceHandleCloser>;

struct DeviceSetCloser {
  void operator()(HDEVINFO set) const { SetupDiDestroyDeviceInfoList(set); }
};
using DeviceSet = std::unique_ptr<std::remove_pointer_t<HDEVINFO>, DeviceSetCloser>;

// Polls `done` until it holds or the service wait is over.
template <typename Condition>
bool WaitFor(Condition done) {
  const auto end = std::chrono::steady_clock::now() + kServiceWait;
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(kPollPeriod);
  }
  return true;
}

DWORD ServiceState(SC_HANDLE service) {
  SERVICE_STATUS status{};
  return QueryServiceStatus(service, &status) ? status.dwCurrentState : SERVICE_STOPPED;
}

// The root device that the driver's function device attaches to; `created`
// tells whether it is new. It must exist before the service starts: one made
// while the driver runs gets no function device.
bool CreateRootDevice(bool& created, std::string& error) {
  created = false;
  DeviceSet set(SetupDiCreateDeviceInfoList(&kSystemDeviceClass, nullptr));
  if (set.get() == INVALID_HANDLE_VALUE) return Failed("cannot list devices", error);
  SP_DEVINFO_DATA device{sizeof device, {}, 0, 0};
  if (!SetupDiCreateDeviceInfoA(set.get(), kDriverRootDevice, &kSystemDeviceClass, "Tolvane simulated workstation",
                                nullptr, 0, &device)) {
    if (GetLastError() == ERROR_DEVINST_ALREADY_EXISTS) return true;
    return Failed("cannot create the root device", error);
  }
  created = true;
  const auto* ids = reinterpret_cast<const BYTE*>(kHardwareIds);
  const auto* service = reinterpret_cast<const BYTE*>(kDriverServiceName);
  if (!SetupDiSetDeviceRegistryPropertyA(set.get(), &device, SPDRP_HARDWAREID, ids, sizeof kHardwareIds) ||
      !SetupDiSetDeviceRegistryPropertyA(set.get(), &device, SPDRP_SERVICE, service,
                                         static_cast<DWORD>(strlen(kDriverServiceName) + 1)) ||
      !SetupDiCallClassInstaller(DIF_REGISTERDEVICE, set.get(), &device)) {
    return Failed("cannot register the root device", error);
  }
  return true;
}

bool RemoveRootDevice(std::string& error) {
  DeviceSet set(SetupDiCreateDeviceInfoList(nullptr, nullptr));
  if (set.get() == INVALID_HANDLE_VALUE) return Failed("cannot list devices", error);
  SP_DEVINFO_DATA device{sizeof device, {}, 0, 0};
  if (!SetupDiOpenDeviceInfoA(set.get(), kDriverRootDevice, nullptr, 0, &device)) return true;
  if (!SetupDiCallClassInstaller(DIF_REMOVE, set.get(), &device)) return Failed("cannot remove the root device", error);
  return true;
}

bool StartService(SC_HANDLE service, std::string& error) {
  if (!::StartServiceA(service, 0, nullptr) && GetLastError() != ERROR_SERVICE_ALREADY_RUNNING) {
    return Failed("cannot start the driver", error);
  }
  if (!WaitFor([&] { return ServiceState(service) == SERVICE_RUNNING; })) {
    error = "the driver did not start within 10 s";
    return false;
  }
  return true;
}

bool StopService(SC_HANDLE service, std::string& error) {
  SERVICE_STATUS status{};
  if (!ControlService(service, SERVICE_CONTROL_STOP, &status) && GetLastError() != ERROR_SERVICE_NOT_ACTIVE) {
    return Failed("cannot stop the driver", error);
  }
  if (!WaitFor([&] { return ServiceState(service) == SERVICE_STOPPED; })) {
    error = "the driver did not stop within 10 s";
    return false;
  }
  return true;
}

}  // namespace

bool DriverInstallAndStart(const std::string& sysPath, std::string& error) {
  ServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
  if (!manager) return Failed("cannot open the service manager", error);
  ServiceHandle service(OpenServiceA(manager.get(), kDriverServiceName, SERVICE_ALL_ACCESS));
  if (!service) {
    service.reset(CreateServiceA(manager.get(), kDriverServiceName, "Tolvane simulated workstation driver",
                                 SERVICE_ALL_ACCESS, SERVICE_KERNEL_DRIVER, SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL,
                                 sysPath.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr));
    if (!service) return Failed("cannot install the driver service", error);
  } else if (!ChangeServiceConfigA(service.get(), SERVICE_NO_CHANGE, SERVICE_NO_CHANGE, SERVICE_NO_CHANGE,
                                   sysPath.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr)) {
    return Failed("cannot change the driver service", error);
  }
  bool created = false;
  if (!CreateRootDevice(created, error)) return false;
  // A driver that runs without its root device serves nothing: it starts again.
  if (created && ServiceState(service.get()) != SERVICE_STOPPED && !StopService(service.get(), error)) return false;
  return StartService(service.get(), error);
}

bool DriverStopAndRemove(std::string& error) {
  // The root device goes first: while it exists the driver stays loaded.
  if (!RemoveRootDevice(error)) return false;
  ServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
  if (!manager) return Failed("cannot open the service manager", error);
  ServiceHandle service(OpenServiceA(manager.get(), kDriverServiceName, SERVICE_ALL_ACCESS));
  if (!service) {
    return GetLastError() == ERROR_SERVICE_DOES_NOT_EXIST || Failed("cannot open the driver service", error);
  }
  if (!StopService(service.get(), error)) return false;
  return DeleteService(service.get()) || Failed("cannot remove the driver service", error);
}

}  // namespace simwin
