// Plugging and unplugging on the simulated bus, through the platform's real
// watcher, with "Auto Refresh" on and off.

#include "machine_form.h"

namespace {

using Strings = std::vector<std::string>;

class DeviceChangeTest : public MachineFormTest {
 protected:
  bool ItemsBecome(const Strings& expected) {
    return ProcessEventsUntil([&] { return Items() == expected; }, 3000);
  }
};

TEST_F(DeviceChangeTest, PluggingAReaderRebuildsTheList) {
  Plug("HMX05", 0);
  Refreshed();
  Plug("HMX04", 1);
  EXPECT_TRUE(ItemsBecome({"R20 -- HMX05:0", "USB -- HMX04:1"}));
  EXPECT_EQ(Status(), "Select a fingerprint device and Click Init button. 2 device(s) found.");
}

TEST_F(DeviceChangeTest, WithoutAutoRefreshNothingChanges) {
  Plug("HMX05", 0);
  TForm1& form = Refreshed();
  form.AutoRefreshClick();
  ASSERT_FALSE(form.AutoRefresh->Checked());
  Plug("HMX04", 1);
  ProcessEventsFor(500);
  EXPECT_EQ(Items(), Strings{"R20 -- HMX05:0"});
}

// A memory stick is no reader of the family: the open reader stays open. A
// second reader pulled out closes it all the same and rebuilds the list.
TEST_F(DeviceChangeTest, OnlyFamilyReadersResetAnInitializedReader) {
  Plug("HMX05", 0);
  Plug("HMX06", 0);
  TForm1& form = Initialized(1);  // items: RPX first, then R20
  ASSERT_EQ(Status(), "Device Initialization Success");

  sim::PlugForeignDevice({0x0781, 0x5567});
  ProcessEventsFor(500);
  EXPECT_NE(form.Sensor, nullptr);
  EXPECT_EQ(Status(), "Device Initialization Success");
  EXPECT_TRUE(form.BtnCapture->Enabled());

  sim::UnplugReader("HMX06", 0);
  EXPECT_TRUE(ItemsBecome({"R20 -- HMX05:0"}));
  EXPECT_EQ(form.Sensor, nullptr);
  EXPECT_FALSE(form.BtnCapture->Enabled());
}

}  // namespace
