// The program's driver: installed and started in the prefix before the tests,
// stopped and removed after them, from the file built beside the program.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "simulator/windows/driver_control.h"

namespace {

std::string DriverFile() {
  char path[MAX_PATH] = {};
  const std::string program(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
  return program.substr(0, program.find_last_of('\\') + 1) + "tolvanesim.sys";
}

class DriverEnvironment : public testing::Environment {
 public:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(simwin::DriverInstallAndStart(DriverFile(), error)) << error;
    // As a workstation script does when it runs again.
    ASSERT_TRUE(simwin::DriverInstallAndStart(DriverFile(), error)) << error;
  }
  void TearDown() override {
    std::string error;
    EXPECT_TRUE(simwin::DriverStopAndRemove(error)) << error;
  }
};

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  testing::AddGlobalTestEnvironment(new DriverEnvironment);
  return RUN_ALL_TESTS();
}
