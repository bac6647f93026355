// Turns a reader's driver module into a live sensor object, and back.
#pragma once

#include <cstdint>

#include "device/sensor.h"
#include "platform/win32.h"

enum LoadSensorResult : int {
  kLoadOk = 0,
  kLoadModuleMissing = 1,   // the module could not be loaded
  kLoadNoCreateExport = 2,  // the module has no CreateISensor (it stays loaded)
  kLoadCreateFailed = 3,    // CreateISensor reported failure (the module stays loaded)
};

// Loads `moduleName` by the system's library search and creates its sensor for
// `readerType`. Both out fields are set to null first.
int LoadSensorModule(const char* moduleName, ISensor*& sensor, HMODULE& module, uint32_t readerType);

// Destroys the sensor through the module's DestroyISensor (when both exist) and
// frees the module; both fields end null. A sensor whose module has no
// DestroyISensor is not destroyed, but forgotten when the module is freed.
void UnloadSensorModule(ISensor*& sensor, HMODULE& module);
