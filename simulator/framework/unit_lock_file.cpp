#include "simulator/framework/unit_lock_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "simulator/machine/root.h"

namespace winbio {

UnitLockFile::UnitLockFile(WINBIO_UNIT_ID unitId) {
  const std::filesystem::path folder = sim::MachineRoot() / "framework";
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  const std::filesystem::path path = folder / ("unit-" + std::to_string(unitId) + ".lock");
  const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return;
  // Locks of flock() belong to the open file, so two sessions of one process
  // exclude each other just as two processes do.
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    close(fd);
    return;
  }
  fd_ = fd;
}

UnitLockFile::~UnitLockFile() {
  if (fd_ >= 0) close(fd_);
}

}  // namespace winbio
