// The main window: device selector, the General and Image pages, the
// smart-capture pages placed beyond the visible client area, the main menu and
// the status bar of the Image page. Components are public members with their
// design names; handlers are named after component and event.
//
// Threads: every widget is touched on the window thread. The capture worker and
// the driver's image callback reach the window through queued calls
// (SetStatusText does that for the status bar) and the surfaces of the pages.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/capture_flags.h"
#include "app/dialog_seam.h"
#include "app/smart_capture_detail.h"
#include "device/locks.h"
#include "device/records.h"
#include "device/sensor.h"
#include "forms/form_window.h"
#include "imaging/dib.h"

class TAboutBoxDlg;

class TForm1 {
 public:
  static constexpr int kClientWidth = 370;
  static constexpr int kClientHeight = 604;
  // The design places of the auto-capture group's boxes.
  static constexpr forms::Bounds kAutoCaptureBounds{10, 19, 110, 18};
  static constexpr forms::Bounds kSrFeatureBounds{130, 19, 166, 18};

  TForm1();
  ~TForm1();
  TForm1(const TForm1&) = delete;
  TForm1& operator=(const TForm1&) = delete;

  // The window the components live in.
  std::unique_ptr<forms::TFormWindow> Window;

  // ---- components --------------------------------------------------------------
  // Main menu.
  forms::TMenuItem* File1 = nullptr;
  forms::TMenuItem* SaveToRawFile1 = nullptr;
  forms::TMenuItem* SaveToBMPFile1 = nullptr;
  forms::TMenuItem* MenuitemSaveLogs = nullptr;
  forms::TMenuItem* Exit1 = nullptr;
  forms::TMenuItem* Device1 = nullptr;
  forms::TMenuItem* LedOnOff1 = nullptr;
  forms::TMenuItem* Recalibrate1 = nullptr;
  forms::TMenuItem* DeleteCfgFile = nullptr;
  forms::TMenuItem* Capture1 = nullptr;
  forms::TMenuItem* ModeN1 = nullptr;  // radio group 1
  forms::TMenuItem* ModeT1 = nullptr;
  forms::TMenuItem* ModeF1 = nullptr;
  forms::TMenuItem* NormalMode1 = nullptr;
  forms::TMenuItem* Options1 = nullptr;
  forms::TMenuItem* AutoRefresh = nullptr;
  forms::TMenuItem* Help1 = nullptr;
  forms::TMenuItem* About1 = nullptr;

  // Top panel.
  forms::TPanel* PanelTop = nullptr;
  forms::TLabel* LabelSelectDevice = nullptr;
  forms::TComboBox* ComboDeviceID = nullptr;
  forms::TButton* BtnEnum = nullptr;

  forms::TPageControl* PageControl1 = nullptr;
  // "General     " page.
  forms::TTabSheet* TabGeneral = nullptr;
  forms::TGroupBox* GroupBoxInventory = nullptr;
  forms::TLabel* LabelAttachedDevices = nullptr;
  forms::TLabel* LabelEnumSummary = nullptr;
  forms::TLabel* LabelInstalledDrivers = nullptr;
  forms::TLabel* LabelDriverInfo = nullptr;
  forms::TGroupBox* GroupBoxUSB = nullptr;
  forms::TEdit* EditUSBName = nullptr;
  forms::TEdit* EditUSBDevType = nullptr;
  forms::TEdit* EditFWVer = nullptr;
  forms::TEdit* EditSN = nullptr;
  forms::TGroupBox* GroupBoxPP = nullptr;
  forms::TEdit* EditPPName = nullptr;
  forms::TEdit* EditPPDevType = nullptr;
  forms::TEdit* EditPPAddr = nullptr;
  forms::TEdit* EditPPMode = nullptr;
  // " Image         " page.
  forms::TTabSheet* TabImage = nullptr;
  forms::TButton* BtnInit = nullptr;
  forms::TButton* BtnCapture = nullptr;
  forms::TButton* BtnContCapture = nullptr;
  forms::TButton* BtnConfig = nullptr;
  forms::TBevel* bvlImgFrame = nullptr;
  forms::TDrawingArea* Image1 = nullptr;
  forms::TGroupBox* AutoOnGroupBox = nullptr;
  forms::TCheckBox* CheckBoxAutoCapture = nullptr;
  forms::TCheckBox* CheckBoxSRFeature = nullptr;
  forms::TStatusBar* StatusBar = nullptr;

