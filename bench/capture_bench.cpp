// Continuous capture: frames per second through the window's whole path
// (worker, the driver drawing into the Image page, the callback with its gray
// value, the result line and the page's repaint) against the driver's own
// GetImageEx loop alone, both on one zero-latency simulated reader; and the
// gray value of a 300 x 400 image. Goals: the window keeps at least 90% of the
// driver's frame rate, with and without the callback; at least 90% of the
// frames the page can show at its repaint pace reach the screen; ImageMean
// walks at least 4 GB/s.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "app/capture_flags.h"
#include "app/mainform.h"
#include "forms/qt/surface_page.h"
#include "forms/qt/qt_components.h"
#include "simulator/modules/catalog.h"
#include "simulator/modules/sensor_object.h"

namespace {

constexpr int kWidth = 300;
constexpr int kHeight = 400;
constexpr qint64 kRunMs = 2000;

// A reader with a finger always on it and no frame time of its own. The sensor
// object asks for the latency once per frame period, which counts the frames.
class ZeroLatencyPort : public simulator::ReaderPort {
 public:
  bool Present() const override { return true; }
  std::string Serial() const override { return "BENCH-0001"; }
  uint16_t ProductId() const override { return 0x2200; }
  simulator::FingerState Finger() const override { return simulator::FingerState::kPresent; }
  simulator::Touches LastTouch() const override { return {}; }
  std::chrono::milliseconds Latency() const override {
    ++periods;
    return std::chrono::milliseconds(0);
  }
  simulator::ConfigureSettings ConfigureDialogSettings() const override { return {}; }
  bool ConfigFileExists() const override { return true; }
  bool DeleteConfigFile() override { return false; }
  void StoreDetailRecord(std::span<const uint8_t>) override {}

  mutable std::atomic<uint64_t> periods{0};
};

QApplication& Application() {
  static int argc = 1;
  static char name[] = "capture_bench";
  static char* argv[] = {name, nullptr};
  static QApplication* application = [] {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    return new QApplication(argc, argv);
  }();
  return *application;
}

struct OpenReader {
  OpenReader()
      : port(std::make_shared<ZeroLatencyPort>()),
        sensor(*simulator::FindReaderModel(6), [this](uint32_t) { return port; }) {
    sensor.OpenDevice(0, 0);
  }
  std::shared_ptr<ZeroLatencyPort> port;
  simulator::SensorObject sensor;
};

int32_t SENSORAPI CountingCallback(void* context, const CaptureEvent* event) {
  ++*static_cast<std::atomic<uint64_t>*>(context);
  return static_cast<int32_t>(event->status);
}

// The driver's loop with a callback that only counts, drawing into a surface
// of the Image page's size, for as long as the window's run below.
void BM_DriverLiveCaptureAlone(benchmark::State& state) {
  Application();
  OpenReader reader;
  std::vector<uint8_t> image(static_cast<size_t>(kWidth) * kHeight);
  std::atomic<uint64_t> callbacks{0};
  reader.sensor.SetImageCallback(1, CountingCallback, &callbacks);
  struct NoClient : platform::WindowClient {
    void MessagesPosted() override {}
    LRESULT WindowProc(UINT, WPARAM, LPARAM) override { return 0; }
    void SurfaceChanged() override {}
  } client;
  const HWND window = platform::RegisterWindow(&client, 364, 560);
  const RECT rect{32, 40, 32 + kWidth, 40 + kHeight};
  for (auto _ : state) {
    const uint64_t before = reader.port->periods;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < kRunMs) {
      HDC dc = GetDC(window);
      reader.sensor.GetImageEx(image.data(), kLiveCaptureTimeout, dc, &rect, kLiveCaptureFrames);
      ReleaseDC(window, dc);
    }
    state.counters["frames_per_s"] =
        benchmark::Counter(static_cast<double>(reader.port->periods - before), benchmark::Counter::kIsRate);
  }
  state.counters["callbacks_per_frame"] =
      static_cast<double>(callbacks) / static_cast<double>(reader.port->periods);
  platform::UnregisterWindow(window);
}
BENCHMARK(BM_DriverLiveCaptureAlone)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

// Counts the repaints of a page that show a frame drawn since the repaint
// before: the frames that reached the screen.
class ShownFrames : public QObject {
 public:
  explicit ShownFrames(TSurfacePage& page) : page_(page) { page.installEventFilter(this); }
  uint64_t Count() const { return shown_; }

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() != QEvent::Paint) return false;
    uint64_t drawings = 0;
    platform::WithSurface(page_.Handle(), [&](platform::Surface& surface) { drawings = surface.drawings; });
    if (drawings != drawn_) ++shown_;
    drawn_ = drawings;
    return false;
  }

 private:
  TSurfacePage& page_;
  uint64_t drawn_ = 0;
  uint64_t shown_ = 0;
};

// "Cont. Capture" in a shown window, the window thread dispatching what the
// worker and the callback hand it, then "Stop Capturing"; with "Use Callback"
// checked (argument 1) and not (0).
void BM_WindowLiveCapture(benchmark::State& state) {
  Application();
  QTemporaryDir root;
  qputenv("TOLVANE_SIM_ROOT", root.path().toLocal8Bit());
  OpenReader reader;
  DeviceEntry entry{};
  entry.type = 6;
  auto form = std::make_unique<TForm1>();
  form->Timer1->SetEnabled(false);
  form->Sensor = &reader.sensor;
  form->SetImageSize(kWidth, kHeight);
  form->Devices = &entry;
  form->DeviceIndex = 0;
  form->CheckBoxUseCallback->SetChecked(state.range(0) != 0);
  form->Window->Show();
  const ShownFrames shown(*static_cast<TSurfacePage*>(forms::qt::WidgetOf(form->TabImage)));
  LastCallbackTick = 1;  // every image reports, as after the program's first callback
  for (auto _ : state) {
    const uint64_t before = reader.port->periods;
    const uint64_t shownBefore = shown.Count();
    form->BtnContCaptureClick();
    // The window thread sleeps between events, as under a user's event loop.
    QEventLoop run;
    QTimer::singleShot(kRunMs, &run, &QEventLoop::quit);
    run.exec();
    form->BtnContCaptureClick();
    const auto frames = static_cast<double>(reader.port->periods - before);
    const auto onScreen = static_cast<double>(shown.Count() - shownBefore);
    constexpr double kPaceLimit = static_cast<double>(kRunMs) / TSurfacePage::kMinRepaintIntervalMs;
    state.counters["frames_per_s"] = benchmark::Counter(frames, benchmark::Counter::kIsRate);
    state.counters["shown_per_s"] = benchmark::Counter(onScreen, benchmark::Counter::kIsRate);
    state.counters["shown_share"] = onScreen / std::min(frames, kPaceLimit);
  }
  form->Sensor = nullptr;
  form.reset();
}
BENCHMARK(BM_WindowLiveCapture)
    ->ArgName("callback")
    ->Arg(1)
    ->Arg(0)
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

void BM_ImageMean(benchmark::State& state) {
  std::vector<uint8_t> image(static_cast<size_t>(kWidth) * kHeight);
  for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<uint8_t>(i * 7);
  for (auto _ : state) {
    benchmark::DoNotOptimize(TForm1::ImageMean(image.data(), kWidth, kHeight));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kWidth * kHeight);
}
BENCHMARK(BM_ImageMean);

}  // namespace
