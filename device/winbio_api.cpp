#include "device/winbio_api.h"

#include "device/proc_address.h"
#include "device/records.h"

namespace {

constexpr const char* kLibraryName = "winbio.dll";
constexpr WCHAR kMakerName[] = {'T', 'o', 'l', 'v', 'a', 'n', 'e', 0};

struct EntryPoints {
  HMODULE library = nullptr;
  WinBioOpenSessionFn openSession = nullptr;
  WinBioCloseSessionFn closeSession = nullptr;
  WinBioEnumBiometricUnitsFn enumBiometricUnits = nullptr;
  WinBioFreeFn free = nullptr;
  WinBioLockUnitFn lockUnit = nullptr;
  WinBioUnlockUnitFn unlockUnit = nullptr;
  WinBioControlUnitFn controlUnit = nullptr;
};

EntryPoints api;

template <typename Function, typename... Args>
HRESULT CallOrMissing(Function function, Args... args) {
  return function ? function(args...) : WinBioApi::kMissingEntryPoint;
}

WideTextView FieldText(const WINBIO_STRING& field) {
  size_t length = 0;
  while (length < WINBIO_MAX_STRING_LEN && field[length] != 0) ++length;
  return WideTextView(field, length);
}

}  // namespace

bool WinBioApi::Load() {
  if (api.library) return true;
  HMODULE library = LoadLibraryA(kLibraryName);
  if (!library) return false;
  api.library = library;
  api.openSession = ProcAddressAs<WinBioOpenSessionFn>(library, kWinBioOpenSessionName);
  api.closeSession = ProcAddressAs<WinBioCloseSessionFn>(library, kWinBioCloseSessionName);
  api.enumBiometricUnits = ProcAddressAs<WinBioEnumBiometricUnitsFn>(library, kWinBioEnumBiometricUnitsName);
  api.free = ProcAddressAs<WinBioFreeFn>(library, kWinBioFreeName);
  api.lockUnit = ProcAddressAs<WinBioLockUnitFn>(library, kWinBioLockUnitName);
  api.unlockUnit = ProcAddressAs<WinBioUnlockUnitFn>(library, kWinBioUnlockUnitName);
  api.controlUnit = ProcAddressAs<WinBioControlUnitFn>(library, kWinBioControlUnitName);
  return true;
}

bool WinBioApi::Unload() {
  if (api.library) FreeLibrary(api.library);
  api = EntryPoints{};
  return true;
}

bool WinBioApi::IsLoaded() { return api.library != nullptr; }

HRESULT WinBioApi::OpenSession(WINBIO_BIOMETRIC_TYPE factor, WINBIO_POOL_TYPE poolType,
                               WINBIO_SESSION_FLAGS flags, WINBIO_UNIT_ID* unitArray, SIZE_T unitCount,
                               GUID* databaseId, WINBIO_SESSION_HANDLE* sessionHandle) {
  return CallOrMissing(api.openSession, factor, poolType, flags, unitArray, unitCount, databaseId,
                       sessionHandle);
}

HRESULT WinBioApi::CloseSession(WINBIO_SESSION_HANDLE sessionHandle) {
  return CallOrMissing(api.closeSession, sessionHandle);
}

HRESULT WinBioApi::EnumBiometricUnits(WINBIO_BIOMETRIC_TYPE factor, WINBIO_UNIT_SCHEMA** unitSchemaArray,
                                      SIZE_T* unitCount) {
  return CallOrMissing(api.enumBiometricUnits, factor, unitSchemaArray, unitCount);
}

HRESULT WinBioApi::Free(PVOID address) { return CallOrMissing(api.free, address); }

HRESULT WinBioApi::LockUnit(WINBIO_SESSION_HANDLE sessionHandle, WINBIO_UNIT_ID unitId) {
  return CallOrMissing(api.lockUnit, sessionHandle, unitId);
}

HRESULT WinBioApi::UnlockUnit(WINBIO_SESSION_HANDLE sessionHandle, WINBIO_UNIT_ID unitId) {
  return CallOrMissing(api.unlockUnit, sessionHandle, unitId);
}

HRESULT WinBioApi::ControlUnit(WINBIO_SESSION_HANDLE sessionHandle, WINBIO_UNIT_ID unitId,
                               WINBIO_COMPONENT component, ULONG controlCode, PUCHAR sendBuffer,
                               SIZE_T sendBufferSize, PUCHAR receiveBuffer, SIZE_T receiveBufferSize,
                               SIZE_T* receiveDataSize, ULONG* operationStatus) {
  return CallOrMissing(api.controlUnit, sessionHandle, unitId, component, controlCode, sendBuffer,
                       sendBufferSize, receiveBuffer, receiveBufferSize, receiveDataSize,
                       operationStatus);
}

WideText FrameworkModelPattern(uint16_t type) {
  WideText pattern;
  if (type == kReaderAny) return pattern;
  const ReaderTypeInfo* info = FindReaderType(type);
  if (!info || !info->modelDigits) return pattern;
  for (const char* digit = info->modelDigits; *digit; ++digit) pattern.push_back(static_cast<WCHAR>(*digit));
  return pattern;
}

bool IsMakerUnit(const WINBIO_UNIT_SCHEMA& unit, WideTextView modelPattern) {
  return FieldText(unit.Manufacturer).find(kMakerName) != WideTextView::npos &&
         FieldText(unit.Model).find(modelPattern) != WideTextView::npos;
}

FingerprintUnitList::FingerprintUnitList() {
  WINBIO_UNIT_SCHEMA* units = nullptr;
  SIZE_T count = 0;
  if (WinBioSucceeded(WinBioApi::EnumBiometricUnits(WINBIO_TYPE_FINGERPRINT, &units, &count))) {
    units_ = units;
    count_ = count;
  } else if (units) {
    WinBioApi::Free(units);
  }
}

FingerprintUnitList::~FingerprintUnitList() {
  if (units_) WinBioApi::Free(units_);
}
