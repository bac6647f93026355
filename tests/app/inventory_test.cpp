// Refresh: the attached readers in the selector, the counts, and the installed
// drivers with their versions.
#include <future>
#include <thread>

#include "device/locks.h"
#include "machine_form.h"

namespace {

using Strings = std::vector<std::string>;

std::string Summary(int usb, int parallel) {
  return "The number of USB devices:\t" + std::to_string(usb) + "\nThe number of Parallel devices:\t" +
         std::to_string(parallel) + "\n";
}

class InventoryTest : public MachineFormTest {
 protected:
  std::string Drivers() const { return form_->LabelDriverInfo->Caption(); }
};

TEST_F(InventoryTest, NoReaderFound) {
  TForm1& form = Refreshed();
  EXPECT_EQ(Status(), "No fingerprint device found.");
  EXPECT_EQ(form.LabelEnumSummary->Caption(), Summary(0, 0));
  EXPECT_EQ(form.ComboDeviceID->Count(), 0);
  EXPECT_FALSE(form.BtnInit->Enabled());
  EXPECT_TRUE(form.BtnEnum->Enabled());
}

TEST_F(InventoryTest, AParallelReaderIsListedButNotCountedAsUsb) {
  Plug("parallel", 0);
  TForm1& form = Refreshed();
  EXPECT_EQ(Items(), Strings{"Parallel -- HMP02:0"});
  EXPECT_EQ(Status(), "Select a fingerprint device and Click Init button. 0 device(s) found.");
  EXPECT_EQ(form.LabelEnumSummary->Caption(), Summary(0, 1));
  EXPECT_TRUE(form.BtnInit->Enabled());
}

TEST_F(InventoryTest, ReadersListedInTableOrderWithFirstSelected) {
  Plug("HMX05", 1);
  Plug("HMX05", 0);
  Plug("parallel", 0);
  Plug("OMREL", 2);
  TForm1& form = Refreshed();
  EXPECT_EQ(Items(), (Strings{"R20 -- HMX05:0", "R20 -- HMX05:1", "USB -- HMX02:2", "Parallel -- HMP02:0"}));
  EXPECT_EQ(form.ComboDeviceID->ItemIndex(), 0);
  EXPECT_EQ(Status(), "Select a fingerprint device and Click Init button. 3 device(s) found.");
  EXPECT_EQ(form.LabelEnumSummary->Caption(), Summary(3, 1));
}

TEST_F(InventoryTest, OneRowPerInstalledGenerationWithModuleAndKernelVersions) {
  KeepOnlyDriverFiles({"Qvhmx05m.dll", "qvhmx05x64.sys"});
  sim::InstallDriverFile("qvhmx05x64.sys", sim::FileVersionNumber{5, 1, 0, 3});
  Refreshed();
  EXPECT_EQ(Drivers(), "HMX05 :  Qvhmx05m.dll (v1.0.4.2), qvhmx05x64.sys (v5.1.0.3)\n");

  sim::RemoveDriverFile("qvhmx05x64.sys");  // a module without its kernel driver
  sim::InstallDriverFile("Omreldrv.sys");   // a 32-bit kernel file means nothing on 64-bit Windows
  Refreshed();
  EXPECT_EQ(Drivers(), "HMX05 :  Qvhmx05m.dll (v1.0.4.2), qvhmx05x64.sys (v0.0.0.0)\n");
}

TEST_F(InventoryTest, ParallelAndFrameworkDriversShareTheLastLine) {
  KeepOnlyDriverFiles({"Dacro.dll", "Dacrodrv.sys", "Qvhmxwudf.dll"});
  Refreshed();
  EXPECT_EQ(Drivers(), "HMP02 :  (v2.0.1.3, v1.0.0.7)WBF   :  Qvhmxwudf.dll (v1.0.1.0)");
}

TEST_F(InventoryTest, KernelFileNamesFollowTheWindowsWordSize) {
  Refreshed();
  const std::string wide = Drivers();
  for (const char* name :
       {"qvhmx06x64.sys", "qvhmx05x64.sys", "qvhmx04x64.sys", "QVHx03x64.sys", "omreldrvx64.sys"}) {
    EXPECT_NE(wide.find(name), std::string::npos) << name;
  }
  EXPECT_EQ(wide.find("d.sys ("), std::string::npos);

  SetProfile([](sim::Profile& profile) { profile.is64Bit = false; });
  Refreshed();
  const std::string narrow = Drivers();
  for (const char* name : {"Qvhmx06d.sys", "Qvhmx05d.sys", "Qvhmx04d.sys", "Qvhx03d.sys", "Omreldrv.sys"}) {
    EXPECT_NE(narrow.find(name), std::string::npos) << name;
  }
  EXPECT_EQ(narrow.find("x64.sys"), std::string::npos);
  EXPECT_EQ(narrow.substr(0, 9), "RPX   :  ");
}

TEST_F(InventoryTest, FrameworkDriverShownFromWindows7On) {
  SetProfile([](sim::Profile& profile) {
    profile.major = 6;
    profile.minor = 1;
  });
  Refreshed();
  EXPECT_NE(Drivers().find("WBF   :  Qvhmxwudf.dll (v1.0.1.0)"), std::string::npos);

  SetProfile([](sim::Profile& profile) { profile.minor = 0; });
  Refreshed();
  EXPECT_EQ(Drivers().find("WBF   : "), std::string::npos);
  EXPECT_NE(Drivers().find("HMP02 : "), std::string::npos);
}

// Another holder of the window's lock: a thread stands in for the other process.
TEST_F(InventoryTest, LockHeldElsewhereLeavesTheSelectorEmpty) {
  Plug("HMX05", 0);
  std::promise<bool> held;
  std::promise<void> release;
  std::thread holder([&] {
    UnitLocker other("qvdx_exe", 0);
    held.set_value(other.Acquire());
    release.get_future().wait();
    other.Release();
  });
  ASSERT_TRUE(held.get_future().get());

  TForm1& form = Refreshed();
  EXPECT_EQ(Status(), "Used by another process...");
  EXPECT_EQ(form.ComboDeviceID->Count(), 0);
  EXPECT_FALSE(form.BtnInit->Enabled());
  EXPECT_TRUE(form.BtnEnum->Enabled());
  EXPECT_TRUE(form.LabelEnumSummary->Caption().empty());
  EXPECT_FALSE(form.LabelDriverInfo->Caption().empty());
  release.set_value();
  holder.join();

  Refreshed();
  EXPECT_EQ(Items(), Strings{"R20 -- HMX05:0"});
}

}  // namespace
