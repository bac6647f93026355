// What the system tells the program while it runs: devices arriving and
// leaving through Wine's own device manager, suspend and resume, and a finger
// on a reader with auto capture on.
#include <windows.h>

#include <gtest/gtest.h>

#include <thread>

#include "tests/end_to_end/running_program.h"
#include "tests/end_to_end/workstation.h"

namespace e2e {
namespace {

const std::string kListed = "Select a fingerprint device and Click Init button. 3 device(s) found.";
const std::vector<std::string> kDefaultReaders = {"RPX -- HMX06:0", "R20 -- HMX05:0", "USB -- HMX04:0",
                                                  "Parallel -- HMP02:0"};

class EndToEndEvents : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(program_.WaitForStatus(kListed)); }

  ::testing::AssertionResult StartContinuousCapture() {
    if (::testing::AssertionResult pressed = program_.Press("Cont. Capture"); !pressed) return pressed;
    if (WaitFor([&] { return program_.Button("Stop Capturing") != nullptr; })) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "no \"Stop Capturing\"; status: " << program_.Status();
  }
  bool Capturing() const { return program_.Button("Stop Capturing") != nullptr; }
  bool Stopped() const { return program_.Button("Cont. Capture") != nullptr && program_.Enabled("Init"); }

  RunningProgram program_;
};

using EndToEndDeviceChange = EndToEndEvents;

TEST_F(EndToEndDeviceChange, UnpluggingTheCapturingReaderStopsTheCaptureAndRebuildsTheList) {
  ASSERT_TRUE(program_.Init("R20 -- HMX05:0"));
  ASSERT_TRUE(StartContinuousCapture());
  ASSERT_TRUE(Sim("unplug HMX05-0"));
  EXPECT_TRUE(WaitFor([&] { return Stopped(); })) << program_.Status();
  EXPECT_TRUE(program_.WaitForStatus("Select a fingerprint device and Click Init button. 2 device(s) found."));
  EXPECT_EQ(program_.SelectorItems(),
            (std::vector<std::string>{"RPX -- HMX06:0", "USB -- HMX04:0", "Parallel -- HMP02:0"}));
  ASSERT_TRUE(Sim("plug HMX05-0"));
  EXPECT_TRUE(program_.WaitForStatus(kListed));
}

TEST_F(EndToEndDeviceChange, APluggedReaderIsListedWithAutoRefreshAndAnotherMakersDeviceChangesNothing) {
  ASSERT_TRUE(Sim("plug HMX05-1"));
  EXPECT_TRUE(program_.WaitForStatus("Select a fingerprint device and Click Init button. 4 device(s) found."));
  EXPECT_EQ(program_.SelectorItems(), (std::vector<std::string>{"RPX -- HMX06:0", "R20 -- HMX05:0", "R20 -- HMX05:1",
                                                                "USB -- HMX04:0", "Parallel -- HMP02:0"}));
  ASSERT_TRUE(Sim("unplug HMX05-1"));
  EXPECT_TRUE(program_.WaitForStatus(kListed));

  // A Refresh would end the Init's state; another maker's device leaves it.
  ASSERT_TRUE(program_.Init("R20 -- HMX05:0"));
  ASSERT_TRUE(Sim("plug-foreign 046D:C52B"));
  std::this_thread::sleep_for(1500ms);
  EXPECT_EQ(program_.Status(), "Device Initialization Success");
  EXPECT_EQ(program_.SelectorItems(), kDefaultReaders);
  ASSERT_TRUE(Sim("unplug 046D:C52B"));
}

using EndToEndPower = EndToEndEvents;

TEST_F(EndToEndPower, SuspendStopsTheCaptureAndResumeStartsItAgain) {
  ASSERT_TRUE(program_.Init("R20 -- HMX05:0"));
  ASSERT_TRUE(StartContinuousCapture());
  ASSERT_TRUE(Sim("suspend"));
  EXPECT_TRUE(WaitFor([&] { return Stopped(); })) << program_.Status();
  ASSERT_TRUE(Sim("resume"));
  EXPECT_TRUE(WaitFor([&] { return Capturing(); })) << program_.Status();
  EXPECT_TRUE(WaitFor([&] { return program_.Status().find(" Q:") != std::string::npos; })) << program_.Status();
  ASSERT_TRUE(program_.Press("Stop Capturing"));
  EXPECT_TRUE(WaitFor([&] { return Stopped(); }));
}

TEST_F(EndToEndPower, AResumeWithNothingRunningStartsNothing) {
  ASSERT_TRUE(program_.Init("R20 -- HMX05:0"));
  ASSERT_TRUE(Sim("suspend"));
  ASSERT_TRUE(Sim("resume"));
  std::this_thread::sleep_for(1s);
  EXPECT_TRUE(Stopped());
  EXPECT_EQ(program_.Status(), "Device Initialization Success");
}

using EndToEndAutoCapture = EndToEndEvents;

// The program's "Finger is detected" gives way to the capture's own texts
// within the one handler, before any other process can read it: what shows
// is the capture that the touch started.
TEST_F(EndToEndAutoCapture, AFingerOnTheReaderStartsACapture) {
  ASSERT_TRUE(program_.Init("R20 -- HMX05:0"));
  ASSERT_TRUE(program_.Press(" Auto Capture"));
  ASSERT_TRUE(program_.WaitForStatus("Auto Capturing is enabled. Put your finger on the sensor!"));
  std::this_thread::sleep_for(500ms);
  EXPECT_EQ(program_.Status(), "Auto Capturing is enabled. Put your finger on the sensor!");
  ASSERT_TRUE(Sim("touch HMX05-0"));
  EXPECT_TRUE(program_.WaitForStatusStarting("[Capture] time: "));
}

}  // namespace
}  // namespace e2e
