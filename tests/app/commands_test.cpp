// Commands on an open reader that capture nothing: "Config...", the light,
// the capture modes, recalibration, the configuration file and the CMOS reset.

#include "scripted_form.h"

namespace {

using Log = std::vector<std::string>;

class CommandsTest : public ScriptedFormTest {
 protected:
  // The state Init leaves: mode items enabled, "Default Mode" chosen.
  void InitWithDefaultMode(uint8_t mode) {
    sensor_.mode = mode;
    form_->DefaultCaptureMode = mode;
    form_->SelectModeItem(form_->NormalMode1);
  }
};

TEST_F(CommandsTest, DefaultModeNKeepsRecalibrateOffAndRestoresModeN) {
  InitWithDefaultMode(0);
  EXPECT_TRUE(form_->NormalMode1->Checked());
  EXPECT_FALSE(form_->Recalibrate1->Enabled());

  Choose(form_->ModeT1);
  EXPECT_TRUE(form_->ModeT1->Checked());
  EXPECT_FALSE(form_->NormalMode1->Checked());
  EXPECT_FALSE(form_->Recalibrate1->Enabled());

  Choose(form_->NormalMode1);
  EXPECT_TRUE(form_->NormalMode1->Checked());
  EXPECT_FALSE(form_->ModeT1->Checked());
  EXPECT_EQ(sensor_.LogOf("SetOption"), (Log{"SetOption 0 1", "SetOption 0 0"}));
}

TEST_F(CommandsTest, DefaultModeFEnablesRecalibrateUntilAnotherModeIsChosen) {
  InitWithDefaultMode(2);
  EXPECT_TRUE(form_->Recalibrate1->Enabled());

  Choose(form_->ModeN1);
  EXPECT_TRUE(form_->ModeN1->Checked());
  EXPECT_FALSE(form_->Recalibrate1->Enabled());

  Choose(form_->NormalMode1);
  EXPECT_TRUE(form_->Recalibrate1->Enabled());
  EXPECT_EQ(sensor_.LogOf("SetOption"), (Log{"SetOption 0 0", "SetOption 0 2"}));
}

TEST_F(CommandsTest, RecalibrateOutsideModeFShowsTheBoxAndSendsNothing) {
  InitWithDefaultMode(1);
  form_->Recalibrate1Click();
  ASSERT_EQ(form_->Dialogs.shownMessages.size(), 1u);
  const DialogSeam::Message& box = form_->Dialogs.shownMessages[0];
  EXPECT_EQ(box.caption, "Recalibration");
  EXPECT_EQ(box.text, "Capture mode must be in mode F or\r\n Default mode with mode F.");
  EXPECT_EQ(box.icon, MessageIcon::None);
  EXPECT_FALSE(box.owned);
  EXPECT_TRUE(sensor_.LogOf("SetOption").empty());

  sensor_.mode = 3;
  form_->Recalibrate1Click();
  EXPECT_EQ(form_->Dialogs.shownMessages.size(), 1u);
  EXPECT_EQ(sensor_.LogOf("SetOption"), (Log{"SetOption 7 0", "SetOption 8 0"}));
}

TEST_F(CommandsTest, ConfigToModeFChecksTheGreyedModeFItemAndLeavesRecalibrate) {
  InitWithDefaultMode(0);
  sensor_.dialogMode = 2;
  form_->BtnConfigClick();
  EXPECT_TRUE(form_->ModeF1->Checked());
  EXPECT_FALSE(form_->ModeF1->Enabled());
  EXPECT_FALSE(form_->NormalMode1->Checked());
  EXPECT_FALSE(form_->Recalibrate1->Enabled());
  EXPECT_EQ(Status(), "Ready");

  // Back in the default mode, "Default Mode" carries the mark again.
  sensor_.dialogMode = 0;
  form_->BtnConfigClick();
  EXPECT_TRUE(form_->NormalMode1->Checked());
}

TEST_F(CommandsTest, ConfigFollowsTheModeOnlyForTheSmartCaptureReader) {
  InitWithDefaultMode(0);
  entries_[0].type = 5;
  sensor_.dialogMode = 1;
  form_->BtnConfigClick();
  EXPECT_TRUE(form_->NormalMode1->Checked());
}

TEST_F(CommandsTest, ConfigWithAnUnchangedBrightnessSendsNone) {
  form_->ScrollBarBrightness->SetPosition(sensor_.brightness);
  form_->BtnConfigClick();
  EXPECT_TRUE(sensor_.LogOf("SetBrightness").empty());
  EXPECT_EQ(form_->ScrollBarBrightness->Position(), sensor_.brightness);
}

TEST_F(CommandsTest, ConfigMovesTheBrightnessBarToTheReadersValue) {
  form_->ScrollBarBrightness->SetPosition(50);
  sensor_.dialogBrightness = 35;
  form_->BtnConfigClick();
  EXPECT_EQ(form_->ScrollBarBrightness->Position(), 35);
  EXPECT_EQ(form_->LabelBrightness->Caption(), "35");
  EXPECT_EQ(sensor_.LogOf("SetBrightness").front(), "SetBrightness 35");
  EXPECT_EQ(sensor_.brightness, 35);
}

TEST_F(CommandsTest, ConfigShowsTheDialogsStatusAndTheReadersSmartCaptureSwitch) {
  sensor_.dialogSmartCapture = 1;
  sensor_.configureStatus = 55;
  form_->CheckBoxShowSmartCaptureDetail->SetChecked(false);
  form_->BtnConfigClick();
  EXPECT_TRUE(form_->CheckBoxSmartCapture->Checked());
  EXPECT_TRUE(form_->CheckBoxShowSmartCaptureDetail->Checked());
  EXPECT_EQ(sensor_.LogOf("Control 5"), Log{"Control 5 1"});
  EXPECT_EQ(Status(), "Device not found...");

  // An unchanged switch sends nothing back.
  form_->BtnConfigClick();
  EXPECT_EQ(sensor_.LogOf("Control 5").size(), 1u);
  EXPECT_EQ(sensor_.log.front(), "Configure");
}

TEST_F(CommandsTest, LedOnOffTwiceSendsOnThenOff) {
  Choose(form_->LedOnOff1);
  EXPECT_TRUE(form_->LedOnOff1->Checked());
  Choose(form_->LedOnOff1);
  EXPECT_FALSE(form_->LedOnOff1->Checked());
  EXPECT_EQ(sensor_.LogOf("SetLed"), (Log{"SetLed 1", "SetLed 0"}));
}

TEST_F(CommandsTest, DeleteCfgFileReportsTheReadersAnswer) {
  sensor_.deleteAnswer = 0;
  form_->DeleteCfgFileClick();
  EXPECT_EQ(Status(), "Configuration file has been deleted.");
  sensor_.deleteAnswer = 1;
  form_->DeleteCfgFileClick();
  EXPECT_EQ(Status(), "Configuration file has NOT been deleted.");
  EXPECT_EQ(sensor_.LogOf("Control 118").size(), 2u);
}

TEST_F(CommandsTest, WithoutAReaderNoCommandReachesOneOrChangesTheWindow) {
  form_->Sensor = nullptr;
  const std::string status = Status();
  form_->BtnConfigClick();
  Choose(form_->LedOnOff1);
  form_->ModeN1Click();
  form_->ModeT1Click();
  form_->NormalMode1Click();
  form_->Recalibrate1Click();
  form_->DeleteCfgFileClick();
  form_->ButtonResetCmosClick();
  EXPECT_TRUE(sensor_.Calls().empty());
  EXPECT_FALSE(form_->LedOnOff1->Checked());
  EXPECT_TRUE(form_->Dialogs.shownMessages.empty());
  EXPECT_EQ(Status(), status);
}

}  // namespace
