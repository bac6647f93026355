#include "platform/machine_root.h"

#include <unistd.h>

#include <cstdlib>

namespace platform {
namespace {

const char* NonEmptyEnv(const char* variable) {
  const char* value = std::getenv(variable);
  return value && *value ? value : nullptr;
}

}  // namespace

std::string MachineRoot() {
  if (const char* root = NonEmptyEnv("TOLVANE_SIM_ROOT")) return root;
  if (const char* runtime = NonEmptyEnv("XDG_RUNTIME_DIR")) return std::string(runtime) + "/tolvane-sim";
  return "/tmp/tolvane-sim-" + std::to_string(getuid());
}

}  // namespace platform
