// The tuning controls of the "Smart Capture" page: brightness, the upper and
// lower gain limits, sharpness and the reader's own smart-capture switch.
//
// A scroll bar's change action runs whenever its position changes, also when
// the window moves it: applying a value moves the bar, which applies the bar's
// position once more (the same value, or the nearest end of the bar's range
// for a value the reader reported outside it), while the label keeps the value
// as it was given.
#include <string>

#include "app/mainform.h"

namespace {

// While continuous capture runs the reader belongs to the capture thread: the
// value waits for the image callback, which sends the latest one.
void SendBrightness(TForm1& form, int32_t value) {
  if (NotCapturing == 1) {
    form.Sensor->SetBrightness(value);
  } else {
    form.PendingBrightness = static_cast<uint32_t>(value);
    form.BrightnessPending = 1;
  }
}

// Sends a gain limit with `code`; the reader may adjust it, and what it left in
// the byte is what the bar and the label show.
void ApplyGain(TForm1& form, uint32_t code, uint8_t value, forms::TScrollBar* bar, forms::TLabel* label) {
  if (!form.Sensor) return;
  uint8_t gain = value;
  form.Sensor->Control(code, &gain);
  bar->SetPosition(gain);
  label->SetCaption(std::to_string(gain));
  SendBrightness(form, form.ScrollBarBrightness->Position());
}

}  // namespace

void TForm1::SetBrightnessValue(int32_t value) {
  if (!Sensor) return;
  SendBrightness(*this, value);
  ScrollBarBrightness->SetPosition(value);
  LabelBrightness->SetCaption(std::to_string(value));
}

void TForm1::SetGainMax(uint8_t value) {
  ApplyGain(*this, kControlSetGainMax, value, ScrollBarGainMax, LabelGainMax);
}

void TForm1::SetGainMin(uint8_t value) {
  ApplyGain(*this, kControlSetGainMin, value, ScrollBarGainMin, LabelGainMin);
}

void TForm1::ScrollBarBrightnessChange() { SetBrightnessValue(ScrollBarBrightness->Position()); }

void TForm1::ScrollBarGainMaxChange() { SetGainMax(static_cast<uint8_t>(ScrollBarGainMax->Position())); }

void TForm1::ScrollBarGainMinChange() { SetGainMin(static_cast<uint8_t>(ScrollBarGainMin->Position())); }

void TForm1::CheckBoxSmartCaptureClick() {
  if (!Sensor) return;
  uint8_t on = CheckBoxSmartCapture->Checked() ? 1 : 0;
  CheckBoxShowSmartCaptureDetail->SetChecked(on == 1);
  Sensor->Control(kControlSmartCapture, &on);
}

// The reader learns the box's state only when it changes; Init sends nothing.
void TForm1::CheckBoxSharpnessClick() {
  if (!Sensor) return;
  uint8_t on = CheckBoxSharpness->Checked() ? 1 : 0;
  Sensor->Control(kControlSharpness, &on);
}
