// The main window's components in their design state: the menu, the top panel,
// the General and Image pages, and the wiring of every handler.
#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
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
#include <QTimer>

#include "app/form_font.h"
#include "app/mainform.h"
#include "app/readable_text.h"
#include "app/surface_page.h"
#include "app/widget_factory.h"

namespace {

constexpr int kTimer1IntervalMs = 100;
const QColor kNavy(0, 0, 128);

QAction* AddItem(QMenu* menu, const char* name, const QString& caption, bool enabled) {
  QAction* item = menu->addAction(caption);
  item->setObjectName(QString::fromLatin1(name));
  item->setEnabled(enabled);
  return item;
}

QAction* AddCheckItem(QMenu* menu, const char* name, const QString& caption, bool enabled,
                      bool checked) {
  QAction* item = AddItem(menu, name, caption, enabled);
  item->setCheckable(true);
  item->setChecked(checked);
  return item;
}

// A menu command runs from the message loop once the menu has closed, as a
// command message does. An item pressed through the accessibility bus then
// answers at once, also when its command opens a modal dialog.
//
// Qt flips a checkable item before `triggered` arrives, while the handlers
// follow the form library, where only the handler changes the check mark. For
// a stand-alone item the flip is undone before the handler runs; in the
// exclusive mode group Qt checks the chosen item, which is what every mode
// handler ends with.
void BindMenuClick(QAction* item, TForm1* form, void (TForm1::*handler)()) {
  const bool standAloneCheck = item->isCheckable() && item->actionGroup() == nullptr;
  QObject::connect(
      item, &QAction::triggered, form,
      [=](bool checked) {
        if (standAloneCheck) item->setChecked(!checked);
        (form->*handler)();
      },
      Qt::QueuedConnection);
}

// Each row of an information group: caption at the left, its box beside it.
QLineEdit* AddInfoRow(QGroupBox* group, const char* name, const QString& caption, int row) {
  const int top = 18 + row * 24;
  auto* edit = MakeInfoEdit(MakeLabel(group, "", caption, 12, top + 3), name, QRect(126, top, 206, 21));
  edit->setText(QStringLiteral("Unknown"));
  return edit;
}

}  // namespace

void TForm1::CreateComponents() {
  setFont(FormFont());
  setWindowTitle(QStringLiteral("Tolvane Device Diagnostic Utility Version"));

  CreateMainMenu();

  auto* client = new QWidget(this);
  client->setObjectName(QStringLiteral("ClientArea"));
  client->setFixedSize(kClientWidth, kClientHeight);
  setCentralWidget(client);

  CreateTopPanel(client);

  PageControl1 = new QTabWidget(client);
  PageControl1->setObjectName(QStringLiteral("PageControl1"));
  PageControl1->setAccessibleName(QStringLiteral("Pages"));
  PageControl1->setGeometry(4, 56, 362, 544);
  CreateGeneralPage();
  CreateImagePage();
  PageControl1->setCurrentWidget(TabImage);

  // Beyond the right edge of the client area: it exists and works, out of view.
  PageControl2 = new QTabWidget(client);
  PageControl2->setObjectName(QStringLiteral("PageControl2"));
  PageControl2->setAccessibleName(QStringLiteral("Smart capture pages"));
  PageControl2->setGeometry(389, 8, 644, 709);
  CreateSmartCapturePage();
  CreateEtcPage();

  Timer1 = new QTimer(this);
  Timer1->setObjectName(QStringLiteral("Timer1"));
  Timer1->setInterval(kTimer1IntervalMs);

  // A tool window of fixed size: the menu bar above a 370 x 604 client area.
  setWindowFlag(Qt::MSWindowsFixedSizeDialogHint);
  setFixedSize(kClientWidth, kClientHeight + MainMenu1->sizeHint().height());
  move(177, 186);

  ConnectHandlers();
}

