// The main window's components in their design state: the menu, the top panel,
// the General and Image pages, and the wiring of every handler.
#include "app/mainform.h"

namespace {

constexpr int kTimer1IntervalMs = 100;
const forms::Font kFormFont{"MS Sans Serif", -11};

// Each row of an information group: caption at the left, its box beside it.
forms::TEdit* AddInfoRow(forms::TFormWindow& window, forms::TGroupBox* group, const std::string& name,
                         const std::string& caption, int row, bool readOnly = false) {
  const int top = 18 + row * 24;
  forms::TLabel* label = window.AddLabel(group, "", caption, 12, top + 3);
  forms::TEdit* edit = window.AddEdit(group, name, {126, top, 206, 21}, {readOnly});
  label->SetFocusControl(edit);
  edit->SetText("Unknown");
  return edit;
}

}  // namespace

void TForm1::CreateComponents() {
  Window = forms::CreateFormWindow({.name = "Form1",
                                    .caption = "Tolvane Device Diagnostic Utility Version",
                                    .kind = forms::FormKind::Main,
                                    .menuName = "MainMenu1",
                                    .clientWidth = kClientWidth,
                                    .clientHeight = kClientHeight,
                                    .left = 177,
                                    .top = 186,
                                    .font = kFormFont});
  Handle = Window->Handle();
  SaveDialog1.Owner = Window.get();
  OpenDialog1.Owner = Window.get();

  CreateMainMenu();
  CreateTopPanel();

  PageControl1 = Window->AddPageControl(Window->Client(), "PageControl1", {4, 56, 362, 544});
  PageControl1->SetAccessibleName("Pages");
  CreateGeneralPage();
  CreateImagePage();
  PageControl1->SetActivePage(TabImage);

  // Beyond the right edge of the client area: it exists and works, out of view.
  PageControl2 = Window->AddPageControl(Window->Client(), "PageControl2", {389, 8, 644, 709});
  PageControl2->SetAccessibleName("Smart capture pages");
  CreateSmartCapturePage();
  CreateEtcPage();

  Timer1 = Window->AddTimer("Timer1", kTimer1IntervalMs);
  ConnectHandlers();
}

void TForm1::CreateMainMenu() {
  forms::TFormWindow& w = *Window;
  File1 = w.AddMenu("File1", "File    ");
  SaveToRawFile1 = w.AddMenuItem(File1, "SaveToRawFile1", "Save Image (Raw)");
  SaveToBMPFile1 = w.AddMenuItem(File1, "SaveToBMPFile1", "Save Image (BMP)");
  w.AddMenuSeparator(File1);
  MenuitemSaveLogs = w.AddMenuItem(File1, "MenuitemSaveLogs", "Save Logs");
  w.AddMenuSeparator(File1);
  Exit1 = w.AddMenuItem(File1, "Exit1", "Exit");

  Device1 = w.AddMenu("Device1", "Device    ");
  LedOnOff1 = w.AddMenuItem(Device1, "LedOnOff1", "Led On/Off", {.enabled = false, .checkable = true});
  w.AddMenuSeparator(Device1);
  Recalibrate1 = w.AddMenuItem(Device1, "Recalibrate1", "Recalibrate", {.enabled = false});
  w.AddMenuSeparator(Device1);
  DeleteCfgFile = w.AddMenuItem(Device1, "DeleteCfgFile", "Delete .cfg File", {.enabled = false});

  Capture1 = w.AddMenu("Capture1", "Capture");
  ModeN1 = w.AddMenuItem(Capture1, "ModeN1", "Mode N", {.enabled = false, .radioGroup = 1});
  ModeT1 = w.AddMenuItem(Capture1, "ModeT1", "Mode T", {.enabled = false, .radioGroup = 1});
  ModeF1 = w.AddMenuItem(Capture1, "ModeF1", "Mode F", {.enabled = false, .radioGroup = 1});
  w.AddMenuSeparator(Capture1);
  NormalMode1 =
      w.AddMenuItem(Capture1, "NormalMode1", "Default Mode", {.enabled = false, .checked = true, .radioGroup = 1});

  Options1 = w.AddMenu("Options1", "Options");
  AutoRefresh = w.AddMenuItem(Options1, "AutoRefresh", "Auto Refresh", {.checked = true, .checkable = true});

  Help1 = w.AddMenu("Help1", "Help");
  About1 = w.AddMenuItem(Help1, "About1", "About...");
}

