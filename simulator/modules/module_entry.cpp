// The exports of one simulated driver module. Each module library compiles this
// file with TOLVANE_MODULE_TYPE set to the reader type it serves and
// TOLVANE_MODULE_FILE_VERSION to its file version ("a,b,c,d").
#include "device/sensor.h"
#include "simulator/machine/version_block.h"
#include "simulator/modules/machine_reader.h"
#include "simulator/modules/module_factory.h"

#ifndef TOLVANE_MODULE_TYPE
#error "TOLVANE_MODULE_TYPE names the reader type the module serves"
#endif
#ifndef TOLVANE_MODULE_FILE_VERSION
#error "TOLVANE_MODULE_FILE_VERSION gives the module's file version as a,b,c,d"
#endif

// Expands the version's four parts before they become the block's arguments.
#define EMBED_MODULE_VERSION(parts) TOLVANE_MODULE_VERSION(parts)
EMBED_MODULE_VERSION(TOLVANE_MODULE_FILE_VERSION);

#ifdef _WIN32
#define MODULE_EXPORT extern "C" __declspec(dllexport)
#else
#define MODULE_EXPORT extern "C" __attribute__((visibility("default")))
#endif

MODULE_EXPORT uint32_t SENSORAPI CreateISensor(uint32_t* parameter, ISensor** out) {
  return simulator::CreateModuleSensor(
      TOLVANE_MODULE_TYPE, parameter,
      [](uint32_t index) { return simulator::LocateMachineReader(TOLVANE_MODULE_TYPE, index); },
      out);
}

MODULE_EXPORT uint32_t SENSORAPI DestroyISensor(ISensor* sensor) {
  return simulator::DestroyModuleSensor(sensor);
}
