// Repainting draws the current image onto the Image page's surface, and the
// repaint this causes does not start another one.
#include <cstring>

#include "fake_sensor.h"
#include "scripted_form.h"

namespace {

class DrawingTest : public FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    HoldFirstRefresh();
  }
  void TearDown() override {
    form_->Sensor = nullptr;
    FormTest::TearDown();
  }
  FakeSensor sensor_;
};

TEST_F(DrawingTest, RepaintDrawsTheCurrentImageOverImage1AndSettles) {
  constexpr int kWidth = 300;
  constexpr int kHeight = 400;
  form_->Dib.Create(kWidth, kHeight);
  form_->ImageBuffer = std::make_unique<uint8_t[]>(kWidth * kHeight);
  std::memset(form_->ImageBuffer.get(), 0x40, kWidth * kHeight);
  form_->Sensor = &sensor_;

  int paints = 0;
  const probe::PaintWatch watch(form_->Window.get(), [&] { ++paints; });
  form_->PageControl1->SetActivePage(form_->TabImage);  // where a person looks at the image
  form_->Window->Show();
  ASSERT_TRUE(ProcessEventsUntil([&] { return CenterPixel(form_->Image1) == Gray(0x40); }));
  ProcessEventsFor(200);
  const int settled = paints;
  ProcessEventsFor(300);
  EXPECT_EQ(paints, settled) << "the window keeps repainting itself";
}

TEST_F(DrawingTest, WithoutAReaderNothingIsDrawn) {
  form_->Dib.Create(300, 400);
  form_->ImageBuffer = std::make_unique<uint8_t[]>(300 * 400);  // zero: black
  form_->Window->Show();
  ProcessEventsFor(100);
  EXPECT_NE(CenterPixel(form_->Image1), Gray(0));
}

TEST_F(DrawingTest, ClearImageControlPaintsTheControlWhite) {
  form_->Dib.Create(300, 400);
  form_->Window->Show();
  ProcessEventsFor(50);
  form_->ClearImageControl(form_->ImageScImage);
  const RECT view = form_->ImageScImage->DrawBounds();
  EXPECT_EQ(probe::PixelAt(form_->ImageScImage->Handle(), view.left, view.top), Gray(0xFF));
  EXPECT_EQ(probe::PixelAt(form_->ImageScImage->Handle(), view.right - 1, view.bottom - 1), Gray(0xFF));
}

}  // namespace
