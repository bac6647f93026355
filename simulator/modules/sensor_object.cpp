#include "simulator/modules/sensor_object.h"

#include <algorithm>
#include <cstring>

#include "simulator/modules/detail_record.h"
#include "simulator/modules/gdi_draw.h"
#include "simulator/modules/smart_capture.h"

namespace simulator {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

uint8_t ReadByte(const void* data) { return *static_cast<const uint8_t*>(data); }
void WriteByte(void* data, uint8_t value) { *static_cast<uint8_t*>(data) = value; }
uint32_t ReadWord(const void* data) {
  uint32_t value;
  std::memcpy(&value, data, sizeof value);
  return value;
}
void WriteWord(void* data, uint32_t value) { std::memcpy(data, &value, sizeof value); }

uint8_t Clamp(uint8_t value, GainRange range) { return std::clamp(value, range.low, range.high); }

const char* CallName(ReaderCall call) {
  switch (call) {
    case ReaderCall::kOpen: return "Open device";
    case ReaderCall::kInfo: return "GetDeviceInfo";
    case ReaderCall::kImage: return "GetImage";
    case ReaderCall::kImageEx: return "GetImageEx";
    case ReaderCall::kControl: return "Control";
    case ReaderCall::kConfigure: return "Configure";
  }
  return "?";
}

const char* FingerName(FingerState state) {
  switch (state) {
    case FingerState::kAbsent:
      return "absent";
    case FingerState::kPresent:
      return "present";
    case FingerState::kAuto:
      return "auto";
  }
  return "?";
}

}  // namespace

// Counts a call that may wait, so that destruction waits for it to leave.
class SensorObject::CallScope {
 public:
  explicit CallScope(SensorObject& sensor) : sensor_(sensor) {
    std::lock_guard guard(sensor_.mutex_);
    ++sensor_.activeCalls_;
  }
  ~CallScope() {
    {
      std::lock_guard guard(sensor_.mutex_);
      --sensor_.activeCalls_;
    }
    sensor_.wake_.notify_all();
  }
  CallScope(const CallScope&) = delete;
  CallScope& operator=(const CallScope&) = delete;

 private:
  SensorObject& sensor_;
};

SensorObject::SensorObject(const ReaderModel& model, ReaderLocator locator)
    : model_(model),
      locator_(std::move(locator)),
      brightness_(model.defaultBrightness),
      gainMax_(model.defaultGainMax),
      gainMin_(model.defaultGainMin),
      captureMode_(model.defaultCaptureMode) {}

SensorObject::~SensorObject() {
  StopWatcher();
  std::unique_lock lock(mutex_);
  shuttingDown_ = true;
  CloseLocked();
  wake_.notify_all();
  wake_.wait(lock, [this] { return activeCalls_ == 0; });
}

uint32_t SensorObject::CheckReaderLocked() const {
  if (!port_) return everOpened_ ? kStatusLineDropped : kStatusDeviceNotFound;
  return port_->Present() ? kStatusOk : kStatusLineDropped;
}

bool SensorObject::SessionOpenLocked(uint64_t generation) const {
  return !shuttingDown_ && port_ && generation_ == generation;
}

bool SensorObject::Pause(std::unique_lock<std::mutex>& lock, uint64_t generation,
                         Clock::duration duration) {
  return !wake_.wait_for(lock, duration, [&] { return !SessionOpenLocked(generation); });
}

std::optional<uint32_t> SensorObject::FaultLocked(ReaderCall call, uint64_t& counted) {
  std::optional<uint32_t> status = port_->InjectedFault(call, counted);
  if (status) log_.Add("%s: the workstation's fault answers %u", CallName(call), *status);
  return status;
}

std::optional<uint32_t> SensorObject::FaultLocked(ReaderCall call) {
  uint64_t counted = 0;
  return FaultLocked(call, counted);
}

std::optional<uint32_t> SensorObject::FailedCaptureLocked(std::unique_lock<std::mutex>& lock,
                                                          ReaderCall call, uint64_t& counted) {
  std::optional<uint32_t> status = FaultLocked(call, counted);
  if (!status) return std::nullopt;
  // A capture that fails still takes the reader's exposure, so a caller that
  // goes on capturing runs at the frame rate.
  const milliseconds latency = port_->Latency();
  if (!Pause(lock, generation_, latency)) return kStatusLineDropped;
  return status;
}

