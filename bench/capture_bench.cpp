// Continuous capture on one zero-latency simulated reader: the window's whole
// path (worker, the driver drawing into the Image page, the callback with its
// gray value, the result line and the page's repaint) against the driver's own
// GetImageEx loop alone; and the gray value of a 300 x 400 image.
//
// The window path's cost is measured as processor time per frame on the
// worker's thread, the one path every frame waits for, in rounds run beside
// the driver alone; the median of the rounds' ratios repeats on a shared
// machine where frames per second do not. Work the window thread does beside
// the worker is reported per frame too. Goals: the worker keeps at least 99%
// of the driver's own rate, with and without the callback; at least 90% of the
// frames the page can show at its repaint pace reach the screen; ImageMean
// walks at least 4 GB/s.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <pthread.h>
#include <time.h>

#include <algorithm>
#include <chrono>
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
constexpr qint64 kRoundMs = 60;
constexpr int kRounds = 101;

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

double CpuSeconds(clockid_t clock) {
  timespec now{};
  clock_gettime(clock, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// The value `fraction` of the way up the sorted values: 0.5, the median.
double Quantile(std::vector<double> values, double fraction) {
  std::sort(values.begin(), values.end());
  return values[static_cast<size_t>(fraction * static_cast<double>(values.size() - 1) + 0.5)];
}

// The driver's GetImageEx loop alone on a thread of its own, as the window's
// worker runs it, drawing into a surface of the Image page's size, with a
// callback that only counts.
class DriverAlone {
 public:
  explicit DriverAlone(OpenReader& reader)
      : reader_(reader), image_(static_cast<size_t>(kWidth) * kHeight),
        window_(platform::RegisterWindow(&client_, 364, 560)) {}
  ~DriverAlone() { platform::UnregisterWindow(window_); }

  struct Run {
    uint64_t frames;
    double cpuSeconds;
  };
  Run For(qint64 milliseconds) {
    Run run{};
    std::thread worker([&] { run = Loop(milliseconds); });
    worker.join();
    return run;
  }

  std::atomic<uint64_t> callbacks{0};

 private:
  Run Loop(qint64 milliseconds) {
    reader_.sensor.SetImageCallback(1, CountingCallback, &callbacks);
    const uint64_t before = reader_.port->periods;
    const double cpuBefore = CpuSeconds(CLOCK_THREAD_CPUTIME_ID);
    const RECT rect{32, 40, 32 + kWidth, 40 + kHeight};
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < milliseconds) {
      HDC dc = GetDC(window_);
      reader_.sensor.GetImageEx(image_.data(), kLiveCaptureTimeout, dc, &rect, kLiveCaptureFrames);
      ReleaseDC(window_, dc);
    }
    return {reader_.port->periods - before, CpuSeconds(CLOCK_THREAD_CPUTIME_ID) - cpuBefore};
  }

  struct NoClient : platform::WindowClient {
    void MessagesPosted() override {}
    LRESULT WindowProc(UINT, WPARAM, LPARAM) override { return 0; }
    void SurfaceChanged() override {}
  } client_;
  OpenReader& reader_;
  std::vector<uint8_t> image_;
  HWND window_;
};

void BM_DriverLiveCaptureAlone(benchmark::State& state) {
  Application();
  OpenReader reader;
  DriverAlone driver(reader);
  uint64_t frames = 0;
  for (auto _ : state) {
    frames = driver.For(kRunMs).frames;
    state.counters["frames_per_s"] = benchmark::Counter(static_cast<double>(frames), benchmark::Counter::kIsRate);
  }
  state.counters["callbacks_per_frame"] = static_cast<double>(driver.callbacks) / static_cast<double>(frames);
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

// A shown main window with the reader open and initialized, as after Init.
class CapturingWindow {
 public:
  CapturingWindow(OpenReader& reader, bool useCallback) : reader_(reader) {
    qputenv("TOLVANE_SIM_ROOT", root_.path().toLocal8Bit());
    entry_.type = 6;
    form_ = std::make_unique<TForm1>();
    form_->Timer1->SetEnabled(false);
    form_->Sensor = &reader.sensor;
    form_->SetImageSize(kWidth, kHeight);
    form_->Devices = &entry_;
    form_->DeviceIndex = 0;
    form_->CheckBoxUseCallback->SetChecked(useCallback);
    form_->Window->Show();
    shown_ = std::make_unique<ShownFrames>(*static_cast<TSurfacePage*>(forms::qt::WidgetOf(form_->TabImage)));
    LastCallbackTick = 1;  // every image reports, as after the program's first callback
  }
  ~CapturingWindow() {
    form_->Sensor = nullptr;
    form_.reset();
  }

  struct Run {
    uint64_t frames;
    uint64_t shown;
    double workerCpuSeconds;
    double windowCpuSeconds;
  };
  // "Cont. Capture", the window thread dispatching what the worker and the
  // callback hand it for `milliseconds`, sleeping between events as under a
  // user's event loop; then "Stop Capturing".
  Run For(qint64 milliseconds) {
    const uint64_t before = reader_.port->periods;
    const uint64_t shownBefore = shown_->Count();
    const double windowBefore = CpuSeconds(CLOCK_THREAD_CPUTIME_ID);
    form_->BtnContCaptureClick();
    QEventLoop run;
    QTimer::singleShot(milliseconds, &run, &QEventLoop::quit);
    run.exec();
    clockid_t worker{};
    pthread_getcpuclockid(form_->CaptureThread.native_handle(), &worker);
    const double workerCpu = CpuSeconds(worker);  // the worker started at zero
    const uint64_t frames = reader_.port->periods - before;
    const double windowCpu = CpuSeconds(CLOCK_THREAD_CPUTIME_ID) - windowBefore;
    form_->BtnContCaptureClick();
    return {frames, shown_->Count() - shownBefore, workerCpu, windowCpu};
  }

 private:
  OpenReader& reader_;
  QTemporaryDir root_;
  DeviceEntry entry_{};
  std::unique_ptr<TForm1> form_;
  std::unique_ptr<ShownFrames> shown_;
};

// One run with "Use Callback" checked (argument 1) and one without (0).
void WithAndWithoutTheCallback(benchmark::internal::Benchmark* runs) {
  runs->ArgName("callback")->Arg(1)->Arg(0)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);
}

// Frames per second and frames on the screen.
void BM_WindowLiveCapture(benchmark::State& state) {
  Application();
  OpenReader reader;
  CapturingWindow window(reader, state.range(0) != 0);
  for (auto _ : state) {
    const CapturingWindow::Run run = window.For(kRunMs);
    const auto frames = static_cast<double>(run.frames);
    const auto onScreen = static_cast<double>(run.shown);
    constexpr double kPaceLimit = static_cast<double>(kRunMs) / TSurfacePage::kMinRepaintIntervalMs;
    state.counters["frames_per_s"] = benchmark::Counter(frames, benchmark::Counter::kIsRate);
    state.counters["shown_per_s"] = benchmark::Counter(onScreen, benchmark::Counter::kIsRate);
    state.counters["shown_share"] = onScreen / std::min(frames, kPaceLimit);
  }
}
BENCHMARK(BM_WindowLiveCapture)->Apply(WithAndWithoutTheCallback);

// The window path's own cost: in each short round the window captures on one
// reader while the driver alone runs on another beside it, so that both meet
// the same load; each gives processor time per frame, and the median of the
// rounds' ratios is the figure.
void BM_WindowPathCostPerFrame(benchmark::State& state) {
  Application();
  OpenReader windowReader;
  OpenReader driverReader;
  DriverAlone driver(driverReader);
  CapturingWindow window(windowReader, state.range(0) != 0);
  for (auto _ : state) {
    std::vector<double> shares, workerExtra, windowThread;
    for (int round = 0; round < kRounds; ++round) {
      DriverAlone::Run alone{};
      std::thread beside([&] { alone = driver.For(kRoundMs); });
      const CapturingWindow::Run path = window.For(kRoundMs);
      beside.join();
      const double aloneSeconds = alone.cpuSeconds / static_cast<double>(alone.frames);
      const double workerSeconds = path.workerCpuSeconds / static_cast<double>(path.frames);
      shares.push_back(aloneSeconds / workerSeconds);
      workerExtra.push_back((workerSeconds - aloneSeconds) * 1e6);
      windowThread.push_back(path.windowCpuSeconds / static_cast<double>(path.frames) * 1e6);
    }
    state.counters["share_of_driver_rate"] = Quantile(shares, 0.5);
    state.counters["share_quartiles_apart"] = Quantile(shares, 0.75) - Quantile(shares, 0.25);
    state.counters["worker_extra_us"] = Quantile(workerExtra, 0.5);
    state.counters["window_thread_us"] = Quantile(windowThread, 0.5);
  }
}
BENCHMARK(BM_WindowPathCostPerFrame)->Apply(WithAndWithoutTheCallback);

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
