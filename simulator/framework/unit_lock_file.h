// The framework's exclusive lock on one unit, shared by every session on the
// machine, in this process or another: an advisory lock on a file per unit. A
// process that dies gives its locks back.
#pragma once

#include "platform/winbio_types.h"
#include "simulator/machine/files.h"

namespace winbio {

class UnitLockFile {
 public:
  // Takes the unit's lock without waiting; Held() tells whether it was free.
  explicit UnitLockFile(WINBIO_UNIT_ID unitId);

  bool Held() const { return lock_.Held(); }

 private:
  sim::FileLock lock_;
};

}  // namespace winbio
