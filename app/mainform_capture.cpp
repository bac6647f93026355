// Single, continuous and automatic capture, and the reaction to suspend and
// resume.
//
// Continuous capture runs a worker thread that calls GetImageEx over and over;
// the driver draws every live image into a device context of the Image page
// and, with "Use Callback", calls CaptureCallback after every image on the
// worker's thread. The worker and the callback touch no widget: their texts
// reach the window thread through SetStatusText and queued calls.
#include <algorithm>
#include <chrono>
#include <cstring>
#include <initializer_list>
#include <mutex>
#include <optional>
#include <string>
#include <system_error>

#include "app/mainform.h"
#include "device/sensor.h"
#include "device/status_message.h"

namespace {

// Deliberately 4, 5 and 6, not 4 to 7: after a continuous capture an RPX waits for the next Init.
bool RegainsAutoOnAfterStop(uint16_t type) {
  return type == kReaderHmx03 || type == kReaderHmx04 || type == kReaderHmx05;
}

bool HasImage(const TForm1& form) {
  return form.ImageBuffer && form.LiveFrame && form.ImageWidth > 0 && form.ImageHeight > 0;
}

// Runs inside GetImageEx after every frame period of a continuous capture.
// Answering kCallbackStop ends the driver's call once a stop was requested.
int32_t SENSORAPI CaptureCallback(void* context, const CaptureEvent* event) {
  auto* form = static_cast<TForm1*>(context);
  const uint32_t elapsed = GetTickCount() - LastCallbackTick;
  if (event->status == kStatusOk) {
    // The first callback in the program's life has no previous one to count
    // from. A line made while another waits for the status bar would replace
    // it unread, so none is made then: its gray value is the callback's cost.
    if (LastCallbackTick != 0 && !form->StatusTextWaiting()) {
      const int gray = TForm1::ImageMean(form->LiveFrame.get(), form->ImageWidth, form->ImageHeight);
      form->ReportCapture(static_cast<int>(elapsed), gray, event->quality);
    }
    if (form->ShowDetailDuringRun) {
      form->Window->PostCall([form] { form->RefreshDetail(); });
    }
    if (form->BrightnessPending.exchange(0) != 0) {
      form->Sensor->SetBrightness(static_cast<int32_t>(form->PendingBrightness.load()));
    }
  } else {
    form->ShowStatus(event->status);
  }
  LastCallbackTick = GetTickCount();
  if (StopRequested == 1) {
    StoppedByCallback = 1;
    return kCallbackStop;
  }
  return static_cast<int32_t>(event->status);
}

// The caption names what the button does next. Screen readers hear the same:
// the name follows the caption, and so does the description, which at rest
// is the hint "Start Capture".
void ShowContCaptureCaption(forms::TButton* button, bool capturing) {
  const char* caption = capturing ? "Stop Capturing" : "Cont. Capture";
  button->SetCaption(caption);
  button->SetAccessibleDescription(capturing ? caption : "");
}

// Statuses on which a live capture goes on with the next image.
bool KeepsCapturing(uint32_t status) {
  return status == kStatusOk || status == kStatusTimeout || status == kStatusWrongImage ||
         status == kStatusUsedByAnotherProcess;
}

}  // namespace

void TForm1::BtnCaptureClick() { CaptureOnce(); }

// The driver writes a whole image into ImageBuffer, so a capture without a
// sized buffer is refused rather than handed to it.
bool TForm1::CaptureOnce() {
  if (!Sensor || !HasImage(*this)) return false;
  SetStatusText("Capturing...");
  const DWORD start = GetTickCount();
  const uint32_t status = Sensor->GetImage(ImageBuffer.get());
  const DWORD time = GetTickCount() - start;
  if (status != kStatusOk) {
    ShowStatus(status);
    return false;
  }
  ImageAvailable = 1;
  ReportCapture(static_cast<int>(time), CurrentImageMean(), -1);
  ShowCurrentImage(ImageBuffer.get());
  if (CheckBoxShowSmartCaptureDetail->Checked()) {
    RefreshBrightnessList();
    RefreshDetail();
  }
  return true;
}

