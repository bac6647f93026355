// A biometric framework that answers from the fuzz input: sessions and locks
// that succeed or fail, unit lists of any length and content (maker and model
// texts terminated or not), control calls that fail, answer any bytes and claim
// any received size. Like a real framework it never writes past a buffer it
// was given and lists exactly the records it allocated; everything else is
// the fuzzer's choice.
#include <cstring>
#include <vector>

#include "fuzz/channel_answers.h"
#include "platform/winbio_types.h"

namespace {

FuzzedDataProvider* answers = nullptr;

constexpr HRESULT kOk = 0;
constexpr HRESULT kFail = static_cast<HRESULT>(0x80004005u);

HRESULT Result() { return answers && answers->ConsumeBool() ? kFail : kOk; }

// A text field: the maker's name or fuzzed units, terminated or filled to the end.
void FillText(WINBIO_STRING& field, bool maker) {
  std::memset(field, 0, sizeof field);
  size_t used = 0;
  if (maker) {
    for (char c : {'T', 'o', 'l', 'v', 'a', 'n', 'e'}) field[used++] = static_cast<WCHAR>(c);
  }
  const size_t extra = answers->ConsumeIntegralInRange<size_t>(0, WINBIO_MAX_STRING_LEN - used);
  for (size_t i = 0; i < extra; ++i) {
    // Mostly digits, so that model patterns match now and then.
    field[used++] = answers->ConsumeBool() ? static_cast<WCHAR>('0' + answers->ConsumeIntegralInRange(0, 9))
                                           : answers->ConsumeIntegral<WCHAR>();
  }
}

}  // namespace

#define FUZZ_EXPORT extern "C" __attribute__((visibility("default")))

FUZZ_EXPORT void FuzzSetFrameworkAnswers(FuzzedDataProvider* provider) { answers = provider; }

FUZZ_EXPORT HRESULT WINAPI WinBioOpenSession(WINBIO_BIOMETRIC_TYPE, WINBIO_POOL_TYPE, WINBIO_SESSION_FLAGS,
                                             WINBIO_UNIT_ID*, SIZE_T, GUID*, WINBIO_SESSION_HANDLE* session) {
  const HRESULT result = Result();
  if (result == kOk) *session = 1;
  return result;
}

FUZZ_EXPORT HRESULT WINAPI WinBioCloseSession(WINBIO_SESSION_HANDLE) { return kOk; }

FUZZ_EXPORT HRESULT WINAPI WinBioEnumBiometricUnits(WINBIO_BIOMETRIC_TYPE, WINBIO_UNIT_SCHEMA** units,
                                                    SIZE_T* count) {
  *units = nullptr;
  *count = 0;
  if (!answers) return kFail;
  const SIZE_T listed = answers->ConsumeIntegralInRange<SIZE_T>(0, 12);
  // Zero units may still come with an array, as the real framework does.
  auto* array = new WINBIO_UNIT_SCHEMA[listed > 0 ? listed : 1]();
  for (SIZE_T i = 0; i < listed; ++i) {
    array[i].UnitId = answers->ConsumeBool() ? answers->ConsumeIntegral<WINBIO_UNIT_ID>()
                                             : answers->ConsumeIntegralInRange<WINBIO_UNIT_ID>(0, 21);
    FillText(array[i].Manufacturer, answers->ConsumeBool());
    FillText(array[i].Model, answers->ConsumeBool());
  }
  *units = array;
  *count = listed;
  return Result();
}

FUZZ_EXPORT HRESULT WINAPI WinBioFree(PVOID address) {
  delete[] static_cast<WINBIO_UNIT_SCHEMA*>(address);
  return kOk;
}

FUZZ_EXPORT HRESULT WINAPI WinBioLockUnit(WINBIO_SESSION_HANDLE, WINBIO_UNIT_ID) { return Result(); }
FUZZ_EXPORT HRESULT WINAPI WinBioUnlockUnit(WINBIO_SESSION_HANDLE, WINBIO_UNIT_ID) { return Result(); }

FUZZ_EXPORT HRESULT WINAPI WinBioControlUnit(WINBIO_SESSION_HANDLE, WINBIO_UNIT_ID, WINBIO_COMPONENT, ULONG,
                                             PUCHAR, SIZE_T, PUCHAR receive, SIZE_T receiveSize,
                                             SIZE_T* received, ULONG* operationStatus) {
  if (!answers) return kFail;
  const std::vector<uint8_t> bytes = answers->ConsumeBytes<uint8_t>(answers->ConsumeIntegralInRange<size_t>(0, receiveSize));
  if (!bytes.empty()) std::memcpy(receive, bytes.data(), bytes.size());
  // The claimed size is any number: a channel must not believe more than its buffer.
  *received = answers->ConsumeBool() ? bytes.size() : answers->ConsumeIntegral<SIZE_T>();
  *operationStatus = answers->ConsumeIntegral<ULONG>();
  return Result();
}
