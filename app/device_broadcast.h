// Reading the device name out of a WM_DEVICECHANGE broadcast record.
#pragma once

#include <string>

#include "platform/win32.h"

// Longest device name kept, in bytes of 8-bit text.
inline constexpr size_t kDeviceNameMaxBytes = 255;

// The device-interface name of `record` as 8-bit text of at most 255 bytes; empty
// for records of other device types or without a name. The record's own size
// field bounds every read, so a short or unterminated record is never overrun.
std::string DeviceInterfaceName(const DEV_BROADCAST_HDR* record);

// True when `name` carries the vendor identifier of the family's readers.
bool NamesFamilyReader(const std::string& name);
