// Accessibility switched on in the test process, as a screen reader's bridge
// switches it on, with every event the widgets raise recorded instead of sent.
#pragma once

#include <QAccessible>
#include <QString>
#include <private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>
#include <vector>

class AccessibilityEvents {
 public:
  struct Event {
    QAccessible::Event type;
    const QObject* object;
    QString name;  // the object's accessible name when the event was raised
  };

  AccessibilityEvents() {
    recorder_ = this;
    QAccessible::installUpdateHandler(&Record);
    Bridge()->setActive(true);
  }
  ~AccessibilityEvents() {
    Bridge()->setActive(false);
    QAccessible::installUpdateHandler(nullptr);
    recorder_ = nullptr;
  }
  AccessibilityEvents(const AccessibilityEvents&) = delete;
  AccessibilityEvents& operator=(const AccessibilityEvents&) = delete;

  // The names announced for `object`, one per name-changed event, oldest first.
  std::vector<QString> NamesAnnounced(const QObject* object) const {
    std::vector<QString> names;
    for (const Event& event : events) {
      if (event.object == object && event.type == QAccessible::NameChanged) names.push_back(event.name);
    }
    return names;
  }

  std::vector<Event> events;

 private:
  static QPlatformAccessibility* Bridge() { return QGuiApplicationPrivate::platformIntegration()->accessibility(); }

  static void Record(QAccessibleEvent* event) {
    QAccessibleInterface* target = event->accessibleInterface();
    recorder_->events.push_back(
        Event{event->type(), event->object(), target ? target->text(QAccessible::Name) : QString()});
  }

  static inline AccessibilityEvents* recorder_ = nullptr;
};
