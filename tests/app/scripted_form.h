// A main window put into the state a successful Init leaves for a type-6
// reader, with a ScriptedSensor as its reader: image size, white image buffer,
// display bitmap, detail record, and the selected device-table entry.
#pragma once

#include <cstdlib>

#include "form_fixture.h"
#include "scripted_sensor.h"

class ScriptedFormTest : public FormTest {
 protected:
  static constexpr int kWidth = 30;
  static constexpr int kHeight = 40;
  static constexpr int32_t kRecordSize = static_cast<int32_t>(kSmartCaptureHeaderSize) + 3 * kWidth * kHeight;

  void SetUp() override {
    FormTest::SetUp();
    HoldFirstRefresh();
    // The pages get their surfaces once shown; shown before the reader is
    // set, so that the first paint asks the reader nothing.
    form_->Window->Show();
    ProcessEventsFor(50);
    entries_[0].type = 6;
    form_->Devices = entries_;
    form_->DeviceIndex = 0;
    form_->Sensor = &sensor_;
    // Message boxes answer at once; a test that expects none checks shownMessages.
    form_->Dialogs.nextAnswers.assign(8, kModalResultOk);
    form_->DefaultCaptureMode = sensor_.mode;
    form_->SetImageSize(kWidth, kHeight);
    AllocateRecord(kRecordSize);
    for (forms::TMenuItem* item : {form_->ModeN1, form_->ModeT1, form_->NormalMode1, form_->LedOnOff1}) {
      item->SetEnabled(true);
    }
  }
  void TearDown() override {
    form_->Sensor = nullptr;
    FormTest::TearDown();
  }

  // A record as Init allocates it: `size` bytes, `size` in its first field.
  void AllocateRecord(int32_t size) {
    form_->ScDetail.reset(static_cast<SmartCaptureDetail*>(std::calloc(1, static_cast<size_t>(size))));
    form_->ScDetail->size = size;
  }

  std::string Status() const { return ShownStatus(*form_); }

  ScriptedSensor sensor_;
  DeviceEntry entries_[2]{};
};

// The colour at the centre of a drawing area, as 0x00RRGGBB.
inline uint32_t CenterPixel(const forms::TDrawingArea* area) {
  const RECT bounds = area->DrawBounds();
  return probe::PixelAt(area->Handle(), (bounds.left + bounds.right - 1) / 2, (bounds.top + bounds.bottom - 1) / 2);
}

inline uint32_t Gray(uint8_t value) { return value * 0x010101u; }
