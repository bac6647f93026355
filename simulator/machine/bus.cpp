#include "simulator/machine/bus.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <stdexcept>
#include <tuple>

#include "simulator/machine/faults.h"
#include "simulator/machine/files.h"
#include "simulator/machine/machine.h"
#include "simulator/machine/root.h"
#include "simulator/machine/usb_bus.h"

namespace sim {

namespace fs = std::filesystem;
using nlohmann::json;

namespace {

bool ValidSerial(std::string_view serial) {
  return serial.size() <= 20 &&
         std::all_of(serial.begin(), serial.end(), [](char c) { return c > ' ' && c < 127; });
}

std::optional<int32_t> OptionalInt(const json& object, const char* key) {
  if (!object.contains(key) || object.at(key).is_null()) return std::nullopt;
  return BoundedField<int32_t>(object, key, INT32_MIN, INT32_MAX);
}

json ToJson(const Reader& reader) {
  auto optional = [](const auto& value) { return value ? json(*value) : json(nullptr); };
  json configure = {{"mode", optional(reader.configure.mode)},
                    {"brightness", optional(reader.configure.brightness)},
                    {"smart", optional(reader.configure.smart)},
                    {"status", reader.configure.status}};
  json object = {{"name", reader.name},
                 {"index", reader.index},
                 {"type", reader.type},
                 {"vendorId", reader.vendorId},
                 {"productId", reader.productId},
                 {"release", reader.release},
                 {"serial", reader.serial},
                 {"framework", reader.framework},
                 {"finger", FingerStateName(reader.finger)},
                 {"touches", reader.touches},
                 {"lastTouchMs", reader.lastTouchMs},
                 {"touchWParam", reader.touchWParam},
                 {"latencyMs", reader.latencyMs},
                 {"openDelayMs", reader.openDelayMs},
                 {"configure", configure},
                 {"configFile", reader.configFilePresent}};
  if (reader.IsParallel()) {
    object["portAddress"] = reader.portAddress;
    object["portMode"] = reader.portMode;
  }
  return object;
}

// The reader of a bus file; nullopt (reported) when the file does not describe
// the reader its name promises.
std::optional<Reader> ReaderFromJson(const json& object, const fs::path& path) {
  try {
    Reader reader;
    reader.name = object.at("name").get<std::string>();
    const ReaderModel* model = FindReaderModel(reader.name);
    if (!model) throw std::invalid_argument("unknown reader name " + reader.name);
    reader.name = model->name;
    reader.type = model->type;
    if (BoundedField<uint16_t>(object, "type", 0, 0xFFFF) != model->type) {
      throw std::invalid_argument("type does not match the name");
    }
    reader.index = BoundedField<uint32_t>(object, "index", 0, reader.IsParallel() ? 0 : 9);
    reader.vendorId = BoundedField<uint16_t>(object, "vendorId", 0, 0xFFFF);
    reader.productId = BoundedField<uint16_t>(object, "productId", 0, 0xFFFF);
    reader.release = BoundedField<uint16_t>(object, "release", 0, 0xFFFF);
    reader.serial = object.at("serial").get<std::string>();
    if (!ValidSerial(reader.serial)) throw std::invalid_argument("serial is not 0..20 printable characters");
    reader.framework = object.at("framework").get<bool>();
    std::optional<FingerState> finger = ParseFingerState(object.at("finger").get<std::string>());
    if (!finger) throw std::invalid_argument("finger is not present, absent or auto");
    reader.finger = *finger;
    reader.touches = BoundedField<uint64_t>(object, "touches", 0, INT64_MAX);
    reader.lastTouchMs = BoundedField<int64_t>(object, "lastTouchMs", 0, INT64_MAX);
    reader.touchWParam =
        BoundedField<uint32_t>(object, "touchWParam", 0, UINT32_MAX, kFingerTouchWParam);
    reader.latencyMs = BoundedField<uint32_t>(object, "latencyMs", 0, kMaxReaderDelayMs);
    reader.openDelayMs = BoundedField<uint32_t>(object, "openDelayMs", 0, kMaxReaderDelayMs, 0u);
    const json& configure = object.at("configure");
    reader.configure.mode = OptionalInt(configure, "mode");
    reader.configure.brightness = OptionalInt(configure, "brightness");
    if (configure.contains("smart") && !configure.at("smart").is_null()) {
      reader.configure.smart = configure.at("smart").get<bool>();
    }
    reader.configure.status = BoundedField<uint32_t>(configure, "status", 0, UINT32_MAX);
    reader.configFilePresent = object.at("configFile").get<bool>();
    if (reader.IsParallel()) {
      reader.portAddress = BoundedField<uint16_t>(object, "portAddress", 0, 0xFFFF);
      reader.portMode = BoundedField<uint32_t>(object, "portMode", 0, 0xFFFF);
    }
    if (path.stem() != reader.Id()) throw std::invalid_argument("file name does not match " + reader.Id());
    return reader;
  } catch (const std::exception& error) {  // json errors and the checks above
    ReportMalformed(path, error.what());
    return std::nullopt;
  }
}

std::optional<Reader> LoadReaderFile(const fs::path& path) {
  std::optional<json> object = ReadJsonFile(path);
  if (!object) return std::nullopt;
  return ReaderFromJson(*object, path);
}

fs::path ReaderPath(const fs::path& root, std::string_view name, uint32_t index) {
  return BusDirectory(root) / (ReaderFileStem(name, index) + ".json");
}

std::string Hex4(uint16_t value) {
  char text[5];
  std::snprintf(text, sizeof text, "%04X", value);
  return text;
}

constexpr std::string_view kForeignPrefix = "foreign-";

fs::path ForeignPath(const fs::path& root, ForeignDevice device) {
  return BusDirectory(root) /
         (std::string(kForeignPrefix) + Hex4(device.vendorId) + "-" + Hex4(device.productId) + ".json");
}

bool IsForeignFile(const fs::path& path) { return path.filename().string().starts_with(kForeignPrefix); }

// The foreign device of a bus file; nullopt (reported when malformed) otherwise.
std::optional<ForeignDevice> LoadForeignFile(const fs::path& path) {
  std::optional<json> object = ReadJsonFile(path);
  if (!object) return std::nullopt;
  try {
    ForeignDevice device{BoundedField<uint16_t>(*object, "vendorId", 0, 0xFFFF),
                         BoundedField<uint16_t>(*object, "productId", 0, 0xFFFF)};
    if (ForeignPath(fs::path(), device).filename() != path.filename()) {
      throw std::invalid_argument("file name does not match the ids");
    }
    return device;
  } catch (const std::exception& error) {
    ReportMalformed(path, error.what());
    return std::nullopt;
  }
}

std::optional<uint16_t> ParseHex16(std::string_view text) {
  unsigned value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
  if (text.empty() || text.size() > 4 || error != std::errc() || end != text.data() + text.size()) {
    return std::nullopt;
  }
  return static_cast<uint16_t>(value);
}

}  // namespace

const std::vector<ReaderModel>& ReaderModels() {
  static const std::vector<ReaderModel> models = {
      {"parallel", 1, "HMP02", 0, 0},          {"OMREL", 3, "HMX02", 0x0300, 0x0020},
      {"QVUSB", 4, "HMX03", 0x1000, 0x1000},   {"HMX04", 5, "HMX04", 0x0330, 0x0100},
      {"HMX05", 6, "HMX05", 0x2200, 0x0105},   {"HMX06", 7, "HMX06", 0x2201, 0x0100},
  };
  return models;
}

const ReaderModel* FindReaderModel(std::string_view name) {
  for (const ReaderModel& model : ReaderModels()) {
    if (EqualIgnoringCase(model.name, name)) return &model;
  }
  return nullptr;
}

const ReaderModel* FindReaderModelByType(uint16_t type) {
  for (const ReaderModel& model : ReaderModels()) {
    if (model.type == type) return &model;
  }
  return nullptr;
}

const char* FingerStateName(FingerState state) {
  switch (state) {
    case FingerState::Absent: return "absent";
    case FingerState::Present: return "present";
    case FingerState::Auto: return "auto";
  }
  return "auto";
}

std::optional<FingerState> ParseFingerState(std::string_view text) {
  for (FingerState state : {FingerState::Absent, FingerState::Present, FingerState::Auto}) {
    if (text == FingerStateName(state)) return state;
  }
  return std::nullopt;
}

std::string Reader::Id() const {
  return IsParallel() ? std::string(kParallelName) : name + "-" + std::to_string(index);
}

Reader DefaultReader(const ReaderModel& model, uint32_t index) {
  Reader reader;
  reader.name = model.name;
  reader.type = model.type;
  reader.index = model.type == 1 ? 0 : index;
  reader.productId = model.defaultProductId;
  reader.release = model.defaultRelease;
  reader.serial = std::string("TV") + model.model + "N" + std::to_string(reader.index);
  if (reader.IsParallel()) {
    reader.portAddress = 0x378;
    reader.portMode = 3;
  }
  return reader;
}

std::optional<ReaderId> ParseReaderId(std::string_view text) {
  if (EqualIgnoringCase(text, kParallelName)) return ReaderId{std::string(kParallelName), 0};
  const size_t dash = text.rfind('-');
  if (dash == std::string_view::npos) return std::nullopt;
  const ReaderModel* model = FindReaderModel(text.substr(0, dash));
  const std::string_view digits = text.substr(dash + 1);
  if (!model || model->type == 1 || digits.size() != 1 || digits[0] < '0' || digits[0] > '9') {
    return std::nullopt;
  }
  return ReaderId{model->name, static_cast<uint32_t>(digits[0] - '0')};
}

std::string ReaderFileStem(std::string_view name, uint32_t index) {
  const ReaderModel* model = FindReaderModel(name);
  if (model && model->type == 1) return std::string(kParallelName);
  return (model ? std::string(model->name) : std::string(name)) + "-" + std::to_string(index);
}

std::vector<Reader> ListReaders() {
  const fs::path bus = BusDirectory(EnsureMachineQuietly());
  std::vector<Reader> readers;
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(bus, error)) {
    if (!IsBusFileName(entry.path().filename().string()) || IsForeignFile(entry.path())) continue;
    if (std::optional<Reader> reader = LoadReaderFile(entry.path())) readers.push_back(std::move(*reader));
  }
  std::sort(readers.begin(), readers.end(), [](const Reader& a, const Reader& b) {
    return std::tuple(a.IsParallel(), a.name, a.index) < std::tuple(b.IsParallel(), b.name, b.index);
  });
  return readers;
}

