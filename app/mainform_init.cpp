// "Init": loading the selected reader's driver module, opening the reader,
// showing what it is, sizing the image and enabling what suits the reader.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "app/mainform.h"
#include "app/printf_text.h"
#include "device/file_version.h"
#include "device/module_loader.h"

namespace {

// The smart-capture reader's module, whose version says what the window may ask of it.
const char* SmartCaptureModule() { return FindReaderType(kReaderHmx05)->module; }
constexpr uint32_t kDetailRecordVersion = 0x01000300;  // 1.0.3.0: the current detail record
constexpr uint32_t kDeleteCfgVersion = 0x01000400;     // 1.0.4.0: code 118 deletes the .cfg file

// Largest image side a reader can report; anything beyond is a broken answer.
constexpr int32_t kMaxImageSide = 4096;
// Largest detail record accepted: a header and three images of a large reader.
constexpr int32_t kMaxDetailSize = 16 * 1024 * 1024;

struct ModelRow {
  uint16_t productId;
  const char* model;
  bool noAutoOn;  // the reader cannot report a finger by itself
  bool saveLogs;  // the reader keeps a log the window can save
};

constexpr ModelRow kModels[] = {
    {0x0200, "HMX02", false, false},     {0x0300, "HMX02", false, false},
    {0x0320, "HMX03", false, false},     {0x0322, "KMU03M", false, false},
    {0x0325, "KMU03M", true, false},     {0x0330, "HMX04", false, false},
    {0x1000, "KMU03P", false, true},     {0x3000, "KMU03P", true, true},
    {0x2000, "KMU04P", false, true},     {0x4000, "KMU04P", true, true},
    {0x2200, "HMX05", false, false},     {0x2201, "RPx", false, false},
    {0x22BA, "HMX05(BA)", false, false},
};

const char* FormFactorText(uint16_t formFactor) {
  switch (formFactor) {
    case 1: return "Stand alone";
    case 2: return "Mouse";
    default: return "Unknown";
  }
}

const char* PortModeText(uint16_t mode) {
  static constexpr const char* kModes[] = {"Unknown", "SPP", "PS/2", "EPP", "ECP"};
  return mode < std::size(kModes) ? kModes[mode] : "Internal Error";
}

bool UsableImageSize(const DeviceInfo& info) {
  return info.width > 0 && info.height > 0 && info.width <= kMaxImageSide && info.height <= kMaxImageSide;
}

// Init's part of smart capture: the reader's switch for every type; brightness,
// gain limits, SR flag and the detail record for the smart-capture reader.
void SetUpSmartCapture(TForm1& form, uint16_t type, int32_t brightness) {
  uint8_t smartCapture = 0;
  form.Sensor->Control(kControlRead | kControlSmartCapture, &smartCapture);
  form.CheckBoxSmartCapture->SetChecked(smartCapture != 0);
  if (!IsSmartCaptureReader(type)) return;

  form.SetBrightnessValue(brightness);
  uint8_t gain = 0;
  form.Sensor->Control(kControlGetGainMax, &gain);
  form.SetGainMax(gain);
  form.Sensor->Control(kControlGetGainMin, &gain);
  form.SetGainMin(gain);
  uint32_t srFeature = 0;
  form.Sensor->Control(kControlSrFeature, &srFeature);
  form.SrFeature = srFeature != 0 ? 1 : 0;

  if (FileVersion(SmartCaptureModule()) < kDetailRecordVersion) {
    const std::string text = PrintfText(
        "Sorry about not supporting old data structure for smart catpure detail.\n"
        "Please install %s v1.0.3.0 or later.",
        SmartCaptureModule());
    form.Dialogs.MessageBox(nullptr, text, "ERROR", MessageIcon::Warning);
    return;
  }
  int32_t size = 0;
  form.Sensor->Control(kControlDetailSize, &size);
  // A size that cannot hold the header, or that no reader needs, keeps the record held so far.
  if (size < static_cast<int32_t>(kSmartCaptureHeaderSize) || size > kMaxDetailSize) return;
  SmartCaptureDetailPtr record(static_cast<SmartCaptureDetail*>(std::calloc(1, static_cast<size_t>(size))));
  if (!record) return;
  record->size = size;
  std::lock_guard guard(form.ScDetailLock);
  form.ScDetail = std::move(record);
}

// The auto-capture group narrows with the image. Where the boxes' design
// places no longer fit it, each takes the width its caption needs, the second
// at the group's right edge, so that both captions stay whole.
void FitAutoOnBoxes(TForm1& form) {
  constexpr int kRightMargin = 8;
  const int groupWidth = form.AutoOnGroupBox->Width();
  forms::Bounds autoCapture = TForm1::kAutoCaptureBounds;
  forms::Bounds srFeature = TForm1::kSrFeatureBounds;
  if (srFeature.Right() + kRightMargin > groupWidth) {
    srFeature.width = std::min(srFeature.width, form.CheckBoxSRFeature->IdealWidth());
    srFeature.left = groupWidth - kRightMargin - srFeature.width;
    autoCapture.width = std::min(autoCapture.width, form.CheckBoxAutoCapture->IdealWidth());
  }
  form.CheckBoxAutoCapture->SetBounds(autoCapture);
  form.CheckBoxSRFeature->SetBounds(srFeature);
}

// The image views take the reader's image size; the main one is centred on its page.
void LayOutImageViews(TForm1& form) {
  const forms::Bounds frame = form.bvlImgFrame->BoundsRect();
  const int frameWidth = form.ImageWidth + 4;
  const int frameLeft = (form.TabImage->Width() - frameWidth) / 2;
  form.bvlImgFrame->SetBounds({frameLeft, frame.top, frameWidth, form.ImageHeight + 4});
  form.Image1->SetBounds({frameLeft + 1, frame.top + 1, form.ImageWidth, form.ImageHeight});
  const forms::Bounds group = form.AutoOnGroupBox->BoundsRect();
  form.AutoOnGroupBox->SetBounds({frameLeft, group.top, frameWidth, group.height});
  FitAutoOnBoxes(form);

  for (auto [view, frame] : {std::pair{form.ImageScImage, form.BevelScImageFrame},
                             std::pair{form.ImageScImageSplit, form.BevelScImageSplitFrame}}) {
    const forms::Bounds place = frame->BoundsRect();
    view->SetBounds({place.left + 1, place.top + 1, form.ImageWidth, form.ImageHeight});
    frame->SetBounds({place.left, place.top, form.ImageWidth + 4, form.ImageHeight + 4});
  }
}

}  // namespace

