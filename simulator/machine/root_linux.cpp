// Where the machine's folders are on Linux: all below the root.
#include "simulator/machine/root.h"

#include <dlfcn.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>

namespace sim {

namespace fs = std::filesystem;

fs::path DefaultMachineRoot() {
  if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime) {
    return fs::path(runtime) / "tolvane-sim";
  }
  return fs::path("/tmp") / ("tolvane-sim-" + std::to_string(getuid()));
}

void SetMachineRoot(const fs::path& root) { setenv("TOLVANE_SIM_ROOT", root.c_str(), 1); }

fs::path WindowsDirectory(const fs::path& root) { return root / "Windows"; }
fs::path SystemDirectory(const fs::path& root) { return WindowsDirectory(root) / "System32"; }

fs::path ModulesDirectory() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&ModulesDirectory), &info) == 0 || !info.dli_fname) {
    return kModulesFolderName;
  }
  return fs::absolute(info.dli_fname).parent_path() / kModulesFolderName;
}

}  // namespace sim