  forms::TPageControl* PageControl2 = nullptr;
  // "Smart Capture" page.
  forms::TTabSheet* TabSmartCapture = nullptr;
  forms::TGroupBox* GroupBoxScDetail = nullptr;
  forms::TLabel* LabelScVersion = nullptr;
  forms::TLabel* LabelScCaptureSpeed = nullptr;
  forms::TLabel* LabelScGrayQuality = nullptr;
  forms::TLabel* LabelScInitBrightness = nullptr;
  forms::TLabel* LabelScSmartBrightness = nullptr;
  forms::TLabel* LabelScNumOfCaptures = nullptr;
  forms::TLabel* LabelScErrorCode = nullptr;
  forms::TLabel* LabelScLineDiffMax = nullptr;
  forms::TListBox* ListBoxScBrightnesses = nullptr;
  forms::TLabel* LabelImage1CaptureTime = nullptr;
  forms::TLabel* LabelImage2CaptureTime = nullptr;
  forms::TBevel* BevelScImageFrame = nullptr;
  forms::TDrawingArea* ImageScImage = nullptr;
  forms::TBevel* BevelScImageSplitFrame = nullptr;
  forms::TDrawingArea* ImageScImageSplit = nullptr;
  forms::TCheckBox* CheckBoxShowSmartCaptureDetail = nullptr;
  forms::TCheckBox* CheckBoxSmartCapture = nullptr;
  forms::TCheckBox* CheckBoxSharpness = nullptr;
  forms::TCheckBox* CheckBoxUseCallback = nullptr;
  forms::TScrollBar* ScrollBarBrightness = nullptr;
  forms::TLabel* LabelBrightness = nullptr;
  forms::TScrollBar* ScrollBarGainMax = nullptr;
  forms::TLabel* LabelGainMax = nullptr;
  forms::TScrollBar* ScrollBarGainMin = nullptr;
  forms::TLabel* LabelGainMin = nullptr;
  forms::TButton* ButtonOpenSCDFile = nullptr;
  forms::TEdit* EditScdFilePath = nullptr;
  // "Etc." page.
  forms::TTabSheet* TabEtc = nullptr;
  forms::TLabel* LabelResetCmosWarning = nullptr;
  forms::TGroupBox* GroupBoxResetCmos = nullptr;
  forms::TButton* ButtonResetCmos = nullptr;

  // Non-visual components.
  forms::TTimer* Timer1 = nullptr;
  DialogSeam Dialogs;
  TFileDialog SaveDialog1{Dialogs, true};
  TFileDialog OpenDialog1{Dialogs, false};

  // ---- state -----------------------------------------------------------------------
  ISensor* Sensor = nullptr;  // disposed of through ReleaseSensor
  std::unique_ptr<uint8_t[]> ImageBuffer;
  int32_t ImageWidth = 0;
  int32_t ImageHeight = 0;
  // The current image changes only by whole frames: the capture worker hands
  // each finished live frame over under this lock, and every reader of the
  // image that may run beside a capture (repaint, saves, the gray value, the
  // .scd copy) holds it too.
  std::mutex ImageLock;
  // The worker's own frame, which the driver fills during GetImageEx; the
  // image callback's gray value is that of this frame.
  std::unique_ptr<uint8_t[]> LiveFrame;
  std::atomic<uint8_t> BrightnessPending{0};
  std::atomic<uint32_t> PendingBrightness{0};
  uint8_t AutoOnSupported = 1;
  CDibClass Dib;
  HMODULE DriverModule = nullptr;
  DeviceEntry* Devices = nullptr;  // points into the enumeration's DeviceTable
  int32_t DeviceIndex = -1;
  int32_t SrFeature = 0;
  HDEVNOTIFY DeviceNotify = nullptr;
  std::unique_ptr<UnitLocker> Locker;
  uint32_t DefaultCaptureMode = 3;
  SmartCaptureDetailPtr ScDetail;
  // Held while the record is filled or read: a fetch and its display may
  // run on different threads.
  std::mutex ScDetailLock;

  // The About box that "About..." shows; set by start-up.
  TAboutBoxDlg* AboutBoxDlg = nullptr;

  // The main window's platform handle: the target of posted messages.
  HWND Handle = nullptr;

  // ---- lifecycle (mainform_lifecycle.cpp) -------------------------------------------------
  void FormCreate();
  void FormDestroy();
  void FormPaint();
  void Timer1Timer();
  void ResetForDeviceChange();
  void RegisterDeviceChange();
  void UnregisterDeviceChange();
  void ReleaseSensor();
  void ShowStatus(uint32_t code);
  // Any thread: the status bar's text. From other threads only the newest text
  // of a burst reaches the window thread, so a fast capture loop neither floods
  // the window's queue nor outruns what a person can read.
  void SetStatusText(const std::string& text);
  // Whether a text from another thread still waits for the status bar: a
  // newer one would replace it unread.
  bool StatusTextWaiting();
  void Exit1Click();
  void About1Click();
  void AutoRefreshClick();

  // ---- messages (mainform_messages.cpp) ------------------------------------------------
  // The window's one message dispatch, on the window thread.
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleDeviceChange(WPARAM event, LPARAM record);