void SensorObject::CloseLocked() {
  port_.reset();
  ++generation_;
  callback_ = nullptr;
  callbackContext_ = nullptr;
}

// ---- opening and closing ------------------------------------------------------

uint32_t SENSORAPI SensorObject::OpenDevice(uint32_t index, uint32_t /*flags*/) {
  std::shared_ptr<ReaderPort> port = locator_ ? locator_(index) : nullptr;
  if (!port || !port->Present()) {
    log_.Add("Open device %u: no %s reader attached", index, model_.name);
    return kStatusDeviceNotFound;
  }
  std::this_thread::sleep_for(port->OpenDelay());
  uint64_t counted = 0;
  if (std::optional<uint32_t> fault = port->InjectedFault(ReaderCall::kOpen, counted)) {
    log_.Add("Open device %u: the workstation's fault answers %u", index, *fault);
    return *fault;
  }
  // The finger is computed before the lock is taken: it is the slow part of opening.
  const std::string serial = port->Serial();
  auto synthesizer = std::make_unique<FingerprintSynthesizer>(model_.width, model_.height, serial);

  StopWatcher();  // a reopened reader starts without auto-on
  {
    std::lock_guard guard(mutex_);
    CloseLocked();
    port_ = std::move(port);
    everOpened_ = true;
    synthesizer_ = std::move(synthesizer);
    brightness_ = model_.defaultBrightness;
    gainMax_ = model_.defaultGainMax;
    gainMin_ = model_.defaultGainMin;
    captureMode_ = model_.defaultCaptureMode;
    smartCapture_ = false;
    sharpness_ = true;
    logSizeReported_ = false;
    detailRecord_ = BuildDetailRecord(model_.width, model_.height, nullptr);
    log_.Add("Open device %u: %s serial %s product 0x%04X, %dx%d, latency %lld ms", index,
             model_.name, serial.c_str(), port_->ProductId(), model_.width, model_.height,
             static_cast<long long>(port_->Latency().count()));
  }
  wake_.notify_all();
  return kStatusOk;
}

uint32_t SENSORAPI SensorObject::CloseDevice() {
  StopWatcher();
  {
    std::lock_guard guard(mutex_);
    if (port_) log_.Add("Close device");
    CloseLocked();
  }
  wake_.notify_all();
  return kStatusOk;
}

uint32_t SENSORAPI SensorObject::GetDeviceInfo(DeviceInfo* info) {
  if (!info) return kStatusInvalidParameters;
  std::lock_guard guard(mutex_);
  if (uint32_t status = CheckReaderLocked()) return status;
  if (std::optional<uint32_t> fault = FaultLocked(ReaderCall::kInfo)) return *fault;
  const ParallelPortSettings port =
      port_->ParallelPort().value_or(ParallelPortSettings{model_.portAddress, model_.portMode});
  info->portAddress = port.address;
  info->portMode = port.mode;
  info->width = model_.width;
  info->height = model_.height;
  info->brightness = brightness_;
  return kStatusOk;
}

// ---- capturing --------------------------------------------------------------

SensorObject::Frame SensorObject::RenderLocked() {
  const GainRange span{static_cast<uint8_t>(model_.gainMax.low - model_.gainMin.high),
                       static_cast<uint8_t>(model_.gainMax.high - model_.gainMin.low)};
  const double gain = std::clamp(static_cast<double>(gainMax_ - gainMin_ - span.low) /
                                     std::max(1, span.high - span.low),
                                 0.0, 1.0);
  FrameSettings settings;
  settings.brightness = brightness_;
  settings.contrast = (0.4 + 1.1 * gain) * (sharpness_ ? 1.1 : 1.0);

  Frame frame;
  const uint64_t number = nextFrame_;
  if (smartCapture_) {
    SmartCaptureResult smart = RunSmartCapture(*synthesizer_, number, settings, port_->Latency());
    nextFrame_ += smart.framesUsed;
    frame.quality = smart.quality;
    frame.image = smart.report.images.front();
    detailRecord_ = BuildDetailRecord(model_.width, model_.height, &smart.report);
    port_->StoreDetailRecord(detailRecord_);
    log_.Add("Smart capture %llu: brightness %d -> %d in %zu tries, %zu images, quality %d",
             static_cast<unsigned long long>(number), smart.report.initBrightness,
             smart.report.smartBrightness, smart.report.brightnesses.size(),
             smart.report.images.size(), frame.quality);
  } else {
    frame.image.resize(static_cast<size_t>(model_.width) * static_cast<size_t>(model_.height));
    frame.quality = synthesizer_->Render(number, settings, frame.image);
    ++nextFrame_;
    log_.Add("Capture %llu: brightness %d, gain %u..%u, quality %d",
             static_cast<unsigned long long>(number), brightness_, gainMin_, gainMax_,
             frame.quality);
  }
  return frame;
}

