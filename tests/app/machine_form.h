// A main window over a simulated machine that the test prepares first: an
// empty machine with every driver file installed, readers plugged by the test,
// then the window, whose first Refresh the test runs itself.
#pragma once

#include <QTemporaryDir>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

#include "app/mainform.h"
#include "qt_form_fixture.h"
#include "simulator/machine/machine.h"

class MachineFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(root_.isValid());
    setenv("TOLVANE_SIM_ROOT", root_.path().toLocal8Bit().constData(), 1);
    ResetCaptureFlags();
    sim::InitMachine(true);
  }
  void TearDown() override {
    form_.reset();
    ResetCaptureFlags();
  }

  // Attaches a reader of the named generation, adjusted by `adjust`.
  static sim::Reader Plug(const char* name, uint32_t index,
                          const std::function<void(sim::Reader&)>& adjust = {}) {
    sim::Reader reader = sim::DefaultReader(*sim::FindReaderModel(name), index);
    if (adjust) adjust(reader);
    sim::PlugReader(reader);
    return reader;
  }

  // Only the named driver files stay installed.
  static void KeepOnlyDriverFiles(std::initializer_list<const char*> names) {
    for (const sim::InstalledFile& file : sim::ListDriverFiles()) {
      bool keep = false;
      for (const char* name : names) keep = keep || file.driverFile->name == std::string(name);
      if (file.present && !keep) sim::RemoveDriverFile(file.driverFile->name);
    }
  }

  static void SetProfile(const std::function<void(sim::Profile&)>& change) {
    sim::Profile profile = sim::LoadProfile();
    change(profile);
    sim::SaveProfile(profile);
  }

  // The window, without its timed first Refresh.
  TForm1& Form() {
    if (!form_) {
      form_ = std::make_unique<TForm1>();
      form_->Timer1->SetEnabled(false);
    }
    return *form_;
  }

  TForm1& Refreshed() {
    Form().BtnEnumClick();
    return *form_;
  }

  // The window on screen, its pages laid out.
  TForm1& Shown() {
    Form().Window->Show();
    ProcessEventsFor(50);
    return *form_;
  }

  // A press, as a person makes it: only on an enabled button.
  static void Press(forms::TButton* button) {
    ASSERT_TRUE(button->Enabled()) << button->Caption();
    button->Click();
    ProcessEventsFor(20);
  }

  // Refresh, select `item`, Init.
  TForm1& Initialized(int item = 0) {
    Refreshed().ComboDeviceID->SetItemIndex(item);
    form_->BtnInitClick();
    return *form_;
  }

  std::string Status() const { return ShownStatus(*form_); }

  std::vector<std::string> Items() const {
    std::vector<std::string> items;
    for (int i = 0; i < form_->ComboDeviceID->Count(); ++i) items.push_back(form_->ComboDeviceID->Item(i));
    return items;
  }

  QTemporaryDir root_;
  std::unique_ptr<TForm1> form_;
};
