// The channel to a reader that the biometric framework serves: the same entry
// building as the direct channel, with every device request sent as a
// framework control call to the reader's unit under its named lock.
#pragma once

#include <cstdint>
#include <memory>

#include "device/locks.h"
#include "device/qv_usb_device.h"
#include "platform/winbio_types.h"

// True while the framework channel may be used; the channel choice sets it and
// unloading the framework clears it.
extern bool WbfAvailable;

// True on system version 6.1 or later.
bool IsWindows7OrLater();

// Device I/O control codes and the framework control codes that carry them.
struct ControlCodeMapRow {
  ULONG frameworkCode;  // 0 ends the map
  DWORD deviceCode;
};
extern const ControlCodeMapRow ControlCodeMap[];

class WbfUsbDevice : public QvUsbDevice {
 public:
  explicit WbfUsbDevice(uint32_t type);
  ~WbfUsbDevice() override;  // ends no session: owners call Close first

  bool IoControl(HANDLE device, DWORD code, void* input, DWORD inputSize, void* output, DWORD outputSize,
                 DWORD* bytesReturned, LPOVERLAPPED overlapped) override;
  bool IsOpen() override;
  uint32_t OpenHandle(uint32_t index) override;
  uint32_t CloseHandle() override;
  bool VendorRequest(const ControlRequest* request) override;
  uint32_t ReadDeviceInfo() override;

  // Takes the named lock, then the framework lock on the unit.
  uint32_t LockUnit();
  // Gives the framework unit lock back, then the named lock.
  uint32_t UnlockUnit();

 private:
  WINBIO_SESSION_HANDLE session_ = 0;
  WINBIO_UNIT_ID unitId_ = 0xFFFFFFFFu;
  uint16_t selectedIndex_ = 0xFFFF;
  uint8_t unitLocked_ = 0;
  char lockName_[UnitLocker::kNameSize] = {};
  std::unique_ptr<UnitLocker> locker_;
};
