#include "device/usb_device.h"

#include <new>

#include "device/sensor.h"
#include "device/wbf_usb_device.h"
#include "device/winbio_api.h"

int FindFrameworkUnit(uint16_t type) {
  FingerprintUnitList units;
  if (!units.HasArray()) return kChannelNoFrameworkUnit;
  const WideText pattern = FrameworkModelPattern(type);
  for (const WINBIO_UNIT_SCHEMA& unit : units) {
    if (IsMakerUnit(unit, pattern)) return kChannelFramework;
  }
  return kChannelNoFrameworkUnit;
}

CQVUSBDevice::CQVUSBDevice(uint32_t type) { choice_ = ChooseChannel(type); }

CQVUSBDevice::~CQVUSBDevice() {
  channel_.reset();
  WinBioApi::Unload();
  WbfAvailable = false;
}

int CQVUSBDevice::ChooseChannel(uint32_t type) {
  int choice = kChannelSystemTooOld;
  if (IsWindows7OrLater()) {
    choice = WinBioApi::Load() ? FindFrameworkUnit(static_cast<uint16_t>(type)) : kChannelNoFramework;
  }
  WbfAvailable = choice == kChannelFramework;
  if (choice == kChannelFramework) {
    channel_.reset(new (std::nothrow) WbfUsbDevice(type));
  } else {
    WinBioApi::Unload();
    WbfAvailable = false;
    channel_.reset(new (std::nothrow) QvUsbDevice(type));
  }
  return choice;
}

uint32_t CQVUSBDevice::Open(uint32_t index) { return channel_ ? channel_->Open(index) : kStatusFunctionFail; }

uint32_t CQVUSBDevice::Close(uint32_t index) { return channel_ ? channel_->Close(index) : kStatusFunctionFail; }

uint32_t CQVUSBDevice::GetEntry(DeviceEntry* out) const {
  return channel_ ? channel_->GetEntry(out) : kStatusFunctionFail;
}
