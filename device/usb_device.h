// The facade through which enumeration reaches a USB reader: it decides per
// generation whether the biometric framework or the kernel driver serves it.
#pragma once

#include <cstdint>
#include <memory>

#include "device/qv_usb_device.h"
#include "device/records.h"

// Why a generation is reached the way it is.
enum ChannelChoice : int {
  kChannelFramework = 0,       // the framework serves a unit of the maker for the type
  kChannelSystemTooOld = 1,    // system older than 6.1
  kChannelNoFramework = 2,     // the framework library cannot be loaded
  kChannelNoFrameworkUnit = 3, // the framework lists no matching unit
};

// 0 when the framework lists a fingerprint unit of the maker for the type, else 3.
int FindFrameworkUnit(uint16_t type);

class CQVUSBDevice {
 public:
  explicit CQVUSBDevice(uint32_t type);
  // Destroys the channel, then unloads the framework and clears WbfAvailable.
  ~CQVUSBDevice();
  CQVUSBDevice(const CQVUSBDevice&) = delete;
  CQVUSBDevice& operator=(const CQVUSBDevice&) = delete;

  // Each forwards to the channel, or answers 2 when there is none.
  uint32_t Open(uint32_t index);
  uint32_t Close(uint32_t index);
  uint32_t GetEntry(DeviceEntry* out) const;

  // The decision the constructor made (a ChannelChoice).
  int Choice() const { return choice_; }

 private:
  int ChooseChannel(uint32_t type);

  std::unique_ptr<QvUsbDevice> channel_;
  int choice_ = kChannelSystemTooOld;
};
