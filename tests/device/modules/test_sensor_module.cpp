// A driver module whose exports are chosen at build time, for the loader tests:
//   TEST_MODULE_CREATE   0 no CreateISensor, 1 one that succeeds, 2 one that fails
//   TEST_MODULE_DESTROY  whether DestroyISensor is exported
// The sensor it hands out is a token: the loader never calls through it.
#include "device/sensor.h"

namespace {
uint32_t lastReaderType = 0;
ISensor* lastDestroyed = nullptr;
char sensorToken;
}  // namespace

extern "C" uint32_t LastReaderType() { return lastReaderType; }
extern "C" ISensor* LastDestroyed() { return lastDestroyed; }
extern "C" ISensor* SensorToken() { return reinterpret_cast<ISensor*>(&sensorToken); }

#if TEST_MODULE_CREATE
extern "C" uint32_t SENSORAPI CreateISensor(uint32_t* parameter, ISensor** sensor) {
  lastReaderType = *parameter;
  if (TEST_MODULE_CREATE == 2) return 1;
  *sensor = SensorToken();
  return 0;
}
#endif

#if TEST_MODULE_DESTROY
extern "C" uint32_t SENSORAPI DestroyISensor(ISensor* sensor) {
  lastDestroyed = sensor;
  return 0;
}
#endif
