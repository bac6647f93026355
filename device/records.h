// Reader generations, the record of one discovered reader, and the program-wide
// table that enumeration fills.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

// A reader generation. Type 2 does not exist; 255 stands for any reader of the
// maker in the framework unit scan.
enum ReaderType : uint16_t {
  kReaderParallel = 1,  // HMP02 on the parallel port
  kReaderHmx02 = 3,
  kReaderHmx03 = 4,
  kReaderHmx04 = 5,
  kReaderHmx05 = 6,  // R20, the smart-capture reader
  kReaderHmx06 = 7,  // RPX
  kReaderAny = 255,
};

// Every fact about a generation: what it is called and where its pieces are found.
struct ReaderTypeInfo {
  uint16_t type;
  const char* label;           // device selector, followed by the device index
  const char* pathName;        // device path "\\.\NAME-N"; null for the parallel reader
  const char* module;          // driver module file name
  const char* driverLabel;     // row label of the installed-drivers list
  const char* kernelDriver64;  // kernel driver file on 64-bit Windows
  const char* kernelDriver32;  // kernel driver file otherwise
  const char* modelDigits;     // framework model pattern; null for the parallel reader
  const char* lockStem;        // named-lock stem; null for the parallel reader
};

// The table row of a type, or null for a type that does not exist.
const ReaderTypeInfo* FindReaderType(uint16_t type);
// Every row, the oldest generation first.
std::span<const ReaderTypeInfo> ReaderTypes();

inline bool IsParallelReader(uint16_t type) { return type == kReaderParallel; }
// The R20: brightness and gain tuning, the capture-detail record, the SR flag.
inline bool IsSmartCaptureReader(uint16_t type) { return type == kReaderHmx05; }
// Generations whose modules report a finger by themselves and switch smart capture.
inline bool HasAutoOnFeatures(uint16_t type) {
  return type == kReaderHmx03 || type == kReaderHmx04 || type == kReaderHmx05 || type == kReaderHmx06;
}

// One discovered reader: 50 bytes, no gaps.
struct DeviceEntry {
  uint16_t type;        // ReaderType
  uint16_t index;       // device index: 0..9 for USB, 0 for the parallel reader
  char module[20];      // driver module file name, zero-terminated
  char serial[16];      // at most 15 characters, zero-terminated; empty when not read
  uint16_t release;     // USB device release number
  uint16_t formFactor;  // 1 stand-alone, 2 built into a mouse, 0 parallel
  uint16_t portAddress;  // parallel reader only
  uint16_t portMode;     // parallel reader only
  uint16_t productId;    // USB only
};
static_assert(sizeof(DeviceEntry) == 50);
static_assert(offsetof(DeviceEntry, index) == 2);
static_assert(offsetof(DeviceEntry, module) == 4);
static_assert(offsetof(DeviceEntry, serial) == 24);
static_assert(offsetof(DeviceEntry, release) == 40);
static_assert(offsetof(DeviceEntry, formFactor) == 42);
static_assert(offsetof(DeviceEntry, portAddress) == 44);
static_assert(offsetof(DeviceEntry, portMode) == 46);
static_assert(offsetof(DeviceEntry, productId) == 48);

inline constexpr int kDeviceTableSize = 32;

// The program-wide table that EnumerateDevices zeroes and fills from the front.
extern DeviceEntry DeviceTable[kDeviceTableSize];
