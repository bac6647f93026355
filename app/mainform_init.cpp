// "Init": loading the selected reader's driver module, opening the reader,
// showing what it is, sizing the image and enabling what suits the reader.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionButton>
#include <cstdlib>
#include <cstring>

#include "app/mainform.h"
#include "app/printf_text.h"
#include "app/surface_page.h"
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

void SetBold(QGroupBox* group, bool bold) {
  QFont font = group->font();
  font.setBold(bold);
  group->setFont(font);
}

// Init's part of smart capture: the reader's switch for every type; brightness,
// gain limits, SR flag and the detail record for the smart-capture reader.
void SetUpSmartCapture(TForm1& form, uint16_t type, int32_t brightness) {
  uint8_t smartCapture = 0;
  form.Sensor->Control(kControlRead | kControlSmartCapture, &smartCapture);
  form.CheckBoxSmartCapture->setChecked(smartCapture != 0);
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
    form.Dialogs.MessageBox(nullptr, FromText8(text), QStringLiteral("ERROR"), MessageIcon::Warning);
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

// The image views take the reader's image size; the main one is centred on its page.
void LayOutImageViews(TForm1& form) {
  form.Image1->resize(form.ImageWidth, form.ImageHeight);
  form.bvlImgFrame->resize(form.Image1->width() + 4, form.Image1->height() + 4);
  const int frameLeft = (form.TabImage->width() - form.bvlImgFrame->width()) / 2;
  form.bvlImgFrame->move(frameLeft, form.bvlImgFrame->y());
  form.Image1->move(frameLeft + 1, form.bvlImgFrame->y() + 1);
  QGroupBox* group = form.AutoOnGroupBox;
  group->setGeometry(frameLeft, group->y(), form.bvlImgFrame->width(), group->height());
  // The group narrows with the image; a caption it then cuts shows whole as a tool tip.
  for (QCheckBox* box : {form.CheckBoxAutoCapture, form.CheckBoxSRFeature}) {
    QStyleOptionButton option;
    option.initFrom(box);
    option.text = box->text();
    const int captionLeft = box->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, box).left();
    const int captionEnd = box->x() + captionLeft + box->fontMetrics().horizontalAdvance(box->text());
    box->setToolTip(captionEnd > group->width() ? box->text() : QString());
  }

  for (auto [view, frame] : {std::pair{form.ImageScImage, form.BevelScImageFrame},
                             std::pair{form.ImageScImageSplit, form.BevelScImageSplitFrame}}) {
    view->setGeometry(frame->x() + 1, frame->y() + 1, form.ImageWidth, form.ImageHeight);
    frame->resize(view->width() + 4, view->height() + 4);
  }
}

}  // namespace

void TForm1::BtnInitClick(QObject* /*Sender*/) {
  // Before the first Refresh there is no device table to choose from.
  const int selected = ComboDeviceID->currentIndex();
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
    BtnCapture->setEnabled(false);
    BtnContCapture->setEnabled(false);
    CheckBoxAutoCapture->setEnabled(false);
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
  for (QLineEdit* edit : {EditUSBName, EditUSBDevType, EditFWVer, EditSN, EditPPName, EditPPDevType,
                          EditPPAddr, EditPPMode}) {
    edit->clear();
  }
  for (QAction* item : {ModeN1, ModeT1, ModeF1, NormalMode1}) item->setEnabled(false);
  NormalMode1->setChecked(true);
  Recalibrate1->setEnabled(false);
  if (!show || !Devices || DeviceIndex < 0) return;

  const DeviceEntry& entry = Devices[DeviceIndex];
  const bool usb = !IsParallelReader(entry.type);
  MenuitemSaveLogs->setEnabled(false);
  for (QAction* item : {ModeN1, ModeT1, NormalMode1}) item->setEnabled(true);
  SelectModeItem(NormalMode1);

  AutoOnSupported = 1;
  const char* model = "Unknown";
  for (const ModelRow& row : kModels) {
    if (row.productId != entry.productId) continue;
    model = row.model;
    if (row.noAutoOn) AutoOnSupported = 0;
    if (row.saveLogs) MenuitemSaveLogs->setEnabled(true);
  }
  const char* formFactor = FormFactorText(entry.formFactor);

  SetBold(GroupBoxUSB, usb);
  SetBold(GroupBoxPP, !usb);
  if (usb) {
    const unsigned release = entry.release;
    EditUSBName->setText(FromText8(model));
    EditUSBDevType->setText(FromText8(formFactor));
    EditFWVer->setText(FromText8(PrintfText("%X.%X.%X.%X", (release >> 12) & 0xF, (release >> 8) & 0xF,
                                            (release >> 4) & 0xF, release & 0xF)));
    const std::string serial(entry.serial, strnlen(entry.serial, sizeof entry.serial));
    EditSN->setText(serial.empty() ? QStringLiteral("None") : FromText8(serial));
  } else {
    EditPPName->setText(QStringLiteral("Parallel: HMP01"));
    EditPPDevType->setText(FromText8(formFactor));
    EditPPAddr->setText(FromText8(PrintfText("%Xh", static_cast<unsigned>(entry.portAddress))));
    EditPPMode->setText(FromText8(PortModeText(entry.portMode)));
  }
}

void TForm1::EnableCaptureControls(bool on) {
  for (QWidget* control : std::initializer_list<QWidget*>{BtnCapture, BtnContCapture, BtnConfig,
                                                          ButtonOpenSCDFile, ScrollBarBrightness,
                                                          CheckBoxSmartCapture}) {
    control->setEnabled(on);
  }
  CheckBoxAutoCapture->setEnabled(false);
  CheckBoxAutoCapture->setChecked(false);
  for (QWidget* control : std::initializer_list<QWidget*>{AutoOnGroupBox, CheckBoxShowSmartCaptureDetail,
                                                          ScrollBarGainMax, ScrollBarGainMin}) {
    control->setEnabled(false);
  }
  CheckBoxSRFeature->setChecked(false);
  CheckBoxSRFeature->setEnabled(false);
  ListBoxScBrightnesses->clear();

  if (on && Devices && DeviceIndex >= 0) {
    ClearImageControl(Image1);  // the previous reader's picture, at the old size
    const uint16_t type = Devices[DeviceIndex].type;
    if (HasAutoOnFeatures(type)) {
      if (AutoOnSupported == 1) {
        CheckBoxAutoCapture->setEnabled(true);
        AutoOnGroupBox->setEnabled(true);
      }
      DeleteCfgFile->setEnabled(false);
      if (IsSmartCaptureReader(type)) {
        CheckBoxShowSmartCaptureDetail->setEnabled(true);
        CheckBoxShowSmartCaptureDetail->setChecked(true);
        ScrollBarGainMax->setEnabled(true);
        ScrollBarGainMin->setEnabled(true);
        CheckBoxSRFeature->setChecked(SrFeature != 0);
        CheckBoxSRFeature->setEnabled(true);
        DeleteCfgFile->setEnabled(FileVersion(SmartCaptureModule()) >= kDeleteCfgVersion);
      }
    }
    CheckBoxSmartCapture->setEnabled(HasAutoOnFeatures(type));
    for (QAction* item : {LedOnOff1, SaveToRawFile1, SaveToBMPFile1}) item->setEnabled(true);
    LayOutImageViews(*this);
  }

  ClearImageControl(Image1);
  ClearImageControl(ImageScImage);
  ClearImageControl(ImageScImageSplit);
}