void TForm1::BtnContCaptureClick() {
  if (!Sensor || CaptureStopping) return;
  if (NotCapturing == 1) {
    StartContinuousCapture();
  } else {
    StopContinuousCapture();
  }
}

void TForm1::StartContinuousCapture() {
  if (!HasImage(*this)) return;
  NotCapturing = 0;
  SetStatusText("Capturing...");
  // The run goes on without the lock: it only keeps other programs informed.
  if (Locker && !Locker->Acquire()) ShowStatus(kStatusUsedByAnotherProcess);
  StoppedByCallback = 0;
  StopRequested = 0;
  ShowContCaptureCaption(BtnContCapture, true);
  for (forms::TControl* control : std::initializer_list<forms::TControl*>{
           BtnInit, BtnCapture, BtnConfig, BtnEnum, CheckBoxAutoCapture,
           CheckBoxShowSmartCaptureDetail, CheckBoxSmartCapture, CheckBoxUseCallback}) {
    control->SetEnabled(false);
  }
  ShowDetailDuringRun = CheckBoxShowSmartCaptureDetail->Checked();
  if (ShowDetailDuringRun) RefreshBrightnessList();
  Sensor->SetImageCallback(1, CheckBoxUseCallback->Checked() ? CaptureCallback : nullptr, this);

  CaptureWorkerEnded = false;
  try {
    CaptureThread = std::thread(&TForm1::CaptureLoop, this, Image1->Handle(), Image1->DrawBounds());
  } catch (const std::system_error&) {
    // Without a worker the stop finds nothing to wait for.
    CaptureWorkerEnded = true;
  }
}

void TForm1::StopContinuousCapture() {
  NotCapturing = 1;
  StopRequested = 1;
  BtnContCapture->SetEnabled(false);
  const bool useCallback = CheckBoxUseCallback->Checked();
  if (!useCallback) SetStatusText("Waiting...Put your finger on..");

  // The worker's texts and the driver's drawing keep arriving while we wait;
  // user input is dropped, so that no click re-enters this half-finished stop
  // nor acts on the controls it brings back. What came last is dropped too.
  CaptureStopping = true;
  Window->WaitWhile([this] { return !CaptureWorkerEnded; });
  if (CaptureThread.joinable()) CaptureThread.join();
  CaptureStopping = false;

  ShowContCaptureCaption(BtnContCapture, false);
  for (forms::TControl* control : std::initializer_list<forms::TControl*>{
           BtnInit, BtnCapture, BtnConfig, BtnEnum, BtnContCapture, CheckBoxUseCallback}) {
    control->SetEnabled(true);
  }
  const uint16_t type = Devices && DeviceIndex >= 0 ? Devices[DeviceIndex].type : 0;
  if (RegainsAutoOnAfterStop(type)) {
    if (AutoOnSupported) CheckBoxAutoCapture->SetEnabled(true);
    if (IsSmartCaptureReader(type)) CheckBoxShowSmartCaptureDetail->SetEnabled(true);
    CheckBoxSmartCapture->SetEnabled(true);
  }
  if (StoppedByCallback == 1) Sensor->SetImageCallback(1, nullptr, this);
  if (!useCallback) {
    ReportCapture(-1, CurrentImageMean(), -1);
    if (CheckBoxShowSmartCaptureDetail->Checked()) {
      RefreshBrightnessList();
      RefreshDetail();
    }
  }
  // Released whether or not the start obtained it; Locker is gone while the window is destroyed.
  if (Locker) Locker->Release();

  // From the message loop: the caller of this stop finishes its own work first.
  if (!heldMessages_.empty()) Window->PostCall([this] { HandleHeldMessages(); });
}

int TForm1::CaptureLoop(HWND surface, RECT bounds) {
  std::optional<std::chrono::steady_clock::time_point> lastHandOver;
  bool wholeFrameKept = false;  // LiveFrame holds a finished frame not yet handed over
  while (StopRequested == 0) {
    const uint32_t status = LiveCaptureStep(surface, bounds);
    wholeFrameKept = status == kStatusOk;
    const auto now = std::chrono::steady_clock::now();
    if (wholeFrameKept && (!lastHandOver || now - *lastHandOver >= kFrameHandOverInterval)) {
      HandOverLiveFrame();
      lastHandOver = now;
      wholeFrameKept = false;
    }
    if (!KeepsCapturing(status)) break;
  }
  if (wholeFrameKept) HandOverLiveFrame();
  CaptureWorkerEnded = true;
  // Wakes the stop's wait, which sleeps until something arrives.
  Window->PostCall([] {});
  return 1;
}

