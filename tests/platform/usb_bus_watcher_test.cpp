// Plugging and unplugging on the simulated bus reach registered windows as
// WM_DEVICECHANGE broadcasts.
#include <dirent.h>
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/usb_bus_watcher.h"
#include "platform/window_host.h"
#include "scoped_machine_root.h"
#include "simulator/machine/machine.h"

namespace {

using namespace std::chrono_literals;

struct Broadcast {
  WPARAM event;
  bool hasRecord;
  DWORD size;
  DWORD deviceType;
  GUID classGuid;
  std::u16string name;
};

// A window that keeps every WM_DEVICECHANGE it is handed, record copied.
class RecordingWindow : public platform::WindowClient {
 public:
  RecordingWindow() : handle_(platform::RegisterWindow(this, 1, 1)) {}
  ~RecordingWindow() { platform::UnregisterWindow(handle_); }

  HWND Handle() const { return handle_; }

  void MessagesPosted() override {
    std::lock_guard guard(lock_);
    posted_ = true;
    wake_.notify_all();
  }
  void SurfaceChanged() override {}
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message != WM_DEVICECHANGE) return 0;
    Broadcast broadcast{wParam, lParam != 0, 0, 0, {}, {}};
    if (lParam != 0) {
      const auto* record = reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE*>(lParam);
      broadcast.size = record->dbcc_size;
      broadcast.deviceType = record->dbcc_devicetype;
      broadcast.classGuid = record->dbcc_classguid;
      const size_t units = (record->dbcc_size - offsetof(DEV_BROADCAST_DEVICEINTERFACE, dbcc_name)) / 2;
      for (size_t i = 0; i < units && record->dbcc_name[i] != 0; ++i) broadcast.name.push_back(record->dbcc_name[i]);
    }
    received_.push_back(broadcast);
    return TRUE;
  }

  // Dispatches on this thread until `count` broadcasts arrived or `patience` passed.
  const std::vector<Broadcast>& WaitFor(size_t count, std::chrono::milliseconds patience = 3s) {
    const auto deadline = std::chrono::steady_clock::now() + patience;
    while (received_.size() < count && std::chrono::steady_clock::now() < deadline) {
      {
        std::unique_lock guard(lock_);
        wake_.wait_until(guard, std::min(deadline, std::chrono::steady_clock::now() + 50ms),
                         [this] { return posted_; });
        posted_ = false;
      }
      platform::DispatchPostedMessages(handle_);
    }
    return received_;
  }

 private:
  HWND handle_;
  std::mutex lock_;
  std::condition_variable wake_;
  bool posted_ = false;
  std::vector<Broadcast> received_;
};

class Registration {
 public:
  explicit Registration(HWND window) {
    std::vector<uint8_t> filter(288, 0);
    auto* head = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE*>(filter.data());
    head->dbcc_size = 288;
    head->dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    head->dbcc_classguid = GUID_DEVINTERFACE_USB_DEVICE;
    handle_ = RegisterDeviceNotificationA(window, filter.data(), DEVICE_NOTIFY_WINDOW_HANDLE);
  }
  ~Registration() { Close(); }
  void Close() {
    if (handle_) UnregisterDeviceNotification(handle_);
    handle_ = nullptr;
  }
  HDEVNOTIFY Handle() const { return handle_; }

 private:
  HDEVNOTIFY handle_ = nullptr;
};

int ThreadCount() {
  int count = 0;
  if (DIR* tasks = opendir("/proc/self/task")) {
    while (dirent* entry = readdir(tasks)) count += entry->d_name[0] != '.' ? 1 : 0;
    closedir(tasks);
  }
  return count;
}

std::u16string Wide(const char* text) { return std::u16string(text, text + std::strlen(text)); }

sim::Reader Hmx05(uint32_t index, const char* serial) {
  sim::Reader reader = sim::DefaultReader(*sim::FindReaderModel("HMX05"), index);
  reader.serial = serial;
  return reader;
}

class UsbBusWatcherTest : public ::testing::Test {
 protected:
  void SetUp() override { sim::InitMachine(true); }

  ScopedMachineRoot root_;
  RecordingWindow window_;
};

