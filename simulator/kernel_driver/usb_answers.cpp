#include "simulator/kernel_driver/usb_answers.h"

#include <algorithm>
#include <cstring>

#include "simulator/machine/profile.h"

namespace sim {

namespace {

constexpr uint8_t kSerialRequest = 0x25;
constexpr uint16_t kType3SerialFromRelease = 0x20;
constexpr uint8_t kStringDescriptorType = 3;

void WriteLe16(uint8_t* bytes, uint16_t value) {
  bytes[0] = static_cast<uint8_t>(value);
  bytes[1] = static_cast<uint8_t>(value >> 8);
}

// The serial's first `characters` characters as UTF-16 at `out`, zero-padded.
void WriteSerialUtf16(const Reader& reader, uint8_t* out, size_t characters) {
  std::memset(out, 0, characters * 2);
  const size_t count = std::min(characters, reader.serial.size());
  for (size_t i = 0; i < count; ++i) WriteLe16(out + 2 * i, static_cast<uint8_t>(reader.serial[i]));
}

}  // namespace

bool FrameworkServes(const Reader& reader) { return reader.framework && LoadProfile().frameworkPresent; }

void WriteDeviceDescriptor(const Reader& reader, std::span<uint8_t, kDeviceDescriptorSize> out) {
  uint8_t* d = out.data();
  d[0] = kDeviceDescriptorSize;  // bLength
  d[1] = 1;                      // bDescriptorType: device
  WriteLe16(d + 2, 0x0200);      // bcdUSB
  d[4] = 0xFF;                   // bDeviceClass: vendor specific
  d[5] = 0;
  d[6] = 0;
  d[7] = 64;  // bMaxPacketSize0
  WriteLe16(d + 8, reader.vendorId);
  WriteLe16(d + 10, reader.productId);
  WriteLe16(d + 12, reader.release);
  d[14] = 1;  // iManufacturer
  d[15] = 2;  // iProduct
  d[16] = 3;  // iSerialNumber
  d[17] = 1;  // bNumConfigurations
}

std::optional<size_t> AnswerType3Serial(const Reader& reader, std::span<const uint8_t> input,
                                        std::span<uint8_t> output) {
  if (reader.type != 3 || reader.release < kType3SerialFromRelease) return std::nullopt;
  if (input.size() < 4 || input[0] != 3 || input[2] != 0x99 || input[3] != 0x01) return std::nullopt;
  if (output.size() < kType3SerialAnswerSize) return std::nullopt;
  uint8_t* answer = output.data();
  answer[0] = kType3SerialAnswerSize;
  answer[1] = kStringDescriptorType;
  WriteSerialUtf16(reader, answer + 2, kSerialRequestCharacters);
  return kType3SerialAnswerSize;
}

std::optional<UsbRequest> ParseRequestHeader(std::span<const uint8_t> header) {
  if (header.size() < kRequestHeaderSize) return std::nullopt;
  if (header[0] > 1 || header[1] != 2 || header[2] != 0) return std::nullopt;
  return UsbRequest{header[0], header[4], static_cast<uint16_t>(header[6] | header[7] << 8),
                    static_cast<uint16_t>(header[8] | header[9] << 8)};
}

std::optional<size_t> AnswerVendorRequest(const Reader& reader, const UsbRequest& request,
                                          std::span<uint8_t> output) {
  if (request.direction != 1 || request.request != kSerialRequest || request.index != 0) return std::nullopt;
  if (request.value == 0) {
    const size_t size = kSerialRequestCharacters * 2;
    if (output.size() < size) return std::nullopt;
    WriteSerialUtf16(reader, output.data(), kSerialRequestCharacters);
    return size;
  }
  if (request.value == 2) {
    const size_t size = 2 + kStringDescriptorCharacters * 2;
    if (output.size() < size) return std::nullopt;
    output[0] = static_cast<uint8_t>(size);
    output[1] = kStringDescriptorType;
    WriteSerialUtf16(reader, output.data() + 2, kStringDescriptorCharacters);
    return size;
  }
  return std::nullopt;
}

}  // namespace sim
