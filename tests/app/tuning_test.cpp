// Brightness, gain limits, sharpness and the smart-capture switch: what the
// reader is sent, in order, and what the bars and labels show.
#include <algorithm>

#include "fake_sensor.h"
#include "form_fixture.h"

namespace {

using Strings = std::vector<std::string>;

// Logs brightness and control codes with their values; gain limits are clamped
// to the reader's own ranges and written back, as a reader does.
class TuningSensor : public FakeSensor {
 public:
  Strings log;

  uint32_t SENSORAPI SetBrightness(int32_t value) override {
    log.push_back("SetBrightness " + std::to_string(value));
    return 0;
  }
  uint32_t SENSORAPI Control(uint32_t code, void* data) override {
    auto* byte = static_cast<uint8_t*>(data);
    if (code == 113) *byte = std::clamp<uint8_t>(*byte, 9, 108);
    if (code == 114) *byte = std::min<uint8_t>(*byte, 8);
    log.push_back("Control " + std::to_string(code) + " " + std::to_string(*byte));
    return 0;
  }
};

class TuningTest : public FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    HoldFirstRefresh();
    form_->Sensor = &sensor_;
  }
  void TearDown() override {
    form_->Sensor = nullptr;
    FormTest::TearDown();
  }

  TuningSensor sensor_;
};

TEST_F(TuningTest, BrightnessMovesTheBarWhichSendsItOnceMore) {
  form_->SetBrightnessValue(70);
  EXPECT_EQ(sensor_.log, (Strings{"SetBrightness 70", "SetBrightness 70"}));
  EXPECT_EQ(form_->ScrollBarBrightness->Position(), 70);
  EXPECT_EQ(form_->LabelBrightness->Caption(), "70");

  sensor_.log.clear();
  form_->SetBrightnessValue(70);  // the bar does not move: sent once
  EXPECT_EQ(sensor_.log, Strings{"SetBrightness 70"});
}

TEST_F(TuningTest, ReaderValueBeyondTheBarPutsItAtTheEndAndTheLabelShowsTheValue) {
  form_->SetBrightnessValue(130);
  EXPECT_EQ(sensor_.log, (Strings{"SetBrightness 130", "SetBrightness 100"}));
  EXPECT_EQ(form_->ScrollBarBrightness->Position(), 100);
  EXPECT_EQ(form_->LabelBrightness->Caption(), "130");
}

TEST_F(TuningTest, BrightnessWaitsForTheCallbackDuringContinuousCapture) {
  NotCapturing = 0;
  form_->SetBrightnessValue(30);
  form_->SetBrightnessValue(35);
  EXPECT_TRUE(sensor_.log.empty());
  EXPECT_EQ(form_->BrightnessPending, 1);
  EXPECT_EQ(form_->PendingBrightness, 35u);
  EXPECT_EQ(form_->LabelBrightness->Caption(), "35");
}

TEST_F(TuningTest, GainLimitShowsWhatTheReaderLeftAndResendsTheBrightness) {
  // Moved without a reader, the bar sends nothing.
  form_->Sensor = nullptr;
  form_->ScrollBarBrightness->SetPosition(44);
  form_->Sensor = &sensor_;

  form_->SetGainMax(200);  // the reader keeps 108, the bar's own end
  EXPECT_EQ(sensor_.log,
            (Strings{"Control 113 108", "Control 113 108", "SetBrightness 44", "SetBrightness 44"}));
  EXPECT_EQ(form_->ScrollBarGainMax->Position(), 108);
  EXPECT_EQ(form_->LabelGainMax->Caption(), "108");

  sensor_.log.clear();
  form_->ScrollBarGainMin->SetPosition(3);
  EXPECT_EQ(sensor_.log, (Strings{"Control 114 3", "SetBrightness 44"}));
  EXPECT_EQ(form_->LabelGainMin->Caption(), "3");
}

TEST_F(TuningTest, SwitchesFollowTheirBoxes) {
  form_->CheckBoxSmartCapture->SetChecked(true);
  EXPECT_TRUE(form_->CheckBoxShowSmartCaptureDetail->Checked());
  form_->CheckBoxSharpness->SetChecked(false);  // checked at start
  EXPECT_EQ(sensor_.log, (Strings{"Control 5 1", "Control 117 0"}));

  form_->Sensor = nullptr;  // no reader: nothing is sent, the detail box stays
  form_->CheckBoxSmartCapture->SetChecked(false);
  EXPECT_TRUE(form_->CheckBoxShowSmartCaptureDetail->Checked());
  EXPECT_EQ(sensor_.log.size(), 2u);
}

}  // namespace