void TForm1::CreateMainMenu() {
  MainMenu1 = menuBar();
  MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
  MainMenu1->setAccessibleName(QStringLiteral("Main menu"));

  File1 = MainMenu1->addMenu(QStringLiteral("File    "));
  File1->setObjectName(QStringLiteral("File1"));
  SaveToRawFile1 = AddItem(File1, "SaveToRawFile1", QStringLiteral("Save Image (Raw)"), true);
  SaveToBMPFile1 = AddItem(File1, "SaveToBMPFile1", QStringLiteral("Save Image (BMP)"), true);
  File1->addSeparator();
  MenuitemSaveLogs = AddItem(File1, "MenuitemSaveLogs", QStringLiteral("Save Logs"), true);
  File1->addSeparator();
  Exit1 = AddItem(File1, "Exit1", QStringLiteral("Exit"), true);

  Device1 = MainMenu1->addMenu(QStringLiteral("Device    "));
  Device1->setObjectName(QStringLiteral("Device1"));
  LedOnOff1 = AddCheckItem(Device1, "LedOnOff1", QStringLiteral("Led On/Off"), false, false);
  Device1->addSeparator();
  Recalibrate1 = AddItem(Device1, "Recalibrate1", QStringLiteral("Recalibrate"), false);
  Device1->addSeparator();
  DeleteCfgFile = AddItem(Device1, "DeleteCfgFile", QStringLiteral("Delete .cfg File"), false);

  Capture1 = MainMenu1->addMenu(QStringLiteral("Capture"));
  Capture1->setObjectName(QStringLiteral("Capture1"));
  CaptureModeGroup = new QActionGroup(this);
  CaptureModeGroup->setObjectName(QStringLiteral("CaptureModeGroup"));
  CaptureModeGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
  ModeN1 = AddCheckItem(Capture1, "ModeN1", QStringLiteral("Mode N"), false, false);
  ModeT1 = AddCheckItem(Capture1, "ModeT1", QStringLiteral("Mode T"), false, false);
  ModeF1 = AddCheckItem(Capture1, "ModeF1", QStringLiteral("Mode F"), false, false);
  Capture1->addSeparator();
  NormalMode1 = AddCheckItem(Capture1, "NormalMode1", QStringLiteral("Default Mode"), false, true);
  for (QAction* item : {ModeN1, ModeT1, ModeF1, NormalMode1}) CaptureModeGroup->addAction(item);

  Options1 = MainMenu1->addMenu(QStringLiteral("Options"));
  Options1->setObjectName(QStringLiteral("Options1"));
  AutoRefresh = AddCheckItem(Options1, "AutoRefresh", QStringLiteral("Auto Refresh"), true, true);

  Help1 = MainMenu1->addMenu(QStringLiteral("Help"));
  Help1->setObjectName(QStringLiteral("Help1"));
  About1 = AddItem(Help1, "About1", QStringLiteral("About..."), true);

  for (QMenu* menu : {File1, Device1, Capture1, Options1, Help1}) {
    menu->setAccessibleName(menu->title().trimmed());
  }
}

void TForm1::CreateTopPanel(QWidget* client) {
  PanelTop = new QWidget(client);
  PanelTop->setObjectName(QStringLiteral("PanelTop"));
  PanelTop->setGeometry(0, 0, kClientWidth, 54);

  LabelSelectDevice = MakeBoldLabel(PanelTop, "LabelSelectDevice",
                                    QStringLiteral("Select a Fingerprint Device :"), 8, 7);

  ComboDeviceID = new QComboBox(PanelTop);
  ComboDeviceID->setObjectName(QStringLiteral("ComboDeviceID"));
  LabelSelectDevice->setBuddy(ComboDeviceID);
  ComboDeviceID->addItems({QStringLiteral("USB"), QStringLiteral("Parallel: AutoDetect"),
                           QStringLiteral("Parallel: 0x378"), QStringLiteral("Parallel: 0x278"),
                           QStringLiteral("Parallel: 0x3BC")});
  ComboDeviceID->setGeometry(8, 25, 268, 23);

  BtnEnum = MakeButton(PanelTop, "BtnEnum", QStringLiteral("Refresh"), QRect(284, 24, 78, 25));
  BtnEnum->setToolTip(QStringLiteral("Initialize device"));
}

