#include "device/qv_usb_device.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "device/sensor.h"

namespace {

constexpr const char* kDefaultModuleName = "Qvhx03m.dll";
constexpr uint8_t kSerialRequest = 0x25;
constexpr uint32_t kLowByteSerialLength = 30;
constexpr uint32_t kWideSerialLength = 42;
constexpr size_t kWideSerialBufferSize = 52;
constexpr size_t kWideSerialCharacters = 20;
constexpr size_t kSerialCharacters = 15;
constexpr uint32_t kType4WideSerialBelowRelease = 0x1000;
constexpr uint32_t kType3SerialFromRelease = 0x20;

uint16_t ReadLe16(const uint8_t* bytes) { return static_cast<uint16_t>(bytes[0] | (bytes[1] << 8)); }

void WriteLe16(uint8_t* bytes, uint32_t value) {
  bytes[0] = static_cast<uint8_t>(value);
  bytes[1] = static_cast<uint8_t>(value >> 8);
}

// Copies a zero-terminated text into a fixed field, cutting it to fit.
template <size_t N>
void CopyName(char (&field)[N], const char* text) {
  std::snprintf(field, N, "%s", text);
}

// One 8-bit character for a UTF-16 code unit. Serial numbers are ASCII; any
// other unit becomes '?' rather than depending on the process's locale.
char NarrowSerialCharacter(char16_t unit) { return unit < 0x80 ? static_cast<char>(unit) : '?'; }

}  // namespace

void WriteRequestHeader(const ControlRequest& request, uint8_t header[kRequestHeaderSize]) {
  std::memset(header, 0, kRequestHeaderSize);
  header[0] = static_cast<uint8_t>(request.direction);
  header[1] = 2;
  header[2] = 0;
  header[4] = static_cast<uint8_t>(request.request);
  WriteLe16(header + 6, request.value);
  WriteLe16(header + 8, request.index);
}

uint16_t FormFactorOf(uint32_t type, uint16_t productId) {
  auto standAloneWhen = [productId](std::initializer_list<uint16_t> ids) -> uint16_t {
    return std::find(ids.begin(), ids.end(), productId) != ids.end() ? 1 : 2;
  };
  switch (type) {
    case kReaderHmx05:
    case kReaderHmx06:
      return 1;
    case kReaderHmx04:
      return standAloneWhen({0x0330, 0x2000});
    case kReaderHmx03:
      return standAloneWhen({0x0320, 0x0322, 0x1000});
    case kReaderHmx02:
      return standAloneWhen({0x0100, 0x0300});
    default:
      return 2;
  }
}

QvUsbDevice::QvUsbDevice(uint32_t type) : type_(type) {
  CopyName(moduleName_, kDefaultModuleName);
  const ReaderTypeInfo* info = FindReaderType(static_cast<uint16_t>(type));
  if (info && info->pathName) {
    CopyName(typeName_, info->pathName);
    CopyName(moduleName_, info->module);
  }
}

QvUsbDevice::~QvUsbDevice() {
  // Virtual calls here reach this class's own operations: a derived channel
  // has already been torn down and is closed by its owner.
  if (QvUsbDevice::IsOpen()) QvUsbDevice::CloseHandle();
}

uint32_t QvUsbDevice::Open(uint32_t index) {
  if (IsOpen()) Close(index_);
  // Another index is another reader: what the last one answered must not be
  // listed as this one's where this one cannot be read.
  if (index != index_) ForgetReader();
  index_ = index;
  const uint32_t status = OpenHandle(index);
  if (status != kStatusOk) return status;
  return ReadDeviceInfo();
}

uint32_t QvUsbDevice::Close(uint32_t /*index*/) { return CloseHandle(); }

void QvUsbDevice::ForgetReader() {
  entry_ = {};
  release_ = 0;
  formFactor_ = 0;
  std::memset(serial_, 0, sizeof serial_);
  vendorId_ = 0;
}

bool QvUsbDevice::IoControl(HANDLE device, DWORD code, void* input, DWORD inputSize, void* output,
                            DWORD outputSize, DWORD* bytesReturned, LPOVERLAPPED overlapped) {
  return DeviceIoControl(device, code, input, inputSize, output, outputSize, bytesReturned, overlapped) != FALSE;
}

bool QvUsbDevice::IsOpen() { return deviceHandle_ != INVALID_HANDLE_VALUE; }

