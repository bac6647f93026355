// The built driver module libraries as the utility loads them: by file name,
// through the machine's System32, on a temporary machine per test.
#pragma once

#include <gtest/gtest.h>

#include "device/module_loader.h"
#include "device/sensor.h"
#include "simulator/machine/machine.h"
#include "tests/simulator/temp_root.h"

namespace module_library {

struct BuiltModule {
  const char* file;
  uint32_t type;
  sim::FileVersionNumber version;
};
constexpr BuiltModule kBuiltModules[] = {
#include "module_versions.inc"
};

// A module loaded by name and its sensor, released through the module.
class LoadedSensor {
 public:
  LoadedSensor(const char* file, uint32_t type) {
    result_ = LoadSensorModule(file, sensor_, module_, type);
  }
  ~LoadedSensor() { UnloadSensorModule(sensor_, module_); }
  LoadedSensor(const LoadedSensor&) = delete;
  LoadedSensor& operator=(const LoadedSensor&) = delete;

  bool Loaded() const { return result_ == kLoadOk && sensor_; }
  ISensor* operator->() const { return sensor_; }

 private:
  int result_ = kLoadModuleMissing;
  ISensor* sensor_ = nullptr;
  HMODULE module_ = nullptr;
};

class ModuleLibraryTest : public ::testing::Test {
 protected:
  // The machine as a fresh computer has it, or with no readers at all.
  void UseMachine(bool empty) { sim::InitMachine(empty); }

  static void Plug(const char* name, uint32_t index) {
    sim::PlugReader(sim::DefaultReader(*sim::FindReaderModel(name), index));
  }

  TempMachineRoot root_;
};

}  // namespace module_library
