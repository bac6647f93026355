// The tolvane-sim command line, runnable in process.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace sim {

// Runs one command line (without the program name). Results go to `out`; a
// failure is one line on `err` and a nonzero result (1 a failed command, 2 a
// malformed command line). `--root DIR` sets TOLVANE_SIM_ROOT for the process.
int RunTool(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

// The `status` text of the machine at MachineRoot().
void PrintStatus(std::ostream& out);

}  // namespace sim
