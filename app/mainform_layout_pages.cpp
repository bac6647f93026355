// The second page control's pages, "Smart Capture" and "Etc.", at their design
// coordinates. The page control lies beyond the visible client area.
#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>

#include "app/mainform.h"
#include "app/surface_page.h"
#include "app/widget_factory.h"

namespace {

// The detail group's three columns of caption and value, and the caption of
// the brightness list after them.
constexpr int kDetailColumns[] = {16, 172, 308, 440};

// A caption with its value label right behind it, up to the next column.
QLabel* AddDetailValue(QGroupBox* group, const char* name, const QString& caption,
                       const QString& value, int column, int top) {
  QLabel* title = MakeLabel(group, "", caption, kDetailColumns[column], top);
  const int left = title->geometry().right() + 5;
  return MakeValueLabel(title, name, value,
                        QRect(left, top, kDetailColumns[column + 1] - 4 - left, title->height()));
}

// An image's capture time right behind the image's caption.
QLabel* AddCaptureTime(QLabel* caption, const char* name) {
  return MakeValueLabel(caption, name, QStringLiteral("0 ms"),
                        QRect(caption->geometry().right() + 6, caption->y(), 60, caption->height()));
}

struct TuningBar {
  QScrollBar* bar;
  QLabel* position;
};

// A scroll bar with its caption above and its minimum, current and maximum
// value labels between caption and bar.
TuningBar AddTuningBar(QWidget* page, const char* barName, const char* labelName,
                       const QString& caption, int minimum, int maximum, int position,
                       int left) {
  constexpr int kTop = 545;
  constexpr int kWidth = 121;
  QLabel* title = MakeLabel(page, "", caption, left, kTop);
  QLabel* minLabel = MakeLabel(page, "", QString::number(minimum), left, kTop + 16);
  QLabel* current = MakeValueLabel(title, labelName, QString::number(position),
                                   QRect(left + 40, kTop + 16, 41, minLabel->height()));
  current->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  QLabel* maxLabel = MakeLabel(page, "", QString::number(maximum), 0, kTop + 16);
  maxLabel->move(left + kWidth - maxLabel->width(), kTop + 16);
  QScrollBar* bar = MakeScrollBar(page, barName, caption, minimum, maximum, position,
                                  QRect(left, kTop + 34, kWidth, 16));
  return {bar, current};
}

}  // namespace

