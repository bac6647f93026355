// What a Tolvane USB reader answers on its control pipe, in the forms that
// both the kernel driver and the biometric framework pass on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "simulator/machine/bus.h"

namespace sim {

// A reader is reached through the framework, not its device path, when it is
// marked so and the machine runs the framework.
bool FrameworkServes(const Reader& reader);

inline constexpr size_t kDeviceDescriptorSize = 18;
inline constexpr size_t kType3SerialAnswerSize = 32;
inline constexpr size_t kRequestHeaderSize = 10;
inline constexpr size_t kSerialRequestCharacters = 15;   // request 0x25, value 0
inline constexpr size_t kStringDescriptorCharacters = 20;  // request 0x25, value 2

// The standard 18-byte USB device descriptor of the reader.
void WriteDeviceDescriptor(const Reader& reader, std::span<uint8_t, kDeviceDescriptorSize> out);

// The type-3 serial request: 4 bytes of input (3, any, then 0x0199), 32 bytes
// of answer with character i at byte 2 + 2i. Nullopt for a malformed request,
// another generation, or a release below 0x20.
std::optional<size_t> AnswerType3Serial(const Reader& reader, std::span<const uint8_t> input,
                                        std::span<uint8_t> output);

struct UsbRequest {
  uint8_t direction;  // 1 reader to host, 0 host to reader
  uint8_t request;
  uint16_t value;
  uint16_t index;
};

// The 10-byte request header; nullopt when it is not one.
std::optional<UsbRequest> ParseRequestHeader(std::span<const uint8_t> header);

// Answers a vendor request from reader to host into `output` (its size is the
// requested length); the bytes answered, or nullopt for an unknown or
// malformed request. Request 0x25 value 0: 15 UTF-16 characters of the serial
// (30 bytes); value 2: a string descriptor, 2 header bytes and 20 characters.
std::optional<size_t> AnswerVendorRequest(const Reader& reader, const UsbRequest& request,
                                          std::span<uint8_t> output);

}  // namespace sim
