// A main window on its own simulated machine, with the capture flags as at
// program start.
#pragma once

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QScreen>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

#include "app/capture_flags.h"
#include "app/mainform.h"

inline void ResetCaptureFlags() {
  NotCapturing = 1;
  StopRequested = 1;
  StoppedByCallback = 0;
  ImageAvailable = 0;
  ResumeAfterSuspend = 0;
  LastCallbackTick = 0;
}

// Processes events until `done` holds or `timeoutMs` passed; returns `done()`.
inline bool ProcessEventsUntil(const std::function<bool()>& done, int timeoutMs = 2000) {
  QElapsedTimer clock;
  clock.start();
  while (!done() && clock.elapsed() < timeoutMs) {
    QApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  return done();
}

inline void ProcessEventsFor(int milliseconds) {
  ProcessEventsUntil([] { return false; }, milliseconds);
}

// Chooses a menu item as a person does: only while it is enabled. Its command
// runs from the event loop, as after a real menu has closed.
inline void Choose(QAction* item) {
  ASSERT_TRUE(item->isEnabled()) << item->text().toStdString();
  item->trigger();
  QCoreApplication::sendPostedEvents();
}

// What a screen reader hears of `object`: its accessible name, or another text.
inline QString Heard(QObject* object, QAccessible::Text text = QAccessible::Name) {
  const QAccessibleInterface* heard = QAccessible::queryAccessibleInterface(object);
  return heard ? heard->text(text) : QString();
}

// The status bar's message as a person reads it. A screen reader hears the
// same: the bar's accessible name is its message.
inline QString ShownStatus(const TForm1& form) {
  const QString message = form.StatusBar->currentMessage();
  EXPECT_EQ(Heard(form.StatusBar), message) << "a screen reader hears another status";
  return message;
}

// What the screen shows of `widget` now: its window's painted pixels, not a
// fresh rendering.
inline QImage OnScreen(const QWidget& widget) {
  const QWidget* window = widget.window();
  const QPoint origin = widget.mapTo(window, QPoint(0, 0));
  return window->screen()
      ->grabWindow(window->winId(), origin.x(), origin.y(), widget.width(), widget.height())
      .toImage()
      .convertToFormat(QImage::Format_RGB32);
}

class FormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(root_.isValid());
    setenv("TOLVANE_SIM_ROOT", root_.path().toLocal8Bit().constData(), 1);
    ResetCaptureFlags();
    form_ = std::make_unique<TForm1>();
  }
  void TearDown() override {
    form_.reset();
    ResetCaptureFlags();
  }

  // Keeps the design state: the first Refresh does not run.
  void HoldFirstRefresh() { form_->Timer1->stop(); }

  QTemporaryDir root_;
  std::unique_ptr<TForm1> form_;
};
