// A main window on its own simulated machine, with the capture flags as at
// program start.
#pragma once

#include <QAccessible>
#include <QElapsedTimer>
#include <QImage>
#include <QScreen>
#include <QTemporaryDir>
#include <QWidget>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

#include "app/capture_flags.h"
#include "app/mainform.h"
#include "forms/application.h"
#include "forms/qt/qt_components.h"
#include "platform/window_host.h"

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
  while (!done() && clock.elapsed() < timeoutMs) forms::Application::ProcessMessages(10);
  return done();
}

inline void ProcessEventsFor(int milliseconds) {
  ProcessEventsUntil([] { return false; }, milliseconds);
}

// Chooses a menu item as a person does: only while it is enabled. Its command
// runs from the message loop, as after a real menu has closed.
inline void Choose(forms::TMenuItem* item) {
  ASSERT_TRUE(item->Enabled()) << item->Caption();
  item->Click();
  forms::Application::ProcessMessages();
}

// The widget behind a component, for what only the toolkit shows.
inline QWidget* W(const forms::TControl* control) { return forms::qt::WidgetOf(control); }

// What a screen reader hears of `object`: its accessible name, or another text.
inline QString Heard(QObject* object, QAccessible::Text text = QAccessible::Name) {
  const QAccessibleInterface* heard = QAccessible::queryAccessibleInterface(object);
  return heard ? heard->text(text) : QString();
}
inline QString Heard(const forms::TControl* control, QAccessible::Text text = QAccessible::Name) {
  return Heard(W(control), text);
}

// The status bar's message as a person reads it. A screen reader hears the
// same: the bar's accessible name is its message.
inline std::string ShownStatus(const TForm1& form) {
  const std::string message = form.StatusBar->SimpleText();
  EXPECT_EQ(Heard(form.StatusBar).toStdString(), message) << "a screen reader hears another status";
  return message;
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
  void HoldFirstRefresh() { form_->Timer1->SetEnabled(false); }

  QTemporaryDir root_;
  std::unique_ptr<TForm1> form_;
};

// A control's width and height.
inline std::pair<int, int> SizeOf(const forms::TControl* control) { return {control->Width(), control->Height()}; }
