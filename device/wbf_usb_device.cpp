#include "device/wbf_usb_device.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>

#include "device/proc_address.h"
#include "device/sensor.h"
#include "device/winbio_api.h"

bool WbfAvailable = false;

const ControlCodeMapRow ControlCodeMap[] = {
    {0x442190, kIoctlGetDeviceDescriptor},
    {0x44219C, kIoctlGetType3Serial},
    {0x442194, kIoctlVendorRequest},
    {0, 0},
};

namespace {

// The framework form of a control request: the 10-byte header, then the data
// length and the outgoing data, since a control call has separate send and
// receive buffers.
constexpr size_t kSendBufferBaseSize = 20;
constexpr size_t kSendLengthOffset = 12;
constexpr size_t kSendDataOffset = 16;

const ControlCodeMapRow* FindControlCode(DWORD deviceCode) {
  for (const ControlCodeMapRow* row = ControlCodeMap; row->frameworkCode != 0; ++row) {
    if (row->deviceCode == deviceCode) return row;
  }
  return nullptr;
}

typedef BOOL(WINAPI* GetVersionExAFn)(LPOSVERSIONINFOA info);

}  // namespace

bool IsWindows7OrLater() {
  HMODULE kernel = LoadLibraryA("Kernel32.dll");
  if (!kernel) return false;
  bool newEnough = false;
  if (auto getVersion = ProcAddressAs<GetVersionExAFn>(kernel, "GetVersionExA")) {
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof info;
    if (getVersion(&info)) {
      newEnough = info.dwMajorVersion > 6 || (info.dwMajorVersion == 6 && info.dwMinorVersion >= 1);
    }
  }
  FreeLibrary(kernel);
  return newEnough;
}

WbfUsbDevice::WbfUsbDevice(uint32_t type) : QvUsbDevice(type) {}

WbfUsbDevice::~WbfUsbDevice() = default;

bool WbfUsbDevice::IsOpen() { return session_ != 0; }

uint32_t WbfUsbDevice::OpenHandle(uint32_t index) {
  if (!WbfAvailable) return kStatusSystemFileLoadFail;
  if (session_ != 0) CloseHandle();

  WINBIO_SESSION_HANDLE session = 0;
  const bool opened = WinBioSucceeded(WinBioApi::OpenSession(
      WINBIO_TYPE_FINGERPRINT, WINBIO_POOL_SYSTEM, WINBIO_FLAG_DEFAULT, nullptr, 0, WINBIO_DB_DEFAULT, &session));
  if (opened) session_ = session;

  const WideText pattern = FrameworkModelPattern(static_cast<uint16_t>(type_));
  const ReaderTypeInfo* info = FindReaderType(static_cast<uint16_t>(type_));
  std::snprintf(lockName_, sizeof lockName_, "%s", info && info->lockStem ? info->lockStem : "");

  bool chosen = false;
  WINBIO_UNIT_ID chosenId = 0;
  if (opened) {
    FingerprintUnitList units;
    for (const WINBIO_UNIT_SCHEMA& unit : units) {
      if (!IsMakerUnit(unit, pattern)) continue;
      if ((unit.UnitId - 1u) % 10u == index) {
        chosen = true;
        chosenId = unit.UnitId;
        break;
      }
    }
  }
  if (!chosen) {
    CloseHandle();
    return kStatusSystemFileLoadFail;
  }
  selectedIndex_ = static_cast<uint16_t>(index);
  unitId_ = chosenId;
  locker_ = std::make_unique<UnitLocker>(lockName_, static_cast<uint16_t>(index));
  return kStatusOk;
}

uint32_t WbfUsbDevice::CloseHandle() {
  if (session_ != 0) {
    WinBioApi::CloseSession(session_);
    session_ = 0;
  }
  UnlockUnit();
  locker_.reset();
  return kStatusOk;
}

uint32_t WbfUsbDevice::LockUnit() {
  if (unitLocked_) return kStatusOk;
  if (!locker_ || !locker_->Acquire()) return kStatusUsedByAnotherProcess;
  if (!WinBioSucceeded(WinBioApi::LockUnit(session_, unitId_))) {
    locker_->Release();
    return kStatusFunctionFail;
  }
  unitLocked_ = 1;
  return kStatusOk;
}

// The flag is cleared whether or not the framework accepts the unlock: a unit
// lock that the framework refuses to end (its session closed, the unit gone)
// is not this channel's any more, and a flag left set would let the next
// request skip the named lock.
uint32_t WbfUsbDevice::UnlockUnit() {
  if (unitLocked_) {
    WinBioApi::UnlockUnit(session_, unitId_);
    unitLocked_ = 0;
  }
  if (locker_) locker_->Release();
  return kStatusOk;
}

bool WbfUsbDevice::IoControl(HANDLE /*device*/, DWORD code, void* input, DWORD inputSize, void* output,
                             DWORD outputSize, DWORD* bytesReturned, LPOVERLAPPED /*overlapped*/) {
  const ControlCodeMapRow* row = FindControlCode(code);
  if (!row) return true;  // nothing this channel sends lacks a row

  const bool lockedBefore = unitLocked_ != 0;
  if (LockUnit() != kStatusOk) return false;

  uint8_t dummy = 0;
  if (!output) {
    output = &dummy;
    outputSize = 0;
  }
  SIZE_T received = 0;
  ULONG operationStatus = 0;
  const bool succeeded = WinBioSucceeded(WinBioApi::ControlUnit(
      session_, unitId_, WINBIO_COMPONENT_SENSOR, row->frameworkCode, static_cast<PUCHAR>(input), inputSize,
      static_cast<PUCHAR>(output), outputSize, &received, &operationStatus));
  // The framework never answers more than the receive buffer holds; a count
  // claiming so is cut, so nobody reads past the buffer.
  if (succeeded && bytesReturned) *bytesReturned = static_cast<DWORD>(std::min<SIZE_T>(received, outputSize));

  if (!lockedBefore) UnlockUnit();
  return succeeded;
}

bool WbfUsbDevice::VendorRequest(const ControlRequest* request) {
  if (!request) return false;
  const bool carriesData = request->direction == kDirectionToDevice && request->length > 0;
  const size_t size = kSendBufferBaseSize + (carriesData ? size_t{request->length} - 1 : 0);
  std::unique_ptr<uint8_t[]> send(new (std::nothrow) uint8_t[size]());
  if (!send) return false;

  WriteRequestHeader(*request, send.get());
  if (carriesData) {
    const uint32_t length = request->length;
    std::memcpy(send.get() + kSendLengthOffset, &length, sizeof length);
    if (request->data) std::memcpy(send.get() + kSendDataOffset, request->data, length);
  }
  if (session_ == 0) return true;
  DWORD returned = 0;
  return IoControl(deviceHandle_, kIoctlVendorRequest, send.get(), static_cast<DWORD>(size), request->data,
                   request->length, &returned, nullptr);
}

uint32_t WbfUsbDevice::ReadDeviceInfo() {
  const uint32_t status = LockUnit();
  if (status != kStatusOk) return status;
  const uint32_t result = QvUsbDevice::ReadDeviceInfo();
  UnlockUnit();
  return result;
}
