// Commands on an open reader that capture nothing: configuration, light,
// capture modes, recalibration, configuration file, CMOS reset. Without an
// open reader each does nothing; which reader gets which command is decided
// by the enabling rules of Init, not here.
#include "app/mainform.h"

namespace {

constexpr uint8_t kModeN = 0;
constexpr uint8_t kModeT = 1;
constexpr uint8_t kModeF = 2;  // and every mode above

uint8_t CaptureMode(ISensor& sensor) {
  return static_cast<uint8_t>(sensor.GetOption(kOptionCaptureMode) & 0xFFu);
}

bool SmartCaptureReaderSelected(const TForm1& form) {
  return form.Devices && form.DeviceIndex >= 0 && IsSmartCaptureReader(form.Devices[form.DeviceIndex].type);
}

void SetCaptureMode(TForm1& form, uint8_t mode, forms::TMenuItem* item) {
  if (!form.Sensor) return;
  form.Sensor->SetOption(kOptionCaptureMode, mode);
  form.SelectModeItem(item);
}

}  // namespace

void TForm1::BtnConfigClick() {
  if (!Sensor) return;
  SetStatusText("Configuring...");
  const uint32_t status = Sensor->Configure(Handle);

  // The dialog may have changed smart capture, brightness and mode; the
  // window follows the reader (the box's and the scroll bar's own actions
  // send the values back).
  uint8_t smartCapture = 0;
  Sensor->Control(kControlRead | kControlSmartCapture, &smartCapture);
  CheckBoxSmartCapture->SetChecked(smartCapture != 0);

  DeviceInfo info{};
  if (Sensor->GetDeviceInfo(&info) == 0 && info.brightness != ScrollBarBrightness->Position()) {
    ScrollBarBrightness->SetPosition(info.brightness);
  }

  if (SmartCaptureReaderSelected(*this)) {
    const uint8_t mode = CaptureMode(*Sensor);
    if (mode == static_cast<uint8_t>(DefaultCaptureMode & 0xFFu)) {
      NormalMode1->SetChecked(true);
    } else if (mode >= kModeF) {
      ModeF1->SetChecked(true);
    } else if (mode == kModeT) {
      ModeT1->SetChecked(true);
    } else {
      ModeN1->SetChecked(true);
    }
  }
  ShowStatus(status);
}

void TForm1::LedOnOff1Click() {
  if (!Sensor) return;
  LedOnOff1->SetChecked(!LedOnOff1->Checked());
  Sensor->SetLed(LedOnOff1->Checked() ? 1 : 0);
}

void TForm1::SelectModeItem(forms::TMenuItem* item) {
  for (forms::TMenuItem* mode : {ModeN1, ModeT1, ModeF1}) mode->SetChecked(false);
  item->SetChecked(true);
  Recalibrate1->SetEnabled(Sensor && CaptureMode(*Sensor) >= kModeF);
}

void TForm1::ModeN1Click() { SetCaptureMode(*this, kModeN, ModeN1); }
void TForm1::ModeT1Click() { SetCaptureMode(*this, kModeT, ModeT1); }
void TForm1::NormalMode1Click() {
  SetCaptureMode(*this, static_cast<uint8_t>(DefaultCaptureMode & 0xFFu), NormalMode1);
}

// Mode F is reached only through the reader's own dialog or as its default.
void TForm1::ModeF1Click() {}

void TForm1::Recalibrate1Click() {
  if (!Sensor) return;
  if (CaptureMode(*Sensor) >= kModeF) {
    Sensor->SetOption(kOptionRecalibrate1, 0);
    Sensor->SetOption(kOptionRecalibrate2, 0);
    return;
  }
  Dialogs.MessageBox(nullptr, "Capture mode must be in mode F or\r\n Default mode with mode F.", "Recalibration",
                     MessageIcon::None);
}

void TForm1::DeleteCfgFileClick() {
  if (!Sensor) return;
  int32_t notDeleted = 1;
  Sensor->Control(kControlDeleteConfigFile, &notDeleted);
  SetStatusText(notDeleted == 0 ? "Configuration file has been deleted."
                                : "Configuration file has NOT been deleted.");
}

void TForm1::ButtonResetCmosClick() {
  if (Sensor) ShowStatus(Sensor->ResetCmos());
}

// The box only shows the reader's flag; it asks the reader nothing.
void TForm1::CheckBoxSRFeatureClick() {}