void TForm1::CreateTopPanel() {
  forms::TFormWindow& w = *Window;
  PanelTop = w.AddPanel(w.Client(), "PanelTop", {0, 0, kClientWidth, 54});
  LabelSelectDevice =
      w.AddLabel(PanelTop, "LabelSelectDevice", "Select a Fingerprint Device :", 8, 7, {.bold = true});
  ComboDeviceID = w.AddComboBox(PanelTop, "ComboDeviceID", {8, 25, 268, 23});
  LabelSelectDevice->SetFocusControl(ComboDeviceID);
  for (const char* item : {"USB", "Parallel: AutoDetect", "Parallel: 0x378", "Parallel: 0x278", "Parallel: 0x3BC"}) {
    ComboDeviceID->AddItem(item);
  }
  ComboDeviceID->SetItemIndex(0);
  BtnEnum = w.AddButton(PanelTop, "BtnEnum", "Refresh", {284, 24, 78, 25});
  BtnEnum->SetHint("Initialize device");
}

void TForm1::CreateGeneralPage() {
  forms::TFormWindow& w = *Window;
  TabGeneral = w.AddTabSheet(PageControl1, "TabGeneral", "General     ");

  GroupBoxInventory =
      w.AddGroupBox(TabGeneral, "GroupBoxInventory", " Devices && Drivers Installed ", {6, 6, 344, 248});
  LabelAttachedDevices =
      w.AddLabel(GroupBoxInventory, "LabelAttachedDevices", "Attached devices", 10, 20, {.bold = true});
  LabelEnumSummary = w.AddValueLabel(GroupBoxInventory, "LabelEnumSummary", "", {18, 36, 318, 32});
  LabelAttachedDevices->SetFocusControl(LabelEnumSummary);
  LabelInstalledDrivers =
      w.AddLabel(GroupBoxInventory, "LabelInstalledDrivers", "Installed Drivers", 10, 74, {.bold = true});
  // A row names a module and a kernel file with their versions; wrapped, every
  // version stays readable in the fixed-width window.
  LabelDriverInfo =
      w.AddValueLabel(GroupBoxInventory, "LabelDriverInfo", "", {18, 90, 318, 156}, {.wordWrap = true});
  LabelInstalledDrivers->SetFocusControl(LabelDriverInfo);

  GroupBoxUSB = w.AddGroupBox(TabGeneral, "GroupBoxUSB", "USB Device", {6, 260, 344, 120});
  EditUSBName = AddInfoRow(w, GroupBoxUSB, "EditUSBName", "Device Model: ", 0);
  EditUSBDevType = AddInfoRow(w, GroupBoxUSB, "EditUSBDevType", "Device Type :", 1);
  EditFWVer = AddInfoRow(w, GroupBoxUSB, "EditFWVer", "Firmware Version :", 2);
  EditSN = AddInfoRow(w, GroupBoxUSB, "EditSN", "Serial Number :", 3);
  GroupBoxUSB->SetBold(true);
  GroupBoxUSB->SetEnabled(false);

  GroupBoxPP = w.AddGroupBox(TabGeneral, "GroupBoxPP", "Parallel Device", {6, 386, 344, 120});
  EditPPName = AddInfoRow(w, GroupBoxPP, "EditPPName", "64", 0, true);
  EditPPDevType = AddInfoRow(w, GroupBoxPP, "EditPPDevType", "Device Type :", 1, true);
  EditPPAddr = AddInfoRow(w, GroupBoxPP, "EditPPAddr", "Base Address:", 2, true);
  EditPPMode = AddInfoRow(w, GroupBoxPP, "EditPPMode", "Working Mode : ", 3, true);
  GroupBoxPP->SetEnabled(false);
}