std::optional<Reader> FindReader(std::string_view name, uint32_t index) {
  if (!FindReaderModel(name)) return std::nullopt;
  return LoadReaderFile(ReaderPath(EnsureMachineQuietly(), name, index));
}

std::optional<Reader> FindReaderByType(uint16_t type, uint32_t index) {
  const ReaderModel* model = FindReaderModelByType(type);
  if (!model) return std::nullopt;
  return FindReader(model->name, index);
}

void WriteReaderFile(const fs::path& root, const Reader& reader) {
  const ReaderModel* model = FindReaderModel(reader.name);
  if (!model || model->type != reader.type) throw MachineError("unknown reader " + reader.name);
  if (reader.index > (reader.IsParallel() ? 0u : 9u)) throw MachineError("reader index out of range");
  if (!ValidSerial(reader.serial)) throw MachineError("serial must be at most 20 printable characters");
  WriteJsonAtomically(ReaderPath(root, reader.name, reader.index), ToJson(reader));
}

void PlugReader(const Reader& reader) {
  const fs::path root = EnsureMachine();
  MachineLock lock(root);
  WriteReaderFile(root, reader);
}

bool UnplugReader(std::string_view name, uint32_t index) {
  if (!FindReaderModel(name)) return false;
  const fs::path root = EnsureMachine();
  MachineLock lock(root);
  std::error_code error;
  const bool removed = fs::remove(ReaderPath(root, name, index), error);
  if (error) throw MachineError("cannot unplug " + std::string(name) + ": " + error.message());
  // A reader plugged in again is new hardware: the faults of the old one do not carry over.
  fs::remove(FaultsPath(root, name, index), error);
  return removed;
}

