#include "simulator/modules/module_factory.h"

#include <gtest/gtest.h>

#include "tests/simulator_modules/fake_reader_port.h"

namespace simulator::testing {
namespace {

ReaderLocator OneReader() {
  auto port = std::make_shared<FakeReaderPort>();
  return [port](uint32_t index) { return index == 0 ? port : nullptr; };
}

TEST(ModuleFactory, UsbModulesRequireTheirOwnType) {
  ISensor* sensor = nullptr;
  uint32_t type = 6;
  ASSERT_EQ(CreateModuleSensor(6, &type, OneReader(), &sensor), 0u);
  EXPECT_EQ(sensor->OpenDevice(0, 0), 0u);
  EXPECT_EQ(DestroyModuleSensor(sensor), 0u);  // on an open reader

  sensor = nullptr;
  type = 4;
  EXPECT_EQ(CreateModuleSensor(6, &type, OneReader(), &sensor), 3u);
  EXPECT_EQ(CreateModuleSensor(6, nullptr, OneReader(), &sensor), 3u);
  EXPECT_EQ(CreateModuleSensor(6, &type, OneReader(), nullptr), 3u);
  type = 2;
  EXPECT_EQ(CreateModuleSensor(2, &type, OneReader(), &sensor), 1u);
  EXPECT_EQ(sensor, nullptr);
}

TEST(ModuleFactory, ParallelModuleIgnoresTheParameter) {
  ISensor* sensor = nullptr;
  uint32_t junk = 0xDEADBEEF;
  ASSERT_EQ(CreateModuleSensor(1, &junk, OneReader(), &sensor), 0u);
  DestroyModuleSensor(sensor);
  ASSERT_EQ(CreateModuleSensor(1, nullptr, OneReader(), &sensor), 0u);
  DestroyModuleSensor(sensor);
}

}  // namespace
}  // namespace simulator::testing
