// The biometric framework, loaded at run time so that the program also starts
// on systems that lack it. Process-wide; used from the window's thread only.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/win32.h"
#include "platform/winbio_types.h"

class WinBioApi {
 public:
  // What a wrapper answers when its entry point is missing. It is not
  // negative, so callers take it as success and receive nothing.
  static constexpr HRESULT kMissingEntryPoint = 6;

  // Loads "winbio.dll" and looks up the seven entry points (a missing one stays
  // null). True when the library is loaded, already or now.
  static bool Load();
  // Frees the library and forgets every entry point. Always true.
  static bool Unload();
  static bool IsLoaded();

  // Each wrapper passes its arguments through and returns the entry point's
  // result, or kMissingEntryPoint when there is none.
  static HRESULT OpenSession(WINBIO_BIOMETRIC_TYPE factor, WINBIO_POOL_TYPE poolType,
                             WINBIO_SESSION_FLAGS flags, WINBIO_UNIT_ID* unitArray, SIZE_T unitCount,
                             GUID* databaseId, WINBIO_SESSION_HANDLE* sessionHandle);
  static HRESULT CloseSession(WINBIO_SESSION_HANDLE sessionHandle);
  static HRESULT EnumBiometricUnits(WINBIO_BIOMETRIC_TYPE factor, WINBIO_UNIT_SCHEMA** unitSchemaArray,
                                    SIZE_T* unitCount);
  static HRESULT Free(PVOID address);
  static HRESULT LockUnit(WINBIO_SESSION_HANDLE sessionHandle, WINBIO_UNIT_ID unitId);
  static HRESULT UnlockUnit(WINBIO_SESSION_HANDLE sessionHandle, WINBIO_UNIT_ID unitId);
  static HRESULT ControlUnit(WINBIO_SESSION_HANDLE sessionHandle, WINBIO_UNIT_ID unitId,
                             WINBIO_COMPONENT component, ULONG controlCode, PUCHAR sendBuffer,
                             SIZE_T sendBufferSize, PUCHAR receiveBuffer, SIZE_T receiveBufferSize,
                             SIZE_T* receiveDataSize, ULONG* operationStatus);
};

inline bool WinBioSucceeded(HRESULT result) { return result >= 0; }

typedef std::basic_string<WCHAR> WideText;
typedef std::basic_string_view<WCHAR> WideTextView;

// The framework model pattern of a reader type as wide text: its model digits,
// or empty (matching every model) for type 255 and types without digits.
WideText FrameworkModelPattern(uint16_t type);

// True for a unit of the maker whose model text contains the pattern. The
// unit's texts are read only within their fields, terminated or not.
bool IsMakerUnit(const WINBIO_UNIT_SCHEMA& unit, WideTextView modelPattern);

// The fingerprint units the framework lists, given back to the framework when
// the list goes away. Only the `Count()` records the framework reported are read.
class FingerprintUnitList {
 public:
  FingerprintUnitList();
  ~FingerprintUnitList();
  FingerprintUnitList(const FingerprintUnitList&) = delete;
  FingerprintUnitList& operator=(const FingerprintUnitList&) = delete;

  bool HasArray() const { return units_ != nullptr; }
  SIZE_T Count() const { return units_ ? count_ : 0; }
  const WINBIO_UNIT_SCHEMA* begin() const { return units_; }
  const WINBIO_UNIT_SCHEMA* end() const { return units_ + Count(); }

 private:
  WINBIO_UNIT_SCHEMA* units_ = nullptr;
  SIZE_T count_ = 0;
};
