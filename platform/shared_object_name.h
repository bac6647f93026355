// Names of the POSIX shared-memory objects behind named kernel objects.
#pragma once

#include <string>

namespace platform {

// The shm name of the named object `name` on the workstation at `root`:
// "/tolvane-<hash of root>-<name>". The name is kept case-sensitive; bytes
// other than letters, digits, '_', '-' and '.' become "%XX" (so '/' and '\'
// cannot split the name), and a name too long for a shm name is cut and ends
// in "~<hash of the whole name>" so different names stay different.
std::string SharedObjectName(const std::string& root, const std::string& name);

}  // namespace platform
