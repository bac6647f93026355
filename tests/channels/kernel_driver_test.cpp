// The simulated kernel driver as the program reaches it: device paths and
// I/O control codes through the platform calls.
#include "platform/win32.h"
#include "tests/channels/driver_answer_cases.h"
#include "tests/channels/machine_test.h"

namespace {

HANDLE OpenDevicePath(const char* path) {
  return CreateFileA(path, FILE_READ_DATA, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
}

class KernelDriverTest : public MachineTest {
 protected:
  static void PlugTableReader(const driver_cases::TableReader& r) {
    Plug(r.name, r.index, [&](sim::Reader& reader) {
      reader.productId = r.productId;
      reader.release = r.release;
      reader.serial = r.serial;
    });
  }
};

TEST_F(KernelDriverTest, AnswersAsTheWindowsDriverDoes) {
  for (const driver_cases::TableReader& reader : driver_cases::kTableReaders) PlugTableReader(reader);
  driver_cases::CheckAnswerCases();
}

TEST_F(KernelDriverTest, FailsCleanlyOnceTheReaderIsUnplugged) {
  PlugTableReader(driver_cases::kHmx05);
  driver_cases::CheckUnplugged(driver_cases::kHmx05, [] { ASSERT_TRUE(sim::UnplugReader("HMX05", 0)); });
}

TEST_F(KernelDriverTest, ServesOnlyAttachedReadersOffTheFramework) {
  Plug("HMX04", 0, [](sim::Reader& r) { r.framework = true; });
  Plug("parallel", 0);
  for (const char* path : {"\\\\.\\HMX04-0", "\\\\.\\HMX04-1", "\\\\.\\parallel", "HMX04-0", "\\\\.\\HMX04-"}) {
    EXPECT_EQ(OpenDevicePath(path), INVALID_HANDLE_VALUE) << path;
  }
  // Without the framework running, its readers are reached through the driver.
  ChangeProfile([](sim::Profile& p) { p.frameworkPresent = false; });
  HANDLE device = OpenDevicePath("\\\\.\\HMX04-0");
  EXPECT_NE(device, INVALID_HANDLE_VALUE);
  CloseHandle(device);
}

}  // namespace