bool UpdateReader(std::string_view name, uint32_t index, const std::function<void(Reader&)>& change) {
  if (!FindReaderModel(name)) return false;
  const fs::path root = EnsureMachine();
  MachineLock lock(root);
  const fs::path path = ReaderPath(root, name, index);
  std::optional<Reader> reader = LoadReaderFile(path);
  if (!reader) return false;
  change(*reader);
  WriteJsonAtomically(path, ToJson(*reader));
  return true;
}

bool TouchReader(std::string_view name, uint32_t index, uint32_t wParam) {
  const int64_t now = std::chrono::duration_cast<std::chrono::milliseconds>(
                          std::chrono::system_clock::now().time_since_epoch())
                          .count();
  return UpdateReader(name, index, [now, wParam](Reader& reader) {
    ++reader.touches;
    reader.lastTouchMs = now;
    reader.touchWParam = wParam;
  });
}

fs::path CaptureDetailPath(const Reader& reader) {
  return CapturesDirectory(MachineRoot()) / (reader.Id() + ".scd");
}

ReaderWatch::ReaderWatch(std::string name, uint32_t index)
    : path_(ReaderPath(EnsureMachineQuietly(), name, index)) {}

const std::optional<Reader>& ReaderWatch::Read() {
  if (stamp_.Changed(path_)) current_ = stamp_.Present() ? LoadReaderFile(path_) : std::nullopt;
  return current_;
}

