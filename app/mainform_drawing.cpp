// Drawing gray images through the display bitmap onto the surface of the page
// that holds the image control.
#include <algorithm>
#include <mutex>
#include <vector>

#include "app/mainform.h"
#include "app/surface_page.h"

void TForm1::DrawImageInControl(QWidget* control, const uint8_t* data) {
  auto* page = dynamic_cast<TSurfacePage*>(control->parentWidget());
  if (!page || !data) return;
  const QRect bounds = control->geometry();
  const RECT rect{bounds.left(), bounds.top(), bounds.left() + bounds.width(),
                  bounds.top() + bounds.height()};
  HDC dc = GetDC(page->Handle());
  if (!dc) return;
  Dib.DrawImage(dc, &rect, data);
  ReleaseDC(page->Handle(), dc);
}

void TForm1::ShowCurrentImage(const uint8_t* data) { DrawImageInControl(Image1, data); }

// White over the control; the buffer is never smaller than the bitmap's image,
// since right after a new size the control may still have the old one.
void TForm1::ClearImageControl(QWidget* control) {
  const size_t controlBytes = static_cast<size_t>(control->width()) * control->height();
  const size_t imageBytes =
      static_cast<size_t>(std::max(Dib.SourceWidth(), 0)) * std::max(Dib.Height(), 0);
  const std::vector<uint8_t> white(std::max({controlBytes, imageBytes, size_t{1}}), 255);
  DrawImageInControl(control, white.data());
}

void TForm1::FormPaint() {
  if (!Sensor) return;
  {
    std::lock_guard guard(ImageLock);
    ShowCurrentImage(ImageBuffer.get());
  }
  RefreshDetail();
}

void TForm1::paintEvent(QPaintEvent* event) {
  QMainWindow::paintEvent(event);
  FormPaint();
}
