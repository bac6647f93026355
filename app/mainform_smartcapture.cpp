// The smart-capture reader's capture-detail record: fetching it, showing it on
// the "Smart Capture" page, and loading a saved record from a ".scd" file.
//
// The record's `size` always holds the bytes the window allocated for it: the
// driver is told that size on every fetch, so whatever a file or a driver
// wrote into the field is put back after each fill. Every part of the record
// is checked (FitSmartCaptureDetail) before it is shown; what does not fit is
// left out and named in the status bar.
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QThread>
#include <cstdio>
#include <cstring>
#include <memory>

#include "app/mainform.h"
#include "app/queued_call.h"

namespace {

const char* const kNoRecordText = "No smart capture detail record: initialize an R20 reader first.";

QString Milliseconds(int32_t value) { return QString::asprintf("%d ms", value); }

const uint8_t* RecordBytes(const SmartCaptureDetail& record) {
  return reinterpret_cast<const uint8_t*>(&record);
}

size_t RecordSize(const SmartCaptureDetail& record) {
  return record.size > 0 ? static_cast<size_t>(record.size) : 0;
}

// Bytes of one image of the open reader, which is what the views draw.
size_t ViewBytes(const TForm1& form) {
  if (form.ImageWidth <= 0 || form.ImageHeight <= 0) return 0;
  return static_cast<size_t>(form.ImageWidth) * static_cast<size_t>(form.ImageHeight);
}

void ReportRefused(TForm1& form, const std::string& refused) {
  if (!refused.empty()) form.SetStatusText("Smart capture detail not fully shown: " + refused + ".");
}

// Asks the reader for its last smart capture; false without a reader or record.
bool FetchDetail(TForm1& form) {
  std::lock_guard guard(form.ScDetailLock);
  if (!form.Sensor || !form.ScDetail) return false;
  SmartCaptureDetail* record = form.ScDetail.get();
  const int32_t allocated = record->size;
  form.Sensor->Control(kControlDetailRecord, record);
  record->size = allocated;
  return true;
}

// Widgets are touched on the window thread only; a fetch made on the capture
// thread shows its record through a queued call.
void ShowOnWindowThread(TForm1& form, void (TForm1::*show)()) {
  if (QThread::currentThread() == form.thread()) {
    (form.*show)();
  } else {
    QueueCall(&form, [&form, show] { (form.*show)(); });
  }
}

void ShowViewImage(TForm1& form, QWidget* view, const uint8_t* pixels) {
  if (pixels) {
    form.DrawImageInControl(view, pixels);
  } else {
    form.ClearImageControl(view);
  }
}

// The caller holds ScDetailLock and has checked that a record is held.
void ShowDetailLocked(TForm1& form) {
  const SmartCaptureDetail& record = *form.ScDetail;
  const SmartCaptureDetailFit fit =
      FitSmartCaptureDetail(RecordBytes(record), RecordSize(record), ViewBytes(form));
  if (!fit.header) {
    ReportRefused(form, fit.refused);
    return;
  }
  const SmartCaptureDetail& fields = fit.fields;
  if (fit.viewImages > 0) {
    ShowViewImage(form, form.ImageScImage, fit.viewPixels[0]);
    form.LabelImage1CaptureTime->setText(Milliseconds(fields.captureTimes[0]));
    if (fit.viewImages > 1) {
      ShowViewImage(form, form.ImageScImageSplit, fit.viewPixels[1]);
      form.LabelImage2CaptureTime->setText(Milliseconds(fields.captureTimes[1]));
    } else {
      form.ClearImageControl(form.ImageScImageSplit);
      form.LabelImage2CaptureTime->setText(Milliseconds(0));
    }
  }
  form.LabelScVersion->setText(QString::number(fields.version));
  form.LabelScCaptureSpeed->setText(Milliseconds(fields.captureSpeed));
  form.LabelScInitBrightness->setText(QString::number(fields.initBrightness));
  form.LabelScSmartBrightness->setText(QString::number(fields.smartBrightness));
  form.LabelScGrayQuality->setText(QString::number(fields.grayQuality));
  form.LabelScNumOfCaptures->setText(QString::number(fields.numOfCaptures));
  form.LabelScErrorCode->setText(QString::number(fields.errorCode));
  form.LabelScLineDiffMax->setText(QString::number(fields.lineDiffMax));
  ReportRefused(form, fit.refused);
}

void ShowBrightnessListLocked(TForm1& form) {
  const SmartCaptureDetail& record = *form.ScDetail;
  const SmartCaptureDetailFit fit =
      FitSmartCaptureDetail(RecordBytes(record), RecordSize(record), ViewBytes(form));
  form.ListBoxScBrightnesses->clear();
  for (uint32_t i = 0; i < fit.brightnessLines; ++i) {
    form.ListBoxScBrightnesses->addItem(
        QString::asprintf("[%d] %d", static_cast<int>(i), fit.fields.brightnesses[i]));
  }
  constexpr int kSelectedLine = 5;
  if (form.ListBoxScBrightnesses->count() > kSelectedLine) {
    form.ListBoxScBrightnesses->setCurrentRow(kSelectedLine);
  }
  ReportRefused(form, fit.listRefused);
}

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

enum class LoadResult { Loaded, WrongLength, ShortRead };

// Replaces the record's bytes by the file's, which must be exactly as long as
// the record; `size` keeps the allocated length whatever the file says.
LoadResult LoadRecord(SmartCaptureDetail& record, std::FILE* file) {
  const size_t allocated = RecordSize(record);
  if (std::fseek(file, 0, SEEK_END) != 0) return LoadResult::WrongLength;
  const long length = std::ftell(file);
  if (length < 0 || static_cast<unsigned long>(length) != allocated ||
      std::fseek(file, 0, SEEK_SET) != 0) {
    return LoadResult::WrongLength;
  }
  const size_t read = std::fread(&record, 1, allocated, file);
  record.size = static_cast<int32_t>(allocated);
  return read == allocated ? LoadResult::Loaded : LoadResult::ShortRead;
}

// Shows a loaded record's last image as the window's current image: the
// result line, the main view, and the buffer the save commands write.
void ShowLastImageLocked(TForm1& form) {
  const SmartCaptureDetail& record = *form.ScDetail;
  const size_t viewBytes = ViewBytes(form);
  const SmartCaptureLastImage last = FitLastImage(RecordBytes(record), RecordSize(record), viewBytes);
  if (last.pixels) {
    const int gray = last.width > 0 ? TForm1::ImageMean(last.pixels, last.width, last.height) : -1;
    form.ReportCapture(last.captureTime, gray, -1);
    form.ShowCurrentImage(last.pixels);
  }
  ShowDetailLocked(form);
  ShowBrightnessListLocked(form);
  if (last.pixels && form.ImageBuffer && viewBytes > 0) {
    std::lock_guard imageGuard(form.ImageLock);
    std::memcpy(form.ImageBuffer.get(), last.pixels, viewBytes);
    ImageAvailable = 1;
  }
  if (!last.refused.empty()) {
    const char* what = last.pixels ? "Gray value of the .scd file's last image not shown: "
                                   : "Last image of the .scd file not shown: ";
    form.SetStatusText(what + last.refused + ".");
  }
}

}  // namespace