  // ---- inventory (mainform_inventory.cpp) --------------------------------------------
  void BtnEnumClick();
  void ResetControls();
  void ShowDriverInventory();
  int IsWow64();

  // ---- initialization (mainform_init.cpp) ----------------------------------------------
  void BtnInitClick();
  // Size, white image, live frame and display bitmap change together, so that
  // nothing ever sees a size that its buffer does not have; 0 x 0 frees them.
  void SetImageSize(int32_t width, int32_t height);
  void ShowDeviceInfo(bool show);
  void EnableCaptureControls(bool on);

  // ---- capture (mainform_capture.cpp) ---------------------------------------------------
  void BtnCaptureClick();
  bool CaptureOnce();
  void BtnContCaptureClick();
  void CheckBoxAutoCaptureClick();
  void ComboDeviceIDChange();
  void ReportCapture(int time, int gray, int quality);
  static int ImageMean(const uint8_t* image, int width, int height);
  // ImageMean of the current image, under ImageLock.
  int CurrentImageMean();
  LRESULT HandlePowerBroadcast(WPARAM event);
  void HandleFingerDetected(WPARAM wParam);
  void StartContinuousCapture();
  void StopContinuousCapture();
  // Worker thread: captures until a stop is requested or a capture fails.
  // Finished frames become the current image at most every
  // kFrameHandOverInterval, and the last one of a run always does: a faster
  // hand-over would cost the capture rate and show nobody anything.
  int CaptureLoop(HWND surface, RECT bounds);
  uint32_t LiveCaptureStep(HWND surface, const RECT& bounds);
  void HandOverLiveFrame();
  static constexpr std::chrono::milliseconds kFrameHandOverInterval{15};

  // The continuous-capture worker; joinable from a start to the end of its stop.
  std::thread CaptureThread;
  std::atomic<bool> CaptureWorkerEnded{true};
  // "Show Details on Smart Capture " as it was when the run started, for the callback.
  std::atomic<bool> ShowDetailDuringRun{false};
  // A stop is waiting for the worker: window messages wait until it is done.
  bool CaptureStopping = false;

  // ---- device commands (mainform_commands.cpp) ---------------------------------------
  void BtnConfigClick();
  void LedOnOff1Click();
  void ModeN1Click();
  void ModeT1Click();
  void ModeF1Click();
  void NormalMode1Click();
  void Recalibrate1Click();
  void DeleteCfgFileClick();
  void ButtonResetCmosClick();
  void CheckBoxSRFeatureClick();
  void SelectModeItem(forms::TMenuItem* item);

  // ---- smart capture (mainform_smartcapture.cpp) ----------------------------------------
  void SetBrightnessValue(int32_t value);
  void SetGainMax(uint8_t value);
  void SetGainMin(uint8_t value);
  void RefreshDetail();
  void RefreshBrightnessList();
  void ShowDetail();
  void ShowBrightnessList();
  void CheckBoxSmartCaptureClick();
  void CheckBoxSharpnessClick();
  void ScrollBarBrightnessChange();
  void ScrollBarGainMaxChange();
  void ScrollBarGainMinChange();
  void ButtonOpenSCDFileClick();

  // ---- saving (mainform_saving.cpp) --------------------------------------------------------
  void SaveToRawFile1Click();
  void SaveToBMPFile1Click();
  void MenuitemSaveLogsClick();

  // ---- drawing (mainform_drawing.cpp) ------------------------------------------------------
  void DrawImageInControl(forms::TDrawingArea* control, const uint8_t* data);
  void ShowCurrentImage(const uint8_t* data);
  void ClearImageControl(forms::TDrawingArea* control);

 private:
  // Texts from other threads: the newest waits here, and deliveries to the
  // status bar are at least kMinStatusInterval apart (nobody reads faster).
  static constexpr std::chrono::milliseconds kMinStatusInterval{15};
  std::mutex queuedStatusLock_;
  std::optional<std::string> queuedStatus_;
  bool queuedStatusPending_ = false;  // a delivery is on its way
  // Window thread only: when the last text from another thread was shown.
  std::optional<std::chrono::steady_clock::time_point> lastQueuedStatus_;

  // A message that reached the window while a stop waited for the capture
  // worker, with a copy of the record it carried.
  struct HeldMessage {
    UINT message;
    WPARAM wParam;
    std::vector<uint8_t> record;
  };
  std::deque<HeldMessage> heldMessages_;
  void HoldMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void HandleHeldMessages();

  // mainform_layout.cpp and mainform_layout_pages.cpp
  void CreateComponents();
  void CreateMainMenu();
  void CreateTopPanel();
  void CreateGeneralPage();
  void CreateImagePage();
  void CreateSmartCapturePage();
  void CreateEtcPage();
  void ConnectHandlers();
};
