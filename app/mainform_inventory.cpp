// "Refresh": the window back in its not-initialized look, the driver inventory
// and the attached readers in the device selector.
#include <algorithm>
#include <ranges>

#include "app/mainform.h"
#include "app/printf_text.h"
#include "device/enumeration.h"
#include "device/file_version.h"
#include "device/proc_address.h"
#include "device/sensor.h"
#include "device/wbf_usb_device.h"

namespace {

// A packed version a.b.c.d as text, major part first.
std::string VersionText(uint32_t v) {
  return PrintfText("%d.%d.%d.%d", static_cast<int>(v >> 24), static_cast<int>((v >> 16) & 0xFF),
                    static_cast<int>((v >> 8) & 0xFF), static_cast<int>(v & 0xFF));
}

}  // namespace

void TForm1::BtnEnumClick() {
  ResetControls();
  ShowDriverInventory();
  ComboDeviceID->Clear();

  if (!Locker || !Locker->Acquire()) {
    ShowStatus(kStatusUsedByAnotherProcess);
    return;
  }
  BtnEnum->SetEnabled(false);
  SetStatusText("Enumerating...");
  if (NotCapturing == 0) BtnContCaptureClick();
  ImageAvailable = 0;
  ResumeAfterSuspend = 0;
  SrFeature = 0;

  int parallel = 0;
  int usb = 0;
  int count = 0;
  DeviceEntry* table = nullptr;
  EnumerateDevices(&count, &table, 1);
  Devices = table;
  count = table ? std::clamp(count, 0, kDeviceTableSize) : 0;
  for (int i = 0; i < count; ++i) {
    const DeviceEntry& entry = table[i];
    const ReaderTypeInfo* info = FindReaderType(entry.type);
    // Item i stands for entry i, so even a type without a label keeps its place.
    ComboDeviceID->AddItem(PrintfText("%s%i", info ? info->label : "", entry.index));
    (IsParallelReader(entry.type) ? parallel : usb) += 1;
  }

  if (count > 0) {
    ComboDeviceID->SetItemIndex(0);
    BtnInit->SetEnabled(true);
    SetStatusText(PrintfText("Select a fingerprint device and Click Init button. %i device(s) found.", usb));
  } else {
    SetStatusText("No fingerprint device found.");
  }
  LabelEnumSummary->SetCaption(
      PrintfText("The number of USB devices:\t%i\nThe number of Parallel devices:\t%i\n", usb, parallel));
  BtnEnum->SetEnabled(true);
  Locker->Release();
}

void TForm1::ResetControls() {
  for (forms::TMenuItem* item : {SaveToRawFile1, SaveToBMPFile1, MenuitemSaveLogs, LedOnOff1, DeleteCfgFile,
                                 ModeN1, ModeT1, ModeF1, NormalMode1}) {
    item->SetEnabled(false);
  }
  NormalMode1->SetChecked(true);
  Recalibrate1->SetEnabled(false);

  for (forms::TButton* button : {BtnInit, BtnCapture, BtnContCapture, BtnConfig}) {
    button->SetEnabled(false);
  }
  for (forms::TCheckBox* box : {CheckBoxAutoCapture, CheckBoxSRFeature, CheckBoxSmartCapture}) {
    box->SetEnabled(false);
    box->SetChecked(false);
  }
  ScrollBarBrightness->SetEnabled(false);
  ButtonOpenSCDFile->SetEnabled(false);
  ScrollBarGainMax->SetEnabled(false);
  ScrollBarGainMin->SetEnabled(false);

  LabelEnumSummary->SetCaption("");
  LabelDriverInfo->SetCaption("");
  for (forms::TEdit* edit : {EditUSBName, EditUSBDevType, EditFWVer, EditSN, EditPPName,
                             EditPPDevType, EditPPAddr, EditPPMode}) {
    edit->Clear();
  }
  GroupBoxUSB->SetBold(false);
  GroupBoxPP->SetBold(false);
  PageControl1->SetActivePage(TabImage);
}

void TForm1::ShowDriverInventory() {
  char systemDirectory[MAX_PATH] = {};
  char windowsDirectory[MAX_PATH] = {};
  GetSystemDirectoryA(systemDirectory, MAX_PATH);
  GetWindowsDirectoryA(windowsDirectory, MAX_PATH);
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
  GetVersionExA(&version);
  const std::string drivers = version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS
                                  ? PrintfText("%s\\system32\\drivers", windowsDirectory)
                                  : PrintfText("%s\\drivers", systemDirectory);

  LabelDriverInfo->SetCaption("");
  std::string text;
  // The USB generations, newest first, then the parallel reader.
  for (const ReaderTypeInfo& row : ReaderTypes() | std::views::reverse) {
    if (IsParallelReader(row.type)) continue;
    const char* kernel = IsWow64() ? row.kernelDriver64 : row.kernelDriver32;
    const std::string path = PrintfText("%s\\%s", drivers.c_str(), kernel);
    const uint32_t m = FileVersion(row.module);
    const uint32_t d = FileVersion(path.c_str());
    if (m == 0 && d == 0) continue;
    text += row.driverLabel;
    text += PrintfText(" %s (v%s), %s (v%s)", row.module, VersionText(m).c_str(), kernel,
                       VersionText(d).c_str());
    text += "\n";
  }

  // The parallel reader's kernel driver has one name on every Windows.
  const ReaderTypeInfo& parallel = *FindReaderType(kReaderParallel);
  const std::string parallelPath = PrintfText("%s\\%s", drivers.c_str(), parallel.kernelDriver32);
  const uint32_t m = FileVersion(parallel.module);
  const uint32_t d = FileVersion(parallelPath.c_str());
  if (m != 0 || d != 0) {
    text += parallel.driverLabel;
    text += PrintfText(" (v%s, v%s)", VersionText(m).c_str(), VersionText(d).c_str());
  }

  if (IsWindows7OrLater()) {
    const std::string path = PrintfText("%s\\UMDF\\%s", drivers.c_str(), "Qvhmxwudf.dll");
    const uint32_t v = FileVersion(path.c_str());
    if (v != 0) {
      text += "WBF   : ";
      text += PrintfText(" %s (v%s)", "Qvhmxwudf.dll", VersionText(v).c_str());
    }
  }
  LabelDriverInfo->SetCaption(text);
}

// Asked at run time: the function does not exist on every Windows.
int TForm1::IsWow64() {
  using IsWow64ProcessFunction = BOOL(WINAPI*)(HANDLE, PBOOL);
  const auto isWow64Process =
      ProcAddressAs<IsWow64ProcessFunction>(GetModuleHandleA("kernel32"), "IsWow64Process");
  BOOL wow64 = FALSE;
  if (!isWow64Process || !isWow64Process(GetCurrentProcess(), &wow64)) return 0;
  return wow64 ? 1 : 0;
}
