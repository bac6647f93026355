#include "device/module_loader.h"

#include "device/proc_address.h"

int LoadSensorModule(const char* moduleName, ISensor*& sensor, HMODULE& module, uint32_t readerType) {
  sensor = nullptr;
  module = LoadLibraryA(moduleName);
  if (!module) return kLoadModuleMissing;
  auto create = ProcAddressAs<CreateISensorFn>(module, kCreateSensorExport);
  if (!create) return kLoadNoCreateExport;
  uint32_t parameter = readerType;
  ISensor* created = nullptr;
  if (create(&parameter, &created) != 0) return kLoadCreateFailed;
  sensor = created;
  return kLoadOk;
}

void UnloadSensorModule(ISensor*& sensor, HMODULE& module) {
  if (sensor && module) {
    if (auto destroy = ProcAddressAs<DestroyISensorFn>(module, kDestroySensorExport)) {
      destroy(sensor);
      sensor = nullptr;
    }
  }
  // A sensor that its module cannot destroy lives in the module's memory:
  // once the module is freed it is forgotten with it, never called again.
  if (module) {
    FreeLibrary(module);
    sensor = nullptr;
  }
  module = nullptr;
}
