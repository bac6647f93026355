// The troubles a technician meets on a workstation: a second copy of the
// program, and driver modules too old or cut short.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "tests/end_to_end/running_program.h"
#include "tests/end_to_end/workstation.h"

namespace e2e {
namespace {

const std::string kListed = "Select a fingerprint device and Click Init button. 3 device(s) found.";

TEST(EndToEndTwoInstances, ASecondInstancesRefreshDuringCaptureSaysUsedByAnotherProcess) {
  RunningProgram first;
  ASSERT_TRUE(first.WaitForStatus(kListed));
  ASSERT_TRUE(first.Init("R20 -- HMX05:0"));
  ASSERT_TRUE(first.Press("Cont. Capture"));
  ASSERT_TRUE(WaitFor([&] { return first.Button("Stop Capturing") != nullptr; }));

  RunningProgram second;
  EXPECT_TRUE(second.WaitForStatus("Used by another process..."));
  ASSERT_TRUE(second.Press("Refresh"));
  EXPECT_TRUE(second.WaitForStatus("Used by another process..."));
  EXPECT_TRUE(WaitFor([&] { return first.Status().find(" Q:") != std::string::npos; })) << first.Status();

  // Once the first has stopped and closed, the second lists the readers.
  ASSERT_TRUE(first.Press("Stop Capturing"));
  EXPECT_EQ(first.Close(), 0u);
  ASSERT_TRUE(second.Press("Refresh"));
  EXPECT_TRUE(second.WaitForStatus(kListed));
  EXPECT_EQ(second.Close(), 0u);
}

// The message box's text: the static control the system gives it.
std::string MessageText(HWND box) {
  constexpr int kMessageTextId = 0xFFFF;
  return TextOf(GetDlgItem(box, kMessageTextId));
}

TEST(EndToEndBrokenModules, ASmartCaptureModuleTooOldIsNamedInAnErrorBox) {
  ASSERT_TRUE(Sim("driver install Qvhmx05m.dll --version 1.0.2.9"));
  {
    RunningProgram program;
    ASSERT_TRUE(program.WaitForStatus(kListed));
    ASSERT_TRUE(program.Select("R20 -- HMX05:0"));
    ASSERT_TRUE(program.Press("Init"));
    HWND box = program.WaitForDialog("ERROR");
    ASSERT_NE(box, nullptr) << program.Status();
    EXPECT_EQ(MessageText(box),
              "Sorry about not supporting old data structure for smart catpure detail.\n"
              "Please install Qvhmx05m.dll v1.0.3.0 or later.");
    PostMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    EXPECT_TRUE(program.WaitForStatus("Device Initialization Success"));
  }
  // Once the program has ended: until then the module is loaded, and the system keeps it.
  ASSERT_TRUE(Sim("driver install Qvhmx05m.dll"));
}

// The installed module, cut to its first 4096 bytes while the test runs.
class CutModule {
 public:
  explicit CutModule(const std::string& name) {
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    path_ = std::string(system) + "\\" + name;
    std::ifstream in(path_, std::ios::binary);
    whole_.assign(std::istreambuf_iterator<char>(in), {});
    std::ofstream(path_, std::ios::binary | std::ios::trunc).write(whole_.data(), 4096);
  }
  ~CutModule() { std::ofstream(path_, std::ios::binary | std::ios::trunc).write(whole_.data(), whole_.size()); }
  bool Cut() const { return whole_.size() > 4096; }

 private:
  std::string path_;
  std::string whole_;
};

TEST(EndToEndBrokenModules, AModuleCutShortIsRefusedByTheSystemsLoaderAndTheProgramGoesOn) {
  CutModule cut("Qvhmx05m.dll");
  ASSERT_TRUE(cut.Cut());
  RunningProgram program;
  ASSERT_TRUE(program.WaitForStatus(kListed));
  ASSERT_TRUE(program.Select("R20 -- HMX05:0"));
  ASSERT_TRUE(program.Press("Init"));
  EXPECT_TRUE(program.WaitForStatus("Can not load driver"));
  EXPECT_TRUE(program.Enabled("Init"));
  EXPECT_FALSE(program.Enabled("Capture"));
  ASSERT_TRUE(program.Init("RPX -- HMX06:0"));
}

}  // namespace
}  // namespace e2e
