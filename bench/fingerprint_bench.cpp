// Cost of the simulated readers' fingerprint frames: one 300 × 400 frame must
// stay well below the fastest reader's frame time.
#include <benchmark/benchmark.h>

#include <vector>

#include "simulator/modules/fingerprint.h"
#include "simulator/modules/smart_capture.h"

namespace {

constexpr int kWidth = 300;
constexpr int kHeight = 400;

void BM_FingerprintFrame(benchmark::State& state) {
  const simulator::FingerprintSynthesizer finger(kWidth, kHeight, "BENCH-0001");
  std::vector<uint8_t> image(static_cast<size_t>(kWidth) * kHeight);
  uint64_t frame = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(finger.Render(frame++, {}, image));
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_FingerprintFrame)->Unit(benchmark::kMicrosecond);

void BM_FingerprintEmptySensor(benchmark::State& state) {
  const simulator::FingerprintSynthesizer finger(kWidth, kHeight, "BENCH-0001");
  std::vector<uint8_t> image(static_cast<size_t>(kWidth) * kHeight);
  uint64_t frame = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(finger.Render(frame++, {50, 1.0, false}, image));
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_FingerprintEmptySensor)->Unit(benchmark::kMicrosecond);

// The finger's ridge pattern, computed once when a reader is opened.
void BM_FingerprintPattern(benchmark::State& state) {
  for (auto _ : state) {
    simulator::FingerprintSynthesizer finger(kWidth, kHeight, "BENCH-0001");
    benchmark::DoNotOptimize(finger);
  }
}
BENCHMARK(BM_FingerprintPattern)->Unit(benchmark::kMillisecond);

void BM_SmartCapture(benchmark::State& state) {
  const simulator::FingerprintSynthesizer finger(kWidth, kHeight, "BENCH-0001");
  uint64_t frame = 0;
  for (auto _ : state) {
    auto result = simulator::RunSmartCapture(finger, frame++, {}, std::chrono::milliseconds(80));
    benchmark::DoNotOptimize(result);
  }
}
BENCHMARK(BM_SmartCapture)->Unit(benchmark::kMicrosecond);

}  // namespace
