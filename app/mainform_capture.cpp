// Single, continuous and automatic capture, and the reaction to suspend and
// resume. The captures themselves are filled in with the capture commands;
// without an open reader every one of them does nothing.
#include <QStatusBar>

#include "app/mainform.h"

void TForm1::BtnCaptureClick() { CaptureOnce(); }

bool TForm1::CaptureOnce() { return false; }

void TForm1::BtnContCaptureClick() {}

void TForm1::CheckBoxAutoCaptureClick() {}

// A new selection takes effect at the next Init.
void TForm1::ComboDeviceIDChange() {}

// Only the low 16 bits of WParam count; 1 means a finger is on the sensor.
void TForm1::HandleFingerDetected(WPARAM wParam) {
  if ((wParam & 0xFFFFu) != 1) return;
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
