#include "simulator/machine/root.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace sim {

namespace fs = std::filesystem;

namespace {

constexpr const char* kModulesFolderName = "tolvane-modules";

}  // namespace

fs::path MachineRoot() {
  if (const char* root = std::getenv("TOLVANE_SIM_ROOT"); root && *root) return root;
  if (const char* required = std::getenv("TOLVANE_SIM_REQUIRE_ROOT"); required && *required) {
    std::fputs("tolvane-sim: TOLVANE_SIM_ROOT is not set, and TOLVANE_SIM_REQUIRE_ROOT forbids "
               "the default workstation\n", stderr);
    std::abort();
  }
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
    return kModulesFolderName;
  }
  return fs::absolute(info.dli_fname).parent_path() / kModulesFolderName;
}

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
