#include "simulator/machine/root.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace sim {

namespace fs = std::filesystem;

fs::path MachineRoot() {
  if (const char* root = std::getenv("TOLVANE_SIM_ROOT"); root && *root) return root;
  if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime) {
    return fs::path(runtime) / "tolvane-sim";
  }
  return fs::path("/tmp") / ("tolvane-sim-" + std::to_string(getuid()));
}

fs::path WindowsDirectory(const fs::path& root) { return root / "Windows"; }
fs::path SystemDirectory(const fs::path& root) { return WindowsDirectory(root) / "System32"; }
fs::path DriversDirectory(const fs::path& root) { return SystemDirectory(root) / "drivers"; }
fs::path BusDirectory(const fs::path& root) { return root / "bus"; }
fs::path CapturesDirectory(const fs::path& root) { return root / "captures"; }
fs::path FaultsDirectory(const fs::path& root) { return root / "faults"; }
fs::path PowerDirectory(const fs::path& root) { return root / "power"; }

fs::path ModulesDirectory() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&ModulesDirectory), &info) == 0 || !info.dli_fname) {
    return "tolvane-modules";
  }
  return fs::absolute(info.dli_fname).parent_path() / "tolvane-modules";
}

}  // namespace sim
