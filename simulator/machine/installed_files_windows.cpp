#include "simulator/machine/files.h"
#include "simulator/machine/installed_files.h"
#include "simulator/machine/root.h"

namespace sim {

namespace fs = std::filesystem;

namespace {

std::string BuiltBytes(const fs::path& built) {
  std::optional<std::string> bytes = ReadWholeFile(built);
  if (!bytes) throw MachineError("built module not found: " + built.string());
  return *bytes;
}

}  // namespace

void PlaceBuiltModule(const fs::path& built, const fs::path& target) {
  WriteFileAtomically(target, BuiltBytes(built));
}

// The build's driver file image: version resource only, file type driver.
std::string KernelFileBytes(const DriverFileSpec&, FileVersionNumber version) {
  const fs::path image = ModulesDirectory() / "driver-file.sys";
  std::string bytes = BuiltBytes(image);
  if (!PatchFileVersion(bytes, version)) throw MachineError("no version block in " + image.string());
  return bytes;
}

void RemoveDriverFilesAt(const fs::path& root) {
  for (const DriverFileSpec& driverFile : DriverFiles()) {
    std::error_code error;
    fs::remove(InstalledPath(root, driverFile), error);
  }
}

}  // namespace sim