void TForm1::BtnInitClick() {
  // Before the first Refresh there is no device table to choose from.
  const int selected = ComboDeviceID->ItemIndex();
  if (!Devices || selected < 0 || selected >= kDeviceTableSize) return;

  SetStatusText("Initializing...");
  ReleaseSensor();  // the reader initialized before is unloaded without being closed
  ImageAvailable = 0;
  ResumeAfterSuspend = 0;
  SrFeature = 0;
  DeviceIndex = selected;
  const DeviceEntry& entry = Devices[DeviceIndex];

  char module[MAX_PATH] = {};
  std::memcpy(module, entry.module, sizeof entry.module);
  if (LoadSensorModule(module, Sensor, DriverModule, entry.type) != kLoadOk) {
    // A module that loaded without giving a sensor object is not kept.
    UnloadSensorModule(Sensor, DriverModule);
    SetStatusText("Can not load driver");
    return;
  }

  const uint32_t status = Sensor->OpenDevice(entry.index, 0);
  if (status != kStatusOk) {
    EnableCaptureControls(false);
    ShowDeviceInfo(false);
    ShowStatus(status);
    return;
  }
  SetStatusText("Device Initialization Success");
  DefaultCaptureMode = Sensor->GetOption(kOptionCaptureMode) & 0xFF;
  ShowDeviceInfo(true);

  DeviceInfo info{};
  const bool sized = Sensor->GetDeviceInfo(&info) == 0 && UsableImageSize(info);
  // The previous reader's size says nothing about this reader's images: with
  // no size, no buffer and no display, nothing can capture or draw into them
  // (the finger message captures without the buttons). The image is sized
  // before the smart-capture set-up, whose box runs an event loop that may
  // deliver a finger message or a repaint.
  SetImageSize(sized ? info.width : 0, sized ? info.height : 0);
  if (sized) SetUpSmartCapture(*this, entry.type, info.brightness);
  EnableCaptureControls(true);

  // Without the reader's own image size the buffer may be smaller than the
  // images the driver writes: nothing may capture into it.
  if (!sized) {
    BtnCapture->SetEnabled(false);
    BtnContCapture->SetEnabled(false);
    CheckBoxAutoCapture->SetEnabled(false);
    SetStatusText("Device information unavailable: capture disabled");
  }
}

void TForm1::SetImageSize(int32_t width, int32_t height) {
  const size_t bytes = static_cast<size_t>(width) * static_cast<size_t>(height);
  {
    std::lock_guard guard(ImageLock);
    ImageWidth = width;
    ImageHeight = height;
    ImageBuffer = std::make_unique<uint8_t[]>(bytes);
    std::memset(ImageBuffer.get(), 255, bytes);
    LiveFrame = std::make_unique<uint8_t[]>(bytes);
  }
  if (bytes > 0) {
    Dib.Create(width, height);
  } else {
    Dib.Free();
  }
}

