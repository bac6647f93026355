// Plugging and unplugging on the simulated USB bus become WM_DEVICECHANGE
// broadcasts, as Windows sends them: DBT_DEVICEARRIVAL or
// DBT_DEVICEREMOVECOMPLETE with a device-interface record, then
// DBT_DEVNODES_CHANGED.
//
// Every attached device is one file in the bus folder, read by the machine
// library. A state change of a device (a finger touch, say) replaces its file
// by a rename, so an event on a file says nothing by itself: after each batch
// of events the folder's names are compared with the names seen before.
// A device plugged and pulled out again before the thread looks is never seen,
// like a device that never finished enumerating.
// The thread sleeps in poll between changes; an eventfd wakes it to stop.
#include "platform/usb_bus_watcher.h"

#include <errno.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "platform/device_notifications.h"
#include "platform/window_host.h"
#include "simulator/machine/root.h"
#include "simulator/machine/usb_bus.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

constexpr uint32_t kBusEvents =
    IN_CREATE | IN_DELETE | IN_MOVED_TO | IN_MOVED_FROM | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
// The bus folder is removed and made anew when the machine is reset.
constexpr uint32_t kRootEvents = IN_CREATE | IN_MOVED_TO | IN_ONLYDIR;

bool SameGuid(const GUID& a, const GUID& b) { return std::memcmp(&a, &b, sizeof(GUID)) == 0; }

void Broadcast(WPARAM event, const sim::UsbDeviceIdentity& device) {
  const std::u16string name = UsbInterfacePath(device.vendorId, device.productId, device.instance);
  for (const DeviceNotificationTarget& target : DeviceNotificationTargets()) {
    if (!SameGuid(target.interfaceClass, GUID_DEVINTERFACE_USB_DEVICE)) continue;
    PostMessageWithRecord(target.window, WM_DEVICECHANGE, event, DeviceInterfaceRecord(name));
    PostMessageA(target.window, WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0);
  }
}

class BusWatcher {
 public:
  // The machine is made first if need be: its readers are attached already,
  // not arriving.
  BusWatcher() : root_(sim::EnsureMachineQuietly()), bus_(sim::BusDirectory(root_)) {
    inotify_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    wake_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (inotify_ < 0 || wake_ < 0) {
      std::perror("tolvane-platform: device notifications");
      return;
    }
    rootWatch_ = inotify_add_watch(inotify_, root_.c_str(), kRootEvents);
    WatchBus();
    known_ = Scan();
    thread_ = std::thread([this] { Run(); });
  }

  ~BusWatcher() {
    if (thread_.joinable()) {
      const uint64_t one = 1;
      while (write(wake_, &one, sizeof one) < 0 && errno == EINTR) {
      }
      thread_.join();
    }
    if (inotify_ >= 0) close(inotify_);
    if (wake_ >= 0) close(wake_);
  }

  BusWatcher(const BusWatcher&) = delete;
  BusWatcher& operator=(const BusWatcher&) = delete;

 private:
  using Devices = std::map<std::string, std::optional<sim::UsbDeviceIdentity>>;

  void WatchBus() { busWatch_ = inotify_add_watch(inotify_, bus_.c_str(), kBusEvents); }

