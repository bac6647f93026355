// The sensor interface that every driver module implements, and the binary
// contract around it: records, status codes, option ids, control codes and the
// capture-detail record, used alike by the program and by the modules.
//
// A driver module exports CreateISensor and DestroyISensor; the object it hands
// back is reached through a table of operations whose slot numbers are fixed.
// The class therefore has only pure virtual functions, no data, no virtual
// destructor (two slots under the Itanium ABI) and no overloads, declared in
// slot order; unused slots are placeholders so that every slot keeps its number.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/win32.h"

#ifdef _WIN32
#define SENSORAPI __stdcall
#else
#define SENSORAPI
#endif

// Filled by GetDeviceInfo; the caller zeroes it first.
struct DeviceInfo {
  uint16_t portAddress;  // parallel reader: base port address
  uint16_t reserved2;
  uint16_t portMode;  // parallel reader: port mode index
  uint16_t reserved6;
  int32_t width;   // image width in pixels
  int32_t height;  // image height in pixels
  uint32_t reserved16;
  int32_t brightness;  // current brightness
  uint8_t reserved24[16];
};
static_assert(sizeof(DeviceInfo) == 40);
static_assert(offsetof(DeviceInfo, portAddress) == 0);
static_assert(offsetof(DeviceInfo, portMode) == 4);
static_assert(offsetof(DeviceInfo, width) == 8);
static_assert(offsetof(DeviceInfo, height) == 12);
static_assert(offsetof(DeviceInfo, brightness) == 20);

// Given to the image callback after every live image.
struct CaptureEvent {
  uint32_t frame;      // running frame number of the capture call
  uint32_t elapsedMs;  // time the frame took
  int32_t quality;     // 0..100
  uint32_t status;     // 0: a new image is in the buffer; else a status code
};
static_assert(sizeof(CaptureEvent) == 16);
static_assert(offsetof(CaptureEvent, quality) == 8);
static_assert(offsetof(CaptureEvent, status) == 12);

// Called by the driver, on any thread, during GetImageEx. Returns the event's
// status, or kCallbackStop to make the driver end the capture call.
typedef int32_t(SENSORAPI* ImageCallback)(void* context, const CaptureEvent* event);
inline constexpr int32_t kCallbackStop = 2;

// Status codes of every operation: 0 is success, and each code below has a
// message of its own (StatusMessage); any other code is shown by its number.
// Those marked "device layer" are also what the program's own channels produce.
inline constexpr uint32_t kStatusOk = 0;
inline constexpr uint32_t kStatusCreationFail = 1;
inline constexpr uint32_t kStatusFunctionFail = 2;  // device layer: no channel or sensor; unit lock refused
inline constexpr uint32_t kStatusInvalidParameters = 3;
inline constexpr uint32_t kStatusNotUsed = 4;
inline constexpr uint32_t kStatusSystemFileLoadFail = 51;  // device layer: path, descriptor, serial, framework
inline constexpr uint32_t kStatusDeviceInitializationFail = 52;
inline constexpr uint32_t kStatusLineDropped = 53;
inline constexpr uint32_t kStatusTimeout = 54;
inline constexpr uint32_t kStatusDeviceNotFound = 55;
inline constexpr uint32_t kStatusDllLoadingFail = 56;
inline constexpr uint32_t kStatusWrongImage = 57;
inline constexpr uint32_t kStatusLackOfBandwidth = 58;
inline constexpr uint32_t kStatusUsedByAnotherProcess = 59;  // device layer: a named lock not obtained in 300 ms
inline constexpr uint32_t kStatusPutYourFinger = 62;

// Option ids of SetOption / GetOption.
inline constexpr uint32_t kOptionCaptureMode = 0;   // 0 mode N, 1 mode T, >= 2 mode F
inline constexpr uint32_t kOptionRecalibrate1 = 7;  // first recalibration step
inline constexpr uint32_t kOptionRecalibrate2 = 8;  // second recalibration step

// Control codes. Bit 31 marks the reading form of a code.
inline constexpr uint32_t kControlRead = 0x80000000u;
inline constexpr uint32_t kControlSmartCapture = 5;           // 8-bit: 1 on, 0 off
inline constexpr uint32_t kControlDetailSize = 111;           // 32-bit out
inline constexpr uint32_t kControlDetailRecord = 112;         // record, first word = size
inline constexpr uint32_t kControlSetGainMax = 113;           // 8-bit in and out
inline constexpr uint32_t kControlSetGainMin = 114;           // 8-bit in and out
inline constexpr uint32_t kControlGetGainMax = 115;           // 8-bit out
inline constexpr uint32_t kControlGetGainMin = 116;           // 8-bit out
inline constexpr uint32_t kControlSharpness = 117;            // 8-bit in
inline constexpr uint32_t kControlDeleteConfigFile = 118;     // 32-bit in (1) and out (0 = deleted)
inline constexpr uint32_t kControlLogSize = 200;              // 32-bit out
inline constexpr uint32_t kControlLog = 201;                  // buffer of the log size
inline constexpr uint32_t kControlSrFeature = 202;            // 32-bit out, nonzero = present

