// The exports of one simulated driver module. Each module library compiles this
// file with TOLVANE_MODULE_TYPE set to the reader type it serves.
#include "device/sensor.h"
#include "simulator/modules/machine_reader.h"
#include "simulator/modules/module_factory.h"

#ifndef TOLVANE_MODULE_TYPE
#error "TOLVANE_MODULE_TYPE names the reader type the module serves"
#endif

#define MODULE_EXPORT extern "C" __attribute__((visibility("default")))

MODULE_EXPORT uint32_t SENSORAPI CreateISensor(uint32_t* parameter, ISensor** out) {
  return simulator::CreateModuleSensor(
      TOLVANE_MODULE_TYPE, parameter,
      [](uint32_t index) { return simulator::LocateMachineReader(TOLVANE_MODULE_TYPE, index); },
      out);
}

MODULE_EXPORT uint32_t SENSORAPI DestroyISensor(ISensor* sensor) {
  return simulator::DestroyModuleSensor(sensor);
}
