#include "simulator/kernel_driver/kernel_driver.h"

#include "simulator/kernel_driver/usb_answers.h"

namespace sim {

namespace {

constexpr std::string_view kDeviceNamespace = "\\\\.\\";
constexpr uint32_t kIoctlGetDeviceDescriptor = 0x222004;
constexpr uint32_t kIoctlGetType3Serial = 0x222044;
constexpr uint32_t kIoctlVendorRequest = 0x222059;

std::optional<Reader> DriverReader(const std::string& name, uint32_t index) {
  std::optional<Reader> reader = FindReader(name, index);
  if (!reader || reader->IsParallel() || FrameworkServes(*reader)) return std::nullopt;
  return reader;
}

uint32_t Answered(std::optional<size_t> answered, uint32_t& bytesReturned) {
  if (!answered) return kDriverInvalidRequest;
  bytesReturned = static_cast<uint32_t>(*answered);
  return kDriverOk;
}

}  // namespace

bool IsDevicePath(std::string_view path) { return path.starts_with(kDeviceNamespace); }

std::optional<DeviceFile> DeviceFile::Open(std::string_view path, uint32_t& error) {
  error = kDriverNoSuchDevice;
  if (!IsDevicePath(path)) return std::nullopt;
  const std::optional<ReaderId> id = ParseReaderId(path.substr(kDeviceNamespace.size()));
  if (!id || !DriverReader(id->name, id->index)) return std::nullopt;
  error = kDriverOk;
  return DeviceFile(id->name, id->index);
}

uint32_t DeviceFile::Control(uint32_t code, std::span<const uint8_t> input, std::span<uint8_t> output,
                             uint32_t& bytesReturned) const {
  bytesReturned = 0;
  const std::optional<Reader> reader = DriverReader(name_, index_);
  if (!reader) return kDriverNotConnected;
  switch (code) {
    case kIoctlGetDeviceDescriptor:
      if (output.size() < kDeviceDescriptorSize) return kDriverBufferTooSmall;
      WriteDeviceDescriptor(*reader, output.first<kDeviceDescriptorSize>());
      bytesReturned = kDeviceDescriptorSize;
      return kDriverOk;
    case kIoctlGetType3Serial:
      return Answered(AnswerType3Serial(*reader, input, output), bytesReturned);
    case kIoctlVendorRequest: {
      // The header is the whole input; the data travels in the output buffer.
      if (input.size() != kRequestHeaderSize) return kDriverInvalidRequest;
      const std::optional<UsbRequest> request = ParseRequestHeader(input);
      if (!request) return kDriverInvalidRequest;
      return Answered(AnswerVendorRequest(*reader, *request, output), bytesReturned);
    }
    default:
      return kDriverUnknownCode;
  }
}

}  // namespace sim
