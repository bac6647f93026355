// Creation and destruction of the main window: its named lock, its device
// notification and the release of everything it owns in any partial state.
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>

#include "app/aboutbox.h"
#include "device/module_loader.h"
#include "device/records.h"
#include "fake_module/fake_reader_module.h"
#include "form_fixture.h"
#include "platform/device_notifications.h"
#include "platform/library_search.h"
#include "platform/window_host.h"

namespace {

using LifecycleTest = FormTest;
using Clock = std::chrono::steady_clock;

bool WindowLockExists() {
  HANDLE lock = OpenMutexA(SYNCHRONIZE, FALSE, "qvdx_exeUNITLOCKER0");
  if (!lock) return false;
  CloseHandle(lock);
  return true;
}

bool RegisteredForUsbDevices(HWND window) {
  for (const platform::DeviceNotificationTarget& target : platform::DeviceNotificationTargets()) {
    if (target.window == window &&
        std::memcmp(&target.interfaceClass, &GUID_DEVINTERFACE_USB_DEVICE, sizeof(GUID)) == 0) {
      return true;
    }
  }
  return false;
}

TEST_F(LifecycleTest, WindowLockAndNotificationLiveAsLongAsTheWindow) {
  const HWND handle = form_->Handle;
  EXPECT_STREQ(form_->Locker->Name(), "qvdx_exeUNITLOCKER0");
  EXPECT_TRUE(WindowLockExists());
  EXPECT_NE(form_->DeviceNotify, nullptr);
  EXPECT_TRUE(RegisteredForUsbDevices(handle));
  EXPECT_TRUE(platform::IsWindowRegistered(handle));

  form_.reset();
  EXPECT_FALSE(WindowLockExists());
  EXPECT_FALSE(RegisteredForUsbDevices(handle));
  EXPECT_FALSE(platform::IsWindowRegistered(handle));
  EXPECT_FALSE(PostMessageA(handle, kFingerDetectedMessage, 1, 0));
}

TEST_F(LifecycleTest, StateRecordStartsAsDesigned) {
  EXPECT_EQ(form_->Sensor, nullptr);
  EXPECT_EQ(form_->ImageBuffer, nullptr);
  EXPECT_EQ(form_->DeviceIndex, -1);
  EXPECT_EQ(form_->DefaultCaptureMode, 3u);
  EXPECT_EQ(form_->AutoOnSupported, 1);
  EXPECT_EQ(form_->Dib.Palette(), nullptr);
  EXPECT_EQ(NotCapturing, 1);
  EXPECT_EQ(StopRequested, 1);
}

// A window with a loaded reader and an image but no notification: its
// destruction frees what exists, at once, and skips what does not.
TEST_F(LifecycleTest, DestructionReleasesAPartlySetUpWindow) {
  FakeReaderModule() = FakeReaderModuleState{};
  ASSERT_EQ(LoadSensorModule(FAKE_READER_MODULE_PATH, form_->Sensor, form_->DriverModule, kReaderHmx03), kLoadOk);
  const std::string moduleName(platform::BaseName(FAKE_READER_MODULE_PATH));
  ASSERT_EQ(GetModuleHandleA(moduleName.c_str()), form_->DriverModule);
  form_->ImageBuffer = std::make_unique<uint8_t[]>(16);
  form_->ScDetail.reset(static_cast<SmartCaptureDetail*>(std::calloc(1, sizeof(SmartCaptureDetail))));
  form_->DeviceNotify = nullptr;
  ASSERT_TRUE(WindowLockExists());
  const auto start = Clock::now();
  form_->FormDestroy();  // what the destructor runs, on a window still there to look at
  EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(200));
  EXPECT_EQ(GetModuleHandleA(moduleName.c_str()), nullptr) << "the module is still loaded";
  EXPECT_EQ(form_->DriverModule, nullptr);
  EXPECT_EQ(form_->Sensor, nullptr);
  EXPECT_EQ(form_->ImageBuffer, nullptr);
  EXPECT_EQ(form_->ScDetail, nullptr);
  EXPECT_EQ(form_->Locker, nullptr);
  EXPECT_FALSE(WindowLockExists());
  // The sensor was destroyed, but not closed: it is only unloaded with its module.
  ASSERT_EQ(FakeReaderModule().destroyedCalls.size(), 1u);
  EXPECT_EQ(std::count(FakeReaderModule().destroyedCalls[0].begin(), FakeReaderModule().destroyedCalls[0].end(),
                       "CloseDevice"),
            0);
}

// The item's press returns before the box shows (a screen reader waits for
// that answer), and the box shows modally from the event loop.
TEST_F(LifecycleTest, AboutShowsTheAboutBoxModallyAfterThePressReturned) {
  TAboutBoxDlg about;
  form_->AboutBoxDlg = &about;
  form_->Dialogs.nextAnswers.push_back(kModalResultOk);
  ASSERT_TRUE(form_->About1->Enabled());
  form_->About1->Click();
  EXPECT_EQ(form_->Dialogs.modalDialogsShown, 0);
  forms::Application::ProcessMessages();
  EXPECT_EQ(form_->Dialogs.modalDialogsShown, 1);
}

TEST_F(LifecycleTest, ExitClosesTheWindow) {
  form_->Window->Show();
  ASSERT_TRUE(form_->Window->Visible());
  Choose(form_->Exit1);
  EXPECT_FALSE(form_->Window->Visible());
}

TEST_F(LifecycleTest, ShowStatusPutsTheStatusMessageIntoTheStatusBar) {
  form_->ShowStatus(59);
  EXPECT_EQ(form_->StatusBar->SimpleText(), "Used by another process...");
}

}  // namespace