void TForm1::ShowDeviceInfo(bool show) {
  if (!Sensor) return;
  for (forms::TEdit* edit : {EditUSBName, EditUSBDevType, EditFWVer, EditSN, EditPPName, EditPPDevType,
                              EditPPAddr, EditPPMode}) {
    edit->Clear();
  }
  for (forms::TMenuItem* item : {ModeN1, ModeT1, ModeF1, NormalMode1}) item->SetEnabled(false);
  NormalMode1->SetChecked(true);
  Recalibrate1->SetEnabled(false);
  if (!show || !Devices || DeviceIndex < 0) return;

  const DeviceEntry& entry = Devices[DeviceIndex];
  const bool usb = !IsParallelReader(entry.type);
  MenuitemSaveLogs->SetEnabled(false);
  for (forms::TMenuItem* item : {ModeN1, ModeT1, NormalMode1}) item->SetEnabled(true);
  SelectModeItem(NormalMode1);

  AutoOnSupported = 1;
  const char* model = "Unknown";
  for (const ModelRow& row : kModels) {
    if (row.productId != entry.productId) continue;
    model = row.model;
    if (row.noAutoOn) AutoOnSupported = 0;
    if (row.saveLogs) MenuitemSaveLogs->SetEnabled(true);
  }
  const char* formFactor = FormFactorText(entry.formFactor);

  GroupBoxUSB->SetBold(usb);
  GroupBoxPP->SetBold(!usb);
  if (usb) {
    const unsigned release = entry.release;
    EditUSBName->SetText(model);
    EditUSBDevType->SetText(formFactor);
    EditFWVer->SetText(PrintfText("%X.%X.%X.%X", (release >> 12) & 0xF, (release >> 8) & 0xF,
                                            (release >> 4) & 0xF, release & 0xF));
    const std::string serial(entry.serial, strnlen(entry.serial, sizeof entry.serial));
    EditSN->SetText(serial.empty() ? "None" : serial);
  } else {
    EditPPName->SetText("Parallel: HMP01");
    EditPPDevType->SetText(formFactor);
    EditPPAddr->SetText(PrintfText("%Xh", static_cast<unsigned>(entry.portAddress)));
    EditPPMode->SetText(PortModeText(entry.portMode));
  }
}

void TForm1::EnableCaptureControls(bool on) {
  for (forms::TControl* control : std::initializer_list<forms::TControl*>{BtnCapture, BtnContCapture, BtnConfig,
                                                          ButtonOpenSCDFile, ScrollBarBrightness,
                                                          CheckBoxSmartCapture}) {
    control->SetEnabled(on);
  }
  CheckBoxAutoCapture->SetEnabled(false);
  CheckBoxAutoCapture->SetChecked(false);
  for (forms::TControl* control : std::initializer_list<forms::TControl*>{AutoOnGroupBox, CheckBoxShowSmartCaptureDetail,
                                                          ScrollBarGainMax, ScrollBarGainMin}) {
    control->SetEnabled(false);
  }
  CheckBoxSRFeature->SetChecked(false);
  CheckBoxSRFeature->SetEnabled(false);
  ListBoxScBrightnesses->Clear();

  if (on && Devices && DeviceIndex >= 0) {
    ClearImageControl(Image1);  // the previous reader's picture, at the old size
    const uint16_t type = Devices[DeviceIndex].type;
    if (HasAutoOnFeatures(type)) {
      if (AutoOnSupported == 1) {
        CheckBoxAutoCapture->SetEnabled(true);
        AutoOnGroupBox->SetEnabled(true);
      }
      DeleteCfgFile->SetEnabled(false);
      if (IsSmartCaptureReader(type)) {
        CheckBoxShowSmartCaptureDetail->SetEnabled(true);
        CheckBoxShowSmartCaptureDetail->SetChecked(true);
        ScrollBarGainMax->SetEnabled(true);
        ScrollBarGainMin->SetEnabled(true);
        CheckBoxSRFeature->SetChecked(SrFeature != 0);
        CheckBoxSRFeature->SetEnabled(true);
        DeleteCfgFile->SetEnabled(FileVersion(SmartCaptureModule()) >= kDeleteCfgVersion);
      }
    }
    CheckBoxSmartCapture->SetEnabled(HasAutoOnFeatures(type));
    for (forms::TMenuItem* item : {LedOnOff1, SaveToRawFile1, SaveToBMPFile1}) item->SetEnabled(true);
    LayOutImageViews(*this);
  }

  ClearImageControl(Image1);
  ClearImageControl(ImageScImage);
  ClearImageControl(ImageScImageSplit);
}

