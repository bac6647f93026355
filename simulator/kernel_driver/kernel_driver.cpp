#include "simulator/kernel_driver/kernel_driver.h"

#include "simulator/kernel_driver/usb_answers.h"

namespace sim {

namespace {

constexpr std::string_view kDeviceNamespace = "\\\\.\\";

std::optional<Reader> DriverReader(const std::string& name, uint32_t index) {
  std::optional<Reader> reader = FindReader(name, index);
  if (!reader || reader->IsParallel() || FrameworkServes(*reader)) return std::nullopt;
  return reader;
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
  const TsimUsbReader usb = UsbReaderOf(*reader);
  size_t answered = 0;
  switch (TsimAnswerControl(&usb, code, input.data(), input.size(), output.data(), output.size(), &answered)) {
    case TSIM_ANSWERED:
      bytesReturned = static_cast<uint32_t>(answered);
      return kDriverOk;
    case TSIM_BAD_REQUEST:
      return kDriverInvalidRequest;
    case TSIM_BUFFER_TOO_SMALL:
      return kDriverBufferTooSmall;
    case TSIM_UNKNOWN_CODE:
      break;
  }
  return kDriverUnknownCode;
}

}  // namespace sim
