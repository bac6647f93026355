#include "simulator/machine/root.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace sim {

namespace fs = std::filesystem;

fs::path MachineRoot() {
  if (const char* root = std::getenv("TOLVANE_SIM_ROOT"); root && *root) return root;
  if (const char* required = std::getenv("TOLVANE_SIM_REQUIRE_ROOT"); required && *required) {
    std::fputs("tolvane-sim: TOLVANE_SIM_ROOT is not set, and TOLVANE_SIM_REQUIRE_ROOT forbids "
               "the default workstation\n", stderr);
    std::abort();
  }
  return DefaultMachineRoot();
}

fs::path DriversDirectory(const fs::path& root) { return SystemDirectory(root) / "drivers"; }
fs::path BusDirectory(const fs::path& root) { return root / "bus"; }
fs::path CapturesDirectory(const fs::path& root) { return root / "captures"; }
fs::path FaultsDirectory(const fs::path& root) { return root / "faults"; }
fs::path PowerDirectory(const fs::path& root) { return root / "power"; }

bool IsModulesFolder(const fs::path& folder) { return folder.filename() == kModulesFolderName; }

fs::path LinkTarget(const fs::path& path) {
  std::error_code error;
  fs::path target = fs::read_symlink(path, error);
  if (error) return {};
  return target.is_absolute() ? target : path.parent_path() / target;
}

fs::path ModuleToLoad(const fs::path& path) {
  const fs::path target = LinkTarget(path);
  if (target.empty() || !IsModulesFolder(target.parent_path())) return path;
  const fs::path own = ModulesDirectory() / target.filename();
  std::error_code error;
  return fs::exists(own, error) ? own : path;
}

}  // namespace sim
