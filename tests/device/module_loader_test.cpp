#include "device/module_loader.h"

#include <gtest/gtest.h>

#include "device/proc_address.h"
#include "tests/simulator/temp_root.h"

namespace {

using SensorFn = ISensor* (*)();
using TypeFn = uint32_t (*)();

ISensor* const kStale = reinterpret_cast<ISensor*>(0x10);
HMODULE const kStaleModule = reinterpret_cast<HMODULE>(0x20);

TEST(ModuleLoader, LoadsCreatesAndUnloadsThroughTheModule) {
  TempMachineRoot temp;
  // Held by the test too, so the module's records can be read after the loader frees it.
  HMODULE observer = LoadLibraryA(TEST_MODULE_Complete);
  ASSERT_TRUE(observer);
  ISensor* sensor = kStale;
  HMODULE module = kStaleModule;
  ASSERT_EQ(LoadSensorModule(TEST_MODULE_Complete, sensor, module, 6), kLoadOk);
  EXPECT_EQ(module, observer);
  EXPECT_EQ(sensor, ProcAddressAs<SensorFn>(observer, "SensorToken")());
  EXPECT_EQ(ProcAddressAs<TypeFn>(observer, "LastReaderType")(), 6u);

  UnloadSensorModule(sensor, module);
  EXPECT_EQ(sensor, nullptr);
  EXPECT_EQ(module, nullptr);
  EXPECT_EQ(ProcAddressAs<SensorFn>(observer, "LastDestroyed")(),
            ProcAddressAs<SensorFn>(observer, "SensorToken")());
  FreeLibrary(observer);
  EXPECT_EQ(GetModuleHandleA("TestModuleComplete.dll"), nullptr);
}

TEST(ModuleLoader, ModuleWithoutCreateExportGivesTwoAndStaysLoaded) {
  TempMachineRoot temp;
  ISensor* sensor = kStale;
  HMODULE module = nullptr;
  EXPECT_EQ(LoadSensorModule(TEST_MODULE_NoCreate, sensor, module, 7), kLoadNoCreateExport);
  EXPECT_EQ(sensor, nullptr);
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(GetModuleHandleA("TestModuleNoCreate.dll"), module);
  EXPECT_TRUE(FreeLibrary(module));
}

TEST(ModuleLoader, FailingCreateGivesThreeAndKeepsTheModule) {
  TempMachineRoot temp;
  ISensor* sensor = kStale;
  HMODULE module = nullptr;
  EXPECT_EQ(LoadSensorModule(TEST_MODULE_FailingCreate, sensor, module, 5), kLoadCreateFailed);
  EXPECT_EQ(sensor, nullptr);
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(ProcAddressAs<TypeFn>(module, "LastReaderType")(), 5u);
  EXPECT_TRUE(FreeLibrary(module));
}

TEST(ModuleLoader, MissingModuleGivesOneAndLeavesBothFieldsNull) {
  TempMachineRoot temp;
  ISensor* sensor = kStale;
  HMODULE module = kStaleModule;
  EXPECT_EQ(LoadSensorModule("NoSuchModule.dll", sensor, module, 6), kLoadModuleMissing);
  EXPECT_EQ(sensor, nullptr);
  EXPECT_EQ(module, nullptr);
}

// The sensor is not destroyed, but it lived in the freed module: it is forgotten.
TEST(ModuleLoader, UnloadFreesAModuleWithoutDestroyExportAndForgetsItsSensor) {
  TempMachineRoot temp;
  ISensor* sensor = nullptr;
  HMODULE module = nullptr;
  ASSERT_EQ(LoadSensorModule(TEST_MODULE_NoDestroy, sensor, module, 3), kLoadOk);
  ASSERT_NE(sensor, nullptr);

  UnloadSensorModule(sensor, module);
  EXPECT_EQ(sensor, nullptr);
  EXPECT_EQ(module, nullptr);
  EXPECT_EQ(GetModuleHandleA("TestModuleNoDestroy.dll"), nullptr);
}

}  // namespace
