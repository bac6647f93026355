// The driver modules' view of a reader on the simulated machine's bus.
//
// The sensor object polls the finger state every few milliseconds during a
// capture, so the port follows the reader's bus file with a ReaderWatch: one
// stat per look, a parse only when the file was replaced. A module talks to the
// hardware directly, so a reader the framework serves is reachable here too.
// The faults the workstation sets on the reader are followed the same way.
#include "simulator/modules/machine_reader.h"

#include <algorithm>
#include <cstdio>
#include <mutex>
#include <optional>
#include <string>
#include <type_traits>

#include "simulator/machine/machine.h"
#include "simulator/modules/catalog.h"

namespace simulator {

namespace {

FingerState ToPortFinger(sim::FingerState state) {
  switch (state) {
    case sim::FingerState::Absent: return FingerState::kAbsent;
    case sim::FingerState::Present: return FingerState::kPresent;
    case sim::FingerState::Auto: return FingerState::kAuto;
  }
  return FingerState::kAuto;
}

sim::FaultCall ToFaultCall(ReaderCall call) {
  switch (call) {
    case ReaderCall::kOpen: return sim::FaultCall::Open;
    case ReaderCall::kInfo: return sim::FaultCall::Info;
    case ReaderCall::kImage: return sim::FaultCall::Image;
    case ReaderCall::kImageEx: return sim::FaultCall::ImageEx;
    case ReaderCall::kControl: return sim::FaultCall::Control;
    case ReaderCall::kConfigure: return sim::FaultCall::Configure;
  }
  return sim::FaultCall::Open;
}

class MachineReaderPort final : public ReaderPort {
 public:
  MachineReaderPort(std::string name, uint32_t index, const ReaderModel& model, sim::Reader first)
      : name_(std::move(name)), index_(index), model_(model), watch_(name_, index_),
        faults_(name_, index_), last_(std::move(first)) {}

  bool Present() const override { return Attached(); }
  std::string Serial() const override { return Look([](const sim::Reader& r) { return r.serial; }); }
  uint16_t ProductId() const override { return Look([](const sim::Reader& r) { return r.productId; }); }
  FingerState Finger() const override {
    return Look([](const sim::Reader& r) { return ToPortFinger(r.finger); });
  }
  Touches LastTouch() const override {
    return Look([](const sim::Reader& r) { return Touches{r.touches, r.touchWParam}; });
  }

  // The machine's latency is what this particular reader adds to its model's frame time.
  std::chrono::milliseconds Latency() const override {
    const uint32_t extra = Look([](const sim::Reader& r) { return r.latencyMs; });
    return model_.latency + std::chrono::milliseconds(extra);
  }

  std::chrono::milliseconds OpenDelay() const override {
    return std::chrono::milliseconds(Look([](const sim::Reader& r) { return r.openDelayMs; }));
  }

  std::optional<uint32_t> InjectedFault(ReaderCall call, uint64_t& counted) override {
    std::lock_guard guard(mutex_);
    return faults_.Count(ToFaultCall(call), counted);
  }

  ConfigureSettings ConfigureDialogSettings() const override {
    const sim::ConfigureSettings stored = Look([](const sim::Reader& r) { return r.configure; });
    ConfigureSettings settings;
    if (stored.mode) settings.captureMode = static_cast<uint8_t>(std::clamp(*stored.mode, 0, 255));
    settings.brightness = stored.brightness;
    settings.smartCapture = stored.smart;
    settings.status = stored.status;
    return settings;
  }

  bool ConfigFileExists() const override {
    return Look([](const sim::Reader& r) { return r.configFilePresent; });
  }

  bool DeleteConfigFile() override {
    bool existed = false;
    try {
      sim::UpdateReader(name_, index_, [&existed](sim::Reader& reader) {
        existed = reader.configFilePresent;
        reader.configFilePresent = false;
      });
    } catch (const sim::MachineError& error) {
      std::fprintf(stderr, "%s: configuration file not deleted: %s\n", name_.c_str(), error.what());
      return false;
    }
    return existed;
  }

  void StoreDetailRecord(std::span<const uint8_t> record) override {
    const std::filesystem::path path =
        Look([](const sim::Reader& r) { return sim::CaptureDetailPath(r); });
    try {
      sim::WriteFileAtomically(
          path, std::string_view(reinterpret_cast<const char*>(record.data()), record.size()));
    } catch (const sim::MachineError& error) {
      std::fprintf(stderr, "%s: capture detail not kept: %s\n", path.string().c_str(), error.what());
    }
  }

  std::optional<ParallelPortSettings> ParallelPort() const override {
    return Look([](const sim::Reader& r) -> std::optional<ParallelPortSettings> {
      if (!r.IsParallel()) return std::nullopt;
      const auto mode = static_cast<uint16_t>(std::min<uint32_t>(r.portMode, 0xFFFF));
      return ParallelPortSettings{r.portAddress, mode};
    });
  }

 private:
  // Brings last_ up to the bus file; false once the reader was unplugged. A
  // reader plugged in again is a new device that must be opened anew, so
  // absence sticks.
  bool RefreshLocked() const {
    if (gone_) return false;
    const std::optional<sim::Reader>& now = watch_.Read();
    if (!now) {
      gone_ = true;
      return false;
    }
    last_ = *now;
    return true;
  }

  bool Attached() const {
    std::lock_guard guard(mutex_);
    return RefreshLocked();
  }

  // What `read` takes from the reader's current state, or from the last state
  // seen while it was attached.
  template <typename Read>
  std::invoke_result_t<Read, const sim::Reader&> Look(Read read) const {
    std::lock_guard guard(mutex_);
    RefreshLocked();
    return read(last_);
  }

  const std::string name_;
  const uint32_t index_;
  const ReaderModel& model_;
  mutable std::mutex mutex_;
  mutable sim::ReaderWatch watch_;
  sim::FaultWatch faults_;
  mutable sim::Reader last_;
  mutable bool gone_ = false;
};

}  // namespace

std::shared_ptr<ReaderPort> LocateMachineReader(uint32_t type, uint32_t index) {
  const ReaderModel* model = FindReaderModel(type);
  const sim::ReaderModel* busModel =
      type <= 0xFFFF ? sim::FindReaderModelByType(static_cast<uint16_t>(type)) : nullptr;
  if (!model || !busModel) return nullptr;
  // The parallel port has one reader; its bus file carries no index.
  if (type == 1 && index != 0) return nullptr;
  std::optional<sim::Reader> reader = sim::FindReader(busModel->name, index);
  if (!reader) return nullptr;
  return std::make_shared<MachineReaderPort>(busModel->name, index, *model, std::move(*reader));
}

}  // namespace simulator
