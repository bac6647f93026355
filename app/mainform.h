// The main window: device selector, the General and Image pages, the
// smart-capture pages placed beyond the visible client area, the main menu and
// the status bar of the Image page. Components are public members with their
// design names; handlers are named after component and event.
//
// Threads: every widget is touched on the window thread. The capture worker and
// the driver's image callback reach the window through queued calls
// (SetStatusText does that for the status bar) and the surfaces of the pages.
#pragma once

#include <QElapsedTimer>
#include <QMainWindow>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "app/capture_flags.h"
#include "app/dialog_seam.h"
#include "app/smart_capture_detail.h"
#include "device/locks.h"
#include "device/records.h"
#include "device/sensor.h"
#include "imaging/dib.h"
#include "platform/window_host.h"

class QAction;
class QActionGroup;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QMenuBar;
class QPushButton;
class QScrollBar;
class QStatusBar;
class QTabWidget;
class QTimer;
class TAboutBoxDlg;
class TSurfacePage;

class TForm1 : public QMainWindow, private platform::WindowClient {
  Q_OBJECT

 public:
  static constexpr int kClientWidth = 370;
  static constexpr int kClientHeight = 604;

  explicit TForm1(QWidget* parent = nullptr);
  ~TForm1() override;

  // ---- components --------------------------------------------------------------
  // Main menu.
  QMenuBar* MainMenu1 = nullptr;
  QMenu* File1 = nullptr;
  QAction* SaveToRawFile1 = nullptr;
  QAction* SaveToBMPFile1 = nullptr;
  QAction* MenuitemSaveLogs = nullptr;
  QAction* Exit1 = nullptr;
  QMenu* Device1 = nullptr;
  QAction* LedOnOff1 = nullptr;
  QAction* Recalibrate1 = nullptr;
  QAction* DeleteCfgFile = nullptr;
  QMenu* Capture1 = nullptr;
  QActionGroup* CaptureModeGroup = nullptr;  // radio group 1
  QAction* ModeN1 = nullptr;
  QAction* ModeT1 = nullptr;
  QAction* ModeF1 = nullptr;
  QAction* NormalMode1 = nullptr;
  QMenu* Options1 = nullptr;
  QAction* AutoRefresh = nullptr;
  QMenu* Help1 = nullptr;
  QAction* About1 = nullptr;

  // Top panel.
  QWidget* PanelTop = nullptr;
  QLabel* LabelSelectDevice = nullptr;
  QComboBox* ComboDeviceID = nullptr;
  QPushButton* BtnEnum = nullptr;

  QTabWidget* PageControl1 = nullptr;
  // "General     " page.
  QWidget* TabGeneral = nullptr;
  QGroupBox* GroupBoxInventory = nullptr;
  QLabel* LabelAttachedDevices = nullptr;
  QLabel* LabelEnumSummary = nullptr;
  QLabel* LabelInstalledDrivers = nullptr;
  QLabel* LabelDriverInfo = nullptr;
  QGroupBox* GroupBoxUSB = nullptr;
  QLineEdit* EditUSBName = nullptr;
  QLineEdit* EditUSBDevType = nullptr;
  QLineEdit* EditFWVer = nullptr;
  QLineEdit* EditSN = nullptr;
  QGroupBox* GroupBoxPP = nullptr;
  QLineEdit* EditPPName = nullptr;
  QLineEdit* EditPPDevType = nullptr;
  QLineEdit* EditPPAddr = nullptr;
  QLineEdit* EditPPMode = nullptr;
  // " Image         " page.
  TSurfacePage* TabImage = nullptr;
  QPushButton* BtnInit = nullptr;
  QPushButton* BtnCapture = nullptr;
  QPushButton* BtnContCapture = nullptr;
  QPushButton* BtnConfig = nullptr;
  QFrame* bvlImgFrame = nullptr;
  QWidget* Image1 = nullptr;  // marks where the image is drawn; holds no picture
  QGroupBox* AutoOnGroupBox = nullptr;
  QCheckBox* CheckBoxAutoCapture = nullptr;
  QCheckBox* CheckBoxSRFeature = nullptr;
  QStatusBar* StatusBar = nullptr;