  // The bus files now present; names seen before keep the identity read then.
  Devices Scan() const {
    Devices devices;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(bus_, error)) {
      const std::string name = entry.path().filename().string();
      if (!sim::IsBusFileName(name)) continue;
      auto known = known_.find(name);
      devices.emplace(name, known != known_.end() ? known->second : sim::ReadUsbDevice(entry.path()));
    }
    return devices;
  }

  void Run() {
    pollfd fds[2] = {{wake_, POLLIN, 0}, {inotify_, POLLIN, 0}};
    for (;;) {
      if (poll(fds, 2, -1) < 0) {
        if (errno == EINTR) continue;
        return;
      }
      if (fds[0].revents != 0) return;
      if (fds[1].revents != 0 && DrainEvents()) Compare();
    }
  }

  // Reads every queued event; true when one of them may change the set of names.
  bool DrainEvents() {
    alignas(inotify_event) char buffer[4096];
    bool relevant = false;
    for (;;) {
      const ssize_t length = read(inotify_, buffer, sizeof buffer);
      if (length <= 0) break;
      for (ssize_t offset = 0; offset < length;) {
        inotify_event event;
        std::memcpy(&event, buffer + offset, sizeof event);
        const std::string_view name =
            event.len > 0 ? std::string_view(buffer + offset + sizeof event) : std::string_view();
        if (event.mask & IN_Q_OVERFLOW) relevant = true;
        if (event.wd == busWatch_) {
          if (event.mask & IN_IGNORED) busWatch_ = -1;
          if ((event.mask & (IN_IGNORED | IN_DELETE_SELF | IN_MOVE_SELF)) || sim::IsBusFileName(name)) relevant = true;
        } else if (event.wd == rootWatch_ && name == bus_.filename().string()) {
          relevant = true;
        }
        offset += static_cast<ssize_t>(sizeof event + event.len);
      }
    }
    if (busWatch_ < 0) WatchBus();  // before the scan, so no file escapes both
    return relevant;
  }

  void Compare() {
    Devices now = Scan();
    for (const auto& [name, device] : known_) {
      if (device && !now.contains(name)) Broadcast(DBT_DEVICEREMOVECOMPLETE, *device);
    }
    for (const auto& [name, device] : now) {
      if (device && !known_.contains(name)) Broadcast(DBT_DEVICEARRIVAL, *device);
    }
    known_ = std::move(now);
  }

  const fs::path root_;
  const fs::path bus_;
  int inotify_ = -1;
  int wake_ = -1;
  int rootWatch_ = -1;
  int busWatch_ = -1;
  Devices known_;  // touched by the constructor, then by the thread only
  std::thread thread_;
};

std::mutex watcherLock;
int watcherUsers = 0;
std::unique_ptr<BusWatcher> watcher;

}  // namespace

void RetainUsbBusWatcher() {
  std::lock_guard guard(watcherLock);
  if (watcherUsers++ == 0) watcher = std::make_unique<BusWatcher>();
}

void ReleaseUsbBusWatcher() {
  std::lock_guard guard(watcherLock);
  if (watcherUsers > 0 && --watcherUsers == 0) watcher.reset();
}

std::u16string UsbInterfacePath(uint16_t vendorId, uint16_t productId, std::string_view instance) {
  char ids[32];
  std::snprintf(ids, sizeof ids, "VID_%04X&PID_%04X", vendorId, productId);
  const std::string path = std::string("\\\\?\\USB#") + ids + "#" + std::string(instance) +
                           "#{a5dcbf10-6530-11d2-901f-00c04fb951ed}";
  // Serials and bus file names are printable ASCII; each byte is one code unit.
  std::u16string wide;
  for (const char c : path) wide.push_back(static_cast<char16_t>(static_cast<unsigned char>(c)));
  return wide;
}

std::vector<uint8_t> DeviceInterfaceRecord(const std::u16string& name) {
  constexpr size_t kNameOffset = offsetof(DEV_BROADCAST_DEVICEINTERFACE, dbcc_name);
  std::vector<uint8_t> record(kNameOffset + (name.size() + 1) * sizeof(char16_t), 0);
  DEV_BROADCAST_DEVICEINTERFACE head{};
  head.dbcc_size = static_cast<DWORD>(record.size());
  head.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
  head.dbcc_classguid = GUID_DEVINTERFACE_USB_DEVICE;
  std::memcpy(record.data(), &head, kNameOffset);
  std::memcpy(record.data() + kNameOffset, name.data(), name.size() * sizeof(char16_t));
  return record;
}

}  // namespace platform
