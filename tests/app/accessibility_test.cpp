// The window as a screen reader hears it: the status bar announces each new
// result once, and a value is named by itself and labelled by its caption.
#include <QLabel>
#include <QStatusBar>
#include <gmock/gmock.h>

#include "accessibility_events.h"
#include "machine_form.h"

namespace {

using ::testing::ElementsAre;
using ::testing::MatchesRegex;

// The names of the objects `object` has the relation `relation` to.
std::vector<QString> Related(QObject* object, QAccessible::Relation relation) {
  std::vector<QString> names;
  for (const auto& [other, kind] : QAccessible::queryAccessibleInterface(object)->relations(relation)) {
    names.push_back(other->text(QAccessible::Name));
  }
  return names;
}
std::vector<QString> Related(const forms::TControl* control, QAccessible::Relation relation) {
  return Related(W(control), relation);
}

using AccessibilityTest = MachineFormTest;

TEST_F(AccessibilityTest, TheStatusBarAnnouncesEachNewResultOnce) {
  Plug("HMX05", 0);
  TForm1& form = Shown();
  std::vector<std::string> shown;
  QObject watching;
  QObject::connect(static_cast<QStatusBar*>(W(form.StatusBar)), &QStatusBar::messageChanged, &watching,
                   [&](const QString& message) { shown.push_back(message.toStdString()); });
  const AccessibilityEvents heard;

  Press(form.BtnEnum);
  Press(form.BtnInit);
  Press(form.BtnCapture);
  // A failed save: the chosen folder does not exist.
  form.Dialogs.nextFileNames.push_back(root_.filePath("missing/print.bmp").toStdString());
  Choose(form.SaveToBMPFile1);

  EXPECT_THAT(shown, ElementsAre("Enumerating...", "Select a fingerprint device and Click Init button. 1 device(s) found.",
                                 "Initializing...", "Device Initialization Success", "Capturing...",
                                 MatchesRegex(R"(\[Capture\] time: [0-9]+ msec  gray: [0-9]+)"),
                                 "File Write Error! "));
  std::vector<std::string> announced;
  for (const QString& name : heard.NamesAnnounced(W(form.StatusBar))) announced.push_back(name.toStdString());
  EXPECT_EQ(announced, shown);
  EXPECT_EQ(Heard(form.StatusBar, QAccessible::Description), "Status");
}

TEST_F(AccessibilityTest, AValueIsNamedByItselfAndLabelledByItsCaption) {
  Plug("HMX05", 0);
  TForm1& form = Shown();
  Press(form.BtnEnum);
  Press(form.BtnInit);
  Press(form.BtnCapture);  // the R20's capture fills the smart-capture details

  const std::pair<forms::TLabel*, const char*> values[] = {
      {form.LabelEnumSummary, "Attached devices"},
      {form.LabelDriverInfo, "Installed Drivers"},
      {form.LabelScVersion, "Version:"},
      {form.LabelScCaptureSpeed, "Capture speed:"},
      {form.LabelScGrayQuality, "Gray quality of first image:"},
      {form.LabelScInitBrightness, "Init brightness:"},
      {form.LabelScSmartBrightness, "Smart brightness:"},
      {form.LabelScNumOfCaptures, "Total capture:"},
      {form.LabelScErrorCode, "Error code:"},
      {form.LabelScLineDiffMax, "Line Diff Max:"},
      {form.LabelBrightness, "Brightness:"},
      {form.LabelGainMax, "Gain Max:"},
      {form.LabelGainMin, "Gain Min:"},
      {form.LabelImage1CaptureTime, "First Image:"},
      {form.LabelImage2CaptureTime, "Second Image (split):"},
  };
  for (const auto& [value, caption] : values) {
    SCOPED_TRACE(value->Name());
    ASSERT_FALSE(value->Caption().empty());
    EXPECT_EQ(Heard(value).toStdString(), value->Caption());
    EXPECT_THAT(Related(value, QAccessible::Label), testing::Contains(QString::fromLatin1(caption)));
    auto* label = qobject_cast<QLabel*>(
        QAccessible::queryAccessibleInterface(W(value))->relations(QAccessible::Label).front().first->object());
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->buddy(), W(value));
    EXPECT_THAT(Related(label, QAccessible::Labelled), testing::Contains(QString::fromStdString(value->Caption())));
  }

  // A box beside its caption is named by it and labelled by it.
  EXPECT_EQ(Heard(form.EditSN), "Serial Number :");
  EXPECT_EQ(Heard(form.EditSN, QAccessible::Value).toStdString(), form.EditSN->Text());
  EXPECT_THAT(Related(form.EditSN, QAccessible::Label), testing::Contains(QString("Serial Number :")));
  EXPECT_THAT(Related(form.ComboDeviceID, QAccessible::Label),
              testing::Contains(QString("Select a Fingerprint Device :")));
}

}  // namespace
