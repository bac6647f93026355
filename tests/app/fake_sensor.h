// A sensor object that records every call, for window tests that need an open
// reader without a driver module. Calls may come from any thread.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "device/sensor.h"

class FakeSensor : public ISensor {
 public:
  std::vector<std::string> Calls() const {
    std::lock_guard guard(lock_);
    return calls_;
  }
  int CountOf(const std::string& name) const {
    std::lock_guard guard(lock_);
    int count = 0;
    for (const std::string& call : calls_) count += call == name ? 1 : 0;
    return count;
  }

  uint32_t SENSORAPI Reserved00() override { return Note("Reserved00"); }
  uint32_t SENSORAPI OpenDevice(uint32_t, uint32_t) override { return Note("OpenDevice"); }
  uint32_t SENSORAPI GetImage(uint8_t*) override { return Note("GetImage"); }
  uint32_t SENSORAPI Reserved03() override { return Note("Reserved03"); }
  uint32_t SENSORAPI GetDeviceInfo(DeviceInfo*) override { return Note("GetDeviceInfo"); }
  uint32_t SENSORAPI Configure(HWND) override { return Note("Configure"); }
  uint32_t SENSORAPI ResetCmos() override { return Note("ResetCmos"); }
  uint32_t SENSORAPI Reserved07() override { return Note("Reserved07"); }
  uint32_t SENSORAPI SetBrightness(int32_t) override { return Note("SetBrightness"); }
  uint32_t SENSORAPI Reserved09() override { return Note("Reserved09"); }
  uint32_t SENSORAPI Reserved10() override { return Note("Reserved10"); }
  uint32_t SENSORAPI SetLed(uint32_t) override { return Note("SetLed"); }
  uint32_t SENSORAPI Reserved12() override { return Note("Reserved12"); }
  uint32_t SENSORAPI Reserved13() override { return Note("Reserved13"); }
  uint32_t SENSORAPI Reserved14() override { return Note("Reserved14"); }
  uint32_t SENSORAPI Reserved15() override { return Note("Reserved15"); }
  uint32_t SENSORAPI SetOption(uint32_t, uint32_t) override { return Note("SetOption"); }
  uint32_t SENSORAPI GetOption(uint32_t) override { return Note("GetOption"); }
  uint32_t SENSORAPI Reserved18() override { return Note("Reserved18"); }
  uint32_t SENSORAPI Reserved19() override { return Note("Reserved19"); }
  uint32_t SENSORAPI Reserved20() override { return Note("Reserved20"); }
  uint32_t SENSORAPI Reserved21() override { return Note("Reserved21"); }
  uint32_t SENSORAPI GetImageEx(uint8_t*, uint32_t, HDC, const RECT*, uint32_t) override {
    return Note("GetImageEx");
  }
  uint32_t SENSORAPI SetImageCallback(uint32_t, ImageCallback, void*) override {
    return Note("SetImageCallback");
  }
  uint32_t SENSORAPI Reserved24() override { return Note("Reserved24"); }
  uint32_t SENSORAPI CloseDevice() override { return Note("CloseDevice"); }
  uint32_t SENSORAPI Reserved26() override { return Note("Reserved26"); }
  uint32_t SENSORAPI Reserved27() override { return Note("Reserved27"); }
  uint32_t SENSORAPI Reserved28() override { return Note("Reserved28"); }
  uint32_t SENSORAPI Reserved29() override { return Note("Reserved29"); }
  uint32_t SENSORAPI Reserved30() override { return Note("Reserved30"); }
  uint32_t SENSORAPI EnableAutoOn(uint32_t, HWND, uint32_t) override { return Note("EnableAutoOn"); }
  uint32_t SENSORAPI Reserved32() override { return Note("Reserved32"); }
  uint32_t SENSORAPI Reserved33() override { return Note("Reserved33"); }
  uint32_t SENSORAPI Reserved34() override { return Note("Reserved34"); }
  uint32_t SENSORAPI Reserved35() override { return Note("Reserved35"); }
  uint32_t SENSORAPI Control(uint32_t, void*) override { return Note("Control"); }

 private:
  uint32_t Note(const char* name) {
    std::lock_guard guard(lock_);
    calls_.emplace_back(name);
    return 0;
  }

  mutable std::mutex lock_;
  std::vector<std::string> calls_;
};
