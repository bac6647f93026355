// Status codes that the program's own device layer produces (0 = success).
#pragma once

#include <cstdint>

inline constexpr uint32_t kStatusOk = 0;
inline constexpr uint32_t kStatusFunctionFail = 2;          // no channel or sensor; unit lock refused
inline constexpr uint32_t kStatusSystemFileLoadFail = 51;   // device path, descriptor, serial, framework
inline constexpr uint32_t kStatusLineDropped = 53;
inline constexpr uint32_t kStatusTimeout = 54;
inline constexpr uint32_t kStatusDeviceNotFound = 55;
inline constexpr uint32_t kStatusWrongImage = 57;
inline constexpr uint32_t kStatusUsedByAnotherProcess = 59;  // a named lock not obtained in 300 ms