TEST_F(UsbBusWatcherTest, ArrivalAndRemovalCarryTheInterfacePathThenDevnodesChanged) {
  Registration registration(window_.Handle());
  ASSERT_NE(registration.Handle(), nullptr);

  sim::PlugReader(Hmx05(1, "SN0042"));
  ASSERT_EQ(window_.WaitFor(2).size(), 2u);
  sim::UnplugReader("HMX05", 1);
  const std::vector<Broadcast>& got = window_.WaitFor(4);
  ASSERT_EQ(got.size(), 4u);

  const std::u16string path = Wide("\\\\?\\USB#VID_2F3D&PID_2200#SN0042#{a5dcbf10-6530-11d2-901f-00c04fb951ed}");
  EXPECT_EQ(got[0].event, DBT_DEVICEARRIVAL);
  EXPECT_EQ(got[0].name, path);
  EXPECT_EQ(got[0].deviceType, DBT_DEVTYP_DEVICEINTERFACE);
  EXPECT_EQ(got[0].size, 28 + (path.size() + 1) * 2);
  EXPECT_EQ(std::memcmp(&got[0].classGuid, &GUID_DEVINTERFACE_USB_DEVICE, sizeof(GUID)), 0);
  EXPECT_EQ(got[1].event, DBT_DEVNODES_CHANGED);
  EXPECT_FALSE(got[1].hasRecord);
  EXPECT_EQ(got[2].event, DBT_DEVICEREMOVECOMPLETE);
  EXPECT_EQ(got[2].name, path);
  EXPECT_EQ(got[3].event, DBT_DEVNODES_CHANGED);
}

// A touch replaces the reader's file; the parallel reader is no USB device; a
// malformed file is no reader the machine knows, even with USB ids in it.
// None is announced: the first broadcast is the foreign device plugged after them.
TEST_F(UsbBusWatcherTest, StateChangesAndTheParallelReaderAreNotArrivals) {
  sim::PlugReader(Hmx05(0, "SN1"));
  Registration registration(window_.Handle());

  ASSERT_TRUE(sim::TouchReader("HMX05", 0));
  ASSERT_TRUE(sim::UpdateReader("HMX05", 0, [](sim::Reader& reader) { reader.finger = sim::FingerState::Absent; }));
  sim::PlugReader(sim::DefaultReader(*sim::FindReaderModel("parallel"), 0));
  sim::WriteFileAtomically(sim::BusDirectory(sim::MachineRoot()) / "HMX05-7.json",
                           R"({"type": 6, "vendorId": 11581, "productId": 8704})");
  sim::PlugForeignDevice({0x046D, 0xC077});

  const std::vector<Broadcast>& got = window_.WaitFor(2);
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0].event, DBT_DEVICEARRIVAL);
  EXPECT_EQ(got[0].name, Wide("\\\\?\\USB#VID_046D&PID_C077#foreign-046D-C077#{a5dcbf10-6530-11d2-901f-00c04fb951ed}"));
  EXPECT_EQ(window_.WaitFor(3, 200ms).size(), 2u);
}

// Resetting the machine removes and recreates the bus folder; the watcher follows it.
TEST_F(UsbBusWatcherTest, FollowsTheBusFolderThroughAMachineReset) {
  Registration registration(window_.Handle());
  sim::InitMachine(false);  // the default machine: three USB readers and the parallel one

  const std::vector<Broadcast>& got = window_.WaitFor(6);
  ASSERT_EQ(got.size(), 6u);
  for (size_t i = 0; i < got.size(); i += 2) {
    EXPECT_EQ(got[i].event, DBT_DEVICEARRIVAL);
    EXPECT_NE(got[i].name.find(u"VID_2F3D"), std::u16string::npos);
    EXPECT_EQ(got[i + 1].event, DBT_DEVNODES_CHANGED);
  }

  sim::PlugReader(Hmx05(3, "AFTER"));
  ASSERT_EQ(window_.WaitFor(8).size(), 8u);
  EXPECT_NE(got[6].name.find(u"#AFTER#"), std::u16string::npos);
}

TEST_F(UsbBusWatcherTest, StopsWithTheLastRegistration) {
  // A thread checker starts a thread of its own beside the first one created:
  // one made and ended first keeps it out of the count.
  std::thread([] {}).join();
  const int before = ThreadCount();
  RecordingWindow other;
  Registration first(window_.Handle());
  Registration second(other.Handle());
  EXPECT_EQ(ThreadCount(), before + 1);

  first.Close();
  sim::PlugReader(Hmx05(2, "SN2"));
  ASSERT_EQ(other.WaitFor(2).size(), 2u);  // still watching for the second window
  EXPECT_TRUE(window_.WaitFor(1, 200ms).empty());

  second.Close();
  EXPECT_EQ(ThreadCount(), before);
  sim::UnplugReader("HMX05", 2);
  EXPECT_EQ(other.WaitFor(3, 200ms).size(), 2u);
}

}  // namespace