// The driver writes the worker's own frame, which becomes the current image
// only once finished, so a save or repaint never meets one half written.
uint32_t TForm1::LiveCaptureStep(HWND surface, const RECT& bounds) {
  HDC dc = GetDC(surface);
  const uint32_t status =
      Sensor->GetImageEx(LiveFrame.get(), kLiveCaptureTimeout, dc, &bounds, kLiveCaptureFrames);
  if (dc) ReleaseDC(surface, dc);
  if (status != kStatusOk) {
    std::string message;
    SetStatusText("Stopped: " + StatusMessage(status, message));
  }
  return status;
}

void TForm1::HandOverLiveFrame() {
  {
    std::lock_guard guard(ImageLock);
    std::memcpy(ImageBuffer.get(), LiveFrame.get(),
                static_cast<size_t>(ImageWidth) * static_cast<size_t>(ImageHeight));
  }
  ImageAvailable = 1;
}

void TForm1::ReportCapture(int time, int gray, int quality) {
  std::string line = "[Capture]";
  if (time >= 0) line += " time: " + std::to_string(time) + " msec ";
  if (gray >= 0) line += " gray: " + std::to_string(gray);
  if (quality >= 0) line += " Q:" + std::to_string(quality);
  SetStatusText(line);
}

// One pass without branches on the pixels, so the compiler can widen and
// vectorize it. Blocks keep the 32-bit partial sums from overflowing.
int TForm1::ImageMean(const uint8_t* image, int width, int height) {
  if (!image || width <= 0 || height <= 0) return -1;
  constexpr size_t kBlock = size_t{1} << 24;  // 2^24 * 255 < 2^32
  const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
  uint64_t sum = 0;
  for (size_t begin = 0; begin < count; begin += kBlock) {
    const size_t end = std::min(count, begin + kBlock);
    uint32_t partial = 0;
    for (size_t i = begin; i < end; ++i) partial += image[i];
    sum += partial;
  }
  return static_cast<int>(sum / count);
}

int TForm1::CurrentImageMean() {
  std::lock_guard guard(ImageLock);
  return ImageMean(ImageBuffer.get(), ImageWidth, ImageHeight);
}

void TForm1::CheckBoxAutoCaptureClick() {
  if (!Sensor) return;
  if (!AutoOnSupported) {
    SetStatusText("Auto Capturing is not supported!");
  } else if (CheckBoxAutoCapture->Checked()) {
    Sensor->EnableAutoOn(1, Handle, 0);
    SetStatusText("Auto Capturing is enabled. Put your finger on the sensor!");
  } else {
    Sensor->EnableAutoOn(0, nullptr, 0);
    SetStatusText("Auto Capturing is disabled.");
  }
}

// A new selection takes effect at the next Init.
void TForm1::ComboDeviceIDChange() {}

// Only the low 16 bits of WParam count; 1 means a finger is on the sensor. A
// finger reported while continuous capture runs is left to the live images.
void TForm1::HandleFingerDetected(WPARAM wParam) {
  if ((wParam & 0xFFFFu) != 1 || NotCapturing == 0) return;
  SetStatusText("Finger is detected");
  CaptureOnce();
}

// A capture running at suspend is stopped and started again at the automatic
// resume. Every power broadcast is answered with TRUE.
LRESULT TForm1::HandlePowerBroadcast(WPARAM event) {
  if (event == PBT_APMSUSPEND) {
    const bool running = NotCapturing == 0;
    ResumeAfterSuspend = running ? 1 : 0;
    if (running) BtnContCaptureClick();
  } else if (event == PBT_APMRESUMEAUTOMATIC) {
    if (ResumeAfterSuspend == 1) BtnContCaptureClick();
    ResumeAfterSuspend = 0;
  }
  return TRUE;
}
