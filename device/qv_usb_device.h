// The direct channel to one USB reader: the kernel driver's device path, its
// descriptor and serial-number requests, and the DeviceEntry built from them.
#pragma once

#include <cstdint>

#include "device/records.h"
#include "platform/win32.h"

// Device I/O control codes of the maker's kernel driver (device type 0x22).
inline constexpr DWORD kIoctlGetDeviceDescriptor = CTL_CODE(FILE_DEVICE_UNKNOWN, 0x801, METHOD_BUFFERED, FILE_ANY_ACCESS);
inline constexpr DWORD kIoctlGetType3Serial = CTL_CODE(FILE_DEVICE_UNKNOWN, 0x811, METHOD_BUFFERED, FILE_ANY_ACCESS);
inline constexpr DWORD kIoctlVendorRequest = CTL_CODE(FILE_DEVICE_UNKNOWN, 0x816, METHOD_IN_DIRECT, FILE_ANY_ACCESS);
static_assert(kIoctlGetDeviceDescriptor == 0x222004);
static_assert(kIoctlGetType3Serial == 0x222044);
static_assert(kIoctlVendorRequest == 0x222059);

// The USB device descriptor as the driver answers it.
inline constexpr DWORD kDeviceDescriptorSize = 18;
inline constexpr size_t kDescriptorVendorIdOffset = 8;
inline constexpr size_t kDescriptorProductIdOffset = 10;
inline constexpr size_t kDescriptorReleaseOffset = 12;

inline constexpr DWORD kType3SerialAnswerSize = 32;
inline constexpr size_t kRequestHeaderSize = 10;

// A USB control request to the reader.
struct ControlRequest {
  uint32_t direction;  // 1 reader to host, 0 host to reader
  uint32_t request;    // low 8 bits used
  uint32_t value;      // low 16 bits used
  uint32_t index;      // low 16 bits used
  uint32_t length;     // bytes of data
  void* data;
};

inline constexpr uint32_t kDirectionToHost = 1;
inline constexpr uint32_t kDirectionToDevice = 0;

// Writes the 10-byte request header that both channels send first.
void WriteRequestHeader(const ControlRequest& request, uint8_t header[kRequestHeaderSize]);

class QvUsbDevice {
 public:
  explicit QvUsbDevice(uint32_t type);
  virtual ~QvUsbDevice();                                                      // slot 0
  QvUsbDevice(const QvUsbDevice&) = delete;
  QvUsbDevice& operator=(const QvUsbDevice&) = delete;

  virtual uint32_t Open(uint32_t index);                                       // slot 1
  virtual uint32_t Close(uint32_t index);                                      // slot 2
  virtual bool IoControl(HANDLE device, DWORD code, void* input, DWORD inputSize, void* output,
                         DWORD outputSize, DWORD* bytesReturned, LPOVERLAPPED overlapped);  // slot 3
  virtual bool IsOpen();                                                       // slot 4
  virtual uint32_t OpenHandle(uint32_t index);                                 // slot 5
  virtual uint32_t CloseHandle();                                              // slot 6
  virtual bool VendorRequest(const ControlRequest* request);                   // slot 7
  virtual uint32_t ReadDeviceInfo();                                           // slot 8

  uint32_t GetEntry(DeviceEntry* out) const;
  // Reads at most size - 1 characters of the serial number into out.
  uint32_t ReadSerialNumber(uint32_t size, char* out);

 protected:
  HANDLE deviceHandle_ = INVALID_HANDLE_VALUE;
  char typeName_[20] = {};
  char moduleName_[20] = {};
  DeviceEntry entry_ = {};
  uint32_t type_ = 0;
  uint32_t index_ = 0;
  uint32_t release_ = 0;
  uint32_t formFactor_ = 0;
  char serial_[16] = {};
  uint32_t vendorId_ = 0;

 private:
  // Clears everything read from the reader last opened.
  void ForgetReader();
  bool ReadDeviceDescriptor(uint8_t descriptor[kDeviceDescriptorSize]);
  uint32_t ReadLowByteSerial(uint32_t size, char* out);
  uint32_t ReadWideSerial(uint32_t size, char* out);
  uint32_t ReadType3Serial(uint32_t size, char* out);
};

// 1 for a stand-alone reader, 2 for one built into a mouse.
uint16_t FormFactorOf(uint32_t type, uint16_t productId);
