// The simulated buses: the attached Tolvane readers (USB and parallel) and
// foreign USB devices.
//
// Each attached device is one JSON file in <root>/bus: "<NAME>-<index>.json"
// for a USB reader (NAME its device-path name, e.g. HMX05-0.json), "parallel.json"
// for the parallel reader, "foreign-VVVV-PPPP.json" for another maker's device.
// Plugging creates the file (renamed into place), unplugging removes it, and a
// state change replaces it (also a rename), so a watcher of the folder sees
// arrivals and removals as file-system events; it must compare the set of
// *.json names to tell an arrival from a state change. Temporary files start
// with a dot.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "simulator/machine/files.h"

namespace sim {

inline constexpr uint16_t kTolvaneVendorId = 0x2F3D;
inline constexpr std::string_view kParallelName = "parallel";
// What a touch tells the window unless `touch --wparam` says otherwise: a finger was put on.
inline constexpr uint32_t kFingerTouchWParam = 1;
// Upper bound of the reader's added times (capture latency, open delay).
inline constexpr uint32_t kMaxReaderDelayMs = 600000;

// A reader generation as the bus knows it.
struct ReaderModel {
  const char* name;   // device-path name ("HMX05"), or "parallel"
  uint16_t type;      // 1 parallel, 3..7 USB
  const char* model;  // the generation's model name ("HMX05", "HMP02")
  uint16_t defaultProductId;
  uint16_t defaultRelease;
};

// The model of a device-path name (case-insensitive) or of a type; null when unknown.
const ReaderModel* FindReaderModel(std::string_view name);
const ReaderModel* FindReaderModelByType(uint16_t type);
const std::vector<ReaderModel>& ReaderModels();

enum class FingerState {
  Absent,   // no finger: captures wait, auto capture never fires
  Present,  // a finger rests on the sensor
  Auto,     // a finger arrives whenever a capture waits for one
};
const char* FingerStateName(FingerState state);
std::optional<FingerState> ParseFingerState(std::string_view text);

// What the reader's own configuration dialog applies at the next Configure.
// An unset value is left as the reader has it; `status` is what Configure returns.
struct ConfigureSettings {
  std::optional<int32_t> mode;
  std::optional<int32_t> brightness;
  std::optional<bool> smart;
  uint32_t status = 0;
  bool operator==(const ConfigureSettings&) const = default;
};

struct Reader {
  std::string name;  // device-path name ("HMX05") or "parallel"
  uint32_t index = 0;  // 0..9; always 0 for the parallel reader
  uint16_t type = 0;
  uint16_t vendorId = kTolvaneVendorId;
  uint16_t productId = 0;  // USB only
  uint16_t release = 0;    // USB only
  std::string serial;      // at most 20 printable ASCII characters
  bool framework = false;  // served by the biometric framework rather than the direct channel
  FingerState finger = FingerState::Auto;
  uint64_t touches = 0;        // how many times a finger touched the reader (`touch`)
  int64_t lastTouchMs = 0;     // wall-clock time of the last touch, ms since the epoch; 0 never
  uint32_t touchWParam = kFingerTouchWParam;  // first parameter of the last touch's finger message
  uint32_t latencyMs = 0;      // extra time every capture takes
  uint32_t openDelayMs = 0;    // extra time opening the reader takes
  ConfigureSettings configure;
  bool configFilePresent = true;  // the reader's driver configuration (.cfg) file exists
  uint16_t portAddress = 0;       // parallel only
  uint32_t portMode = 0;          // parallel only

  bool IsParallel() const { return type == 1; }
  std::string Id() const;  // "HMX05-0", or "parallel": also the bus file's stem
  bool operator==(const Reader&) const = default;
};

// A reader with every field at its default for the model (serial derived from
// name and index), ready to be adjusted and plugged.
Reader DefaultReader(const ReaderModel& model, uint32_t index);

// Parses "HMX05-0" or "parallel" (case-insensitive name); nullopt when not a reader id.
struct ReaderId {
  std::string name;
  uint32_t index = 0;
};
std::optional<ReaderId> ParseReaderId(std::string_view text);

// "HMX05-0", or "parallel" for the parallel reader: the stem of the reader's
// files (bus, faults, capture detail). `name` must be a reader model's name.
std::string ReaderFileStem(std::string_view name, uint32_t index);

// ---- reading (never throw; malformed files are reported and skipped) ----
std::vector<Reader> ListReaders();  // USB readers by name and index, then the parallel one
std::optional<Reader> FindReader(std::string_view name, uint32_t index);
std::optional<Reader> FindReaderByType(uint16_t type, uint32_t index);

// ---- changing (throw MachineError) ----
// Attaches a reader; an attached reader with the same id is replaced.
void PlugReader(const Reader& reader);
// The same without taking the machine lock, for callers that hold it.
void WriteReaderFile(const std::filesystem::path& root, const Reader& reader);
// Detaches a reader, and removes its faults; false when it was not attached.
bool UnplugReader(std::string_view name, uint32_t index);
// Reads, changes and rewrites one reader's file under the machine lock; false
// when the reader is not attached (then `change` is not called).
bool UpdateReader(std::string_view name, uint32_t index, const std::function<void(Reader&)>& change);
// A finger touches the reader: counts the touch, stamps its time and keeps
// what its finger message carries as first parameter.
bool TouchReader(std::string_view name, uint32_t index, uint32_t wParam = kFingerTouchWParam);

// The reader's last capture-detail record, written by its driver module and
// copied by `tolvane-sim scd`: <root>/captures/<Id>.scd.
std::filesystem::path CaptureDetailPath(const Reader& reader);

// Follows one reader's file cheaply: Read() re-parses the file only when it was
// replaced since the last call (one stat otherwise). Meant for driver modules
// that poll the finger state during a capture. Not thread-safe; one per user.
class ReaderWatch {
 public:
  ReaderWatch(std::string name, uint32_t index);
  // The reader's current state; nullopt while it is not attached (or malformed).
  const std::optional<Reader>& Read();

 private:
  std::filesystem::path path_;
  FileStamp stamp_;
  std::optional<Reader> current_;
};

// ---- foreign USB devices ----
struct ForeignDevice {
  uint16_t vendorId = 0;
  uint16_t productId = 0;
  bool operator==(const ForeignDevice&) const = default;
};
std::vector<ForeignDevice> ListForeignDevices();
void PlugForeignDevice(ForeignDevice device);  // refuses the Tolvane vendor id
bool UnplugForeignDevice(ForeignDevice device);

// Parses "VVVV:PPPP" (hexadecimal); nullopt otherwise.
std::optional<ForeignDevice> ParseForeignId(std::string_view text);

}  // namespace sim
