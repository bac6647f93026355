#include "device/parallel_device.h"

#include <cstring>

#include "device/module_loader.h"
#include "device/sensor.h"

CQVParallelDevice::CQVParallelDevice(uint32_t type) : type_(type) {
  LoadSensorModule(moduleName_, sensor_, module_, type_);
}

CQVParallelDevice::~CQVParallelDevice() { UnloadSensorModule(sensor_, module_); }

uint32_t CQVParallelDevice::Probe() {
  if (!sensor_) return kStatusFunctionFail;
  const uint32_t status = sensor_->OpenDevice(0, 0);
  if (status != kStatusOk) return status;
  entry_.type = static_cast<uint16_t>(type_);
  entry_.index = static_cast<uint16_t>(index_);
  std::memcpy(entry_.module, moduleName_, sizeof entry_.module);
  entry_.formFactor = static_cast<uint16_t>(formFactor_);
  DeviceInfo info = {};
  const uint32_t infoStatus = sensor_->GetDeviceInfo(&info);
  entry_.portAddress = info.portAddress;
  entry_.portMode = info.portMode;
  return infoStatus;
}

uint32_t CQVParallelDevice::GetEntry(DeviceEntry* out) const {
  if (!sensor_) return kStatusFunctionFail;
  if (out) *out = entry_;
  return kStatusOk;
}

uint32_t CQVParallelDevice::CloseDevice() {
  if (!sensor_) return kStatusFunctionFail;
  return sensor_->CloseDevice();
}
