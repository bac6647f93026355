// Cost of one enumeration, as Refresh runs it: every USB generation at every
// index through the simulated kernel driver and framework, then the parallel port.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "device/enumeration.h"
#include "simulator/machine/machine.h"

namespace {

// A machine of its own for one benchmark, with `readers` USB readers (ten per
// generation, newest first) and, with 51, the parallel reader too. Types 6 and
// 4 are served by the framework, the others by the kernel driver.
class BenchMachine {
 public:
  explicit BenchMachine(int readers) {
    std::string pattern = (std::filesystem::temp_directory_path() / "tolvane-bench-XXXXXX").string();
    root_ = mkdtemp(pattern.data()) ? pattern : std::string();
    setenv("TOLVANE_SIM_ROOT", root_.c_str(), 1);
    sim::InitMachine(/*empty=*/true);
    int plugged = 0;
    for (const char* name : {"HMX06", "HMX05", "HMX04", "QVUSB", "OMREL"}) {
      for (uint32_t index = 0; index < 10 && plugged < readers; ++index, ++plugged) {
        sim::Reader reader = sim::DefaultReader(*sim::FindReaderModel(name), index);
        reader.framework = reader.type == 6 || reader.type == 4;
        sim::PlugReader(reader);
      }
    }
    if (readers > plugged) sim::PlugReader(sim::DefaultReader(*sim::FindReaderModel("parallel"), 0));
  }
  ~BenchMachine() {
    unsetenv("TOLVANE_SIM_ROOT");
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }

 private:
  std::string root_;
};

void BM_EnumerateDevices(benchmark::State& state) {
  BenchMachine machine(static_cast<int>(state.range(0)));
  int count = 0;
  DeviceEntry* table = nullptr;
  for (auto _ : state) {
    EnumerateDevices(&count, &table, 1);
    benchmark::DoNotOptimize(table);
  }
  state.counters["listed"] = count;
}
// Goals: under 10 ms with no reader, under 50 ms with 51 readers attached.
BENCHMARK(BM_EnumerateDevices)->Arg(0)->Arg(51)->Unit(benchmark::kMillisecond);

}  // namespace
