// The smart-capture reader's capture-detail record: fetching it, showing it on
// the "Smart Capture" page, and loading a saved record from a ".scd" file.
//
// The record's `size` always holds the bytes the window allocated for it: the
// driver is told that size on every fetch, so whatever a file or a driver
// wrote into the field is put back after each fill. Every part of the record
// is checked (FitSmartCaptureDetail) before it is shown; what does not fit is
// left out and named in the status bar.
#include <cstdio>
#include <cstring>
#include <memory>

#include "app/mainform.h"
#include "app/printf_text.h"

namespace {

const char* const kNoRecordText = "No smart capture detail record: initialize an R20 reader first.";

std::string Milliseconds(int32_t value) { return PrintfText("%d ms", value); }

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
  if (form.Window->IsWindowThread()) {
    (form.*show)();
  } else {
    form.Window->PostCall([&form, show] { (form.*show)(); });
  }
}

void ShowViewImage(TForm1& form, forms::TDrawingArea* view, const uint8_t* pixels) {
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
    form.LabelImage1CaptureTime->SetCaption(Milliseconds(fields.captureTimes[0]));
    if (fit.viewImages > 1) {
      ShowViewImage(form, form.ImageScImageSplit, fit.viewPixels[1]);
      form.LabelImage2CaptureTime->SetCaption(Milliseconds(fields.captureTimes[1]));
    } else {
      form.ClearImageControl(form.ImageScImageSplit);
      form.LabelImage2CaptureTime->SetCaption(Milliseconds(0));
    }
  }
  form.LabelScVersion->SetCaption(std::to_string(fields.version));
  form.LabelScCaptureSpeed->SetCaption(Milliseconds(fields.captureSpeed));
  form.LabelScInitBrightness->SetCaption(std::to_string(fields.initBrightness));
  form.LabelScSmartBrightness->SetCaption(std::to_string(fields.smartBrightness));
  form.LabelScGrayQuality->SetCaption(std::to_string(fields.grayQuality));
  form.LabelScNumOfCaptures->SetCaption(std::to_string(fields.numOfCaptures));
  form.LabelScErrorCode->SetCaption(std::to_string(fields.errorCode));
  form.LabelScLineDiffMax->SetCaption(std::to_string(fields.lineDiffMax));
  ReportRefused(form, fit.refused);
}

void ShowBrightnessListLocked(TForm1& form) {
  const SmartCaptureDetail& record = *form.ScDetail;
  const SmartCaptureDetailFit fit =
      FitSmartCaptureDetail(RecordBytes(record), RecordSize(record), ViewBytes(form));
  form.ListBoxScBrightnesses->Clear();
  for (uint32_t i = 0; i < fit.brightnessLines; ++i) {
    form.ListBoxScBrightnesses->AddItem(PrintfText("[%d] %d", static_cast<int>(i), fit.fields.brightnesses[i]));
  }
  constexpr int kSelectedLine = 5;
  if (form.ListBoxScBrightnesses->Count() > kSelectedLine) {
    form.ListBoxScBrightnesses->SetItemIndex(kSelectedLine);
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
    Dialogs.MessageBox(Window.get(), kNoRecordText, "ERROR", MessageIcon::Error);
    return;
  }
  OpenDialog1.FileName.clear();
  OpenDialog1.DefaultExt = "scd";
  OpenDialog1.Filter = "SCD files (*.scd)|*.scd|All files (*.*)|*.*";
  OpenDialog1.Title = "Open Smart Capture Detail File";
  if (!OpenDialog1.Execute()) return;

  const FilePtr file(std::fopen(OpenDialog1.FileName.c_str(), "rb"));
  if (!file) return;

  LoadResult result;
  {
    std::lock_guard guard(ScDetailLock);
    result = LoadRecord(*ScDetail, file.get());
    if (result == LoadResult::Loaded) ShowLastImageLocked(*this);
  }
  // Boxes only once the lock is released: their event loop may run a queued display.
  if (result == LoadResult::WrongLength) {
    Dialogs.MessageBox(Window.get(), "Not support this .scd file", "ERROR", MessageIcon::Error);
    return;
  }
  if (result == LoadResult::ShortRead) {
    Dialogs.MessageBox(Window.get(), "Cannot read all the .scd file", "ERROR", MessageIcon::Error);
    return;
  }
  EditScdFilePath->SetText(OpenDialog1.FileName);
}
