#include "forms/qt/surface_page.h"

#include <QChildEvent>
#include <QImage>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>
#include <QResizeEvent>
#include <QTimer>
#include <algorithm>

#include "forms/qt/queued_call.h"

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

// Controls are watched from the moment they join the page; one that leaves it
// leaves its area behind.
void TSurfacePage::childEvent(QChildEvent* event) {
  QWidget::childEvent(event);
  if (event->added() && event->child()->isWidgetType()) {
    event->child()->installEventFilter(this);
  } else if (event->removed()) {
    const auto area = childAreas_.constFind(event->child());
    if (area == childAreas_.cend()) return;
    EraseUncovered(*area, QRect());
    childAreas_.erase(area);
  }
}

// A control's area is known once it is shown. A page hidden behind another tab
// hides its controls too, but they keep their places on its surface; only a
// control hidden itself leaves its area.
bool TSurfacePage::eventFilter(QObject* watched, QEvent* event) {
  if (watched->parent() != this) return false;
  const auto* control = static_cast<const QWidget*>(watched);
  switch (event->type()) {
    case QEvent::Show:
      childAreas_.insert(watched, control->geometry());
      break;
    case QEvent::Move:
    case QEvent::Resize: {
      const auto area = childAreas_.find(watched);
      if (area == childAreas_.end()) break;
      EraseUncovered(*area, control->geometry());
      *area = control->geometry();
      break;
    }
    case QEvent::Hide:
      if (control->isHidden()) {
        const auto area = childAreas_.constFind(watched);
        if (area == childAreas_.cend()) break;
        EraseUncovered(*area, QRect());
        childAreas_.erase(area);
      }
      break;
    default:
      break;
  }
  return false;
}

uint32_t TSurfacePage::BackgroundPixel() const {
  return palette().color(backgroundRole()).rgb() | 0xFF000000u;
}

// A new size starts as the page's own background; whatever was drawn before is
// drawn again by the window's repaint.
void TSurfacePage::FillSurfaceWithBackground() {
  const uint32_t background = BackgroundPixel();
  const int w = width();
  const int h = height();
  platform::WithSurface(handle_, [&](platform::Surface& surface) {
    surface.width = w;
    surface.height = h;
    surface.pixels.assign(static_cast<size_t>(w) * static_cast<size_t>(h), background);
  });
  update();
}

void TSurfacePage::EraseUncovered(const QRect& left, const QRect& kept) {
  const QRegion uncovered = QRegion(left).subtracted(QRegion(kept));
  if (uncovered.isEmpty()) return;
  const uint32_t background = BackgroundPixel();
  platform::WithSurface(handle_, [&](platform::Surface& surface) {
    const QRect bounds(0, 0, surface.width, surface.height);
    for (const QRect& part : uncovered) {
      const QRect area = part.intersected(bounds);
      for (int y = area.top(); y <= area.bottom(); ++y) {
        const auto row = surface.pixels.begin() + static_cast<ptrdiff_t>(y) * surface.width;
        std::fill(row + area.left(), row + area.right() + 1, background);
      }
    }
  });
  update(uncovered);
}

void TSurfacePage::MessagesPosted() {
  QueueCall(this, [this] { platform::DispatchPostedMessages(handle_); });
}

LRESULT TSurfacePage::WindowProc(UINT, WPARAM, LPARAM) { return 0; }

void TSurfacePage::SurfaceChanged() {
  if (repaintQueued_.exchange(true)) return;
  QueueCall(this, [this] {
    const qint64 elapsed = sinceRepaint_.isValid() ? sinceRepaint_.elapsed() : kMinRepaintIntervalMs;
    QTimer::singleShot(std::max<qint64>(0, kMinRepaintIntervalMs - elapsed), this, [this] {
      repaintQueued_ = false;
      sinceRepaint_.start();
      update();
    });
  });
}
