// What a driver module's exports do, apart from where its readers come from.
#pragma once

#include <cstdint>

#include "device/sensor.h"
#include "simulator/modules/reader_port.h"

namespace simulator {

// Creates the sensor object of the module that serves `moduleType`. The parallel
// module (type 1) serves one reader type and ignores `parameter`; a USB module
// requires it to point at its own type. 0 on success; 3 for a missing or wrong
// parameter or `out`; 1 for a type no model exists for.
uint32_t CreateModuleSensor(uint32_t moduleType, const uint32_t* parameter, ReaderLocator locator,
                            ISensor** out);

// Disposes of an object that CreateModuleSensor made, closing its reader.
uint32_t DestroyModuleSensor(ISensor* sensor);

}  // namespace simulator
