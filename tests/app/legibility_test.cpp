// The window read by a person: every text whole at the font really used, in
// every state the window can be in, and the values of a disabled group in the
// normal text colour.
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <climits>
#include <gmock/gmock.h>

#include "app/aboutbox.h"
#include "forms/qt/form_font.h"
#include "device/status_message.h"
#include "legible_texts.h"
#include "machine_form.h"
#include "sim_command.h"

namespace {

using ::testing::Contains;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

// The darkest gray level of what the control shows: its text, on lighter ground.
int DarkestGray(const QWidget* control) {
  const QImage image = const_cast<QWidget*>(control)->grab().toImage();
  int darkest = 255;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) darkest = std::min(darkest, qGray(image.pixel(x, y)));
  }
  return darkest;
}

// Text in the normal colour is near black; greyed text stays light.
constexpr int kNormalTextAtMost = 80;
constexpr int kGreyedTextAtLeast = 120;

class LegibilityTest : public MachineFormTest {
 protected:
  void InitItem(int item) {
    form_->ComboDeviceID->SetItemIndex(item);
    Press(form_->BtnInit);
  }
  std::vector<std::string> StatusCut() const {
    std::vector<std::string> cut;
    for (const TextPlace& place : TextPlaces(W(form_->StatusBar))) {
      const std::string obstacle = Obstacle(W(form_->StatusBar), place, W(form_->Window->Client()));
      if (!obstacle.empty()) cut.push_back(place.text.toStdString() + ": " + obstacle);
    }
    return cut;
  }
};

TEST_F(LegibilityTest, TheAboutBoxShowsEveryTextWhole) {
  TAboutBoxDlg about;
  about.Window->Show();
  EXPECT_EQ(CutTexts(W(about.Window.get())), std::vector<std::string>{});
}

TEST_F(LegibilityTest, TheFormsFaceHasTheFormsMetrics) {
  const QFontInfo face(W(Shown().Window.get())->font());
  EXPECT_EQ(face.family(), "Tahoma");
  EXPECT_EQ(face.pixelSize(), 11);
}

TEST_F(LegibilityTest, EveryTextIsWholeInEveryStateOfTheWindow) {
  for (const char* name : {"HMX05", "HMX06", "HMX04", "QVUSB", "OMREL", "parallel"}) Plug(name, 0);
  TForm1& form = Shown();
  EXPECT_THAT(CutTextsOnEveryPage(form), IsEmpty()) << "design state";
  Press(form.BtnEnum);
  EXPECT_THAT(CutTextsOnEveryPage(form), IsEmpty()) << "after Refresh";

  for (int item = 0; item < form.ComboDeviceID->Count(); ++item) {
    const std::string reader = form.ComboDeviceID->Item(item);
    InitItem(item);
    ASSERT_EQ(Status(), "Device Initialization Success") << reader;
    // Also where the auto-capture group narrows to the parallel reader's
    // 240-pixel image.
    EXPECT_THAT(CutTextsOnEveryPage(form), IsEmpty()) << "after Init of " << reader;
    // The R20 also fills the smart-capture details.
    Press(form.BtnCapture);
    EXPECT_THAT(CutTextsOnEveryPage(form), IsEmpty()) << "after a capture on " << reader;
  }
}

TEST_F(LegibilityTest, EveryStatusTextAndTheLongestResultLinesFitTheStatusBar) {
  Plug("HMX05", 0);
  TForm1& form = Shown();
  Press(form.BtnEnum);
  std::vector<uint32_t> codes;
  for (uint32_t code = 0; code <= 70; ++code) codes.push_back(code);
  codes.push_back(UINT32_MAX);  // the longest formatted code
  for (uint32_t code : codes) {
    form.ShowStatus(code);
    EXPECT_THAT(StatusCut(), IsEmpty());
    std::string message;
    form.SetStatusText("Stopped: " + StatusMessage(code, message));
    EXPECT_THAT(StatusCut(), IsEmpty());
  }
  for (const char* text :
       {"Click init button to initialize device", "Enumerating...", "No fingerprint device found.",
        "Select a fingerprint device and Click Init button. 32 device(s) found.", "Initializing...",
        "Can not load driver", "Device information unavailable: capture disabled", "Capturing...",
        "Waiting...Put your finger on..", "Auto Capturing is not supported!",
        "Auto Capturing is enabled. Put your finger on the sensor!", "Auto Capturing is disabled.",
        "Finger is detected", "Configuring...", "Configuration file has been deleted.",
        "Configuration file has NOT been deleted.", "Error! No fingerprint image to save",
        "Error! Device is not initialized.", "Error! Not enough memory for the device log.",
        "File Write Error! "}) {
    form.SetStatusText(text);
    EXPECT_THAT(StatusCut(), IsEmpty());
  }
  form.ReportCapture(INT_MAX, 255, INT_MAX);
  EXPECT_THAT(StatusCut(), IsEmpty());
  form.ReportCapture(INT_MAX, 255, -1);
  EXPECT_THAT(StatusCut(), IsEmpty());
  EXPECT_TRUE(form.StatusBar->Hint().empty());

  // A saved file's path can be longer than any bar: the whole line is the bar's tool tip.
  const std::string saved = "Successfully saved to /home/technician/readers/2024-05-17/R20-0/" +
                            std::string(60, 'f') + ".bmp";
  form.SetStatusText(saved);
  EXPECT_THAT(StatusCut(), Not(IsEmpty()));
  EXPECT_EQ(form.StatusBar->Hint(), saved);
  form.SetStatusText("File Write Error! ");
  EXPECT_TRUE(form.StatusBar->Hint().empty());
}