  QTabWidget* PageControl2 = nullptr;
  // "Smart Capture" page.
  TSurfacePage* TabSmartCapture = nullptr;
  QGroupBox* GroupBoxScDetail = nullptr;
  QLabel* LabelScVersion = nullptr;
  QLabel* LabelScCaptureSpeed = nullptr;
  QLabel* LabelScGrayQuality = nullptr;
  QLabel* LabelScInitBrightness = nullptr;
  QLabel* LabelScSmartBrightness = nullptr;
  QLabel* LabelScNumOfCaptures = nullptr;
  QLabel* LabelScErrorCode = nullptr;
  QLabel* LabelScLineDiffMax = nullptr;
  QListWidget* ListBoxScBrightnesses = nullptr;
  QLabel* LabelImage1CaptureTime = nullptr;
  QLabel* LabelImage2CaptureTime = nullptr;
  QFrame* BevelScImageFrame = nullptr;
  QWidget* ImageScImage = nullptr;
  QFrame* BevelScImageSplitFrame = nullptr;
  QWidget* ImageScImageSplit = nullptr;
  QCheckBox* CheckBoxShowSmartCaptureDetail = nullptr;
  QCheckBox* CheckBoxSmartCapture = nullptr;
  QCheckBox* CheckBoxSharpness = nullptr;
  QCheckBox* CheckBoxUseCallback = nullptr;
  QScrollBar* ScrollBarBrightness = nullptr;
  QLabel* LabelBrightness = nullptr;
  QScrollBar* ScrollBarGainMax = nullptr;
  QLabel* LabelGainMax = nullptr;
  QScrollBar* ScrollBarGainMin = nullptr;
  QLabel* LabelGainMin = nullptr;
  QPushButton* ButtonOpenSCDFile = nullptr;
  QLineEdit* EditScdFilePath = nullptr;
  // "Etc." page.
  QWidget* TabEtc = nullptr;
  QLabel* LabelResetCmosWarning = nullptr;
  QGroupBox* GroupBoxResetCmos = nullptr;
  QPushButton* ButtonResetCmos = nullptr;

  // Non-visual components.
  QTimer* Timer1 = nullptr;
  DialogSeam Dialogs;
  TFileDialog SaveDialog1{Dialogs, this, true};
  TFileDialog OpenDialog1{Dialogs, this, false};

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
  void Exit1Click();
  void About1Click();
  void AutoRefreshClick();

  // ---- messages (mainform_messages.cpp) ------------------------------------------------
  // The window's one message dispatch, on the window thread.
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  LRESULT HandleDeviceChange(WPARAM event, LPARAM record);

  // ---- inventory (mainform_inventory.cpp) --------------------------------------------
  void BtnEnumClick(QObject* Sender);
  void ResetControls();
  void ShowDriverInventory();
  int IsWow64();

  // ---- initialization (mainform_init.cpp) ----------------------------------------------
  void BtnInitClick(QObject* Sender);
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
  int CaptureLoop(HWND surface, RECT bounds);
  uint32_t LiveCaptureStep(HWND surface, const RECT& bounds);

  // The continuous-capture worker; joinable from a start to the end of its stop.
  std::thread CaptureThread;
  std::atomic<bool> CaptureWorkerEnded{true};
  // "Show Details on Smart Capture " as it was when the run started, for the callback.
  std::atomic<bool> ShowDetailDuringRun{false};
  // A stop is waiting for the worker: posted messages wait until it is done.
  bool CaptureStopping = false;
  bool PostedMessagesDeferred = false;

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
  void SelectModeItem(QAction* item);

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
  void DrawImageInControl(QWidget* control, const uint8_t* data);
  void ShowCurrentImage(const uint8_t* data);
  void ClearImageControl(QWidget* control);

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  // Texts from other threads: the newest waits here, and deliveries to the
  // status bar are at least kMinStatusIntervalMs apart (nobody reads faster).
  static constexpr qint64 kMinStatusIntervalMs = 15;
  std::mutex queuedStatusLock_;
  std::optional<QString> queuedStatus_;
  bool queuedStatusPending_ = false;  // a delivery is on its way
  QElapsedTimer sinceQueuedStatus_;   // window thread only

  // mainform_layout.cpp and mainform_layout_pages.cpp
  void CreateComponents();
  void CreateMainMenu();
  void CreateTopPanel(QWidget* client);
  void CreateGeneralPage();
  void CreateImagePage();
  void CreateSmartCapturePage();
  void CreateEtcPage();
  void ConnectHandlers();

  // platform::WindowClient
  void MessagesPosted() override;
  void SurfaceChanged() override;
};
