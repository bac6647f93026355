// What a Tolvane USB reader answers on its control pipe, in the forms that
// both the kernel driver and the biometric framework pass on. The bytes come
// from usb_answer_core.h, which the Windows kernel driver compiles too.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "simulator/kernel_driver/usb_answer_core.h"
#include "simulator/machine/bus.h"

namespace sim {

// A reader is reached through the framework, not its device path, when it is
// marked so and the machine runs the framework.
bool FrameworkServes(const Reader& reader);

// The reader as its control pipe shows it.
TsimUsbReader UsbReaderOf(const Reader& reader);

inline constexpr size_t kDeviceDescriptorSize = TSIM_DEVICE_DESCRIPTOR_SIZE;
inline constexpr size_t kRequestHeaderSize = TSIM_REQUEST_HEADER_SIZE;

// The standard 18-byte USB device descriptor of the reader.
void WriteDeviceDescriptor(const Reader& reader, std::span<uint8_t, kDeviceDescriptorSize> out);

// The type-3 serial request (TsimAnswerType3Serial); nullopt when refused.
std::optional<size_t> AnswerType3Serial(const Reader& reader, std::span<const uint8_t> input,
                                        std::span<uint8_t> output);

using UsbRequest = TsimUsbRequest;

// The 10-byte request header; nullopt when it is not one.
std::optional<UsbRequest> ParseRequestHeader(std::span<const uint8_t> header);

// A vendor request from reader to host into `output` (TsimAnswerVendorRequest);
// the bytes answered, or nullopt for an unknown or malformed request.
std::optional<size_t> AnswerVendorRequest(const Reader& reader, const UsbRequest& request,
                                          std::span<uint8_t> output);

}  // namespace sim