// Withdraws the metric-compatible face for a scope: the forms' face then
// resolves to the system's default, as it did before the face was brought along.
class WithoutTheMetricFace {
 public:
  WithoutTheMetricFace() { QFontDatabase::removeAllApplicationFonts(); }
  ~WithoutTheMetricFace() { QFontDatabase::addApplicationFont(QString::fromLatin1(kMetricFaceFile)); }
  WithoutTheMetricFace(const WithoutTheMetricFace&) = delete;
  WithoutTheMetricFace& operator=(const WithoutTheMetricFace&) = delete;
};

// The check itself: with the wide face this window fell back to before, it
// finds the texts a technician saw cut.
TEST_F(LegibilityTest, TheCheckFindsTheTextsTheFallbackFaceCuts) {
  Plug("HMX05", 0);
  Plug("HMX06", 0);
  Plug("parallel", 0);
  FormFont();  // brings the face along on first use: bring it before withdrawing it
  const WithoutTheMetricFace fallback;
  ASSERT_NE(QFontInfo(FormFont()).family(), "Tahoma") << "the system has a Tahoma of its own";
  TForm1& form = Shown();
  Press(form.BtnEnum);
  const std::vector<std::string> listed = CutTextsOnEveryPage(form);
  EXPECT_THAT(listed, Contains(HasSubstr("2 device(s) found.\" in QStatusBar")));
  EXPECT_THAT(listed, Contains(HasSubstr("\"Brightnesses:\"")));
  InitItem(0);
  EXPECT_THAT(CutTextsOnEveryPage(form), Contains(HasSubstr("\"Firmware Version :\"")));
  form_.reset();
}

TEST_F(LegibilityTest, IdentityShownByADisabledGroupKeepsTheNormalTextColour) {
  Plug("HMX05", 0);
  Plug("parallel", 0);
  TForm1& form = Shown();
  Press(form.BtnEnum);
  form.PageControl1->SetActivePage(form.TabGeneral);
  for (int item : {0, 1}) {
    InitItem(item);
    form.PageControl1->SetActivePage(form.TabGeneral);
    ProcessEventsFor(20);
    const bool usb = item == 0;
    forms::TGroupBox* shown = usb ? form.GroupBoxUSB : form.GroupBoxPP;
    EXPECT_FALSE(shown->Enabled());
    EXPECT_TRUE(shown->Bold());
    const QWidget* group = W(shown);
    for (QLineEdit* edit : group->findChildren<QLineEdit*>()) {
      SCOPED_TRACE(edit->objectName().toStdString());
      EXPECT_FALSE(edit->text().isEmpty());
      EXPECT_LE(DarkestGray(edit), kNormalTextAtMost);
      // Shown, not used: no focus, no tab stop, no typing.
      edit->setFocus();
      EXPECT_FALSE(edit->hasFocus());
      EXPECT_FALSE(edit->focusPolicy() & Qt::TabFocus);
      EXPECT_FALSE(edit->isEnabled());
    }
    for (QLabel* caption : group->findChildren<QLabel*>()) EXPECT_LE(DarkestGray(caption), kNormalTextAtMost);
  }
  // The parallel reader has no auto capture: its disabled box stays grey.
  form.PageControl1->SetActivePage(form.TabImage);
  EXPECT_FALSE(form.CheckBoxAutoCapture->Enabled());
  EXPECT_GE(DarkestGray(W(form.CheckBoxAutoCapture)), kGreyedTextAtLeast);
}

// An R20 that cannot report a finger by itself: the auto-capture group is
// disabled while the SR flag shown in it is not.
TEST_F(LegibilityTest, AFlagShownInADisabledGroupKeepsTheNormalTextColour) {
  SimCommand({"plug", "HMX05-0", "--product", "3000"});
  TForm1& form = Shown();
  Press(form.BtnEnum);
  InitItem(0);
  EXPECT_FALSE(form.AutoOnGroupBox->Enabled());
  ASSERT_TRUE(W(form.CheckBoxSRFeature)->testAttribute(Qt::WA_WState_Visible));
  EXPECT_LE(DarkestGray(W(form.CheckBoxSRFeature)), kNormalTextAtMost);
  EXPECT_GE(DarkestGray(W(form.CheckBoxAutoCapture)), kGreyedTextAtLeast);
}

}  // namespace
