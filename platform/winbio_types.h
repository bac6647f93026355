// The biometric framework's header, beside win32.h: on Windows <winbio.h>,
// elsewhere, and with a Windows compiler that lacks it (mingw-w64), the
// documented records and values the program uses. The framework library is
// loaded at run time, so its entry points are given as function types and
// names to look up, and the framework stand-in implements them.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/win32.h"

#if defined(_WIN32) && __has_include(<winbio.h>)
#include <winbio.h>
#else

#ifndef _WIN32
typedef int32_t HRESULT;  // >= 0 success, < 0 failure
typedef size_t SIZE_T;
typedef uint8_t UCHAR;
typedef UCHAR* PUCHAR;
typedef ULONG* PULONG;
typedef void* PVOID;
#endif

typedef ULONG WINBIO_SESSION_HANDLE;  // 0 = none
typedef ULONG WINBIO_UNIT_ID;
typedef ULONG WINBIO_BIOMETRIC_TYPE;
typedef ULONG WINBIO_POOL_TYPE;
typedef ULONG WINBIO_SESSION_FLAGS;
typedef ULONG WINBIO_BIOMETRIC_SENSOR_SUBTYPE;
typedef ULONG WINBIO_CAPABILITIES;
typedef ULONG WINBIO_COMPONENT;

#define WINBIO_MAX_STRING_LEN 256
typedef WCHAR WINBIO_STRING[WINBIO_MAX_STRING_LEN];  // UTF-16, zero-terminated when shorter

typedef struct _WINBIO_VERSION {
  DWORD MajorVersion;
  DWORD MinorVersion;
} WINBIO_VERSION;

typedef struct _WINBIO_UNIT_SCHEMA {
  WINBIO_UNIT_ID UnitId;
  WINBIO_POOL_TYPE PoolType;
  WINBIO_BIOMETRIC_TYPE BiometricFactor;
  WINBIO_BIOMETRIC_SENSOR_SUBTYPE SensorSubType;
  WINBIO_CAPABILITIES Capabilities;
  WINBIO_STRING DeviceInstanceId;
  WINBIO_STRING Description;
  WINBIO_STRING Manufacturer;
  WINBIO_STRING Model;
  WINBIO_STRING SerialNumber;
  WINBIO_VERSION FirmwareVersion;
} WINBIO_UNIT_SCHEMA;
static_assert(sizeof(WINBIO_UNIT_SCHEMA) == 2588);
static_assert(offsetof(WINBIO_UNIT_SCHEMA, UnitId) == 0);
static_assert(offsetof(WINBIO_UNIT_SCHEMA, Manufacturer) == 1044);
static_assert(offsetof(WINBIO_UNIT_SCHEMA, Model) == 1556);

#define WINBIO_TYPE_FINGERPRINT 0x00000008u
#define WINBIO_POOL_SYSTEM 1u
#define WINBIO_FLAG_DEFAULT 0x00000000u
#define WINBIO_COMPONENT_SENSOR 1u
// The default database is named by the pointer value 1, not by a record.
#define WINBIO_DB_DEFAULT (reinterpret_cast<GUID*>(static_cast<uintptr_t>(1)))

#endif  // <winbio.h>

// The seven entry points, with the framework's documented signatures.
typedef HRESULT(WINAPI* WinBioOpenSessionFn)(WINBIO_BIOMETRIC_TYPE factor, WINBIO_POOL_TYPE poolType,
                                             WINBIO_SESSION_FLAGS flags, WINBIO_UNIT_ID* unitArray,
                                             SIZE_T unitCount, GUID* databaseId,
                                             WINBIO_SESSION_HANDLE* sessionHandle);
typedef HRESULT(WINAPI* WinBioCloseSessionFn)(WINBIO_SESSION_HANDLE sessionHandle);
typedef HRESULT(WINAPI* WinBioEnumBiometricUnitsFn)(WINBIO_BIOMETRIC_TYPE factor,
                                                    WINBIO_UNIT_SCHEMA** unitSchemaArray,
                                                    SIZE_T* unitCount);
typedef HRESULT(WINAPI* WinBioFreeFn)(PVOID address);
typedef HRESULT(WINAPI* WinBioLockUnitFn)(WINBIO_SESSION_HANDLE sessionHandle, WINBIO_UNIT_ID unitId);
typedef HRESULT(WINAPI* WinBioUnlockUnitFn)(WINBIO_SESSION_HANDLE sessionHandle, WINBIO_UNIT_ID unitId);
typedef HRESULT(WINAPI* WinBioControlUnitFn)(WINBIO_SESSION_HANDLE sessionHandle, WINBIO_UNIT_ID unitId,
                                             WINBIO_COMPONENT component, ULONG controlCode,
                                             PUCHAR sendBuffer, SIZE_T sendBufferSize,
                                             PUCHAR receiveBuffer, SIZE_T receiveBufferSize,
                                             SIZE_T* receiveDataSize, ULONG* operationStatus);

inline constexpr const char* kWinBioOpenSessionName = "WinBioOpenSession";
inline constexpr const char* kWinBioCloseSessionName = "WinBioCloseSession";
inline constexpr const char* kWinBioEnumBiometricUnitsName = "WinBioEnumBiometricUnits";
inline constexpr const char* kWinBioFreeName = "WinBioFree";
inline constexpr const char* kWinBioLockUnitName = "WinBioLockUnit";
inline constexpr const char* kWinBioUnlockUnitName = "WinBioUnlockUnit";
inline constexpr const char* kWinBioControlUnitName = "WinBioControlUnit";
