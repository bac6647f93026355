#include "simulator/machine/faults.h"

#include <algorithm>
#include <iostream>

#include "simulator/machine/bus.h"
#include "simulator/machine/files.h"
#include "simulator/machine/machine.h"
#include "simulator/machine/root.h"

namespace sim {

namespace fs = std::filesystem;
using nlohmann::json;

namespace {

constexpr FaultCall kFaultCalls[] = {FaultCall::Open,    FaultCall::Info,    FaultCall::Image,
                                     FaultCall::ImageEx, FaultCall::Control, FaultCall::Configure};

// A reader has at most one fault per call; anything near this is not a fault file.
constexpr off_t kMaxFaultFileSize = 64 * 1024;

struct FaultFile {
  uint64_t nextId = 1;
  std::vector<Fault> faults;
};

json ToJson(const FaultFile& file) {
  json faults = json::array();
  for (const Fault& fault : file.faults) {
    faults.push_back({{"id", fault.id},
                      {"call", FaultCallName(fault.call)},
                      {"status", fault.status},
                      {"once", fault.once},
                      {"every", fault.every},
                      {"calls", fault.calls}});
  }
  return {{"nextId", file.nextId}, {"faults", faults}};
}

FaultFile FromJson(const json& object) {
  FaultFile file;
  file.nextId = BoundedField<uint64_t>(object, "nextId", 1, INT64_MAX);
  for (const json& entry : object.at("faults")) {
    Fault fault;
    const std::optional<FaultCall> call = ParseFaultCall(entry.at("call").get<std::string>());
    if (!call) throw std::invalid_argument("unknown call " + entry.at("call").dump());
    fault.call = *call;
    fault.status = BoundedField<uint32_t>(entry, "status", 0, UINT32_MAX);
    fault.once = entry.at("once").get<bool>();
    fault.every = BoundedField<uint32_t>(entry, "every", 1, UINT32_MAX);
    fault.calls = BoundedField<uint64_t>(entry, "calls", 0, INT64_MAX);
    fault.id = BoundedField<uint64_t>(entry, "id", 1, static_cast<int64_t>(file.nextId) - 1);
    for (const Fault& other : file.faults) {
      if (other.call == fault.call) throw std::invalid_argument(std::string("two faults on ") + FaultCallName(fault.call));
    }
    file.faults.push_back(fault);
  }
  return file;
}

// The reader's fault file; an absent file is one without faults. Throws
// std::invalid_argument (or a json error) when the file cannot be used.
FaultFile LoadFaultFile(const fs::path& path) {
  std::error_code error;
  const uintmax_t size = fs::file_size(path, error);
  if (error) return {};
  if (size > static_cast<uintmax_t>(kMaxFaultFileSize)) throw std::invalid_argument("file is too large");
  const std::optional<std::string> content = ReadWholeFile(path);
  if (!content) return {};
  const json object = json::parse(*content, nullptr, /*allow_exceptions=*/false);
  if (object.is_discarded()) throw std::invalid_argument("not valid JSON");
  return FromJson(object);
}

std::string Ordinal(uint32_t n) {
  const uint32_t lastTwo = n % 100;
  const char* suffix = "th";
  if (lastTwo < 11 || lastTwo > 13) {
    switch (n % 10) {
      case 1: suffix = "st"; break;
      case 2: suffix = "nd"; break;
      case 3: suffix = "rd"; break;
      default: break;
    }
  }
  return std::to_string(n) + suffix;
}

}  // namespace

const char* FaultCallName(FaultCall call) {
  switch (call) {
    case FaultCall::Open: return "open";
    case FaultCall::Info: return "info";
    case FaultCall::Image: return "image";
    case FaultCall::ImageEx: return "image-ex";
    case FaultCall::Control: return "control";
    case FaultCall::Configure: return "configure";
  }
  return "open";
}

std::optional<FaultCall> ParseFaultCall(std::string_view text) {
  for (FaultCall call : kFaultCalls) {
    if (text == FaultCallName(call)) return call;
  }
  return std::nullopt;
}

std::string DescribeFault(const Fault& fault) {
  if (fault.once) return "once";
  if (fault.every == 1) return "always";
  return "every " + Ordinal(fault.every) + " call, " + std::to_string(fault.calls) + " calls so far";
}

fs::path FaultsPath(const fs::path& root, std::string_view name, uint32_t index) {
  return FaultsDirectory(root) / (ReaderFileStem(name, index) + ".json");
}

ReaderFaults ListFaults(std::string_view name, uint32_t index) {
  ReaderFaults result;
  try {
    result.faults = LoadFaultFile(FaultsPath(EnsureMachineQuietly(), name, index)).faults;
  } catch (const std::exception& error) {  // json errors and the checks above
    result.problem = error.what();
  }
  return result;
}

bool SetFault(std::string_view name, uint32_t index, const Fault& fault) {
  const fs::path root = EnsureMachine();
  MachineLock lock(root);
  if (!FindReader(name, index)) return false;
  const fs::path path = FaultsPath(root, name, index);
  FaultFile file;
  try {
    file = LoadFaultFile(path);
  } catch (const std::exception& error) {
    throw MachineError(path.string() + " is malformed (" + error.what() + "); remove it with --clear");
  }
  std::erase_if(file.faults, [&](const Fault& old) { return old.call == fault.call; });
  Fault added = fault;
  added.calls = 0;
  added.id = file.nextId++;
  file.faults.push_back(added);
  WriteJsonAtomically(path, ToJson(file));
  return true;
}

void ClearFaults(std::string_view name, uint32_t index) {
  const fs::path root = EnsureMachine();
  MachineLock lock(root);
  std::error_code error;
  fs::remove(FaultsPath(root, name, index), error);
  if (error) throw MachineError("cannot clear the faults of " + ReaderFileStem(name, index) + ": " + error.message());
}

FaultWatch::FaultWatch(std::string name, uint32_t index)
    : root_(EnsureMachineQuietly()), path_(FaultsPath(root_, name, index)) {}

const std::vector<Fault>& FaultWatch::Current() {
  if (!stamp_.Changed(path_)) return current_;
  current_.clear();
  if (!stamp_.Present()) return current_;
  try {
    current_ = LoadFaultFile(path_).faults;
  } catch (const std::exception& error) {
    ReportMalformed(path_, error.what());
  }
  return current_;
}

std::optional<uint32_t> FaultWatch::Count(FaultCall call, uint64_t& counted) {
  const auto pending = [&](const Fault& fault) { return fault.call == call && fault.id > counted; };
  // Most looks find nothing new: one stat, no lock.
  if (std::none_of(Current().begin(), Current().end(), pending)) return std::nullopt;
  try {
    MachineLock lock(root_);
    FaultFile file = LoadFaultFile(path_);
    const auto fault = std::find_if(file.faults.begin(), file.faults.end(), pending);
    if (fault == file.faults.end()) return std::nullopt;
    counted = fault->id;
    ++fault->calls;
    const bool fires = fault->once || fault->calls % fault->every == 0;
    const uint32_t status = fault->status;
    if (fault->once) file.faults.erase(fault);
    WriteJsonAtomically(path_, ToJson(file));
    if (fires) return status;
  } catch (const MachineError& error) {  // the count is lost, the call goes on
    std::cerr << "tolvane-sim: faults not counted: " << error.what() << "\n";
  } catch (const std::exception& error) {  // json errors and the checks of the file
    ReportMalformed(path_, error.what());
  }
  return std::nullopt;
}

}  // namespace sim