void TForm1::RefreshDetail() {
  if (FetchDetail(*this)) ShowOnWindowThread(*this, &TForm1::ShowDetail);
}

void TForm1::RefreshBrightnessList() {
  if (FetchDetail(*this)) ShowOnWindowThread(*this, &TForm1::ShowBrightnessList);
}

void TForm1::ShowDetail() {
  std::lock_guard guard(ScDetailLock);
  if (ScDetail) ShowDetailLocked(*this);
}

void TForm1::ShowBrightnessList() {
  std::lock_guard guard(ScDetailLock);
  if (ScDetail) ShowBrightnessListLocked(*this);
}

void TForm1::ButtonOpenSCDFileClick() {
  // Without a record there is no length to check a file against.
  if (!ScDetail) {
    Dialogs.MessageBox(this, QString::fromLatin1(kNoRecordText), QStringLiteral("ERROR"),
                       MessageIcon::Error);
    return;
  }
  OpenDialog1.FileName.clear();
  OpenDialog1.DefaultExt = QStringLiteral("scd");
  OpenDialog1.Filter = QStringLiteral("SCD files (*.scd)|*.scd|All files (*.*)|*.*");
  OpenDialog1.Title = QStringLiteral("Open Smart Capture Detail File");
  if (!OpenDialog1.Execute()) return;

  const QByteArray path = QFile::encodeName(OpenDialog1.FileName);
  const FilePtr file(std::fopen(path.constData(), "rb"));
  if (!file) return;

  LoadResult result;
  {
    std::lock_guard guard(ScDetailLock);
    result = LoadRecord(*ScDetail, file.get());
    if (result == LoadResult::Loaded) ShowLastImageLocked(*this);
  }
  // Boxes only once the lock is released: their event loop may run a queued display.
  if (result == LoadResult::WrongLength) {
    Dialogs.MessageBox(this, QStringLiteral("Not support this .scd file"), QStringLiteral("ERROR"),
                       MessageIcon::Error);
    return;
  }
  if (result == LoadResult::ShortRead) {
    Dialogs.MessageBox(this, QStringLiteral("Cannot read all the .scd file"), QStringLiteral("ERROR"),
                       MessageIcon::Error);
    return;
  }
  EditScdFilePath->setText(OpenDialog1.FileName);
}
