// "Refresh": the window back in its not-initialized look, the driver inventory
// and the attached readers in the device selector.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>

#include "app/mainform.h"
#include "app/surface_page.h"

// The inventory and the enumeration are filled in with the device layer's
// enumeration; until then Refresh only resets the window.
void TForm1::BtnEnumClick(QObject* /*Sender*/) {
  ResetControls();
  ComboDeviceID->clear();
}

void TForm1::ResetControls() {
  for (QAction* item : {SaveToRawFile1, SaveToBMPFile1, MenuitemSaveLogs, LedOnOff1, DeleteCfgFile,
                        ModeN1, ModeT1, ModeF1, NormalMode1}) {
    item->setEnabled(false);
  }
  NormalMode1->setChecked(true);
  Recalibrate1->setEnabled(false);

  for (QPushButton* button : {BtnInit, BtnCapture, BtnContCapture, BtnConfig}) {
    button->setEnabled(false);
  }
  for (QCheckBox* box : {CheckBoxAutoCapture, CheckBoxSRFeature, CheckBoxSmartCapture}) {
    box->setEnabled(false);
    box->setChecked(false);
  }
  ScrollBarBrightness->setEnabled(false);
  ButtonOpenSCDFile->setEnabled(false);
  ScrollBarGainMax->setEnabled(false);
  ScrollBarGainMin->setEnabled(false);

  LabelEnumSummary->clear();
  LabelDriverInfo->clear();
  for (QLineEdit* edit : {EditUSBName, EditUSBDevType, EditFWVer, EditSN, EditPPName,
                          EditPPDevType, EditPPAddr, EditPPMode}) {
    edit->clear();
  }
  for (QGroupBox* group : {GroupBoxUSB, GroupBoxPP}) {
    QFont font = group->font();
    font.setBold(false);
    group->setFont(font);
  }
  PageControl1->setCurrentWidget(TabImage);
}
