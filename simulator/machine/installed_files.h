// The driver files that can be installed on the machine: the driver modules and
// the framework stand-in in System32 (links to, or patched copies of, the
// modules this build produces), and the kernel driver files in
// System32/drivers and System32/drivers/UMDF (small files the machine writes,
// each holding a fixed file-info block with its version).
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "simulator/machine/version_block.h"

namespace sim {

enum class DriverFileKind { Module, Kernel };

struct DriverFileSpec {
  const char* name;        // file name as Windows shows it
  DriverFileKind kind;
  const char* directory;   // below System32: "", "drivers" or "drivers/UMDF"
  FileVersionNumber defaultVersion;  // kernel files only: what a fresh install writes
};

// Every file the machine knows, in a fixed order (modules first).
const std::vector<DriverFileSpec>& DriverFiles();

// The driver file of that name, compared without regard to case; null when unknown.
const DriverFileSpec* FindDriverFile(std::string_view name);

// Where a file lives on the machine at `root`.
std::filesystem::path InstalledPath(const std::filesystem::path& root, const DriverFileSpec& driverFile);

// Installs a file on the machine at MachineRoot(). A module without a version
// becomes a link to the built module; with a version, a copy of the built
// module whose block carries that version. A kernel file is written with the
// version given, or its default. Throws MachineError (unknown name, built
// module missing or without a block, write failure).
void InstallDriverFile(std::string_view name, std::optional<FileVersionNumber> version = {});
void InstallDriverFileAt(const std::filesystem::path& root, const DriverFileSpec& driverFile,
                         std::optional<FileVersionNumber> version);

// What differs per system. This build's module unchanged at `target`: on
// Linux a link, which follows rebuilds and is fine before the module is built;
// on Windows a copy, as the system loads modules from System32 itself.
void PlaceBuiltModule(const std::filesystem::path& built, const std::filesystem::path& target);
// A kernel driver file carrying `version` in its fixed file-info block: on
// Linux a small file of its own; on Windows a resource-only image, so that
// the system's version calls read it as they read a driver.
std::string KernelFileBytes(const DriverFileSpec& driverFile, FileVersionNumber version);

// Removes every driver file of the machine at `root`, for a reset: on Linux
// the whole of the machine's Windows folder; on Windows, where that folder is
// the system's own, the files of DriverFiles() alone.
void RemoveDriverFilesAt(const std::filesystem::path& root);

// Removes an installed file; throws MachineError when unknown or not installed.
void RemoveDriverFile(std::string_view name);

// What an installed file really is.
enum class FileOrigin {
  Written,     // a file of its own: a kernel driver file or a module copy with its own version
  ThisBuild,   // a link to this build's module
  OtherBuild,  // a link to another build's module: programs of this build load their own
  Elsewhere,   // a link to some other file
  Nothing,     // a link whose target is missing
};

struct InstalledFile {
  const DriverFileSpec* driverFile;
  std::filesystem::path path;
  bool present;   // the file, or the link, exists
  std::optional<FileVersionNumber> version;  // of the file loaded for it; nullopt: none found
  FileOrigin origin = FileOrigin::Written;
  std::filesystem::path linkTarget;  // where a link points, as absolute path
};

// The state of every known file on the machine at MachineRoot().
std::vector<InstalledFile> ListDriverFiles();

}  // namespace sim
