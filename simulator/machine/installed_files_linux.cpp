#include "simulator/machine/files.h"
#include "simulator/machine/installed_files.h"
#include "simulator/machine/root.h"

namespace sim {

namespace fs = std::filesystem;

void PlaceBuiltModule(const fs::path& built, const fs::path& target) {
  std::error_code error;
  fs::remove(target, error);
  fs::create_symlink(built, target, error);
  if (error) throw MachineError("cannot link " + target.string() + ": " + error.message());
}

std::string KernelFileBytes(const DriverFileSpec& driverFile, FileVersionNumber version) {
  std::string content = "Tolvane simulated driver file ";
  content += driverFile.name;
  content += "\n";
  content.resize(64, '\0');
  const VS_FIXEDFILEINFO block = MakeFixedFileInfo(version.major, version.minor, version.build,
                                                   version.revision, kFileTypeDriver);
  content.append(reinterpret_cast<const char*>(&block), sizeof block);
  return content;
}

void RemoveDriverFilesAt(const fs::path& root) {
  std::error_code error;
  fs::remove_all(WindowsDirectory(root), error);
}

}  // namespace sim
