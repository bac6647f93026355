// What a simulated driver module's sensor object needs from the reader it drives.
//
// The sensor object never reads the simulated machine itself: it sees one reader
// through this interface, so that it can be driven by the machine's bus files or,
// in tests, by a hand-made reader. Every member may be called from any thread.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>

namespace simulator {

// What lies on the sensor: nothing, a finger, or a finger that arrives by itself
// at every capture once the capture latency has passed.
enum class FingerState { kAbsent, kPresent, kAuto };

// What the reader's own configuration dialog applies at the next Configure.
struct ConfigureSettings {
  std::optional<uint8_t> captureMode;
  std::optional<int32_t> brightness;
  std::optional<bool> smartCapture;
  uint32_t status = 0;  // what Configure returns
};

// The touches of a finger so far, and the first parameter the last one's
// finger-detected message carries (1: a finger was put on).
struct Touches {
  uint64_t count = 0;
  uint64_t wParam = 1;
};

// The driver calls the workstation can make fail with a status of its choice.
enum class ReaderCall { kOpen, kInfo, kImage, kImageEx, kControl, kConfigure };

// Where a parallel reader's port lies and how it is set up.
struct ParallelPortSettings {
  uint16_t address;
  uint16_t mode;  // 1 SPP, 2 PS/2, 3 EPP, 4 ECP
};

class ReaderPort {
 public:
  virtual ~ReaderPort() = default;

  // False once the reader has been unplugged.
  virtual bool Present() const = 0;
  virtual std::string Serial() const = 0;
  virtual uint16_t ProductId() const = 0;

  virtual FingerState Finger() const = 0;
  // The count grows by one every time a finger is laid on the reader.
  virtual Touches LastTouch() const = 0;
  // Time the reader needs for one frame.
  virtual std::chrono::milliseconds Latency() const = 0;
  // Time opening the reader takes.
  virtual std::chrono::milliseconds OpenDelay() const { return std::chrono::milliseconds(0); }
  // The status `call` must answer instead of doing its work, when the
  // workstation has set a fault that fires now. `counted` belongs to the call:
  // 0 when it starts; a call that runs for long asks again with the same
  // variable and sees only the faults set meanwhile.
  virtual std::optional<uint32_t> InjectedFault(ReaderCall /*call*/, uint64_t& /*counted*/) {
    return std::nullopt;
  }

  virtual ConfigureSettings ConfigureDialogSettings() const = 0;

  // The driver's configuration file on the workstation.
  virtual bool ConfigFileExists() const = 0;
  // True when the file existed and is gone now.
  virtual bool DeleteConfigFile() = 0;

  // Keeps the last capture-detail record where tools can show it.
  virtual void StoreDetailRecord(std::span<const uint8_t> record) = 0;

  // A parallel reader's port as the workstation set it up; nullopt leaves the
  // model's usual port.
  virtual std::optional<ParallelPortSettings> ParallelPort() const { return std::nullopt; }
};

// Finds the reader of the module's type at a device index; null when none is attached.
using ReaderLocator = std::function<std::shared_ptr<ReaderPort>(uint32_t index)>;

}  // namespace simulator
