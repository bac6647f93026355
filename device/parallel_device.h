// The parallel-port reader, found by loading its driver module and trying to
// open the device; there is no device path of its own.
#pragma once

#include <cstdint>

#include "device/records.h"
#include "device/sensor.h"
#include "platform/win32.h"

class CQVParallelDevice {
 public:
  // Loads the module and creates the sensor; nothing is reported on failure,
  // every later operation then answers 2.
  explicit CQVParallelDevice(uint32_t type);
  ~CQVParallelDevice();
  CQVParallelDevice(const CQVParallelDevice&) = delete;
  CQVParallelDevice& operator=(const CQVParallelDevice&) = delete;

  // Opens device 0 and builds the entry; 0 when the reader answers.
  uint32_t Probe();
  uint32_t GetEntry(DeviceEntry* out) const;
  uint32_t CloseDevice();

 private:
  ISensor* sensor_ = nullptr;
  HMODULE module_ = nullptr;
  DeviceEntry entry_ = {};
  uint32_t type_ = 0;
  char moduleName_[20] = "Dacro.dll";
  uint32_t index_ = 0;
  uint32_t formFactor_ = 0;
};
