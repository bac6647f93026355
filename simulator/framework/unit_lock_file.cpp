#include "simulator/framework/unit_lock_file.h"

#include <filesystem>
#include <string>

#include "simulator/machine/root.h"

namespace winbio {

namespace {

std::filesystem::path UnitLockPath(WINBIO_UNIT_ID unitId) {
  const std::filesystem::path folder = sim::MachineRoot() / "framework";
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  return folder / ("unit-" + std::to_string(unitId) + ".lock");
}

}  // namespace

UnitLockFile::UnitLockFile(WINBIO_UNIT_ID unitId) : lock_(UnitLockPath(unitId), /*wait=*/false) {}

}  // namespace winbio
