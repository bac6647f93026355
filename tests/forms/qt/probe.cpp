// The probe on Qt: accessibility through QAccessible, colours from the
// pixel surface a window's page draws on, paints and changes seen through Qt's
// events and signals. The empty workstation is an empty simulated machine.
#include "tests/forms/probe.h"

#include <QAccessible>
#include <QEvent>
#include <QPushButton>
#include <QStatusBar>
#include <QWidget>
#include <cstdlib>
#include <optional>

#include "forms/qt/qt_components.h"
#include "platform/window_host.h"
#include "tests/forms/temp_folder.h"

namespace probe {

struct EmptyWorkstation::State {
  TempFolder root;
  std::optional<std::string> previous;
};

EmptyWorkstation::EmptyWorkstation() : state_(std::make_unique<State>()) {
  if (const char* old = std::getenv("TOLVANE_SIM_ROOT")) state_->previous = old;
  setenv("TOLVANE_SIM_ROOT", state_->root.Path().c_str(), 1);
}

EmptyWorkstation::~EmptyWorkstation() {
  if (state_->previous) {
    setenv("TOLVANE_SIM_ROOT", state_->previous->c_str(), 1);
  } else {
    unsetenv("TOLVANE_SIM_ROOT");
  }
}

bool DeliverDeviceChange(HWND window, WPARAM event, std::vector<uint8_t> record) {
  return platform::PostMessageWithRecord(window, WM_DEVICECHANGE, event, std::move(record));
}

std::string Heard(const forms::TControl* control) {
  const QAccessibleInterface* heard = QAccessible::queryAccessibleInterface(forms::qt::WidgetOf(control));
  return heard ? heard->text(QAccessible::Name).toStdString() : std::string();
}

uint32_t PixelAt(HWND window, int x, int y) {
  uint32_t pixel = 0;
  platform::WithSurface(window, [&](platform::Surface& surface) {
    if (x >= 0 && y >= 0 && x < surface.width && y < surface.height) {
      pixel = surface.pixels[static_cast<size_t>(y) * surface.width + x] & 0xFFFFFFu;
    }
  });
  return pixel;
}

std::pair<int, int> ClientSize(const forms::TFormWindow* window) {
  const QWidget* host = forms::qt::WidgetOf(window);
  // A window that cannot be resized keeps one size.
  if (host->minimumSize() != host->maximumSize()) return {-1, -1};
  return {host->width(), host->height()};
}

bool IsDefaultButton(const forms::TButton* button) {
  const auto* pushButton = qobject_cast<const QPushButton*>(forms::qt::WidgetOf(button));
  return pushButton && pushButton->isDefault();
}

namespace {

class PaintFilter : public QObject {
 public:
  explicit PaintFilter(std::function<void()> seen) : seen_(std::move(seen)) {}

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) seen_();
    return false;
  }

 private:
  std::function<void()> seen_;
};

}  // namespace

struct PaintWatch::State {
  explicit State(std::function<void()> seen) : filter(std::move(seen)) {}
  PaintFilter filter;
};

PaintWatch::PaintWatch(forms::TFormWindow* window, std::function<void()> seen)
    : state_(std::make_unique<State>(std::move(seen))) {
  forms::qt::WidgetOf(window)->installEventFilter(&state_->filter);
}

PaintWatch::~PaintWatch() = default;

struct StatusWatch::State {
  QObject receiver;
};

StatusWatch::StatusWatch(forms::TStatusBar* bar, std::function<void()> seen) : state_(std::make_unique<State>()) {
  QObject::connect(static_cast<QStatusBar*>(forms::qt::WidgetOf(bar)), &QStatusBar::messageChanged,
                   &state_->receiver, [seen = std::move(seen)] { seen(); }, Qt::DirectConnection);
}

StatusWatch::~StatusWatch() = default;

}  // namespace probe