uint32_t SensorObject::AcquireFrame(Clock::time_point giveUp, Frame& frame) {
  std::unique_lock lock(mutex_);
  if (uint32_t status = CheckReaderLocked()) return status;
  const uint64_t generation = generation_;
  const std::shared_ptr<ReaderPort> port = port_;
  while (true) {
    if (!SessionOpenLocked(generation) || !port->Present()) {
      log_.Add("Capture ended: reader gone");
      return kStatusLineDropped;
    }
    const Clock::time_point now = Clock::now();
    if (port->Finger() == FingerState::kAbsent) {
      if (now >= giveUp) return kStatusTimeout;
      Pause(lock, generation, std::min<Clock::duration>(kPollInterval, giveUp - now));
      continue;
    }
    // One exposure; a finger lifted meanwhile sends the reader back to waiting.
    const Clock::time_point exposed = now + port->Latency();
    bool lifted = false;
    for (Clock::time_point t = now; t < exposed && !lifted; t = Clock::now()) {
      if (!Pause(lock, generation, std::min<Clock::duration>(kPollInterval, exposed - t))) break;
      if (!port->Present()) break;
      lifted = port->Finger() == FingerState::kAbsent;
    }
    if (!SessionOpenLocked(generation) || !port->Present() || lifted) continue;
    frame = RenderLocked();
    return kStatusOk;
  }
}

uint32_t SENSORAPI SensorObject::GetImage(uint8_t* image) {
  if (!image) return kStatusInvalidParameters;
  CallScope scope(*this);
  {
    std::unique_lock lock(mutex_);
    if (uint32_t status = CheckReaderLocked()) return status;
    uint64_t counted = 0;
    if (std::optional<uint32_t> fault = FailedCaptureLocked(lock, ReaderCall::kImage, counted)) return *fault;
  }
  Frame frame;
  const uint32_t status = AcquireFrame(Clock::now() + kGetImageFingerTimeout, frame);
  if (status == kStatusTimeout) log_.Add("GetImage: no finger within %lld ms",
                                   static_cast<long long>(kGetImageFingerTimeout.count()));
  if (status != kStatusOk) return status;
  std::memcpy(image, frame.image.data(), frame.image.size());
  return kStatusOk;
}

