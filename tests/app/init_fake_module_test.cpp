// Init with a recording driver module standing in for the HMX03's: what the
// first sensor object received before the second Init unloaded it, and what
// the window does when the reader reports no usable image size.
#include <filesystem>

#include "fake_module/fake_reader_module.h"
#include "machine_form.h"

namespace {

class InitFakeModuleTest : public MachineFormTest {
 protected:
  void SetUp() override {
    MachineFormTest::SetUp();
    InstallModule(FAKE_READER_MODULE_PATH);
    FakeReaderModule() = FakeReaderModuleState{};
    FakeReaderModule().info.width = 260;
    FakeReaderModule().info.height = 300;
    Plug("QVUSB", 0);
  }

  static void InstallModule(const char* path) {
    const std::filesystem::path module = sim::SystemDirectory(sim::MachineRoot()) / "Qvhx03m.dll";
    std::filesystem::remove(module);
    std::filesystem::create_symlink(path, module);
  }

  void ExpectCaptureRefused() {
    EXPECT_EQ(Status(), "Device information unavailable: capture disabled");
    EXPECT_FALSE(form_->BtnCapture->Enabled());
    EXPECT_FALSE(form_->BtnContCapture->Enabled());
    EXPECT_FALSE(form_->CheckBoxAutoCapture->Enabled());
  }
};

TEST_F(InitFakeModuleTest, InitTwiceUnloadsTheFirstSensorWithoutClosingIt) {
  TForm1& form = Initialized();
  ASSERT_EQ(Status(), "Device Initialization Success");
  form.BtnInitClick();
  EXPECT_EQ(FakeReaderModule().created, 2);
  ASSERT_EQ(FakeReaderModule().destroyedCalls.size(), 1u);
  const std::vector<std::string>& first = FakeReaderModule().destroyedCalls[0];
  EXPECT_EQ(first.front(), "OpenDevice");
  EXPECT_EQ(std::count(first.begin(), first.end(), "CloseDevice"), 0);
  EXPECT_EQ(form.ImageWidth, 260);
  EXPECT_TRUE(form.BtnCapture->Enabled());
}

TEST_F(InitFakeModuleTest, NoImageSizeKeepsCaptureDisabled) {
  FakeReaderModule().info.width = 0;
  Initialized();
  ExpectCaptureRefused();
  EXPECT_EQ(form_->ImageWidth, 0);
  EXPECT_TRUE(form_->BtnConfig->Enabled());
}

// The size of the reader initialized before is no size for this one.
TEST_F(InitFakeModuleTest, FailedOrAbsurdDeviceInformationKeepsCaptureDisabled) {
  Initialized();
  ASSERT_TRUE(form_->BtnCapture->Enabled());

  FakeReaderModule().infoStatus = 51;
  form_->BtnInitClick();
  ExpectCaptureRefused();
  EXPECT_EQ(form_->ImageWidth, 0);
  // The finger message captures without the buttons; it must not reach the driver.
  form_->WindowProc(kFingerDetectedMessage, 1, 0);
  EXPECT_EQ(ImageAvailable, 0);

  FakeReaderModule().infoStatus = 0;
  FakeReaderModule().info.width = 5000;
  FakeReaderModule().info.height = 5000;
  form_->BtnInitClick();
  ExpectCaptureRefused();
}

// Without DestroyISensor the sensor cannot be released, and its module is
// freed all the same: the window forgets it, and nothing calls into the
// unloaded code on the next repaint or device change.
TEST_F(InitFakeModuleTest, ASensorWithoutDestroyIsForgottenWithItsModule) {
  InstallModule(FAKE_READER_MODULE_WITHOUT_DESTROY_PATH);
  TForm1& form = Initialized();
  ASSERT_EQ(Status(), "Device Initialization Success");
  form.ResetForDeviceChange();
  EXPECT_EQ(form.Sensor, nullptr);
  EXPECT_EQ(form.DriverModule, nullptr);
  form.Window->Show();
  W(form.Window.get())->repaint();
  form.ResetForDeviceChange();
  EXPECT_EQ(Items(), std::vector<std::string>{"USB -- HMX03:0"});
}

}  // namespace
