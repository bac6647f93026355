// The framework's exclusive lock on one unit, shared by every session on the
// machine, in this process or another: an advisory lock on a file per unit. A
// process that dies gives its locks back.
#pragma once

#include "platform/winbio_types.h"

namespace winbio {

class UnitLockFile {
 public:
  // Takes the unit's lock without waiting; Held() tells whether it was free.
  explicit UnitLockFile(WINBIO_UNIT_ID unitId);
  ~UnitLockFile();
  UnitLockFile(const UnitLockFile&) = delete;
  UnitLockFile& operator=(const UnitLockFile&) = delete;

  bool Held() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

}  // namespace winbio
