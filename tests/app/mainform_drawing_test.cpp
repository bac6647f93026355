// Repainting draws the current image onto the Image page's surface, and the
// repaint this causes does not start another one.
#include <QEvent>
#include <QTabWidget>
#include <cstring>

#include "app/surface_page.h"
#include "fake_sensor.h"
#include "form_fixture.h"

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

uint32_t SurfacePixel(HWND window, int x, int y) {
  uint32_t pixel = 0;
  platform::WithSurface(window, [&](platform::Surface& surface) {
    pixel = surface.pixels[static_cast<size_t>(y) * surface.width + x];
  });
  return pixel;
}

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
  form_->installEventFilter(&counter);
  form_->show();
  const QRect image = form_->Image1->geometry();
  ASSERT_TRUE(ProcessEventsUntil([&] {
    return SurfacePixel(form_->TabImage->Handle(), image.center().x(), image.center().y()) ==
           0xFF404040u;
  }));
  ProcessEventsFor(200);
  const int settled = counter.paints;
  ProcessEventsFor(300);
  EXPECT_EQ(counter.paints, settled) << "the window keeps repainting itself";
}

TEST_F(DrawingTest, WithoutAReaderNothingIsDrawn) {
  form_->Dib.Create(300, 400);
  form_->ImageBuffer = std::make_unique<uint8_t[]>(300 * 400);  // zero: black
  form_->show();
  ProcessEventsFor(100);
  const QRect image = form_->Image1->geometry();
  EXPECT_NE(SurfacePixel(form_->TabImage->Handle(), image.center().x(), image.center().y()),
            0xFF000000u);
}

TEST_F(DrawingTest, ClearImageControlPaintsTheControlWhite) {
  form_->Dib.Create(300, 400);
  form_->show();
  ProcessEventsFor(50);
  form_->ClearImageControl(form_->ImageScImage);
  const QRect view = form_->ImageScImage->geometry();
  EXPECT_EQ(SurfacePixel(form_->TabSmartCapture->Handle(), view.left(), view.top()), 0xFFFFFFFFu);
  EXPECT_EQ(SurfacePixel(form_->TabSmartCapture->Handle(), view.right(), view.bottom()), 0xFFFFFFFFu);
}

}  // namespace
