// Where the simulated workstation lives.
#pragma once

#include <string>

namespace platform {

// $TOLVANE_SIM_ROOT, else $XDG_RUNTIME_DIR/tolvane-sim, else /tmp/tolvane-sim-<uid>.
// Read anew on every call, so a test may point it elsewhere at any time.
std::string MachineRoot();

}  // namespace platform
