// Start to first listed reader: from the construction of the main window to
// its device selector filled by the first Refresh (which the window arms 100 ms
// after creation), in process on the offscreen platform, on the default
// machine. Goal: under 300 ms.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <chrono>
#include <memory>

#include "app/mainform.h"
#include "simulator/machine/machine.h"

namespace {

QApplication& StartupApplication() {
  static int argc = 1;
  static char name[] = "startup_bench";
  static char* argv[] = {name, nullptr};
  if (auto* existing = qobject_cast<QApplication*>(QCoreApplication::instance())) return *existing;
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static QApplication* application = new QApplication(argc, argv);
  return *application;
}

bool SelectorFilled(const TForm1& form) {
  return form.ComboDeviceID->Count() > 0 && form.ComboDeviceID->Item(0).find(" -- ") != std::string::npos;
}

void BM_StartToFirstListedReader(benchmark::State& state) {
  StartupApplication();
  QTemporaryDir root;
  setenv("TOLVANE_SIM_ROOT", root.path().toLocal8Bit().constData(), 1);
  sim::InitMachine(false);
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    auto form = std::make_unique<TForm1>();
    QElapsedTimer guard;
    guard.start();
    while (!SelectorFilled(*form) && guard.elapsed() < 5000) {
      QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
    }
    const auto stop = std::chrono::steady_clock::now();
    if (!SelectorFilled(*form)) state.SkipWithError("the selector was not filled within 5 s");
    state.SetIterationTime(std::chrono::duration<double>(stop - start).count());
    form.reset();
  }
  unsetenv("TOLVANE_SIM_ROOT");
}
BENCHMARK(BM_StartToFirstListedReader)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace
