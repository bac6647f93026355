#include "forms/qt/dropped_user_input.h"

#include <QCoreApplication>
#include <QEvent>

namespace forms::qt {

namespace {

bool IsUserInput(QEvent::Type type) {
  switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::NonClientAreaMouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
    case QEvent::ContextMenu:
      return true;
    default:
      return false;
  }
}

}  // namespace

DroppedUserInput::DroppedUserInput() { QCoreApplication::instance()->installEventFilter(this); }

DroppedUserInput::~DroppedUserInput() { QCoreApplication::instance()->removeEventFilter(this); }

bool DroppedUserInput::eventFilter(QObject*, QEvent* event) {
  return event->spontaneous() && IsUserInput(event->type());
}

}  // namespace forms::qt
