// Unit control calls of the maker's readers: the kernel driver's requests in
// the framework's send-and-receive form.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "simulator/machine/bus.h"

namespace winbio {

inline constexpr uint32_t kControlGetDeviceDescriptor = 0x442190;
inline constexpr uint32_t kControlVendorRequest = 0x442194;
inline constexpr uint32_t kControlGetType3Serial = 0x44219C;

// The bytes answered into `receive`, or nullopt for an unknown code or a
// malformed request.
std::optional<size_t> AnswerUnitControl(const sim::Reader& reader, uint32_t code, std::span<const uint8_t> send,
                                        std::span<uint8_t> receive);

}  // namespace winbio
