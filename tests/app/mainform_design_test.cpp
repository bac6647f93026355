// The main window as it looks right after start, before the first Refresh.
#include <QAbstractButton>
#include <QActionGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QScrollBar>

#include "qt_form_fixture.h"
#include "forms/qt/surface_page.h"

namespace {

using Strings = std::vector<std::string>;

Strings ComboItems(const forms::TComboBox* combo) {
  Strings items;
  for (int i = 0; i < combo->Count(); ++i) items.push_back(combo->Item(i));
  return items;
}

// One menu as "text[e][c]" per item ("e" enabled, "c" checked) and "-" per separator.
Strings MenuShape(forms::TMenuItem* menu) {
  Strings shape;
  for (const QAction* item : static_cast<forms::qt::MenuItem*>(menu)->QtMenu()->actions()) {
    if (item->isSeparator()) {
      shape.push_back("-");
      continue;
    }
    shape.push_back(item->text().toStdString() + (item->isEnabled() ? "[e]" : "") + (item->isChecked() ? "[c]" : ""));
  }
  return shape;
}

QAction* ActionOf(forms::TMenuItem* item) { return static_cast<forms::qt::MenuItem*>(item)->Action(); }

using DesignTest = FormTest;

TEST_F(DesignTest, TitleSelectorAndStatusBeforeTheFirstRefresh) {
  HoldFirstRefresh();
  EXPECT_EQ(form_->Window->Caption(), "Tolvane Device Diagnostic Utility 4.83");
  EXPECT_EQ(ComboItems(form_->ComboDeviceID),
            (Strings{"USB", "Parallel: AutoDetect", "Parallel: 0x378", "Parallel: 0x278", "Parallel: 0x3BC"}));
  EXPECT_FALSE(static_cast<QComboBox*>(W(form_->ComboDeviceID))->isEditable());
  EXPECT_EQ(ShownStatus(*form_), "Click init button to initialize device");
  EXPECT_EQ(W(form_->StatusBar)->parentWidget(), W(form_->TabImage));
  EXPECT_EQ(form_->PageControl1->ActivePage(), form_->TabImage);
  EXPECT_EQ(form_->PageControl1->Page(0)->Caption(), "General     ");
  EXPECT_EQ(form_->PageControl1->Page(1)->Caption(), " Image         ");
}

TEST_F(DesignTest, MenusWithTheirStatesAndSeparators) {
  HoldFirstRefresh();
  Strings titles;
  for (const forms::TMenuItem* menu : {form_->File1, form_->Device1, form_->Capture1, form_->Options1, form_->Help1}) {
    titles.push_back(menu->Caption());
  }
  EXPECT_EQ(titles, (Strings{"File    ", "Device    ", "Capture", "Options", "Help"}));

  EXPECT_EQ(MenuShape(form_->File1),
            (Strings{"Save Image (Raw)[e]", "Save Image (BMP)[e]", "-", "Save Logs[e]", "-", "Exit[e]"}));
  EXPECT_EQ(MenuShape(form_->Device1),
            (Strings{"Led On/Off", "-", "Recalibrate", "-", "Delete .cfg File"}));
  EXPECT_EQ(MenuShape(form_->Capture1),
            (Strings{"Mode N", "Mode T", "Mode F", "-", "Default Mode[c]"}));
  EXPECT_EQ(MenuShape(form_->Options1), (Strings{"Auto Refresh[e][c]"}));
  EXPECT_EQ(MenuShape(form_->Help1), (Strings{"About...[e]"}));

  const QActionGroup* modes = ActionOf(form_->ModeN1)->actionGroup();
  ASSERT_NE(modes, nullptr);
  for (forms::TMenuItem* item : {form_->ModeT1, form_->ModeF1, form_->NormalMode1}) {
    EXPECT_EQ(ActionOf(item)->actionGroup(), modes);
  }
  EXPECT_EQ(modes->exclusionPolicy(), QActionGroup::ExclusionPolicy::Exclusive);
}

TEST_F(DesignTest, ButtonsChecksAndInformationBoxes) {
  HoldFirstRefresh();
  EXPECT_TRUE(form_->BtnEnum->Enabled());
  EXPECT_TRUE(form_->BtnInit->Enabled());
  for (forms::TButton* button : {form_->BtnCapture, form_->BtnContCapture, form_->BtnConfig}) {
    EXPECT_FALSE(button->Enabled()) << button->Caption();
  }
  EXPECT_EQ(form_->BtnContCapture->Caption(), "Cont. Capture");
  EXPECT_EQ(W(form_->BtnContCapture)->palette().color(QPalette::Active, QPalette::ButtonText),
            QColor(0, 0, 128));
  EXPECT_EQ(form_->BtnEnum->Hint(), "Initialize device");
  EXPECT_EQ(form_->BtnCapture->Hint(),
            "Put your finger on the input device to capture your fingerprint");
  EXPECT_EQ(form_->BtnConfig->Hint(), "Display config dialogbox");
  EXPECT_FALSE(form_->CheckBoxAutoCapture->Enabled());
  EXPECT_FALSE(form_->CheckBoxSRFeature->Enabled());

  EXPECT_EQ(form_->GroupBoxInventory->Caption(), " Devices && Drivers Installed ");
  EXPECT_FALSE(form_->GroupBoxUSB->Enabled());
  EXPECT_TRUE(form_->GroupBoxUSB->Bold());
  EXPECT_FALSE(form_->GroupBoxPP->Enabled());
  for (forms::TEdit* edit : {form_->EditUSBName, form_->EditUSBDevType, form_->EditFWVer, form_->EditSN,
                             form_->EditPPName, form_->EditPPDevType, form_->EditPPAddr, form_->EditPPMode}) {
    EXPECT_EQ(edit->Text(), "Unknown");
    EXPECT_FALSE(W(edit)->focusPolicy() & Qt::TabFocus);
  }
  EXPECT_FALSE(form_->EditUSBName->ReadOnly());
  EXPECT_TRUE(form_->EditPPMode->ReadOnly());
}

TEST_F(DesignTest, SmartCapturePagesExistBeyondTheFixedClientArea) {
  HoldFirstRefresh();
  form_->Window->Show();
  EXPECT_EQ(SizeOf(form_->Window->Client()), (std::pair{370, 604}));
  EXPECT_EQ(W(form_->Window.get())->minimumSize(), W(form_->Window.get())->maximumSize());
  EXPECT_EQ(form_->PageControl2->BoundsRect(), (forms::Bounds{389, 8, 644, 709}));
  EXPECT_GE(form_->PageControl2->Left(), form_->Window->Client()->Width());
  EXPECT_EQ(form_->PageControl2->Page(0)->Caption(), "Smart Capture");
  EXPECT_EQ(form_->PageControl2->Page(1)->Caption(), "Etc.");

  EXPECT_EQ(form_->ScrollBarBrightness->Min(), 0);
  EXPECT_EQ(form_->ScrollBarBrightness->Max(), 100);
  EXPECT_EQ(form_->ScrollBarBrightness->Position(), 50);
  EXPECT_EQ(form_->ScrollBarGainMax->Min(), 9);
  EXPECT_EQ(form_->ScrollBarGainMax->Max(), 108);
  EXPECT_EQ(form_->ScrollBarGainMax->Position(), 58);
  EXPECT_EQ(form_->ScrollBarGainMin->Max(), 8);
  EXPECT_EQ(form_->ScrollBarGainMin->Position(), 8);
  EXPECT_EQ(form_->LabelGainMax->Caption(), "58");
  EXPECT_TRUE(form_->CheckBoxSharpness->Checked());
  EXPECT_TRUE(form_->CheckBoxUseCallback->Checked());
  EXPECT_FALSE(form_->CheckBoxShowSmartCaptureDetail->Enabled());
  EXPECT_FALSE(form_->ButtonOpenSCDFile->Enabled());
  EXPECT_EQ(form_->LabelScVersion->Caption(), "Unknown");
  EXPECT_EQ(form_->LabelImage2CaptureTime->Caption(), "0 ms");
  EXPECT_EQ(W(form_->ButtonResetCmos)->parentWidget(), W(form_->GroupBoxResetCmos));
  EXPECT_TRUE(form_->ButtonResetCmos->Enabled());
  EXPECT_EQ(W(form_->LabelResetCmosWarning)->palette().color(QPalette::WindowText), QColor(Qt::red));
}

TEST_F(DesignTest, DrawingPagesOwnSurfacesOfTheirSize) {
  HoldFirstRefresh();
  form_->Window->Show();
  for (forms::TTabSheet* sheet : {form_->TabImage, form_->TabSmartCapture}) {
    const auto* page = static_cast<TSurfacePage*>(W(sheet));
    QSize surfaceSize;
    ASSERT_TRUE(platform::WithSurface(page->Handle(), [&](platform::Surface& surface) {
      surfaceSize = QSize(surface.width, surface.height);
    }));
    EXPECT_EQ(surfaceSize, page->size()) << page->objectName().toStdString();
    EXPECT_GT(surfaceSize.width(), 0);
  }
  // The status bar runs along the bottom of the Image page.
  EXPECT_EQ(form_->StatusBar->BoundsRect().Bottom(), form_->TabImage->Height());
  EXPECT_EQ(form_->StatusBar->Width(), form_->TabImage->Width());
}

TEST_F(DesignTest, EveryControlHasAnAccessibleName) {
  HoldFirstRefresh();
  const auto widgets = W(form_->Window.get())->findChildren<QWidget*>();
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
  EXPECT_TRUE(form_->Timer1->Enabled());
  EXPECT_EQ(form_->Timer1->Interval(), 100);
  ASSERT_TRUE(ProcessEventsUntil([&] { return !form_->Timer1->Enabled(); }));
  EXPECT_EQ(form_->ComboDeviceID->IndexOf("Parallel: AutoDetect"), -1);
  EXPECT_FALSE(form_->SaveToBMPFile1->Enabled());
  EXPECT_EQ(form_->PageControl1->ActivePage(), form_->TabImage);
}

TEST_F(DesignTest, ResetControlsRestoresTheNotInitializedLook) {
  HoldFirstRefresh();
  form_->PageControl1->SetActivePage(form_->TabGeneral);
  form_->BtnCapture->SetEnabled(true);
  form_->CheckBoxSmartCapture->SetChecked(true);
  form_->ScrollBarGainMax->SetEnabled(true);
  form_->ModeT1->SetEnabled(true);
  form_->ModeT1->SetChecked(true);
  form_->Recalibrate1->SetEnabled(true);
  form_->LabelEnumSummary->SetCaption("old");
  form_->EditSN->SetText("123");

  form_->ResetControls();

  EXPECT_FALSE(form_->BtnCapture->Enabled());
  EXPECT_FALSE(form_->BtnInit->Enabled());
  EXPECT_FALSE(form_->CheckBoxSmartCapture->Checked());
  EXPECT_FALSE(form_->CheckBoxSmartCapture->Enabled());
  EXPECT_FALSE(form_->ScrollBarGainMax->Enabled());
  EXPECT_FALSE(form_->ModeT1->Enabled());
  EXPECT_TRUE(form_->NormalMode1->Checked());
  EXPECT_FALSE(form_->ModeT1->Checked());
  EXPECT_FALSE(form_->Recalibrate1->Enabled());
  EXPECT_TRUE(form_->LabelEnumSummary->Caption().empty());
  EXPECT_TRUE(form_->EditSN->Text().empty());
  EXPECT_FALSE(form_->GroupBoxUSB->Bold());
  EXPECT_EQ(form_->PageControl1->ActivePage(), form_->TabImage);
}

TEST_F(DesignTest, CheckItemsChangeOnlyThroughTheirHandlers) {
  HoldFirstRefresh();
  Choose(form_->AutoRefresh);
  EXPECT_FALSE(form_->AutoRefresh->Checked());
  Choose(form_->AutoRefresh);
  EXPECT_TRUE(form_->AutoRefresh->Checked());

  // Without an open reader the light command does nothing, check mark included.
  form_->LedOnOff1->SetEnabled(true);
  Choose(form_->LedOnOff1);
  EXPECT_FALSE(form_->LedOnOff1->Checked());
}

}  // namespace