uint32_t SENSORAPI SensorObject::GetImageEx(uint8_t* image, uint32_t timeout, HDC dc,
                                            const RECT* rect, uint32_t frames) {
  if (!image) return kStatusInvalidParameters;
  CallScope scope(*this);
  const milliseconds fingerTimeout(timeout);
  Clock::time_point fingerDeadline = Clock::now() + fingerTimeout;
  Clock::time_point previousEvent = Clock::now();
  bool captured = false;
  // Faults are looked at every frame period, so one set during a long call ends it.
  uint64_t faultsCounted = 0;
  for (uint32_t period = 1;; ++period) {
    ImageCallback callback;
    void* context;
    milliseconds latency;
    {
      std::unique_lock lock(mutex_);
      if (uint32_t status = CheckReaderLocked()) return status;
      if (std::optional<uint32_t> fault = FailedCaptureLocked(lock, ReaderCall::kImageEx, faultsCounted)) {
        return *fault;
      }
      callback = callback_;
      context = callbackContext_;
      latency = port_->Latency();
    }
    // With a callback, a frame period without a finger is reported too, so the
    // caller can end the call even while nobody touches the reader.
    const Clock::time_point giveUp =
        callback ? std::min(fingerDeadline, Clock::now() + latency) : fingerDeadline;
    Frame frame;
    const uint32_t status = AcquireFrame(giveUp, frame);
    if (status == kStatusTimeout && Clock::now() >= fingerDeadline) {
      log_.Add("GetImageEx: no finger within %u ms", timeout);
      return kStatusTimeout;
    }
    if (status != kStatusOk && status != kStatusTimeout) return status;
    if (status == kStatusOk) {
      std::memcpy(image, frame.image.data(), frame.image.size());
      captured = true;
      fingerDeadline = Clock::now() + fingerTimeout;
      if (rect) DrawGrayImage(dc, *rect, frame.image, model_.width, model_.height);
      if (!callback) return kStatusOk;
    }
    if (callback) {
      const Clock::time_point now = Clock::now();
      CaptureEvent event{};
      event.frame = period;
      event.elapsedMs = static_cast<uint32_t>(
          std::chrono::duration_cast<milliseconds>(now - previousEvent).count());
      event.quality = status == kStatusOk ? frame.quality : 0;
      event.status = status == kStatusOk ? kStatusOk : kStatusPutYourFinger;
      previousEvent = now;
      if (callback(context, &event) == kCallbackStop) return kStatusOk;
    }
    if (frames != 0 && period >= frames) return captured ? kStatusOk : kStatusTimeout;
  }
}

uint32_t SENSORAPI SensorObject::SetImageCallback(uint32_t mode, ImageCallback callback,
                                                  void* context) {
  if (mode != 1) return kStatusInvalidParameters;
  std::lock_guard guard(mutex_);
  callback_ = callback;
  callbackContext_ = callback ? context : nullptr;
  return kStatusOk;
}

// ---- settings and commands ------------------------------------------------------

uint32_t SENSORAPI SensorObject::Configure(HWND /*owner*/) {
  std::lock_guard guard(mutex_);
  if (uint32_t status = CheckReaderLocked()) return status;
  if (std::optional<uint32_t> fault = FaultLocked(ReaderCall::kConfigure)) return *fault;
  const ConfigureSettings settings = port_->ConfigureDialogSettings();
  if (settings.captureMode) captureMode_ = *settings.captureMode;
  if (settings.brightness) brightness_ = std::clamp(*settings.brightness, 0, 100);
  if (settings.smartCapture) smartCapture_ = *settings.smartCapture;
  log_.Add("Configuration dialog: mode %u, brightness %d, smart capture %s, result %u",
           captureMode_, brightness_, smartCapture_ ? "on" : "off", settings.status);
  return settings.status;
}

uint32_t SENSORAPI SensorObject::ResetCmos() {
  std::lock_guard guard(mutex_);
  if (uint32_t status = CheckReaderLocked()) return status;
  log_.Add("CMOS reset");
  return kStatusOk;
}

uint32_t SENSORAPI SensorObject::SetBrightness(int32_t brightness) {
  std::lock_guard guard(mutex_);
  if (uint32_t status = CheckReaderLocked()) return status;
  brightness_ = std::clamp(brightness, 0, 100);
  log_.Add("Brightness %d (asked %d)", brightness_, brightness);
  return kStatusOk;
}

uint32_t SENSORAPI SensorObject::SetLed(uint32_t on) {
  std::lock_guard guard(mutex_);
  if (uint32_t status = CheckReaderLocked()) return status;
  log_.Add("LED %s", (on & 0xFF) ? "on" : "off");
  return kStatusOk;
}

uint32_t SENSORAPI SensorObject::SetOption(uint32_t id, uint32_t value) {
  const uint8_t byte = static_cast<uint8_t>(value & 0xFF);
  std::lock_guard guard(mutex_);
  if (uint32_t status = CheckReaderLocked()) return status;
  switch (id) {
    case kOptionCaptureMode:
      captureMode_ = byte;
      log_.Add("Capture mode %u", byte);
      return kStatusOk;
    case kOptionRecalibrate1:
    case kOptionRecalibrate2: {
      const unsigned step = id == kOptionRecalibrate1 ? 1 : 2;
      if (captureMode_ < 2) {
        log_.Add("Recalibration step %u refused: capture mode %u", step, captureMode_);
        return kStatusFunctionFail;
      }
      log_.Add("Recalibration step %u", step);
      return kStatusOk;
    }
    default:
      return kStatusNotUsed;
  }
}

