// One table of what the kernel driver answers on the direct channel, run
// against the Linux stand-in (kernel_driver_test.cpp) and against the Windows
// driver under Wine (tests/simulator_windows): both must give these bytes and
// these errors for the same readers.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/win32.h"

namespace driver_cases {

using Bytes = std::vector<uint8_t>;

struct TableReader {
  const char* name;
  uint32_t index;
  uint16_t type;
  uint16_t productId;
  uint16_t release;
  const char* serial;
};

// A serial of 20 characters, so the 15-character answer is cut and the 20-character one is not.
inline constexpr TableReader kHmx05{"HMX05", 0, 6, 0x2200, 0x0105, "HX5A-0123456789ABCDE"};
inline constexpr TableReader kOmrel{"OMREL", 0, 3, 0x0200, 0x0021, "OM-77"};
inline constexpr TableReader kOldOmrel{"OMREL", 1, 3, 0x0200, 0x001F, "OM-78"};  // before the type-3 serial
inline constexpr TableReader kTableReaders[] = {kHmx05, kOmrel, kOldOmrel};

// The first `characters` characters of `text` in UTF-16, zero-padded.
inline Bytes Utf16(const std::string& text, size_t characters) {
  Bytes bytes(2 * characters);
  for (size_t i = 0; i < characters && i < text.size(); ++i) bytes[2 * i] = static_cast<uint8_t>(text[i]);
  return bytes;
}

inline Bytes Cat(Bytes head, const Bytes& tail) {
  head.insert(head.end(), tail.begin(), tail.end());
  return head;
}

inline constexpr DWORD kDescriptor = 0x222004;
inline constexpr DWORD kType3Serial = 0x222044;
inline constexpr DWORD kVendorRequest = 0x222059;

struct AnswerCase {
  const char* what;
  TableReader reader;
  DWORD code;
  Bytes input;
  DWORD outputSize;
  DWORD error;   // 0: answered
  Bytes answer;  // what the output buffer holds afterwards, up to the answer's length
};

inline std::vector<AnswerCase> AnswerCases() {
  const Bytes serialRequest = {1, 2, 0, 0, 0x25, 0, 0, 0, 0, 0};
  const Bytes stringDescriptorRequest = {1, 2, 0, 0, 0x25, 0, 2, 0, 0, 0};
  const Bytes type3 = {3, 0, 0x99, 0x01};
  const Bytes hmx05Descriptor = {18, 1, 0, 2, 0xFF, 0, 0, 64, 0x3D, 0x2F, 0x00, 0x22, 0x05, 0x01, 1, 2, 3, 1};
  auto with = [](Bytes bytes, size_t at, uint8_t value) {
    bytes[at] = value;
    return bytes;
  };
  return {
      {"descriptor", kHmx05, kDescriptor, {}, 18, 0, hmx05Descriptor},
      {"descriptor into a larger buffer", kHmx05, kDescriptor, {}, 64, 0, hmx05Descriptor},
      {"descriptor of another generation", kOmrel, kDescriptor, {}, 18, 0,
       {18, 1, 0, 2, 0xFF, 0, 0, 64, 0x3D, 0x2F, 0x00, 0x02, 0x21, 0x00, 1, 2, 3, 1}},
      {"descriptor into 17 bytes", kHmx05, kDescriptor, {}, 17, ERROR_INSUFFICIENT_BUFFER, {}},
      {"type-3 serial", kOmrel, kType3Serial, type3, 32, 0, Cat({32, 3}, Utf16("OM-77", 15))},
      {"type-3 serial of 3 input bytes", kOmrel, kType3Serial, {3, 0, 0x99}, 32, ERROR_INVALID_PARAMETER, {}},
      {"type-3 serial of another request", kOmrel, kType3Serial, with(type3, 3, 2), 32, ERROR_INVALID_PARAMETER, {}},
      {"type-3 serial into 31 bytes", kOmrel, kType3Serial, type3, 31, ERROR_INVALID_PARAMETER, {}},
      {"type-3 serial before release 0x20", kOldOmrel, kType3Serial, type3, 32, ERROR_INVALID_PARAMETER, {}},
      {"type-3 serial of another generation", kHmx05, kType3Serial, type3, 32, ERROR_INVALID_PARAMETER, {}},
      {"serial request", kHmx05, kVendorRequest, serialRequest, 30, 0, Utf16(kHmx05.serial, 15)},
      {"string descriptor", kHmx05, kVendorRequest, stringDescriptorRequest, 42, 0,
       Cat({42, 3}, Utf16(kHmx05.serial, 20))},
      {"serial request into 29 bytes", kHmx05, kVendorRequest, serialRequest, 29, ERROR_INVALID_PARAMETER, {}},
      {"request header of 9 bytes", kHmx05, kVendorRequest, Bytes(serialRequest.begin(), serialRequest.end() - 1),
       30, ERROR_INVALID_PARAMETER, {}},
      {"request header of 11 bytes", kHmx05, kVendorRequest, Cat(serialRequest, {0}), 30, ERROR_INVALID_PARAMETER,
       {}},
      {"request of another type", kHmx05, kVendorRequest, with(serialRequest, 1, 3), 30, ERROR_INVALID_PARAMETER, {}},
      {"request from host to reader", kHmx05, kVendorRequest, with(serialRequest, 0, 0), 30, ERROR_INVALID_PARAMETER,
       {}},
      {"unknown request", kHmx05, kVendorRequest, with(serialRequest, 4, 0x24), 30, ERROR_INVALID_PARAMETER, {}},
      {"unknown request value", kHmx05, kVendorRequest, with(serialRequest, 6, 1), 30, ERROR_INVALID_PARAMETER, {}},
      {"unknown code", kHmx05, 0x222000, {}, 18, ERROR_INVALID_FUNCTION, {}},
      {"unknown code passing caller addresses", kHmx05, 0x222003, {}, 18, ERROR_INVALID_FUNCTION, {}},
  };
}

inline std::string DevicePath(const TableReader& reader) {
  return "\\\\.\\" + std::string(reader.name) + "-" + std::to_string(reader.index);
}

inline HANDLE OpenReader(const TableReader& reader) {
  return CreateFileA(DevicePath(reader).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
}

// Every case through CreateFileA and DeviceIoControl, the readers attached.
// The output buffer must hold the answer and nothing else written.
inline void CheckAnswerCases() {
  constexpr uint8_t kUntouched = 0xEE;
  for (const AnswerCase& c : AnswerCases()) {
    SCOPED_TRACE(c.what);
    HANDLE device = OpenReader(c.reader);
    ASSERT_NE(device, INVALID_HANDLE_VALUE) << GetLastError();
    Bytes input = c.input;
    Bytes output(c.outputSize, kUntouched);
    DWORD returned = 0xFFFF;
    SetLastError(0);
    const BOOL answered = DeviceIoControl(device, c.code, input.empty() ? nullptr : input.data(),
                                          static_cast<DWORD>(input.size()), output.data(), c.outputSize, &returned,
                                          nullptr);
    EXPECT_EQ(answered ? 0u : GetLastError(), c.error);
    if (answered) {
      EXPECT_EQ(returned, c.answer.size());
    }
    EXPECT_EQ(Cat(c.answer, Bytes(c.outputSize - c.answer.size(), kUntouched)), output);
    CloseHandle(device);
  }
}

// After the reader is unplugged its path is gone (error 2) and a handle opened
// before fails every call with ERROR_DEVICE_NOT_CONNECTED, and still closes.
inline void CheckUnplugged(const TableReader& reader, const std::function<void()>& unplug) {
  HANDLE device = OpenReader(reader);
  ASSERT_NE(device, INVALID_HANDLE_VALUE) << GetLastError();
  Bytes descriptor(18);
  DWORD returned = 0;
  ASSERT_TRUE(DeviceIoControl(device, kDescriptor, nullptr, 0, descriptor.data(), 18, &returned, nullptr));
  unplug();
  EXPECT_FALSE(DeviceIoControl(device, kDescriptor, nullptr, 0, descriptor.data(), 18, &returned, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_DEVICE_NOT_CONNECTED);
  EXPECT_EQ(OpenReader(reader), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  EXPECT_TRUE(CloseHandle(device));
}

}  // namespace driver_cases
