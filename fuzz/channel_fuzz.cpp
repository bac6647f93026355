// The answers a reader's channels parse while enumeration identifies it:
// the device descriptor and the three serial-number forms on the direct
// channel, and the framework's unit list, lock and control answers on the
// framework channel. The direct channel's device requests are answered from
// the input by a derived channel; the framework channel loads a framework
// stand-in from this program's folder, which answers from the same input.
// Every entry field is read, so anything parsed from outside an answer is
// seen by the address sanitizer.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "device/qv_usb_device.h"
#include "device/wbf_usb_device.h"
#include "device/winbio_api.h"
#include "fuzz/channel_answers.h"

namespace {

FuzzedDataProvider* answers = nullptr;

// This run's simulated machine, removed when the run ends.
char machineRoot[] = "/tmp/tolvane-channel-fuzz-XXXXXX";

void RemoveMachine() {
  std::error_code ignored;
  std::filesystem::remove_all(machineRoot, ignored);
}

// The direct channel over a kernel driver that answers from the input: any
// bytes up to the buffer's size, any claimed count, success or failure.
class FuzzedDirectDevice : public QvUsbDevice {
 public:
  using QvUsbDevice::QvUsbDevice;
  uint32_t OpenHandle(uint32_t) override {
    deviceHandle_ = reinterpret_cast<HANDLE>(1);
    return 0;
  }
  uint32_t CloseHandle() override {
    deviceHandle_ = INVALID_HANDLE_VALUE;
    return 0;
  }
  bool IoControl(HANDLE, DWORD, void*, DWORD, void* output, DWORD outputSize, DWORD* returned,
                 LPOVERLAPPED) override {
    const std::vector<uint8_t> bytes =
        answers->ConsumeBytes<uint8_t>(answers->ConsumeIntegralInRange<size_t>(0, outputSize));
    if (!bytes.empty()) std::memcpy(output, bytes.data(), bytes.size());
    if (returned) *returned = answers->ConsumeBool() ? static_cast<DWORD>(bytes.size()) : answers->ConsumeIntegral<DWORD>();
    return answers->ConsumeBool();
  }
};

volatile uint32_t sink;

void ReadEntry(const QvUsbDevice& device) {
  DeviceEntry entry;
  device.GetEntry(&entry);
  uint32_t sum = entry.type + entry.index + entry.productId + entry.release + entry.formFactor;
  for (char c : entry.module) sum += static_cast<uint8_t>(c);
  for (char c : entry.serial) sum += static_cast<uint8_t>(c);
  sink = sum;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // The platform keeps its simulated machine in a folder of this run's own.
  if (!mkdtemp(machineRoot)) std::abort();
  std::atexit(RemoveMachine);
  setenv("TOLVANE_SIM_ROOT", machineRoot, 1);
  WbfAvailable = true;
  HMODULE framework = LoadLibraryA("winbio.dll");
  auto setAnswers = framework ? reinterpret_cast<SetFrameworkAnswersFn>(
                                    GetProcAddress(framework, kSetFrameworkAnswersName))
                              : nullptr;
  // Without the stand-in the framework half would fuzz the simulated framework instead.
  if (!setAnswers || !WinBioApi::Load()) std::abort();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider provider(data, size);
  answers = &provider;
  HMODULE framework = LoadLibraryA("winbio.dll");
  reinterpret_cast<SetFrameworkAnswersFn>(GetProcAddress(framework, kSetFrameworkAnswersName))(&provider);
  FreeLibrary(framework);

  const uint32_t type = provider.ConsumeIntegralInRange<uint32_t>(0, 8);
  const uint32_t index = provider.ConsumeIntegralInRange<uint32_t>(0, 10);
  if (provider.ConsumeBool()) {
    FuzzedDirectDevice device(type);
    device.Open(index);
    ReadEntry(device);
    char serial[24];
    device.ReadSerialNumber(provider.ConsumeIntegralInRange<uint32_t>(1, sizeof serial), serial);
    device.Close(index);
  } else {
    WbfUsbDevice device(type);
    if (device.Open(index) == 0) ReadEntry(device);
    device.Close(index);
  }
  answers = nullptr;
  return 0;
}
