#include "simulator/modules/module_factory.h"

#include <new>

#include "simulator/modules/catalog.h"
#include "simulator/modules/sensor_object.h"

namespace simulator {

uint32_t CreateModuleSensor(uint32_t moduleType, const uint32_t* parameter, ReaderLocator locator,
                            ISensor** out) {
  if (!out) return kStatusInvalidParameters;
  const bool parallel = moduleType == 1;
  if (!parallel && (!parameter || *parameter != moduleType)) return kStatusInvalidParameters;
  const ReaderModel* model = FindReaderModel(moduleType);
  if (!model) return kStatusCreationFail;
  SensorObject* sensor = new (std::nothrow) SensorObject(*model, std::move(locator));
  if (!sensor) return kStatusCreationFail;
  *out = sensor;
  return kStatusOk;
}

uint32_t DestroyModuleSensor(ISensor* sensor) {
  delete static_cast<SensorObject*>(sensor);
  return 0;
}

}  // namespace simulator