void TForm1::CreateSmartCapturePage() {
  TabSmartCapture = new TSurfacePage;
  TabSmartCapture->setObjectName(QStringLiteral("TabSmartCapture"));
  TabSmartCapture->setAccessibleName(QStringLiteral("Smart Capture"));
  PageControl2->addTab(TabSmartCapture, QStringLiteral("Smart Capture"));
  QWidget* page = TabSmartCapture;

  GroupBoxScDetail = MakeGroupBox(page, "GroupBoxScDetail", QStringLiteral("Smart capture detail"),
                                  QRect(3, 3, 630, 91));
  const QString zero = QStringLiteral("0");
  LabelScVersion = AddDetailValue(GroupBoxScDetail, "LabelScVersion", QStringLiteral("Version:"),
                                  QStringLiteral("Unknown"), 0, 22);
  LabelScCaptureSpeed = AddDetailValue(GroupBoxScDetail, "LabelScCaptureSpeed",
                                       QStringLiteral("Capture speed:"), zero, 0, 44);
  LabelScGrayQuality = AddDetailValue(GroupBoxScDetail, "LabelScGrayQuality",
                                      QStringLiteral("Gray quality of first image:"), zero, 0, 66);
  LabelScInitBrightness = AddDetailValue(GroupBoxScDetail, "LabelScInitBrightness",
                                         QStringLiteral("Init brightness:"), zero, 1, 22);
  LabelScSmartBrightness = AddDetailValue(GroupBoxScDetail, "LabelScSmartBrightness",
                                          QStringLiteral("Smart brightness:"), zero, 1, 44);
  LabelScNumOfCaptures = AddDetailValue(GroupBoxScDetail, "LabelScNumOfCaptures",
                                        QStringLiteral("Total capture:"), zero, 1, 66);
  LabelScErrorCode = AddDetailValue(GroupBoxScDetail, "LabelScErrorCode",
                                    QStringLiteral("Error code:"), zero, 2, 22);
  LabelScLineDiffMax = AddDetailValue(GroupBoxScDetail, "LabelScLineDiffMax",
                                      QStringLiteral("Line Diff Max:"), zero, 2, 44);
  QLabel* brightnesses = MakeLabel(GroupBoxScDetail, "", QStringLiteral("Brightnesses:"), kDetailColumns[3], 22);
  ListBoxScBrightnesses = new QListWidget(GroupBoxScDetail);
  ListBoxScBrightnesses->setObjectName(QStringLiteral("ListBoxScBrightnesses"));
  // Qt names a list by no caption of its own accord.
  ListBoxScBrightnesses->setAccessibleName(brightnesses->text());
  brightnesses->setBuddy(ListBoxScBrightnesses);
  ListBoxScBrightnesses->setGeometry(513, 22, 90, 57);

  const QString firstImage = QStringLiteral("First Image:");
  const QString secondImage = QStringLiteral("Second Image (split):");
  LabelImage1CaptureTime = AddCaptureTime(MakeLabel(page, "", firstImage, 6, 105), "LabelImage1CaptureTime");
  LabelImage2CaptureTime =
      AddCaptureTime(MakeLabel(page, "", secondImage, 322, 105), "LabelImage2CaptureTime");

  BevelScImageFrame = MakeBevel(page, "BevelScImageFrame", QRect(3, 125, 304, 404));
  ImageScImage = MakeImageView(page, "ImageScImage", firstImage, QRect(4, 126, 300, 400));
  BevelScImageSplitFrame = MakeBevel(page, "BevelScImageSplitFrame", QRect(324, 125, 304, 404));
  ImageScImageSplit = MakeImageView(page, "ImageScImageSplit", secondImage, QRect(325, 126, 300, 400));

  CheckBoxShowSmartCaptureDetail =
      MakeCheckBox(page, "CheckBoxShowSmartCaptureDetail",
                   QStringLiteral("Show Details on Smart Capture "), QRect(11, 541, 200, 17));
  CheckBoxShowSmartCaptureDetail->setEnabled(false);
  CheckBoxSmartCapture = MakeCheckBox(page, "CheckBoxSmartCapture",
                                      QStringLiteral("Enable Smart Capture"), QRect(11, 564, 200, 17));
  CheckBoxSharpness = MakeCheckBox(page, "CheckBoxSharpness", QStringLiteral("Enable Sharpness"),
                                   QRect(11, 587, 200, 17));
  CheckBoxSharpness->setChecked(true);
  CheckBoxUseCallback = MakeCheckBox(page, "CheckBoxUseCallback", QStringLiteral("Use Callback"),
                                     QRect(11, 609, 200, 17));
  CheckBoxUseCallback->setChecked(true);

  const TuningBar brightness = AddTuningBar(page, "ScrollBarBrightness", "LabelBrightness",
                                            QStringLiteral("Brightness:"), 0, 100, 50, 222);
  ScrollBarBrightness = brightness.bar;
  LabelBrightness = brightness.position;
  const TuningBar gainMax = AddTuningBar(page, "ScrollBarGainMax", "LabelGainMax",
                                         QStringLiteral("Gain Max:"), 9, 108, 58, 371);
  ScrollBarGainMax = gainMax.bar;
  LabelGainMax = gainMax.position;
  const TuningBar gainMin = AddTuningBar(page, "ScrollBarGainMin", "LabelGainMin",
                                         QStringLiteral("Gain Min:"), 0, 8, 8, 505);
  ScrollBarGainMin = gainMin.bar;
  LabelGainMin = gainMin.position;

  ButtonOpenSCDFile = MakeButton(page, "ButtonOpenSCDFile", QStringLiteral("Open SCDFile..."),
                                 QRect(10, 644, 96, 25));
  ButtonOpenSCDFile->setEnabled(false);
  EditScdFilePath = MakeInfoEdit(MakeLabel(page, "", QStringLiteral("SCD path:"), 221, 640),
                                 "EditScdFilePath", QRect(221, 656, 319, 21));
  EditScdFilePath->setReadOnly(true);
}

void TForm1::CreateEtcPage() {
  TabEtc = new QWidget;
  TabEtc->setObjectName(QStringLiteral("TabEtc"));
  TabEtc->setAccessibleName(QStringLiteral("Etc."));
  PageControl2->addTab(TabEtc, QStringLiteral("Etc."));

  LabelResetCmosWarning =
      MakeLabel(TabEtc, "LabelResetCmosWarning", QStringLiteral("Warning: HR20 2205 or later only"), 8, 10);
  QPalette red = LabelResetCmosWarning->palette();
  red.setColor(QPalette::WindowText, Qt::red);
  LabelResetCmosWarning->setPalette(red);

  GroupBoxResetCmos = MakeGroupBox(TabEtc, "GroupBoxResetCmos", QStringLiteral(" Reset CMOS for HR20"),
                                   QRect(8, 30, 200, 60));
  ButtonResetCmos = MakeButton(GroupBoxResetCmos, "ButtonResetCmos", QStringLiteral("Reset CMOS"),
                               QRect(12, 22, 90, 25));
}
