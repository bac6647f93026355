// A main window on a workstation without the family's readers, with the
// capture flags as at program start. Written against the toolkit interface
// and the probe only, so that every toolkit runs the same tests.
#pragma once

#include <chrono>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <utility>

#include "app/capture_flags.h"
#include "app/mainform.h"
#include "forms/application.h"
#include "tests/forms/probe.h"

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
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!done() && std::chrono::steady_clock::now() < end) forms::Application::ProcessMessages(10);
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

// The status bar's message as a person reads it. A screen reader hears the
// same: the bar's accessible name is its message.
inline std::string ShownStatus(const TForm1& form) {
  const std::string message = form.StatusBar->SimpleText();
  EXPECT_EQ(probe::Heard(form.StatusBar), message) << "a screen reader hears another status";
  return message;
}

class FormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetCaptureFlags();
    form_ = std::make_unique<TForm1>();
  }
  void TearDown() override {
    form_.reset();
    ResetCaptureFlags();
  }

  // Keeps the design state: the first Refresh does not run.
  void HoldFirstRefresh() { form_->Timer1->SetEnabled(false); }

  probe::EmptyWorkstation workstation_;
  std::unique_ptr<TForm1> form_;
};

// A control's width and height.
inline std::pair<int, int> SizeOf(const forms::TControl* control) { return {control->Width(), control->Height()}; }
