// A driver module for window tests: its sensor objects record every call and
// report the device information the test sets. The test program links the
// library and installs it on the machine under a real module's name, so the
// window loads this very copy and the test reads what happened to it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "device/sensor.h"

struct FakeReaderModuleState {
  DeviceInfo info{};          // what GetDeviceInfo reports
  uint32_t infoStatus = 0;    // and returns
  int created = 0;
  // The calls each destroyed sensor object had received, oldest object first.
  std::vector<std::vector<std::string>> destroyedCalls;
};

extern "C" FakeReaderModuleState& FakeReaderModule();
