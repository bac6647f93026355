// What only the Qt toolkit shows of a form: its widgets, the accessible texts
// beyond the name, and the painted pixels of a control.
#pragma once

#include <QAccessible>
#include <QImage>
#include <QScreen>
#include <QWidget>

#include "form_fixture.h"
#include "forms/qt/qt_components.h"

// The widget behind a component.
inline QWidget* W(const forms::TControl* control) { return forms::qt::WidgetOf(control); }

// What a screen reader hears of `object`: its accessible name, or another text.
inline QString Heard(QObject* object, QAccessible::Text text = QAccessible::Name) {
  const QAccessibleInterface* heard = QAccessible::queryAccessibleInterface(object);
  return heard ? heard->text(text) : QString();
}
inline QString Heard(const forms::TControl* control, QAccessible::Text text = QAccessible::Name) {
  return Heard(W(control), text);
}

// What the screen shows of `control` now: its window's painted pixels, not a
// fresh rendering.
inline QImage OnScreen(const forms::TControl* control) {
  const QWidget& widget = *W(control);
  const QWidget* window = widget.window();
  const QPoint origin = widget.mapTo(window, QPoint(0, 0));
  return window->screen()
      ->grabWindow(window->winId(), origin.x(), origin.y(), widget.width(), widget.height())
      .toImage()
      .convertToFormat(QImage::Format_RGB32);
}
