// The maker's kernel driver: it serves the device paths "\\.\NAME-N" of the
// attached USB readers that the framework does not serve, and answers their
// device I/O control codes.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace sim {

// Win32 error values the driver reports.
inline constexpr uint32_t kDriverOk = 0;
inline constexpr uint32_t kDriverNoSuchDevice = 2;        // ERROR_FILE_NOT_FOUND
inline constexpr uint32_t kDriverInvalidRequest = 87;     // ERROR_INVALID_PARAMETER
inline constexpr uint32_t kDriverBufferTooSmall = 122;    // ERROR_INSUFFICIENT_BUFFER
inline constexpr uint32_t kDriverNotConnected = 1167;     // ERROR_DEVICE_NOT_CONNECTED
inline constexpr uint32_t kDriverUnknownCode = 1;         // ERROR_INVALID_FUNCTION

// True for a name in the device namespace ("\\.\..."), which only drivers serve.
bool IsDevicePath(std::string_view path);

// One opened device path.
class DeviceFile {
 public:
  // The reader behind the path, when it is attached and the driver serves it.
  static std::optional<DeviceFile> Open(std::string_view path, uint32_t& error);

  // One device I/O control call: kDriverOk with the bytes answered, or an error.
  // A reader unplugged since the open fails every call.
  uint32_t Control(uint32_t code, std::span<const uint8_t> input, std::span<uint8_t> output,
                   uint32_t& bytesReturned) const;

 private:
  DeviceFile(std::string name, uint32_t index) : name_(std::move(name)), index_(index) {}

  std::string name_;
  uint32_t index_;
};

}  // namespace sim