uint32_t SENSORAPI SensorObject::GetOption(uint32_t id) {
  std::lock_guard guard(mutex_);
  return id == kOptionCaptureMode ? captureMode_ : 0;
}

// ---- automatic capture ----------------------------------------------------------

uint32_t SENSORAPI SensorObject::EnableAutoOn(uint32_t enable, HWND window,
                                              uint32_t /*reserved*/) {
  if (!enable) {
    StopWatcher();
    log_.Add("Auto-on off");
    return kStatusOk;
  }
  if (!window) return kStatusInvalidParameters;
  std::lock_guard guard(mutex_);
  if (uint32_t status = CheckReaderLocked()) return status;
  autoOnWindow_ = window;
  if (!watcher_.joinable()) {
    watcherStop_ = false;
    // Touches count from now on, not from whenever the thread gets going.
    watcher_ = std::thread(&SensorObject::WatchForTouches, this, generation_, port_->LastTouch().count);
  }
  log_.Add("Auto-on on");
  return kStatusOk;
}

void SensorObject::StopWatcher() {
  std::thread watcher;
  {
    std::lock_guard guard(mutex_);
    watcherStop_ = true;
    autoOnWindow_ = nullptr;
    watcher = std::move(watcher_);
  }
  wake_.notify_all();
  if (watcher.joinable()) watcher.join();
}

void SensorObject::WatchForTouches(uint64_t generation, uint64_t seen) {
  std::unique_lock lock(mutex_);
  while (true) {
    wake_.wait_for(lock, kAutoOnPollInterval,
                   [&] { return watcherStop_ || !SessionOpenLocked(generation); });
    if (watcherStop_ || !SessionOpenLocked(generation)) return;
    const std::shared_ptr<ReaderPort> port = port_;
    const HWND window = autoOnWindow_;
    lock.unlock();
    if (port->Present()) {
      const Touches touch = port->LastTouch();
      if (touch.count > seen) {
        seen = touch.count;
        const bool posted = PostMessageA(window, kFingerDetectedMessage, static_cast<WPARAM>(touch.wParam), 0);
        log_.Add("Finger detected (%s, 0x%llX), %s", FingerName(port->Finger()),
                 static_cast<unsigned long long>(touch.wParam), posted ? "window told" : "window gone");
      }
    }
    lock.lock();
  }
}

// ---- control codes ----------------------------------------------------------------

uint32_t SENSORAPI SensorObject::Control(uint32_t code, void* data) {
  if (!data) return kStatusInvalidParameters;
  std::lock_guard guard(mutex_);
  if (uint32_t status = CheckReaderLocked()) return status;
  if (std::optional<uint32_t> fault = FaultLocked(ReaderCall::kControl)) return *fault;
  switch (code) {
    case kControlSmartCapture:
      smartCapture_ = ReadByte(data) != 0;
      log_.Add("Smart capture %s", smartCapture_ ? "on" : "off");
      return kStatusOk;
    case kControlDetailSize:
      WriteWord(data, static_cast<uint32_t>(detailRecord_.size()));
      return kStatusOk;
    case kControlDetailRecord:
      // The caller's first word says how much room it has; never write beyond it.
      if (ReadWord(data) < detailRecord_.size()) return kStatusInvalidParameters;
      std::memcpy(data, detailRecord_.data(), detailRecord_.size());
      return kStatusOk;
    case kControlSetGainMax:
      gainMax_ = Clamp(ReadByte(data), model_.gainMax);
      WriteByte(data, gainMax_);
      log_.Add("Gain max %u", gainMax_);
      return kStatusOk;
    case kControlSetGainMin:
      gainMin_ = Clamp(ReadByte(data), model_.gainMin);
      WriteByte(data, gainMin_);
      log_.Add("Gain min %u", gainMin_);
      return kStatusOk;
    case kControlGetGainMax:
      WriteByte(data, gainMax_);
      return kStatusOk;
    case kControlGetGainMin:
      WriteByte(data, gainMin_);
      return kStatusOk;
    case kControlSharpness:
      sharpness_ = ReadByte(data) != 0;
      log_.Add("Sharpness %s", sharpness_ ? "on" : "off");
      return kStatusOk;
    case kControlDeleteConfigFile: {
      const bool deleted = port_->DeleteConfigFile();
      WriteWord(data, deleted ? 0 : 1);
      log_.Add("Configuration file %s", deleted ? "deleted" : "not deleted");
      return kStatusOk;
    }
    case kControlLogSize:
      // The log keeps growing; what 201 hands out is exactly what was measured here.
      logSnapshot_ = log_.Text();
      logSizeReported_ = true;
      WriteWord(data, static_cast<uint32_t>(logSnapshot_.size()));
      return kStatusOk;
    case kControlLog:
      if (!logSizeReported_) return kStatusInvalidParameters;
      std::memcpy(data, logSnapshot_.data(), logSnapshot_.size());
      return kStatusOk;
    case kControlSrFeature:
      WriteWord(data, model_.srFeature ? 1 : 0);
      return kStatusOk;
    default:
      return (code & kControlRead) ? ReadControlLocked(code & ~kControlRead, data) : kStatusNotUsed;
  }
}

