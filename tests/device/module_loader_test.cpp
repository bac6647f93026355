#include "device/module_loader.h"

#include <gtest/gtest.h>

#include "device/proc_address.h"
#include "tests/platform/scoped_machine_root.h"

// The test modules lie beside the test program, where the library search
// looks first.
namespace {

using SensorFn = ISensor* (*)();
using TypeFn = uint32_t (*)();

ISensor* const kStale = reinterpret_cast<ISensor*>(0x10);
HMODULE const kStaleModule = reinterpret_cast<HMODULE>(0x20);

TEST(ModuleLoader, LoadsCreatesAndUnloadsThroughTheModule) {
  ScopedMachineRoot root;
  // Held by the test too, so the module's records can be read after the loader frees it.
  HMODULE observer = LoadLibraryA("TestModuleComplete.dll");
  ASSERT_TRUE(observer);
  ISensor* sensor = kStale;
  HMODULE module = kStaleModule;
  ASSERT_EQ(LoadSensorModule("TestModuleComplete.dll", sensor, module, 6), kLoadOk);
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
  ScopedMachineRoot root;
  ISensor* sensor = kStale;
  HMODULE module = nullptr;
  EXPECT_EQ(LoadSensorModule("TestModuleNoCreate.dll", sensor, module, 7), kLoadNoCreateExport);
  EXPECT_EQ(sensor, nullptr);
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(GetModuleHandleA("TestModuleNoCreate.dll"), module);
  EXPECT_TRUE(FreeLibrary(module));
}

TEST(ModuleLoader, FailingCreateGivesThreeAndKeepsTheModule) {
  ScopedMachineRoot root;
  ISensor* sensor = kStale;
  HMODULE module = nullptr;
  EXPECT_EQ(LoadSensorModule("TestModuleFailingCreate.dll", sensor, module, 5), kLoadCreateFailed);
  EXPECT_EQ(sensor, nullptr);
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(ProcAddressAs<TypeFn>(module, "LastReaderType")(), 5u);
  EXPECT_TRUE(FreeLibrary(module));
}

TEST(ModuleLoader, MissingModuleGivesOneAndLeavesBothFieldsNull) {
  ScopedMachineRoot root;
  ISensor* sensor = kStale;
  HMODULE module = kStaleModule;
  EXPECT_EQ(LoadSensorModule("NoSuchModule.dll", sensor, module, 6), kLoadModuleMissing);
  EXPECT_EQ(sensor, nullptr);
  EXPECT_EQ(module, nullptr);
}

// The sensor is not destroyed, but it lived in the freed module: it is forgotten.
TEST(ModuleLoader, UnloadFreesAModuleWithoutDestroyExportAndForgetsItsSensor) {
  ScopedMachineRoot root;
  ISensor* sensor = nullptr;
  HMODULE module = nullptr;
  ASSERT_EQ(LoadSensorModule("TestModuleNoDestroy.dll", sensor, module, 3), kLoadOk);
  ASSERT_NE(sensor, nullptr);

  UnloadSensorModule(sensor, module);
  EXPECT_EQ(sensor, nullptr);
  EXPECT_EQ(module, nullptr);
  EXPECT_EQ(GetModuleHandleA("TestModuleNoDestroy.dll"), nullptr);
}

}  // namespace