void TForm1::CreateGeneralPage() {
  TabGeneral = new QWidget;
  TabGeneral->setObjectName(QStringLiteral("TabGeneral"));
  TabGeneral->setAccessibleName(QStringLiteral("General"));
  PageControl1->addTab(TabGeneral, QStringLiteral("General     "));

  GroupBoxInventory = MakeGroupBox(TabGeneral, "GroupBoxInventory",
                                   QStringLiteral(" Devices && Drivers Installed "),
                                   QRect(6, 6, 344, 248));
  LabelAttachedDevices = MakeBoldLabel(GroupBoxInventory, "LabelAttachedDevices",
                                       QStringLiteral("Attached devices"), 10, 20);
  LabelEnumSummary =
      MakeValueLabel(LabelAttachedDevices, "LabelEnumSummary", QString(), QRect(18, 36, 318, 32));
  LabelEnumSummary->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  LabelInstalledDrivers =
      MakeBoldLabel(GroupBoxInventory, "LabelInstalledDrivers", QStringLiteral("Installed Drivers"), 10, 74);
  LabelDriverInfo =
      MakeValueLabel(LabelInstalledDrivers, "LabelDriverInfo", QString(), QRect(18, 90, 318, 156));
  // A row names a module and a kernel file with their versions; wrapped, every
  // version stays readable in the fixed-width window.
  LabelDriverInfo->setWordWrap(true);
  LabelDriverInfo->setAlignment(Qt::AlignLeft | Qt::AlignTop);

  GroupBoxUSB = MakeGroupBox(TabGeneral, "GroupBoxUSB", QStringLiteral("USB Device"),
                             QRect(6, 260, 344, 120));
  EditUSBName = AddInfoRow(GroupBoxUSB, "EditUSBName", QStringLiteral("Device Model: "), 0);
  EditUSBDevType = AddInfoRow(GroupBoxUSB, "EditUSBDevType", QStringLiteral("Device Type :"), 1);
  EditFWVer = AddInfoRow(GroupBoxUSB, "EditFWVer", QStringLiteral("Firmware Version :"), 2);
  EditSN = AddInfoRow(GroupBoxUSB, "EditSN", QStringLiteral("Serial Number :"), 3);
  QFont bold = GroupBoxUSB->font();
  bold.setBold(true);
  GroupBoxUSB->setFont(bold);
  GroupBoxUSB->setEnabled(false);
  KeepTextReadable(GroupBoxUSB, ContainerTitle::Readable);

  GroupBoxPP = MakeGroupBox(TabGeneral, "GroupBoxPP", QStringLiteral("Parallel Device"),
                            QRect(6, 386, 344, 120));
  EditPPName = AddInfoRow(GroupBoxPP, "EditPPName", QStringLiteral("64"), 0);
  EditPPDevType = AddInfoRow(GroupBoxPP, "EditPPDevType", QStringLiteral("Device Type :"), 1);
  EditPPAddr = AddInfoRow(GroupBoxPP, "EditPPAddr", QStringLiteral("Base Address:"), 2);
  EditPPMode = AddInfoRow(GroupBoxPP, "EditPPMode", QStringLiteral("Working Mode : "), 3);
  for (QLineEdit* edit : {EditPPName, EditPPDevType, EditPPAddr, EditPPMode}) {
    edit->setReadOnly(true);
  }
  GroupBoxPP->setEnabled(false);
  KeepTextReadable(GroupBoxPP, ContainerTitle::Readable);
}

void TForm1::CreateImagePage() {
  TabImage = new TSurfacePage;
  TabImage->setObjectName(QStringLiteral("TabImage"));
  TabImage->setAccessibleName(QStringLiteral("Image"));
  PageControl1->addTab(TabImage, QStringLiteral(" Image         "));

  BtnInit = MakeButton(TabImage, "BtnInit", QStringLiteral("Init"), QRect(6, 6, 80, 25));
  BtnInit->setToolTip(QStringLiteral("Initialize device"));
  BtnCapture = MakeButton(TabImage, "BtnCapture", QStringLiteral("Capture"), QRect(92, 6, 80, 25));
  BtnCapture->setToolTip(
      QStringLiteral("Put your finger on the input device to capture your fingerprint"));
  BtnCapture->setEnabled(false);
  BtnContCapture = MakeButton(TabImage, "BtnContCapture", QStringLiteral("Cont. Capture"),
                              QRect(178, 6, 92, 25));
  BtnContCapture->setToolTip(QStringLiteral("Start Capture"));
  // Navy while enabled; a disabled button greys out like the others.
  QPalette navy = BtnContCapture->palette();
  navy.setColor(QPalette::Active, QPalette::ButtonText, kNavy);
  navy.setColor(QPalette::Inactive, QPalette::ButtonText, kNavy);
  BtnContCapture->setPalette(navy);
  BtnContCapture->setEnabled(false);
  BtnConfig = MakeButton(TabImage, "BtnConfig", QStringLiteral("Config..."), QRect(276, 6, 74, 25));
  BtnConfig->setToolTip(QStringLiteral("Display config dialogbox"));
  BtnConfig->setEnabled(false);

  // A 300 x 400 image in a frame one pixel wider on every side, centred on the page.
  bvlImgFrame = MakeBevel(TabImage, "bvlImgFrame", QRect(26, 38, 304, 404));
  Image1 = MakeImageView(TabImage, "Image1", QStringLiteral("Fingerprint image"),
                         QRect(27, 39, 300, 400));

  AutoOnGroupBox = MakeGroupBox(TabImage, "AutoOnGroupBox",
                                QStringLiteral("R20/RPx/HMX04/HMX03 Device"),
                                QRect(26, 446, 304, 44));
  CheckBoxAutoCapture = MakeCheckBox(AutoOnGroupBox, "CheckBoxAutoCapture",
                                     QStringLiteral(" Auto Capture"), QRect(10, 19, 110, 18));
  CheckBoxAutoCapture->setEnabled(false);
  CheckBoxSRFeature = MakeCheckBox(AutoOnGroupBox, "CheckBoxSRFeature",
                                   QStringLiteral("SR feature (Read Only)"), QRect(130, 19, 166, 18));
  CheckBoxSRFeature->setEnabled(false);
  // Without auto capture the group is disabled, while an R20's SR flag is
  // still shown in it.
  KeepTextReadable(AutoOnGroupBox, ContainerTitle::Greyed);

  StatusBar = new QStatusBar(TabImage);
  StatusBar->setObjectName(QStringLiteral("StatusBar"));
  // Unnamed, the status bar is named by its message: screen readers read each
  // result and hear it change.
  StatusBar->setSizeGripEnabled(false);
  // A message longer than the bar (a saved file's path) shows whole as its tool
  // tip. The bar keeps 6 pixels left and 12 right of its message.
  connect(StatusBar, &QStatusBar::messageChanged, StatusBar, [bar = StatusBar](const QString& message) {
    constexpr int kMessageMargins = 18;
    const bool cut = bar->fontMetrics().horizontalAdvance(message) > bar->width() - kMessageMargins;
    bar->setToolTip(cut ? message : QString());
  });
  // What the bar is; its name is the message.
  StatusBar->setAccessibleDescription(QStringLiteral("Status"));
  StatusBar->resize(StatusBar->width(), 20);
  StatusBar->showMessage(QStringLiteral("Click init button to initialize device"));
  TabImage->AlignBottom(StatusBar);
}

