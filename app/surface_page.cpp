#include "app/surface_page.h"

#include <QImage>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QTimer>
#include <algorithm>

TSurfacePage::TSurfacePage(QWidget* parent) : QWidget(parent) {
  // The surface covers the whole page, so nothing beneath needs repainting;
  // this also keeps a page repaint from repainting the main window.
  setAttribute(Qt::WA_OpaquePaintEvent);
  handle_ = platform::RegisterWindow(this, 0, 0);
}

TSurfacePage::~TSurfacePage() { platform::UnregisterWindow(handle_); }

void TSurfacePage::AlignBottom(QWidget* child) {
  bottomChild_ = child;
  child->setGeometry(0, height() - child->height(), width(), child->height());
}

void TSurfacePage::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  platform::WithSurface(handle_, [&](platform::Surface& surface) {
    if (surface.width <= 0 || surface.height <= 0) return;
    const QImage image(reinterpret_cast<const uchar*>(surface.pixels.data()), surface.width,
                       surface.height, QImage::Format_RGB32);
    painter.drawImage(event->rect(), image, event->rect());
  });
}

void TSurfacePage::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  FillSurfaceWithBackground();
  if (bottomChild_) AlignBottom(bottomChild_);
}

// A new size starts as the page's own background; whatever was drawn before is
// drawn again by the window's repaint.
void TSurfacePage::FillSurfaceWithBackground() {
  const uint32_t background = palette().color(backgroundRole()).rgb() | 0xFF000000u;
  const int w = width();
  const int h = height();
  platform::WithSurface(handle_, [&](platform::Surface& surface) {
    surface.width = w;
    surface.height = h;
    surface.pixels.assign(static_cast<size_t>(w) * static_cast<size_t>(h), background);
  });
  update();
}

void TSurfacePage::MessagesPosted() {
  QMetaObject::invokeMethod(
      this, [this] { platform::DispatchPostedMessages(handle_); }, Qt::QueuedConnection);
}

LRESULT TSurfacePage::WindowProc(UINT, WPARAM, LPARAM) { return 0; }

void TSurfacePage::SurfaceChanged() {
  if (repaintQueued_.exchange(true)) return;
  QMetaObject::invokeMethod(
      this,
      [this] {
        const qint64 elapsed = sinceRepaint_.isValid() ? sinceRepaint_.elapsed() : kMinRepaintIntervalMs;
        QTimer::singleShot(std::max<qint64>(0, kMinRepaintIntervalMs - elapsed), this, [this] {
          repaintQueued_ = false;
          sinceRepaint_.start();
          update();
        });
      },
      Qt::QueuedConnection);
}
