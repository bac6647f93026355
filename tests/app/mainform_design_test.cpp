// The main window as it looks right after start, before the first Refresh.
#include <QAbstractButton>
#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTabWidget>

#include "app/surface_page.h"
#include "form_fixture.h"

namespace {

QStringList ComboItems(const QComboBox* combo) {
  QStringList items;
  for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
  return items;
}

// One menu as "text[e][c]" per item ("e" enabled, "c" checked) and "-" per separator.
QStringList MenuShape(const QMenu* menu) {
  QStringList shape;
  for (const QAction* item : menu->actions()) {
    if (item->isSeparator()) {
      shape << QStringLiteral("-");
      continue;
    }
    shape << item->text() + (item->isEnabled() ? "[e]" : "") + (item->isChecked() ? "[c]" : "");
  }
  return shape;
}

using DesignTest = FormTest;

TEST_F(DesignTest, TitleSelectorAndStatusBeforeTheFirstRefresh) {
  HoldFirstRefresh();
  EXPECT_EQ(form_->windowTitle(), "Tolvane Device Diagnostic Utility 4.83");
  EXPECT_EQ(ComboItems(form_->ComboDeviceID),
            (QStringList{"USB", "Parallel: AutoDetect", "Parallel: 0x378", "Parallel: 0x278",
                         "Parallel: 0x3BC"}));
  EXPECT_FALSE(form_->ComboDeviceID->isEditable());
  EXPECT_EQ(ShownStatus(*form_), "Click init button to initialize device");
  EXPECT_EQ(form_->StatusBar->parentWidget(), form_->TabImage);
  EXPECT_EQ(form_->PageControl1->currentWidget(), form_->TabImage);
  EXPECT_EQ(form_->PageControl1->tabText(0), "General     ");
  EXPECT_EQ(form_->PageControl1->tabText(1), " Image         ");
}

TEST_F(DesignTest, MenusWithTheirStatesAndSeparators) {
  HoldFirstRefresh();
  QStringList titles;
  for (const QAction* menu : form_->MainMenu1->actions()) titles << menu->text();
  EXPECT_EQ(titles, (QStringList{"File    ", "Device    ", "Capture", "Options", "Help"}));

  EXPECT_EQ(MenuShape(form_->File1),
            (QStringList{"Save Image (Raw)[e]", "Save Image (BMP)[e]", "-", "Save Logs[e]", "-",
                         "Exit[e]"}));
  EXPECT_EQ(MenuShape(form_->Device1),
            (QStringList{"Led On/Off", "-", "Recalibrate", "-", "Delete .cfg File"}));
  EXPECT_EQ(MenuShape(form_->Capture1),
            (QStringList{"Mode N", "Mode T", "Mode F", "-", "Default Mode[c]"}));
  EXPECT_EQ(MenuShape(form_->Options1), (QStringList{"Auto Refresh[e][c]"}));
  EXPECT_EQ(MenuShape(form_->Help1), (QStringList{"About...[e]"}));

  for (QAction* item : {form_->ModeN1, form_->ModeT1, form_->ModeF1, form_->NormalMode1}) {
    EXPECT_EQ(item->actionGroup(), form_->CaptureModeGroup);
  }
  EXPECT_EQ(form_->CaptureModeGroup->exclusionPolicy(), QActionGroup::ExclusionPolicy::Exclusive);
}

TEST_F(DesignTest, ButtonsChecksAndInformationBoxes) {
  HoldFirstRefresh();
  EXPECT_TRUE(form_->BtnEnum->isEnabled());
  EXPECT_TRUE(form_->BtnInit->isEnabled());
  for (QPushButton* button : {form_->BtnCapture, form_->BtnContCapture, form_->BtnConfig}) {
    EXPECT_FALSE(button->isEnabled()) << button->text().toStdString();
  }
  EXPECT_EQ(form_->BtnContCapture->text(), "Cont. Capture");
  EXPECT_EQ(form_->BtnContCapture->palette().color(QPalette::Active, QPalette::ButtonText),
            QColor(0, 0, 128));
  EXPECT_EQ(form_->BtnEnum->toolTip(), "Initialize device");
  EXPECT_EQ(form_->BtnCapture->toolTip(),
            "Put your finger on the input device to capture your fingerprint");
  EXPECT_EQ(form_->BtnConfig->toolTip(), "Display config dialogbox");
  EXPECT_FALSE(form_->CheckBoxAutoCapture->isEnabled());
  EXPECT_FALSE(form_->CheckBoxSRFeature->isEnabled());

  EXPECT_EQ(form_->GroupBoxInventory->title(), " Devices && Drivers Installed ");
  EXPECT_FALSE(form_->GroupBoxUSB->isEnabled());
  EXPECT_TRUE(form_->GroupBoxUSB->font().bold());
  EXPECT_FALSE(form_->GroupBoxPP->isEnabled());
  for (QLineEdit* edit : {form_->EditUSBName, form_->EditUSBDevType, form_->EditFWVer,
                          form_->EditSN, form_->EditPPName, form_->EditPPDevType,
                          form_->EditPPAddr, form_->EditPPMode}) {
    EXPECT_EQ(edit->text(), "Unknown");
    EXPECT_FALSE(edit->focusPolicy() & Qt::TabFocus);
  }
  EXPECT_FALSE(form_->EditUSBName->isReadOnly());
  EXPECT_TRUE(form_->EditPPMode->isReadOnly());
}

TEST_F(DesignTest, SmartCapturePagesExistBeyondTheFixedClientArea) {
  HoldFirstRefresh();
  form_->show();
  EXPECT_EQ(form_->centralWidget()->size(), QSize(370, 604));
  EXPECT_EQ(form_->minimumSize(), form_->maximumSize());
  EXPECT_EQ(form_->PageControl2->geometry(), QRect(389, 8, 644, 709));
  EXPECT_GE(form_->PageControl2->x(), form_->centralWidget()->width());
  EXPECT_EQ(form_->PageControl2->tabText(0), "Smart Capture");
  EXPECT_EQ(form_->PageControl2->tabText(1), "Etc.");

  EXPECT_EQ(form_->ScrollBarBrightness->minimum(), 0);
  EXPECT_EQ(form_->ScrollBarBrightness->maximum(), 100);
  EXPECT_EQ(form_->ScrollBarBrightness->value(), 50);
  EXPECT_EQ(form_->ScrollBarGainMax->minimum(), 9);
  EXPECT_EQ(form_->ScrollBarGainMax->maximum(), 108);
  EXPECT_EQ(form_->ScrollBarGainMax->value(), 58);
  EXPECT_EQ(form_->ScrollBarGainMin->maximum(), 8);
  EXPECT_EQ(form_->ScrollBarGainMin->value(), 8);
  EXPECT_EQ(form_->LabelGainMax->text(), "58");
  EXPECT_TRUE(form_->CheckBoxSharpness->isChecked());
  EXPECT_TRUE(form_->CheckBoxUseCallback->isChecked());
  EXPECT_FALSE(form_->CheckBoxShowSmartCaptureDetail->isEnabled());
  EXPECT_FALSE(form_->ButtonOpenSCDFile->isEnabled());
  EXPECT_EQ(form_->LabelScVersion->text(), "Unknown");
  EXPECT_EQ(form_->LabelImage2CaptureTime->text(), "0 ms");
  EXPECT_EQ(form_->ButtonResetCmos->parentWidget(), form_->GroupBoxResetCmos);
  EXPECT_TRUE(form_->ButtonResetCmos->isEnabled());
  EXPECT_EQ(form_->LabelResetCmosWarning->palette().color(QPalette::WindowText), QColor(Qt::red));
}

TEST_F(DesignTest, DrawingPagesOwnSurfacesOfTheirSize) {
  HoldFirstRefresh();
  form_->show();
  for (TSurfacePage* page : {form_->TabImage, form_->TabSmartCapture}) {
    QSize surfaceSize;
    ASSERT_TRUE(platform::WithSurface(page->Handle(), [&](platform::Surface& surface) {
      surfaceSize = QSize(surface.width, surface.height);
    }));
    EXPECT_EQ(surfaceSize, page->size()) << page->objectName().toStdString();
    EXPECT_GT(surfaceSize.width(), 0);
  }
  // The status bar runs along the bottom of the Image page.
  EXPECT_EQ(form_->StatusBar->geometry().bottom(), form_->TabImage->height() - 1);
  EXPECT_EQ(form_->StatusBar->width(), form_->TabImage->width());
}

TEST_F(DesignTest, EveryControlHasAnAccessibleName) {
  HoldFirstRefresh();
  const auto widgets = form_->findChildren<QWidget*>();
  int checked = 0;
  for (QWidget* widget : widgets) {
    const bool control = qobject_cast<QAbstractButton*>(widget) || qobject_cast<QComboBox*>(widget) ||
                         qobject_cast<QLineEdit*>(widget) || qobject_cast<QScrollBar*>(widget) ||
                         qobject_cast<QListWidget*>(widget) || qobject_cast<QGroupBox*>(widget);
    // Parts that Qt builds inside a control (a list's scroll bars, the menu bar's
    // overflow button) are named by the control.
    if (!control || widget->objectName().startsWith("qt_") ||
        widget->parentWidget()->objectName().startsWith("qt_")) {
      continue;
    }
    ++checked;
    EXPECT_FALSE(Heard(widget).trimmed().isEmpty())
        << widget->metaObject()->className() << " " << widget->objectName().toStdString() << " in "
        << widget->parentWidget()->objectName().toStdString();
  }
  EXPECT_GT(checked, 30);
  // Named by their captions, exactly as shown.
  EXPECT_EQ(Heard(form_->EditSN), "Serial Number :");
  EXPECT_EQ(Heard(form_->ScrollBarGainMin), "Gain Min:");
  EXPECT_EQ(Heard(form_->CheckBoxAutoCapture), " Auto Capture");
  EXPECT_EQ(Heard(form_->GroupBoxInventory), " Devices & Drivers Installed ");
}

TEST_F(DesignTest, FirstRefreshRunsOnceAfterStartAndReplacesTheDesignItems) {
  EXPECT_TRUE(form_->Timer1->isActive());
  EXPECT_EQ(form_->Timer1->interval(), 100);
  ASSERT_TRUE(ProcessEventsUntil([&] { return !form_->Timer1->isActive(); }));
  EXPECT_EQ(form_->ComboDeviceID->findText("Parallel: AutoDetect"), -1);
  EXPECT_FALSE(form_->SaveToBMPFile1->isEnabled());
  EXPECT_EQ(form_->PageControl1->currentWidget(), form_->TabImage);
}

TEST_F(DesignTest, ResetControlsRestoresTheNotInitializedLook) {
  HoldFirstRefresh();
  form_->PageControl1->setCurrentWidget(form_->TabGeneral);
  form_->BtnCapture->setEnabled(true);
  form_->CheckBoxSmartCapture->setChecked(true);
  form_->ScrollBarGainMax->setEnabled(true);
  form_->ModeT1->setEnabled(true);
  form_->ModeT1->setChecked(true);
  form_->Recalibrate1->setEnabled(true);
  form_->LabelEnumSummary->setText("old");
  form_->EditSN->setText("123");

  form_->ResetControls();

  EXPECT_FALSE(form_->BtnCapture->isEnabled());
  EXPECT_FALSE(form_->BtnInit->isEnabled());
  EXPECT_FALSE(form_->CheckBoxSmartCapture->isChecked());
  EXPECT_FALSE(form_->CheckBoxSmartCapture->isEnabled());
  EXPECT_FALSE(form_->ScrollBarGainMax->isEnabled());
  EXPECT_FALSE(form_->ModeT1->isEnabled());
  EXPECT_TRUE(form_->NormalMode1->isChecked());
  EXPECT_FALSE(form_->ModeT1->isChecked());
  EXPECT_FALSE(form_->Recalibrate1->isEnabled());
  EXPECT_TRUE(form_->LabelEnumSummary->text().isEmpty());
  EXPECT_TRUE(form_->EditSN->text().isEmpty());
  EXPECT_FALSE(form_->GroupBoxUSB->font().bold());
  EXPECT_EQ(form_->PageControl1->currentWidget(), form_->TabImage);
}

TEST_F(DesignTest, CheckItemsChangeOnlyThroughTheirHandlers) {
  HoldFirstRefresh();
  Choose(form_->AutoRefresh);
  EXPECT_FALSE(form_->AutoRefresh->isChecked());
  Choose(form_->AutoRefresh);
  EXPECT_TRUE(form_->AutoRefresh->isChecked());

  // Without an open reader the light command does nothing, check mark included.
  form_->LedOnOff1->setEnabled(true);
  Choose(form_->LedOnOff1);
  EXPECT_FALSE(form_->LedOnOff1->isChecked());
}

}  // namespace
