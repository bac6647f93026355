// Repainting draws the current image onto the Image page's surface, and the
// repaint this causes does not start another one.
#include <QEvent>
#include <cstring>

#include "fake_sensor.h"
#include "scripted_form.h"

namespace {

class PaintCounter : public QObject {
 public:
  int paints = 0;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return false;
  }
};

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

  PaintCounter counter;
  W(form_->Window.get())->installEventFilter(&counter);
  form_->Window->Show();
  ASSERT_TRUE(ProcessEventsUntil([&] { return CenterPixel(form_->Image1) == 0xFF404040u; }));
  ProcessEventsFor(200);
  const int settled = counter.paints;
  ProcessEventsFor(300);
  EXPECT_EQ(counter.paints, settled) << "the window keeps repainting itself";
}

TEST_F(DrawingTest, WithoutAReaderNothingIsDrawn) {
  form_->Dib.Create(300, 400);
  form_->ImageBuffer = std::make_unique<uint8_t[]>(300 * 400);  // zero: black
  form_->Window->Show();
  ProcessEventsFor(100);
  EXPECT_NE(CenterPixel(form_->Image1), 0xFF000000u);
}

TEST_F(DrawingTest, ClearImageControlPaintsTheControlWhite) {
  form_->Dib.Create(300, 400);
  form_->Window->Show();
  ProcessEventsFor(50);
  form_->ClearImageControl(form_->ImageScImage);
  const RECT view = form_->ImageScImage->DrawBounds();
  EXPECT_EQ(SurfacePixelAt(form_->ImageScImage->Handle(), QPoint(view.left, view.top)), 0xFFFFFFFFu);
  EXPECT_EQ(SurfacePixelAt(form_->ImageScImage->Handle(), QPoint(view.right - 1, view.bottom - 1)), 0xFFFFFFFFu);
}

}  // namespace
