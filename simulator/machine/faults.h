// Faults the workstation injects into a reader's driver calls: the reader's
// driver module answers a chosen call with a chosen status instead of doing
// its work (`tolvane-sim fault`).
//
// A reader's faults are one JSON file, <root>/faults/<Id>.json (Id as the bus
// file's stem), replaced atomically:
//   {"nextId": 3, "faults": [{"id": 2, "call": "image-ex", "status": 57,
//                              "once": false, "every": 3, "calls": 4}]}
// One fault per call; `calls` counts the calls the fault has seen. Unplugging
// the reader or resetting the machine removes its faults. A malformed file is
// reported (ListFaults) and otherwise ignored: no call fails because of it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "simulator/machine/files.h"

namespace sim {

enum class FaultCall { Open, Info, Image, ImageEx, Control, Configure };
// "open", "info", "image", "image-ex", "control", "configure".
const char* FaultCallName(FaultCall call);
std::optional<FaultCall> ParseFaultCall(std::string_view text);

struct Fault {
  FaultCall call = FaultCall::Open;
  uint32_t status = 0;
  bool once = true;    // fails the next call only, then is gone
  uint32_t every = 1;  // otherwise fails every Nth call; 1 fails every call
  uint64_t calls = 0;  // calls seen so far
  uint64_t id = 0;     // order of setting on this reader, from 1
  bool operator==(const Fault&) const = default;
};

// "once", "always" or "every 3rd call", and the calls seen for the last.
std::string DescribeFault(const Fault& fault);

struct ReaderFaults {
  std::vector<Fault> faults;           // in the order they were set
  std::optional<std::string> problem;  // why the file cannot be used, when it cannot
};

// ---- reading (never throws) ----
ReaderFaults ListFaults(std::string_view name, uint32_t index);

// ---- changing (throw MachineError) ----
// Sets `fault` (its call, status, once and every; counting starts anew) in
// place of any fault of the same call. False when the reader is not attached.
// Refuses to change a malformed file.
bool SetFault(std::string_view name, uint32_t index, const Fault& fault);
// Removes every fault of the reader, a malformed file included.
void ClearFaults(std::string_view name, uint32_t index);

std::filesystem::path FaultsPath(const std::filesystem::path& root, std::string_view name, uint32_t index);

// Follows one reader's faults cheaply for its driver module: one stat per
// look, a parse only when the file was replaced. Not thread-safe; one per user.
class FaultWatch {
 public:
  FaultWatch(std::string name, uint32_t index);

  // Counts a call against the faults of `call` set after `counted` (0 for a
  // new call: every fault), and moves `counted` past them, so that a call
  // running for long may look again and count faults set meanwhile once.
  // The status the call must answer when a fault fires, else nullopt.
  std::optional<uint32_t> Count(FaultCall call, uint64_t& counted);

 private:
  const std::vector<Fault>& Current();

  const std::filesystem::path root_;
  const std::filesystem::path path_;
  FileStamp stamp_;
  std::vector<Fault> current_;
};

}  // namespace sim