void TForm1::CreateImagePage() {
  forms::TFormWindow& w = *Window;
  TabImage = w.AddTabSheet(PageControl1, "TabImage", " Image         ");

  BtnInit = w.AddButton(TabImage, "BtnInit", "Init", {6, 6, 80, 25});
  BtnInit->SetHint("Initialize device");
  BtnCapture = w.AddButton(TabImage, "BtnCapture", "Capture", {92, 6, 80, 25});
  BtnCapture->SetHint("Put your finger on the input device to capture your fingerprint");
  BtnCapture->SetEnabled(false);
  BtnContCapture = w.AddButton(TabImage, "BtnContCapture", "Cont. Capture", {178, 6, 92, 25});
  BtnContCapture->SetHint("Start Capture");
  BtnContCapture->SetFontColor(forms::kNavy);
  BtnContCapture->SetEnabled(false);
  BtnConfig = w.AddButton(TabImage, "BtnConfig", "Config...", {276, 6, 74, 25});
  BtnConfig->SetHint("Display config dialogbox");
  BtnConfig->SetEnabled(false);

  // A 300 x 400 image in a frame one pixel wider on every side, centred on the page.
  bvlImgFrame = w.AddBevel(TabImage, "bvlImgFrame", {26, 38, 304, 404});
  Image1 = w.AddDrawingArea(TabImage, "Image1", {27, 39, 300, 400});
  Image1->SetAccessibleName("Fingerprint image");

  // Without auto capture the group is disabled, while an R20's SR flag is
  // still shown in it.
  AutoOnGroupBox = w.AddGroupBox(TabImage, "AutoOnGroupBox", "R20/RPx/HMX04/HMX03 Device", {26, 446, 304, 44},
                                 forms::DisabledTitle::Greyed);
  CheckBoxAutoCapture = w.AddCheckBox(AutoOnGroupBox, "CheckBoxAutoCapture", " Auto Capture", kAutoCaptureBounds);
  CheckBoxAutoCapture->SetEnabled(false);
  CheckBoxSRFeature =
      w.AddCheckBox(AutoOnGroupBox, "CheckBoxSRFeature", "SR feature (Read Only)", kSrFeatureBounds);
  CheckBoxSRFeature->SetEnabled(false);

  StatusBar = w.AddStatusBar(TabImage, "StatusBar", 20, "Click init button to initialize device");
}

void TForm1::ConnectHandlers() {
  Window->OnMessage = [this](UINT message, WPARAM wParam, LPARAM lParam) {
    return WindowProc(message, wParam, lParam);
  };
  Window->OnPaint = [this] { FormPaint(); };
  Timer1->OnTimer = [this] { Timer1Timer(); };

  SaveToRawFile1->OnClick = [this] { SaveToRawFile1Click(); };
  SaveToBMPFile1->OnClick = [this] { SaveToBMPFile1Click(); };
  MenuitemSaveLogs->OnClick = [this] { MenuitemSaveLogsClick(); };
  Exit1->OnClick = [this] { Exit1Click(); };
  LedOnOff1->OnClick = [this] { LedOnOff1Click(); };
  Recalibrate1->OnClick = [this] { Recalibrate1Click(); };
  DeleteCfgFile->OnClick = [this] { DeleteCfgFileClick(); };
  ModeN1->OnClick = [this] { ModeN1Click(); };
  ModeT1->OnClick = [this] { ModeT1Click(); };
  ModeF1->OnClick = [this] { ModeF1Click(); };
  NormalMode1->OnClick = [this] { NormalMode1Click(); };
  AutoRefresh->OnClick = [this] { AutoRefreshClick(); };
  About1->OnClick = [this] { About1Click(); };

  BtnEnum->OnClick = [this] { BtnEnumClick(); };
  ComboDeviceID->OnChange = [this] { ComboDeviceIDChange(); };
  BtnInit->OnClick = [this] { BtnInitClick(); };
  BtnCapture->OnClick = [this] { BtnCaptureClick(); };
  BtnContCapture->OnClick = [this] { BtnContCaptureClick(); };
  BtnConfig->OnClick = [this] { BtnConfigClick(); };
  CheckBoxAutoCapture->OnClick = [this] { CheckBoxAutoCaptureClick(); };
  CheckBoxSRFeature->OnClick = [this] { CheckBoxSRFeatureClick(); };
  CheckBoxSmartCapture->OnClick = [this] { CheckBoxSmartCaptureClick(); };
  CheckBoxSharpness->OnClick = [this] { CheckBoxSharpnessClick(); };
  ScrollBarBrightness->OnChange = [this] { ScrollBarBrightnessChange(); };
  ScrollBarGainMax->OnChange = [this] { ScrollBarGainMaxChange(); };
  ScrollBarGainMin->OnChange = [this] { ScrollBarGainMinChange(); };
  ButtonOpenSCDFile->OnClick = [this] { ButtonOpenSCDFileClick(); };
  ButtonResetCmos->OnClick = [this] { ButtonResetCmosClick(); };
}
