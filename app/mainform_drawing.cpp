// Drawing gray images through the display bitmap into the drawing areas.
#include <algorithm>
#include <mutex>
#include <vector>

#include "app/mainform.h"

void TForm1::DrawImageInControl(forms::TDrawingArea* control, const uint8_t* data) {
  if (!data) return;
  const RECT rect = control->DrawBounds();
  HDC dc = GetDC(control->Handle());
  if (!dc) return;
  Dib.DrawImage(dc, &rect, data);
  ReleaseDC(control->Handle(), dc);
}

void TForm1::ShowCurrentImage(const uint8_t* data) { DrawImageInControl(Image1, data); }

// White over the control; the buffer is never smaller than the bitmap's image,
// since right after a new size the control may still have the old one.
void TForm1::ClearImageControl(forms::TDrawingArea* control) {
  const size_t controlBytes = static_cast<size_t>(control->Width()) * static_cast<size_t>(control->Height());
  const size_t imageBytes =
      static_cast<size_t>(std::max(Dib.SourceWidth(), 0)) * static_cast<size_t>(std::max(Dib.Height(), 0));
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
