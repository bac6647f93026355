#include "simulator/machine/installed_files.h"

#include <string>

#include "simulator/machine/files.h"
#include "simulator/machine/machine.h"
#include "simulator/machine/root.h"

namespace sim {

namespace fs = std::filesystem;

namespace {

void InstallModule(const fs::path& target, const DriverFileSpec& driverFile,
                   std::optional<FileVersionNumber> version) {
  const fs::path built = ModulesDirectory() / driverFile.name;
  std::error_code error;
  fs::create_directories(target.parent_path(), error);
  if (!version) {
    PlaceBuiltModule(built, target);
    return;
  }
  std::optional<std::string> bytes = ReadWholeFile(built);
  if (!bytes) throw MachineError("built module not found: " + built.string());
  if (!PatchFileVersion(*bytes, *version)) {
    throw MachineError("built module has no version block: " + built.string());
  }
  WriteFileAtomically(target, *bytes);  // replaces a link or an older copy
  fs::permissions(target, fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec,
                  fs::perm_options::add, error);
}

FileOrigin OriginOf(const fs::path& target) {
  if (target.empty()) return FileOrigin::Written;
  std::error_code error;
  if (!fs::exists(target, error)) return FileOrigin::Nothing;
  if (!IsModulesFolder(target.parent_path())) return FileOrigin::Elsewhere;
  return fs::equivalent(target, ModulesDirectory() / target.filename(), error) ? FileOrigin::ThisBuild
                                                                              : FileOrigin::OtherBuild;
}

const DriverFileSpec& RequireDriverFile(std::string_view name) {
  const DriverFileSpec* driverFile = FindDriverFile(name);
  if (!driverFile) throw MachineError("unknown driver file: " + std::string(name));
  return *driverFile;
}

}  // namespace

const std::vector<DriverFileSpec>& DriverFiles() {
  using K = DriverFileKind;
  static const std::vector<DriverFileSpec> files = {
      {"Qvhmx06m.dll", K::Module, "", {}},
      {"Qvhmx05m.dll", K::Module, "", {}},
      {"Qvhmx04m.dll", K::Module, "", {}},
      {"Qvhx03m.dll", K::Module, "", {}},
      {"Omrel.dll", K::Module, "", {}},
      {"Dacro.dll", K::Module, "", {}},
      {"winbio.dll", K::Module, "", {}},
      {"qvhmx06x64.sys", K::Kernel, "drivers", {1, 0, 2, 0}},
      {"Qvhmx06d.sys", K::Kernel, "drivers", {1, 0, 2, 0}},
      {"qvhmx05x64.sys", K::Kernel, "drivers", {1, 0, 4, 0}},
      {"Qvhmx05d.sys", K::Kernel, "drivers", {1, 0, 4, 0}},
      {"qvhmx04x64.sys", K::Kernel, "drivers", {1, 0, 3, 5}},
      {"Qvhmx04d.sys", K::Kernel, "drivers", {1, 0, 3, 5}},
      {"QVHx03x64.sys", K::Kernel, "drivers", {2, 1, 0, 3}},
      {"Qvhx03d.sys", K::Kernel, "drivers", {2, 1, 0, 3}},
      {"omreldrvx64.sys", K::Kernel, "drivers", {1, 2, 0, 1}},
      {"Omreldrv.sys", K::Kernel, "drivers", {1, 2, 0, 1}},
      {"Dacrodrv.sys", K::Kernel, "drivers", {1, 0, 0, 7}},
      {"Qvhmxwudf.dll", K::Kernel, "drivers/UMDF", {1, 0, 1, 0}},
  };
  return files;
}

const DriverFileSpec* FindDriverFile(std::string_view name) {
  for (const DriverFileSpec& driverFile : DriverFiles()) {
    if (EqualIgnoringCase(driverFile.name, name)) return &driverFile;
  }
  return nullptr;
}

fs::path InstalledPath(const fs::path& root, const DriverFileSpec& driverFile) {
  return SystemDirectory(root) / driverFile.directory / driverFile.name;
}

void InstallDriverFileAt(const fs::path& root, const DriverFileSpec& driverFile,
                         std::optional<FileVersionNumber> version) {
  const fs::path target = InstalledPath(root, driverFile);
  if (driverFile.kind == DriverFileKind::Module) {
    InstallModule(target, driverFile, version);
  } else {
    WriteFileAtomically(target, KernelFileBytes(driverFile, version.value_or(driverFile.defaultVersion)));
  }
}

void InstallDriverFile(std::string_view name, std::optional<FileVersionNumber> version) {
  const DriverFileSpec& driverFile = RequireDriverFile(name);
  const fs::path root = EnsureMachine();
  MachineLock lock(root);
  InstallDriverFileAt(root, driverFile, version);
}

void RemoveDriverFile(std::string_view name) {
  const DriverFileSpec& driverFile = RequireDriverFile(name);
  const fs::path root = EnsureMachine();
  MachineLock lock(root);
  std::error_code error;
  if (!fs::remove(InstalledPath(root, driverFile), error)) {
    if (error) throw MachineError("cannot remove " + std::string(driverFile.name) + ": " + error.message());
    throw MachineError(std::string(driverFile.name) + " is not installed");
  }
}

std::vector<InstalledFile> ListDriverFiles() {
  const fs::path root = EnsureMachineQuietly();
  std::vector<InstalledFile> files;
  for (const DriverFileSpec& driverFile : DriverFiles()) {
    InstalledFile file{&driverFile, InstalledPath(root, driverFile), false, std::nullopt, FileOrigin::Written, {}};
    std::error_code error;
    file.present = fs::is_symlink(fs::symlink_status(file.path, error)) || fs::exists(file.path, error);
    if (file.present) {
      file.version = ReadFileVersion(ModuleToLoad(file.path));
      file.linkTarget = LinkTarget(file.path);
      file.origin = OriginOf(file.linkTarget);
    }
    files.push_back(std::move(file));
  }
  return files;
}

}  // namespace sim
