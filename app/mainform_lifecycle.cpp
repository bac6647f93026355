// Creation and destruction of the main window, the first enumeration, the
// reaction to a reader arriving or leaving, and the window's own menu items.
#include <QAction>
#include <QEvent>
#include <QStatusBar>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <mutex>
#include <thread>

#include "app/aboutbox.h"
#include "app/mainform.h"
#include "app/queued_call.h"
#include "device/module_loader.h"
#include "device/status_message.h"
#include "platform/power_events.h"

namespace {

constexpr auto kStopSettleTime = std::chrono::milliseconds(200);

}  // namespace

TForm1::TForm1(QWidget* parent) : QMainWindow(parent), Dib(nullptr) {
  CreateComponents();
  Handle = platform::RegisterWindow(this, kClientWidth, kClientHeight);
  platform::WatchPowerEvents(Handle);
  Locker = std::make_unique<UnitLocker>("qvdx_exe", 0);
  ImageAvailable = 0;
  ResumeAfterSuspend = 0;
  FormCreate();
}

TForm1::~TForm1() {
  FormDestroy();
  // No message reaches the window once it is gone; a capture worker that is
  // still posting fails its posts from here on.
  platform::UnregisterWindow(Handle);
}

void TForm1::FormCreate() {
  setWindowTitle(QStringLiteral("Tolvane Device Diagnostic Utility 4.83"));
  Timer1->start();
  RegisterDeviceChange();
}

// Each step checks its own field, so a window that was never fully set up is
// torn down as far as it got. The sensor goes before the images: a driver may
// still call back into the window until its object is destroyed.
void TForm1::FormDestroy() {
  Locker.reset();
  UnregisterDeviceChange();
  if (NotCapturing == 0) {
    BtnContCaptureClick();
    std::this_thread::sleep_for(kStopSettleTime);
  }
  ReleaseSensor();
  {
    std::lock_guard guard(ImageLock);
    ImageBuffer.reset();
    LiveFrame.reset();
  }
  ScDetail.reset();
}

void TForm1::Timer1Timer() {
  Timer1->stop();
  BtnEnumClick(this);
}

void TForm1::ResetForDeviceChange() {
  if (Sensor) {
    if (NotCapturing == 0) BtnContCaptureClick();
    Sensor->CloseDevice();
    ReleaseSensor();
  }
  BtnEnumClick(nullptr);
}

void TForm1::ReleaseSensor() {
  if (Sensor && DriverModule) UnloadSensorModule(Sensor, DriverModule);
}

void TForm1::ShowStatus(uint32_t code) {
  std::string text;
  SetStatusText(StatusMessage(code, text));
}

void TForm1::SetStatusText(const std::string& text) {
  const QString shown = QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
  if (QThread::currentThread() == thread()) {
    {
      // A text set here is newer than any still waiting from another thread.
      std::lock_guard guard(queuedStatusLock_);
      queuedStatus_.reset();
    }
    StatusBar->showMessage(shown);
    return;
  }
  {
    std::lock_guard guard(queuedStatusLock_);
    const bool deliveryPending = queuedStatusPending_;
    queuedStatus_ = shown;
    queuedStatusPending_ = true;
    if (deliveryPending) return;
  }
  QueueCall(this, [this] {
    const qint64 elapsed = sinceQueuedStatus_.isValid() ? sinceQueuedStatus_.elapsed() : kMinStatusIntervalMs;
    QTimer::singleShot(std::max<qint64>(0, kMinStatusIntervalMs - elapsed), this, [this] {
      std::optional<QString> newest;
      {
        std::lock_guard guard(queuedStatusLock_);
        newest.swap(queuedStatus_);
        queuedStatusPending_ = false;
      }
      sinceQueuedStatus_.start();
      if (newest) StatusBar->showMessage(*newest);
    });
  });
}

void TForm1::Exit1Click() { close(); }

void TForm1::About1Click() {
  if (AboutBoxDlg) Dialogs.ShowModal(*AboutBoxDlg);
}

void TForm1::AutoRefreshClick() { AutoRefresh->setChecked(!AutoRefresh->isChecked()); }
