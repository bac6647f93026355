// Messages posted to the main window reach their handlers through its one
// dispatch, and device changes refresh only for the family's readers.
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "app/device_broadcast.h"
#include "fake_sensor.h"
#include "form_fixture.h"

namespace {

// A device-interface broadcast whose name fills the record exactly: no
// terminator, so any read past the name would leave the record.
std::vector<uint8_t> InterfaceBroadcast(const std::u16string& name,
                                        DWORD deviceType = DBT_DEVTYP_DEVICEINTERFACE) {
  constexpr size_t kNameOffset = offsetof(DEV_BROADCAST_DEVICEINTERFACE, dbcc_name);
  std::vector<uint8_t> record(kNameOffset + name.size() * sizeof(char16_t));
  const DWORD size = static_cast<DWORD>(record.size());
  std::memcpy(record.data(), &size, sizeof size);
  std::memcpy(record.data() + 4, &deviceType, sizeof deviceType);
  std::memcpy(record.data() + kNameOffset, name.data(), name.size() * sizeof(char16_t));
  return record;
}

const std::u16string kReaderName = u"\\\\?\\USB#VID_2F3D&PID_2200#0123#{a5dcbf10-6530-11d2-901f-00c04fb951ed}";

class MessagesTest : public FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    HoldFirstRefresh();
    form_->Sensor = &sensor_;
  }
  void TearDown() override {
    form_->Sensor = nullptr;  // the fake has no driver module to unload it
    FormTest::TearDown();
  }

  void PostDeviceChange(WPARAM event, std::vector<uint8_t> record) {
    ASSERT_TRUE(probe::DeliverDeviceChange(form_->Handle, event, std::move(record)));
    ProcessEventsFor(50);
  }

  FakeSensor sensor_;
};

TEST_F(MessagesTest, ReaderArrivalOrRemovalClosesTheReaderAndRefreshes) {
  PostDeviceChange(DBT_DEVICEARRIVAL, InterfaceBroadcast(kReaderName));
  EXPECT_EQ(sensor_.CountOf("CloseDevice"), 1);
  EXPECT_EQ(form_->ComboDeviceID->IndexOf("Parallel: AutoDetect"), -1);  // the Refresh ran

  PostDeviceChange(DBT_DEVICEREMOVECOMPLETE, InterfaceBroadcast(u"\\\\?\\usb#vid_2f3d&pid_0330#7"));
  EXPECT_EQ(sensor_.CountOf("CloseDevice"), 2);
}

TEST_F(MessagesTest, OtherDevicesEventsAndRecordKindsChangeNothing) {
  PostDeviceChange(DBT_DEVICEARRIVAL, InterfaceBroadcast(u"\\\\?\\USB#VID_0781&PID_5581#4C53"));
  PostDeviceChange(DBT_DEVNODES_CHANGED, InterfaceBroadcast(kReaderName));
  PostDeviceChange(DBT_DEVICEARRIVAL, InterfaceBroadcast(kReaderName, 2 /* volume */));
  // Mixed case is not the vendor identifier as drivers write it.
  PostDeviceChange(DBT_DEVICEARRIVAL, InterfaceBroadcast(u"USB#Vid_2F3D&PID_2200"));
  EXPECT_EQ(sensor_.CountOf("CloseDevice"), 0);
  EXPECT_EQ(form_->ComboDeviceID->Count(), 5);
}

TEST_F(MessagesTest, AutoRefreshUncheckedIgnoresReadersButStillAnswers) {
  form_->AutoRefreshClick();
  ASSERT_FALSE(form_->AutoRefresh->Checked());
  std::vector<uint8_t> record = InterfaceBroadcast(kReaderName);
  EXPECT_EQ(form_->WindowProc(WM_DEVICECHANGE, DBT_DEVICEARRIVAL, reinterpret_cast<LPARAM>(record.data())), 1);
  EXPECT_EQ(sensor_.CountOf("CloseDevice"), 0);
}

TEST_F(MessagesTest, DeviceChangeAndPowerAnswerTrueWhateverTheyCarry) {
  EXPECT_EQ(form_->WindowProc(WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0), 1);
  EXPECT_EQ(form_->WindowProc(WM_DEVICECHANGE, DBT_DEVICEARRIVAL, 0), 1);
  EXPECT_EQ(form_->WindowProc(WM_POWERBROADCAST, 10, 0), 1);
  EXPECT_EQ(form_->WindowProc(0x0400, 0, 0), 0);
}

// Records whose size ends before their bytes do: the name is read as far as
// the size says and no further, so a family name cut short names no reader.
TEST_F(MessagesTest, ShortRecordsAreReadOnlyWithinTheirSize) {
  constexpr size_t kNameOffset = offsetof(DEV_BROADCAST_DEVICEINTERFACE, dbcc_name);
  const struct {
    size_t size;
    const char* read;
  } cases[] = {
      {kNameOffset, ""},                           // the header only
      {kNameOffset + 1, ""},                       // ends inside the first character
      {kNameOffset + 11 * 2 + 1, "USB#VID_2F3"},  // ends inside the vendor's last digit
  };
  for (const auto& [size, read] : cases) {
    std::vector<uint8_t> record = InterfaceBroadcast(u"USB#VID_2F3D&PID_2200");
    const DWORD shortSize = static_cast<DWORD>(size);
    std::memcpy(record.data(), &shortSize, sizeof shortSize);
    EXPECT_EQ(DeviceInterfaceName(reinterpret_cast<const DEV_BROADCAST_HDR*>(record.data())), read);
    PostDeviceChange(DBT_DEVICEARRIVAL, std::move(record));
  }
  EXPECT_EQ(sensor_.CountOf("CloseDevice"), 0);
}

TEST_F(MessagesTest, PowerBroadcastSuspendRemembersARunningCapture) {
  NotCapturing = 0;
  ASSERT_TRUE(PostMessageA(form_->Handle, WM_POWERBROADCAST, PBT_APMSUSPEND, 0));
  ASSERT_TRUE(ProcessEventsUntil([] { return ResumeAfterSuspend == 1; }));
  ASSERT_TRUE(PostMessageA(form_->Handle, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0));
  EXPECT_TRUE(ProcessEventsUntil([] { return ResumeAfterSuspend == 0; }));

  NotCapturing = 1;
  form_->WindowProc(WM_POWERBROADCAST, PBT_APMSUSPEND, 0);
  EXPECT_EQ(ResumeAfterSuspend, 0);
}

TEST_F(MessagesTest, FingerDetectedCountsOnlyTheLowWordOfOne) {
  ASSERT_TRUE(PostMessageA(form_->Handle, kFingerDetectedMessage, 2, 0));
  ProcessEventsFor(50);
  EXPECT_EQ(form_->StatusBar->SimpleText(), "Click init button to initialize device");

  ASSERT_TRUE(PostMessageA(form_->Handle, kFingerDetectedMessage, 0x10001, 0));
  EXPECT_TRUE(ProcessEventsUntil(
      [&] { return form_->StatusBar->SimpleText() == "Finger is detected"; }));
}

// The bar tells of every change on the thread that made it: only the window's may.
TEST_F(MessagesTest, StatusTextFromAnotherThreadArrivesOnTheWindowThread) {
  std::vector<bool> onWindowThread;  // written by the worker only before its join
  const probe::StatusWatch watch(form_->StatusBar, [&] { onWindowThread.push_back(form_->Window->IsWindowThread()); });
  std::thread worker([&] { form_->SetStatusText("Stopped: Time out..."); });
  worker.join();
  EXPECT_TRUE(ProcessEventsUntil(
      [&] { return form_->StatusBar->SimpleText() == "Stopped: Time out..."; }));
  EXPECT_EQ(onWindowThread, std::vector<bool>{true}) << "the bar changed on a thread not the window's";
}

}  // namespace
