// The framework's seven calls that the program uses, with their documented
// signatures. Every call first asks whether the machine runs the framework.
#include <cstdlib>
#include <span>

#include "platform/winbio_types.h"
#include "simulator/framework/results.h"
#include "simulator/framework/sessions.h"
#include "simulator/framework/unit_control.h"
#include "simulator/framework/units.h"
#include "simulator/machine/profile.h"
#include "simulator/machine/version_block.h"

TOLVANE_MODULE_VERSION(10, 0, 19041, 1);

namespace {

bool FrameworkRuns() { return sim::LoadProfile().frameworkPresent; }

template <typename Byte>
std::span<Byte> BufferOf(Byte* buffer, SIZE_T size) {
  return buffer ? std::span<Byte>(buffer, size) : std::span<Byte>();
}

}  // namespace

// The framework's entry points, found by name with GetProcAddress.
#ifdef _WIN32
#define WINBIO_EXPORT __declspec(dllexport)
#else
#define WINBIO_EXPORT
#endif

extern "C" {

WINBIO_EXPORT HRESULT WINAPI WinBioOpenSession(WINBIO_BIOMETRIC_TYPE factor, WINBIO_POOL_TYPE poolType,
                                 WINBIO_SESSION_FLAGS /*flags*/, WINBIO_UNIT_ID* unitArray, SIZE_T unitCount,
                                 GUID* /*databaseId*/, WINBIO_SESSION_HANDLE* sessionHandle) {
  if (!sessionHandle) return winbio::kNullPointer;
  *sessionHandle = 0;
  if (!FrameworkRuns()) return winbio::kServiceDisabled;
  if (factor != WINBIO_TYPE_FINGERPRINT || poolType != WINBIO_POOL_SYSTEM) return winbio::kInvalidArgument;
  // The system pool takes every unit: no unit list may be given.
  if (unitArray || unitCount != 0) return winbio::kInvalidArgument;
  *sessionHandle = winbio::OpenSession();
  return winbio::kOk;
}

WINBIO_EXPORT HRESULT WINAPI WinBioCloseSession(WINBIO_SESSION_HANDLE sessionHandle) {
  return winbio::CloseSession(sessionHandle) ? winbio::kOk : winbio::kInvalidHandle;
}

WINBIO_EXPORT HRESULT WINAPI WinBioEnumBiometricUnits(WINBIO_BIOMETRIC_TYPE factor, WINBIO_UNIT_SCHEMA** unitSchemaArray,
                                        SIZE_T* unitCount) {
  if (!unitSchemaArray || !unitCount) return winbio::kNullPointer;
  *unitSchemaArray = nullptr;
  *unitCount = 0;
  if (!FrameworkRuns()) return winbio::kServiceDisabled;
  if (factor != WINBIO_TYPE_FINGERPRINT) return winbio::kInvalidArgument;
  const std::vector<sim::Reader> readers = winbio::ServedReaders();
  if (readers.empty()) return winbio::kOk;
  auto* units = static_cast<WINBIO_UNIT_SCHEMA*>(std::calloc(readers.size(), sizeof(WINBIO_UNIT_SCHEMA)));
  if (!units) return winbio::kOutOfMemory;
  for (size_t i = 0; i < readers.size(); ++i) winbio::FillUnitSchema(readers[i], units[i]);
  *unitSchemaArray = units;
  *unitCount = readers.size();
  return winbio::kOk;
}

WINBIO_EXPORT HRESULT WINAPI WinBioFree(PVOID address) {
  if (!address) return winbio::kNullPointer;
  std::free(address);
  return winbio::kOk;
}

WINBIO_EXPORT HRESULT WINAPI WinBioLockUnit(WINBIO_SESSION_HANDLE sessionHandle, WINBIO_UNIT_ID unitId) {
  if (!winbio::IsSession(sessionHandle)) return winbio::kInvalidHandle;
  if (!winbio::ReaderOfUnit(unitId)) return winbio::kInvalidArgument;
  switch (winbio::LockUnit(sessionHandle, unitId)) {
    case winbio::LockResult::Locked:
      return winbio::kOk;
    case winbio::LockResult::NoSession:
      return winbio::kInvalidHandle;
    case winbio::LockResult::Refused:
      break;
  }
  return winbio::kAccessDenied;
}

WINBIO_EXPORT HRESULT WINAPI WinBioUnlockUnit(WINBIO_SESSION_HANDLE sessionHandle, WINBIO_UNIT_ID unitId) {
  if (!winbio::IsSession(sessionHandle)) return winbio::kInvalidHandle;
  return winbio::UnlockUnit(sessionHandle, unitId) ? winbio::kOk : winbio::kAccessDenied;
}

WINBIO_EXPORT HRESULT WINAPI WinBioControlUnit(WINBIO_SESSION_HANDLE sessionHandle, WINBIO_UNIT_ID unitId,
                                 WINBIO_COMPONENT component, ULONG controlCode, PUCHAR sendBuffer,
                                 SIZE_T sendBufferSize, PUCHAR receiveBuffer, SIZE_T receiveBufferSize,
                                 SIZE_T* receiveDataSize, ULONG* operationStatus) {
  if (!receiveDataSize || !operationStatus) return winbio::kNullPointer;
  *receiveDataSize = 0;
  *operationStatus = 0;
  if ((!sendBuffer && sendBufferSize) || (!receiveBuffer && receiveBufferSize)) return winbio::kNullPointer;
  if (!winbio::IsSession(sessionHandle)) return winbio::kInvalidHandle;
  if (component != WINBIO_COMPONENT_SENSOR) return winbio::kInvalidArgument;
  // Control calls are for the session that holds the unit.
  if (!winbio::HoldsUnit(sessionHandle, unitId)) return winbio::kAccessDenied;
  const std::optional<sim::Reader> reader = winbio::ReaderOfUnit(unitId);
  if (!reader) return winbio::kInvalidArgument;
  const std::optional<size_t> answered = winbio::AnswerUnitControl(
      *reader, controlCode, BufferOf<const uint8_t>(sendBuffer, sendBufferSize),
      BufferOf<uint8_t>(receiveBuffer, receiveBufferSize));
  if (!answered) return winbio::kInvalidArgument;
  *receiveDataSize = *answered;
  return winbio::kOk;
}

}  // extern "C"
