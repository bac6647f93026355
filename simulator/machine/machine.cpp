#include "simulator/machine/machine.h"

#include <iostream>

namespace sim {

namespace fs = std::filesystem;

namespace {

void AttachDefaultReaders(const fs::path& root) {
  for (const char* name : {"HMX05", "HMX06", "HMX04", "parallel"}) {
    Reader reader = DefaultReader(*FindReaderModel(name), 0);
    reader.framework = reader.type == 5;
    WriteReaderFile(root, reader);
  }
}

// Builds a machine at `root`; the profile comes last, as the mark of a complete machine.
void BuildMachine(const fs::path& root, bool empty) {
  RemoveDriverFilesAt(root);
  std::error_code error;
  fs::remove_all(CapturesDirectory(root), error);
  fs::remove_all(FaultsDirectory(root), error);
  fs::remove_all(BusDirectory(root), error);
  fs::create_directories(BusDirectory(root), error);
  if (error) throw MachineError("cannot create " + BusDirectory(root).string() + ": " + error.message());
  for (const DriverFileSpec& driverFile : DriverFiles()) InstallDriverFileAt(root, driverFile, std::nullopt);
  if (!empty) AttachDefaultReaders(root);
  WriteProfile(root, Profile{});
}

}  // namespace

fs::path EnsureMachine() {
  const fs::path root = MachineRoot();
  std::error_code error;
  if (fs::exists(ProfilePath(root), error)) return root;
  MachineLock lock(root);
  if (!fs::exists(ProfilePath(root), error)) BuildMachine(root, false);
  return root;
}

fs::path EnsureMachineQuietly() {
  try {
    return EnsureMachine();
  } catch (const std::exception& error) {
    std::cerr << "tolvane-sim: " << error.what() << "\n";
    return MachineRoot();
  }
}

void InitMachine(bool empty) {
  const fs::path root = MachineRoot();
  MachineLock lock(root);
  BuildMachine(root, empty);
}

}  // namespace sim
