#include "simulator/framework/unit_control.h"

#include "simulator/kernel_driver/usb_answers.h"

namespace winbio {

namespace {

// Send buffer of a vendor request: the 10-byte header, the 32-bit data length
// at byte 12 and the outgoing data from byte 16; 20 bytes at least.
constexpr size_t kSendBufferMinSize = 20;
constexpr size_t kSendLengthOffset = 12;
constexpr size_t kSendDataOffset = 16;

std::optional<size_t> AnswerVendorRequest(const sim::Reader& reader, std::span<const uint8_t> send,
                                          std::span<uint8_t> receive) {
  if (send.size() < kSendBufferMinSize) return std::nullopt;
  const std::optional<sim::UsbRequest> request = sim::ParseRequestHeader(send.first(sim::kRequestHeaderSize));
  if (!request) return std::nullopt;
  const uint32_t length = send[kSendLengthOffset] | send[kSendLengthOffset + 1] << 8 |
                          send[kSendLengthOffset + 2] << 16 | static_cast<uint32_t>(send[kSendLengthOffset + 3]) << 24;
  if (length > send.size() - kSendDataOffset) return std::nullopt;
  return sim::AnswerVendorRequest(reader, *request, receive);
}

}  // namespace

std::optional<size_t> AnswerUnitControl(const sim::Reader& reader, uint32_t code, std::span<const uint8_t> send,
                                        std::span<uint8_t> receive) {
  switch (code) {
    case kControlGetDeviceDescriptor:
      if (receive.size() < sim::kDeviceDescriptorSize) return std::nullopt;
      sim::WriteDeviceDescriptor(reader, receive.first<sim::kDeviceDescriptorSize>());
      return sim::kDeviceDescriptorSize;
    case kControlGetType3Serial:
      return sim::AnswerType3Serial(reader, send, receive);
    case kControlVendorRequest:
      return AnswerVendorRequest(reader, send, receive);
    default:
      return std::nullopt;
  }
}

}  // namespace winbio
