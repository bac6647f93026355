// A storm of plug and unplug events of several readers, through the machine,
// in bursts while a continuous capture runs and "Auto Refresh" is on. Each
// family reader's arrival or removal closes the open reader and refreshes; the
// test initializes the capture reader again and restarts the capture before
// every burst. At the end the window must be consistent: no capture left half
// stopped, the selector listing exactly the attached readers after a final
// Refresh, and the sensor either gone or usable.
#include <cstdio>
#include <random>
#include <set>

#include "device/records.h"
#include "tests/app/machine_form.h"

namespace {

constexpr int kEvents = 200;
constexpr int kBurst = 20;

struct StormReader {
  const char* name;
  uint32_t index;
};
// By device-path name: the HMX03 is "QVUSB", the HMX02 "OMREL".
constexpr StormReader kStormReaders[] = {{"QVUSB", 1}, {"QVUSB", 2}, {"HMX04", 1},
                                         {"HMX04", 3}, {"OMREL", 1}, {"HMX05", 2}};

// The selector item of every attached reader.
std::set<std::string> AttachedItems() {
  std::set<std::string> items;
  for (const sim::Reader& reader : sim::ListReaders()) {
    items.insert(FindReaderType(reader.type)->label + std::to_string(reader.index));
  }
  return items;
}

class HotplugStormTest : public MachineFormTest {
 protected:
  std::set<std::string> SelectorItems() const {
    const std::vector<std::string> items = Items();
    return std::set<std::string>(items.begin(), items.end());
  }

  // Init of the capture reader and a continuous capture with the callback.
  bool StartCapture() {
    const int item = form_->ComboDeviceID->IndexOf("RPX -- HMX06:0");
    if (item < 0) return false;
    form_->ComboDeviceID->SetItemIndex(item);
    form_->BtnInitClick();
    if (!form_->Sensor || !form_->BtnContCapture->Enabled()) return false;
    form_->CheckBoxUseCallback->SetChecked(true);
    form_->BtnContCaptureClick();
    return NotCapturing == 0;
  }
};

TEST_F(HotplugStormTest, PlugAndUnplugDuringACaptureLeaveAConsistentWindow) {
  Plug("HMX06", 0);
  TForm1& form = Refreshed();
  ASSERT_TRUE(form.AutoRefresh->Checked());

  std::mt19937 random(42);
  int machineErrors = 0;
  int resets = 0;
  int restarts = 0;
  bool hadSensor = false;
  const auto watch = [&](int milliseconds) {
    ProcessEventsFor(milliseconds);
    if (hadSensor && !form.Sensor) ++resets;
    hadSensor = form.Sensor != nullptr;
  };
  // Bursts of events, each while a capture runs; between bursts the window
  // catches up (every event is one Refresh) and the capture starts again.
  for (int event = 0; event < kEvents; ++event) {
    if (event % kBurst == 0) {
      ASSERT_TRUE(ProcessEventsUntil([&] { return SelectorItems() == AttachedItems(); }, 60000));
      watch(300);
      if (NotCapturing == 1 && StartCapture()) ++restarts;
      hadSensor = form.Sensor != nullptr;
      watch(200);
    }
    const StormReader& reader = kStormReaders[random() % std::size(kStormReaders)];
    try {
      if (!sim::UnplugReader(reader.name, reader.index)) {
        sim::PlugReader(sim::DefaultReader(*sim::FindReaderModel(reader.name), reader.index));
      }
    } catch (const sim::MachineError&) {
      ++machineErrors;
    }
    watch(static_cast<int>(random() % 12));
  }
  // The last notices arrive and are handled.
  ProcessEventsUntil([&] { return SelectorItems() == AttachedItems(); }, 60000);
  watch(1000);
  const bool runningAtEnd = NotCapturing == 0;
  if (runningAtEnd) form.BtnContCaptureClick();
  EXPECT_EQ(NotCapturing.load(), 1);
  EXPECT_TRUE(form.BtnContCapture->Enabled() || !form.Sensor);

  form.BtnEnumClick();
  const std::set<std::string> attached = AttachedItems();
  EXPECT_EQ(SelectorItems(), attached);
  EXPECT_EQ(Items().size(), attached.size());
  const bool sensorUsable = !form.Sensor || form.CaptureOnce();
  EXPECT_TRUE(sensorUsable);
  EXPECT_EQ(machineErrors, 0);
  EXPECT_GT(restarts, 1);

  const bool consistent = !HasFailure();
  std::printf("hotplug storm: %d events in bursts of %d, %d resets of the open reader, %d capture (re)starts, "
              "capture %s at the end, %zu readers attached and listed, 0 crashes, final state %s\n",
              kEvents, kBurst, resets, restarts, runningAtEnd ? "running" : "stopped", attached.size(),
              consistent ? "consistent" : "INCONSISTENT");
}

}  // namespace