// The smart-capture reader's capture-detail record, read with kControlDetailRecord:
// a 112-byte header of little-endian 32-bit fields followed by numOfCaptures
// images of imageBytes each. The same bytes are the content of a ".scd" file.
inline constexpr size_t kDetailMaxCaptures = 3;
inline constexpr size_t kDetailMaxBrightnesses = 11;
struct SmartCaptureDetail {
  int32_t size;  // whole record, header and images
  int32_t version;
  int32_t captureSpeed;   // ms for the whole smart capture
  int32_t numOfCaptures;  // images stored, 1..3 (0 before the first smart capture)
  int32_t initBrightness;
  int32_t smartBrightness;
  int32_t numOfBrightnesses;
  int32_t brightnesses[kDetailMaxBrightnesses];  // in the order tried
  int32_t grayQuality;                           // of the first image
  int32_t width;
  int32_t height;
  int32_t imageBytes;
  int32_t reserved;
  int32_t errorCode;
  int32_t lineDiffMax;
  int32_t captureTimes[kDetailMaxCaptures];
};
static_assert(sizeof(SmartCaptureDetail) == 112);
static_assert(offsetof(SmartCaptureDetail, numOfCaptures) == 12);
static_assert(offsetof(SmartCaptureDetail, numOfBrightnesses) == 24);
static_assert(offsetof(SmartCaptureDetail, brightnesses) == 28);
static_assert(offsetof(SmartCaptureDetail, grayQuality) == 72);
static_assert(offsetof(SmartCaptureDetail, imageBytes) == 84);
static_assert(offsetof(SmartCaptureDetail, errorCode) == 92);
static_assert(offsetof(SmartCaptureDetail, captureTimes) == 100);
inline constexpr size_t kSmartCaptureHeaderSize = sizeof(SmartCaptureDetail);

// Fixed arguments of GetImageEx as the window passes them.
inline constexpr uint32_t kLiveCaptureTimeout = 65535;
inline constexpr uint32_t kLiveCaptureFrames = 100;

// Finger-detected message posted by a driver after EnableAutoOn; WParam 1 = finger on.
inline constexpr UINT kFingerDetectedMessage = WM_APP + 0x100;

class ISensor {
 public:
  virtual uint32_t SENSORAPI Reserved00() = 0;  // destructor slot, never called
  virtual uint32_t SENSORAPI OpenDevice(uint32_t index, uint32_t flags) = 0;     // 1
  virtual uint32_t SENSORAPI GetImage(uint8_t* image) = 0;                       // 2
  virtual uint32_t SENSORAPI Reserved03() = 0;                                   // 3
  virtual uint32_t SENSORAPI GetDeviceInfo(DeviceInfo* info) = 0;                // 4
  virtual uint32_t SENSORAPI Configure(HWND owner) = 0;                          // 5
  virtual uint32_t SENSORAPI ResetCmos() = 0;                                    // 6
  virtual uint32_t SENSORAPI Reserved07() = 0;                                   // 7
  virtual uint32_t SENSORAPI SetBrightness(int32_t brightness) = 0;              // 8
  virtual uint32_t SENSORAPI Reserved09() = 0;                                   // 9
  virtual uint32_t SENSORAPI Reserved10() = 0;                                   // 10
  virtual uint32_t SENSORAPI SetLed(uint32_t on) = 0;                            // 11
  virtual uint32_t SENSORAPI Reserved12() = 0;                                   // 12
  virtual uint32_t SENSORAPI Reserved13() = 0;                                   // 13
  virtual uint32_t SENSORAPI Reserved14() = 0;                                   // 14
  virtual uint32_t SENSORAPI Reserved15() = 0;                                   // 15
  virtual uint32_t SENSORAPI SetOption(uint32_t id, uint32_t value) = 0;         // 16
  virtual uint32_t SENSORAPI GetOption(uint32_t id) = 0;                         // 17
  virtual uint32_t SENSORAPI Reserved18() = 0;                                   // 18
  virtual uint32_t SENSORAPI Reserved19() = 0;                                   // 19
  virtual uint32_t SENSORAPI Reserved20() = 0;                                   // 20
  virtual uint32_t SENSORAPI Reserved21() = 0;                                   // 21
  virtual uint32_t SENSORAPI GetImageEx(uint8_t* image, uint32_t timeout, HDC dc,
                                        const RECT* rect, uint32_t frames) = 0;  // 22
  virtual uint32_t SENSORAPI SetImageCallback(uint32_t mode, ImageCallback callback,
                                              void* context) = 0;               // 23
  virtual uint32_t SENSORAPI Reserved24() = 0;                                   // 24
  virtual uint32_t SENSORAPI CloseDevice() = 0;                                  // 25
  virtual uint32_t SENSORAPI Reserved26() = 0;                                   // 26
  virtual uint32_t SENSORAPI Reserved27() = 0;                                   // 27
  virtual uint32_t SENSORAPI Reserved28() = 0;                                   // 28
  virtual uint32_t SENSORAPI Reserved29() = 0;                                   // 29
  virtual uint32_t SENSORAPI Reserved30() = 0;                                   // 30
  virtual uint32_t SENSORAPI EnableAutoOn(uint32_t enable, HWND window,
                                          uint32_t reserved) = 0;               // 31
  virtual uint32_t SENSORAPI Reserved32() = 0;                                   // 32
  virtual uint32_t SENSORAPI Reserved33() = 0;                                   // 33
  virtual uint32_t SENSORAPI Reserved34() = 0;                                   // 34
  virtual uint32_t SENSORAPI Reserved35() = 0;                                   // 35
  virtual uint32_t SENSORAPI Control(uint32_t code, void* data) = 0;             // 36

 protected:
  ~ISensor() = default;
};

inline constexpr int kSensorSlotCount = 37;

// Module entry points, looked up by name after the module is loaded.
// CreateISensor: `parameter` points at the 32-bit reader type; 0 = success.
typedef uint32_t(SENSORAPI* CreateISensorFn)(uint32_t* parameter, ISensor** sensor);
typedef uint32_t(SENSORAPI* DestroyISensorFn)(ISensor* sensor);
inline constexpr const char* kCreateSensorExport = "CreateISensor";
inline constexpr const char* kDestroySensorExport = "DestroyISensor";