uint32_t QvUsbDevice::OpenHandle(uint32_t index) {
  char path[64];
  std::snprintf(path, sizeof path, "\\\\.\\%s-%d", typeName_, static_cast<int>(index));
  HANDLE handle = CreateFileA(path, FILE_READ_DATA, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return kStatusSystemFileLoadFail;
  deviceHandle_ = handle;
  return kStatusOk;
}

uint32_t QvUsbDevice::CloseHandle() {
  if (deviceHandle_ != INVALID_HANDLE_VALUE) {
    ::CloseHandle(deviceHandle_);
    deviceHandle_ = INVALID_HANDLE_VALUE;
  }
  return kStatusOk;
}

bool QvUsbDevice::VendorRequest(const ControlRequest* request) {
  if (!request) return false;
  uint8_t header[kRequestHeaderSize];
  WriteRequestHeader(*request, header);
  DWORD returned = 0;
  return IoControl(deviceHandle_, kIoctlVendorRequest, header, kRequestHeaderSize, request->data,
                   request->length, &returned, nullptr);
}

bool QvUsbDevice::ReadDeviceDescriptor(uint8_t descriptor[kDeviceDescriptorSize]) {
  std::memset(descriptor, 0, kDeviceDescriptorSize);
  DWORD returned = 0;
  // A shorter answer is no descriptor: its fields would be left unread.
  return IoControl(deviceHandle_, kIoctlGetDeviceDescriptor, descriptor, kDeviceDescriptorSize, descriptor,
                   kDeviceDescriptorSize, &returned, nullptr) &&
         returned >= kDeviceDescriptorSize;
}

uint32_t QvUsbDevice::ReadDeviceInfo() {
  entry_.type = static_cast<uint16_t>(type_);
  entry_.index = static_cast<uint16_t>(index_);
  CopyName(entry_.module, moduleName_);

  uint8_t descriptor[kDeviceDescriptorSize];
  if (ReadDeviceDescriptor(descriptor)) {
    release_ = ReadLe16(descriptor + kDescriptorReleaseOffset);
    entry_.release = static_cast<uint16_t>(release_);
    vendorId_ = ReadLe16(descriptor + kDescriptorVendorIdOffset);
    entry_.productId = ReadLe16(descriptor + kDescriptorProductIdOffset);
    formFactor_ = FormFactorOf(type_, entry_.productId);
    entry_.formFactor = static_cast<uint16_t>(formFactor_);
  }
  if (ReadSerialNumber(sizeof serial_, serial_) == kStatusOk) {
    std::memcpy(entry_.serial, serial_, sizeof entry_.serial);
  }
  // A reader whose path opened is present even when it could not be read.
  return kStatusOk;
}

uint32_t QvUsbDevice::GetEntry(DeviceEntry* out) const {
  if (out) *out = entry_;
  return kStatusOk;
}

uint32_t QvUsbDevice::ReadSerialNumber(uint32_t size, char* out) {
  if (!out || size == 0) return kStatusSystemFileLoadFail;
  switch (type_) {
    case kReaderHmx03:
      if (release_ < kType4WideSerialBelowRelease) return ReadWideSerial(size, out);
      return ReadLowByteSerial(size, out);
    case kReaderHmx04:
    case kReaderHmx05:
    case kReaderHmx06:
      return ReadLowByteSerial(size, out);
    case kReaderHmx02:
      return ReadType3Serial(size, out);
    default:
      return kStatusSystemFileLoadFail;
  }
}

uint32_t QvUsbDevice::ReadLowByteSerial(uint32_t size, char* out) {
  uint8_t answer[kLowByteSerialLength] = {};
  ControlRequest request = {kDirectionToHost, kSerialRequest, 0, 0, kLowByteSerialLength, answer};
  // The answer is taken whatever the request returned; an unanswered buffer
  // stays zero and gives an empty serial.
  VendorRequest(&request);
  std::memset(out, 0, size);
  const size_t characters = std::min<size_t>(kSerialCharacters, size - 1);
  for (size_t i = 0; i < characters; ++i) out[i] = static_cast<char>(answer[2 * i]);
  return kStatusOk;
}

uint32_t QvUsbDevice::ReadWideSerial(uint32_t size, char* out) {
  uint8_t answer[kWideSerialBufferSize] = {};
  ControlRequest request = {kDirectionToHost, kSerialRequest, 2, 0, kWideSerialLength, answer};
  if (!VendorRequest(&request)) return kStatusSystemFileLoadFail;
  std::memset(out, 0, size);
  const size_t characters = std::min<size_t>(kWideSerialCharacters, size - 1);
  for (size_t i = 0; i < characters; ++i) {
    const char16_t unit = ReadLe16(answer + 2 + 2 * i);
    if (unit == 0) break;
    out[i] = NarrowSerialCharacter(unit);
  }
  return kStatusOk;
}

uint32_t QvUsbDevice::ReadType3Serial(uint32_t size, char* out) {
  std::memset(out, 0, size);
  if (release_ < kType3SerialFromRelease) return kStatusSystemFileLoadFail;
  uint8_t input[4] = {3, 0, 0x99, 0x01};
  uint8_t answer[kType3SerialAnswerSize] = {};
  DWORD returned = 0;
  if (!IoControl(deviceHandle_, kIoctlGetType3Serial, input, sizeof input, answer, sizeof answer, &returned,
                 nullptr)) {
    return kStatusSystemFileLoadFail;
  }
  // Only the characters the driver actually answered are taken.
  const size_t answered = std::min<size_t>(returned, sizeof answer);
  const size_t characters = std::min<size_t>(kSerialCharacters, size - 1);
  for (size_t i = 0; i < characters && 2 + 2 * i < answered; ++i) out[i] = static_cast<char>(answer[2 + 2 * i]);
  return kStatusOk;
}