void TForm1::ConnectHandlers() {
  connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });

  BindMenuClick(SaveToRawFile1, this, &TForm1::SaveToRawFile1Click);
  BindMenuClick(SaveToBMPFile1, this, &TForm1::SaveToBMPFile1Click);
  BindMenuClick(MenuitemSaveLogs, this, &TForm1::MenuitemSaveLogsClick);
  BindMenuClick(Exit1, this, &TForm1::Exit1Click);
  BindMenuClick(LedOnOff1, this, &TForm1::LedOnOff1Click);
  BindMenuClick(Recalibrate1, this, &TForm1::Recalibrate1Click);
  BindMenuClick(DeleteCfgFile, this, &TForm1::DeleteCfgFileClick);
  BindMenuClick(ModeN1, this, &TForm1::ModeN1Click);
  BindMenuClick(ModeT1, this, &TForm1::ModeT1Click);
  BindMenuClick(ModeF1, this, &TForm1::ModeF1Click);
  BindMenuClick(NormalMode1, this, &TForm1::NormalMode1Click);
  BindMenuClick(AutoRefresh, this, &TForm1::AutoRefreshClick);
  BindMenuClick(About1, this, &TForm1::About1Click);

  connect(BtnEnum, &QPushButton::clicked, this, [this] { BtnEnumClick(BtnEnum); });
  connect(ComboDeviceID, &QComboBox::activated, this, [this] { ComboDeviceIDChange(); });
  connect(BtnInit, &QPushButton::clicked, this, [this] { BtnInitClick(BtnInit); });
  connect(BtnCapture, &QPushButton::clicked, this, [this] { BtnCaptureClick(); });
  connect(BtnContCapture, &QPushButton::clicked, this, [this] { BtnContCaptureClick(); });
  connect(BtnConfig, &QPushButton::clicked, this, [this] { BtnConfigClick(); });
  // A check box's action runs on every change of state, by the user or the program.
  connect(CheckBoxAutoCapture, &QCheckBox::toggled, this, [this] { CheckBoxAutoCaptureClick(); });
  connect(CheckBoxSRFeature, &QCheckBox::toggled, this, [this] { CheckBoxSRFeatureClick(); });
  connect(CheckBoxSmartCapture, &QCheckBox::toggled, this, [this] { CheckBoxSmartCaptureClick(); });
  connect(CheckBoxSharpness, &QCheckBox::toggled, this, [this] { CheckBoxSharpnessClick(); });
  // Likewise a scroll bar's action on every change of position.
  connect(ScrollBarBrightness, &QScrollBar::valueChanged, this,
          [this] { ScrollBarBrightnessChange(); });
  connect(ScrollBarGainMax, &QScrollBar::valueChanged, this, [this] { ScrollBarGainMaxChange(); });
  connect(ScrollBarGainMin, &QScrollBar::valueChanged, this, [this] { ScrollBarGainMinChange(); });
  connect(ButtonOpenSCDFile, &QPushButton::clicked, this, [this] { ButtonOpenSCDFileClick(); });
  connect(ButtonResetCmos, &QPushButton::clicked, this, [this] { ButtonResetCmosClick(); });
}
