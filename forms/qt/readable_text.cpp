#include "forms/qt/readable_text.h"

#include <QApplication>
#include <QChildEvent>
#include <QEvent>
#include <QPalette>
#include <QWidget>

namespace {

constexpr QPalette::ColorRole kTextRoles[] = {QPalette::WindowText, QPalette::Text,
                                              QPalette::ButtonText};

// Watches the container and its descendants; as each one is drawn, its
// disabled text colours follow whether it is disabled by itself or only by an
// ancestor. (Enabling a control inside a disabled container changes nothing Qt
// reports, so the state is read when it matters: at drawing.)
class ReadableText final : public QObject {
 public:
  ReadableText(QWidget* container, ContainerTitle title)
      : QObject(container), container_(container), title_(title) {
    Watch(container);
    for (QWidget* child : container->findChildren<QWidget*>()) Watch(child);
  }

  // Controls put into the container later are watched as they arrive.
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) Apply(static_cast<QWidget*>(watched));
    if (event->type() == QEvent::ChildAdded && watched == container_) {
      QObject* child = static_cast<QChildEvent*>(event)->child();
      if (child->isWidgetType()) Watch(static_cast<QWidget*>(child));
    }
    return false;
  }

 private:
  void Watch(QWidget* widget) {
    widget->installEventFilter(this);
    Apply(widget);
  }

  void Apply(QWidget* widget) const {
    const bool greyed = widget == container_ ? title_ == ContainerTitle::Greyed
                                             : widget->testAttribute(Qt::WA_ForceDisabled);
    const QPalette standard = QApplication::palette(widget);
    QPalette colors = widget->palette();
    for (QPalette::ColorRole role : kTextRoles) {
      colors.setColor(QPalette::Disabled, role,
                      greyed ? standard.color(QPalette::Disabled, role) : colors.color(QPalette::Active, role));
    }
    if (colors != widget->palette()) widget->setPalette(colors);
  }

  QWidget* container_;
  ContainerTitle title_;
};

}  // namespace

void KeepTextReadable(QWidget* container, ContainerTitle title) { new ReadableText(container, title); }
