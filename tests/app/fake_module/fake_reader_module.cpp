#include "fake_module/fake_reader_module.h"

#include "fake_sensor.h"

namespace {

class InfoSensor final : public FakeSensor {
 public:
  uint32_t SENSORAPI GetDeviceInfo(DeviceInfo* info) override {
    FakeSensor::GetDeviceInfo(info);
    *info = FakeReaderModule().info;
    return FakeReaderModule().infoStatus;
  }
};

}  // namespace

#define MODULE_EXPORT extern "C" __attribute__((visibility("default")))

MODULE_EXPORT FakeReaderModuleState& FakeReaderModule() {
  static FakeReaderModuleState state;
  return state;
}

#ifdef FAKE_READER_WITHOUT_DESTROY
// A module that cannot destroy its sensor keeps it in its own memory, which
// goes when the module is freed.
MODULE_EXPORT uint32_t SENSORAPI CreateISensor(uint32_t* /*parameter*/, ISensor** out) {
  static InfoSensor sensor;
  *out = &sensor;
  ++FakeReaderModule().created;
  return 0;
}
#else
MODULE_EXPORT uint32_t SENSORAPI CreateISensor(uint32_t* /*parameter*/, ISensor** out) {
  *out = new InfoSensor;
  ++FakeReaderModule().created;
  return 0;
}

MODULE_EXPORT uint32_t SENSORAPI DestroyISensor(ISensor* sensor) {
  auto* fake = static_cast<InfoSensor*>(sensor);
  FakeReaderModule().destroyedCalls.push_back(fake->Calls());
  delete fake;
  return 0;
}
#endif