uint32_t SensorObject::ReadControlLocked(uint32_t code, void* data) {
  switch (code) {
    case kControlSmartCapture:
      WriteByte(data, smartCapture_ ? 1 : 0);
      return kStatusOk;
    case kControlSetGainMax:
      WriteByte(data, gainMax_);
      return kStatusOk;
    case kControlSetGainMin:
      WriteByte(data, gainMin_);
      return kStatusOk;
    case kControlSharpness:
      WriteByte(data, sharpness_ ? 1 : 0);
      return kStatusOk;
    default:
      return kStatusNotUsed;
  }
}

// ---- slots no model uses -------------------------------------------------------------

uint32_t SENSORAPI SensorObject::Reserved00() { return kStatusNotUsed; }
uint32_t SENSORAPI SensorObject::Reserved03() { return kStatusNotUsed; }
uint32_t SENSORAPI SensorObject::Reserved07() { return kStatusNotUsed; }
uint32_t SENSORAPI SensorObject::Reserved09() { return kStatusNotUsed; }
uint32_t SENSORAPI SensorObject::Reserved10() { return kStatusNotUsed; }
uint32_t SENSORAPI SensorObject::Reserved12() { return kStatusNotUsed; }
uint32_t SENSORAPI SensorObject::Reserved13() { return kStatusNotUsed; }
uint32_t SENSORAPI SensorObject::Reserved14() { return kStatusNotUsed; }
uint32_t SENSORAPI SensorObject::Reserved15() { return kStatusNotUsed; }
uint32_t SENSORAPI SensorObject::Reserved18() { return kStatusNotUsed; }
uint32_t SENSORAPI SensorObject::Reserved19() { return kStatusNotUsed; }
uint32_t SENSORAPI SensorObject::Reserved20() { return kStatusNotUsed; }
uint32_t SENSORAPI SensorObject::Reserved21() { return kStatusNotUsed; }
uint32_t SENSORAPI SensorObject::Reserved24() { return kStatusNotUsed; }
uint32_t SENSORAPI SensorObject::Reserved26() { return kStatusNotUsed; }
uint32_t SENSORAPI SensorObject::Reserved27() { return kStatusNotUsed; }
uint32_t SENSORAPI SensorObject::Reserved28() { return kStatusNotUsed; }
uint32_t SENSORAPI SensorObject::Reserved29() { return kStatusNotUsed; }
uint32_t SENSORAPI SensorObject::Reserved30() { return kStatusNotUsed; }
uint32_t SENSORAPI SensorObject::Reserved32() { return kStatusNotUsed; }
uint32_t SENSORAPI SensorObject::Reserved33() { return kStatusNotUsed; }
uint32_t SENSORAPI SensorObject::Reserved34() { return kStatusNotUsed; }
uint32_t SENSORAPI SensorObject::Reserved35() { return kStatusNotUsed; }

}  // namespace simulator