std::vector<ForeignDevice> ListForeignDevices() {
  const fs::path bus = BusDirectory(EnsureMachineQuietly());
  std::vector<ForeignDevice> devices;
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(bus, error)) {
    if (!IsBusFileName(entry.path().filename().string()) || !IsForeignFile(entry.path())) continue;
    if (std::optional<ForeignDevice> device = LoadForeignFile(entry.path())) devices.push_back(*device);
  }
  std::sort(devices.begin(), devices.end(), [](ForeignDevice a, ForeignDevice b) {
    return std::pair(a.vendorId, a.productId) < std::pair(b.vendorId, b.productId);
  });
  return devices;
}

void PlugForeignDevice(ForeignDevice device) {
  if (device.vendorId == kTolvaneVendorId) {
    throw MachineError("vendor id 2F3D belongs to Tolvane readers; plug them by name");
  }
  const fs::path root = EnsureMachine();
  MachineLock lock(root);
  WriteJsonAtomically(ForeignPath(root, device),
                      {{"vendorId", device.vendorId}, {"productId", device.productId}});
}

bool UnplugForeignDevice(ForeignDevice device) {
  const fs::path root = EnsureMachine();
  MachineLock lock(root);
  std::error_code error;
  const bool removed = fs::remove(ForeignPath(root, device), error);
  if (error) throw MachineError("cannot unplug device: " + error.message());
  return removed;
}

std::optional<ForeignDevice> ParseForeignId(std::string_view text) {
  const size_t colon = text.find(':');
  if (colon == std::string_view::npos) return std::nullopt;
  std::optional<uint16_t> vendor = ParseHex16(text.substr(0, colon));
  std::optional<uint16_t> product = ParseHex16(text.substr(colon + 1));
  if (!vendor || !product) return std::nullopt;
  return ForeignDevice{*vendor, *product};
}

bool IsBusFileName(std::string_view fileName) {
  return !fileName.starts_with('.') && fileName.ends_with(".json") && fileName.size() > 5;
}

std::optional<UsbDeviceIdentity> ReadUsbDevice(const fs::path& busFile) {
  if (IsForeignFile(busFile)) {
    std::optional<ForeignDevice> device = LoadForeignFile(busFile);
    if (!device) return std::nullopt;
    return UsbDeviceIdentity{device->vendorId, device->productId, busFile.stem().string()};
  }
  std::optional<Reader> reader = LoadReaderFile(busFile);
  if (!reader || reader->IsParallel()) return std::nullopt;
  // A reader without a serial number is named by its id, unique on the bus.
  std::string instance = reader->serial.empty() ? reader->Id() : reader->serial;
  return UsbDeviceIdentity{reader->vendorId, reader->productId, std::move(instance)};
}

}  // namespace sim
