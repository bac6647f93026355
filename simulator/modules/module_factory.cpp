#include "simulator/modules/module_factory.h"

#include <new>

#include "simulator/modules/catalog.h"
#include "simulator/modules/sensor_object.h"

namespace simulator {

uint32_t CreateModuleSensor(uint32_t moduleType, const uint32_t* parameter, ReaderLocator locator,
                            ISensor** out) {
  constexpr uint32_t kCreationFail = 1;
  constexpr uint32_t kInvalidParameters = 3;
  if (!out) return kInvalidParameters;
  const bool parallel = moduleType == 1;
  if (!parallel && (!parameter || *parameter != moduleType)) return kInvalidParameters;
  const ReaderModel* model = FindReaderModel(moduleType);
  if (!model) return kCreationFail;
  SensorObject* sensor = new (std::nothrow) SensorObject(*model, std::move(locator));
  if (!sensor) return kCreationFail;
  *out = sensor;
  return 0;
}

uint32_t DestroyModuleSensor(ISensor* sensor) {
  delete static_cast<SensorObject*>(sensor);
  return 0;
}

}  // namespace simulator
