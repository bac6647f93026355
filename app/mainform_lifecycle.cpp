// Creation and destruction of the main window, the first enumeration, the
// reaction to a reader arriving or leaving, and the window's own menu items.
#include <algorithm>
#include <chrono>
#include <mutex>
#include <thread>

#include "app/aboutbox.h"
#include "app/mainform.h"
#include "device/module_loader.h"
#include "device/status_message.h"

namespace {

constexpr auto kStopSettleTime = std::chrono::milliseconds(200);

}  // namespace

TForm1::TForm1() : Dib(nullptr) {
  CreateComponents();
  Locker = std::make_unique<UnitLocker>("qvdx_exe", 0);
  ImageAvailable = 0;
  ResumeAfterSuspend = 0;
  FormCreate();
}

// The window goes last: no message reaches it once it is gone, and a capture
// worker that is still posting fails its posts from then on.
TForm1::~TForm1() { FormDestroy(); }

void TForm1::FormCreate() {
  Window->SetCaption("Tolvane Device Diagnostic Utility 4.83");
  Timer1->SetEnabled(true);
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
  Timer1->SetEnabled(false);
  BtnEnumClick();
}

void TForm1::ResetForDeviceChange() {
  if (Sensor) {
    if (NotCapturing == 0) BtnContCaptureClick();
    Sensor->CloseDevice();
    ReleaseSensor();
  }
  BtnEnumClick();
}

void TForm1::ReleaseSensor() {
  if (Sensor && DriverModule) UnloadSensorModule(Sensor, DriverModule);
}

void TForm1::ShowStatus(uint32_t code) {
  std::string text;
  SetStatusText(StatusMessage(code, text));
}

bool TForm1::StatusTextWaiting() {
  std::lock_guard guard(queuedStatusLock_);
  return queuedStatus_.has_value();
}

void TForm1::SetStatusText(const std::string& text) {
  if (Window->IsWindowThread()) {
    {
      // A text set here is newer than any still waiting from another thread.
      std::lock_guard guard(queuedStatusLock_);
      queuedStatus_.reset();
    }
    StatusBar->SetSimpleText(text);
    return;
  }
  {
    std::lock_guard guard(queuedStatusLock_);
    const bool deliveryPending = queuedStatusPending_;
    queuedStatus_ = text;
    queuedStatusPending_ = true;
    if (deliveryPending) return;
  }
  Window->PostCall([this] {
    const auto now = std::chrono::steady_clock::now();
    const auto elapsed = lastQueuedStatus_ ? now - *lastQueuedStatus_ : kMinStatusInterval;
    const auto wait = std::max(std::chrono::milliseconds(0),
                               std::chrono::duration_cast<std::chrono::milliseconds>(kMinStatusInterval - elapsed));
    Window->PostDelayed(static_cast<int>(wait.count()), [this] {
      std::optional<std::string> newest;
      {
        std::lock_guard guard(queuedStatusLock_);
        newest.swap(queuedStatus_);
        queuedStatusPending_ = false;
      }
      lastQueuedStatus_ = std::chrono::steady_clock::now();
      if (newest) StatusBar->SetSimpleText(*newest);
    });
  });
}

void TForm1::Exit1Click() { Window->Close(); }

void TForm1::About1Click() {
  if (AboutBoxDlg) Dialogs.ShowModal(*AboutBoxDlg->Window);
}

void TForm1::AutoRefreshClick() { AutoRefresh->SetChecked(!AutoRefresh->Checked()); }
