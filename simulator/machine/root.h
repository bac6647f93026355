// Where the simulated machine lives and where its folders are.
//
// The root is $TOLVANE_SIM_ROOT, else DefaultMachineRoot(). It is resolved from the environment on every call, so
// a test may point each case at its own temporary root. With
// TOLVANE_SIM_REQUIRE_ROOT set (every test run sets it), a missing
// TOLVANE_SIM_ROOT ends the process instead of reaching the user's workstation.
#pragma once

#include <filesystem>

namespace sim {

std::filesystem::path MachineRoot();

// Linux: $XDG_RUNTIME_DIR/tolvane-sim, else /tmp/tolvane-sim-<uid>. Windows:
// %ProgramData%\tolvane-sim, the folder for data that every program and user
// of the computer shares; under Wine it lies inside the prefix, so each prefix
// is a machine of its own.
std::filesystem::path DefaultMachineRoot();

// Makes `root` the machine of this process (sets TOLVANE_SIM_ROOT).
void SetMachineRoot(const std::filesystem::path& root);

// The root of the machine, created with the default machine when it has no
// profile yet. Throws MachineError when it cannot be created.
std::filesystem::path EnsureMachine();

// The same for readers: a failure is reported on stderr and the root returned anyway.
std::filesystem::path EnsureMachineQuietly();

// Folders of a machine (none of these create anything). On Windows the
// machine's Windows and System32 are the system's own folders, whatever the root.
std::filesystem::path WindowsDirectory(const std::filesystem::path& root);  // <root>/Windows
std::filesystem::path SystemDirectory(const std::filesystem::path& root);   // <root>/Windows/System32
std::filesystem::path DriversDirectory(const std::filesystem::path& root);  // .../System32/drivers
std::filesystem::path BusDirectory(const std::filesystem::path& root);      // <root>/bus
std::filesystem::path CapturesDirectory(const std::filesystem::path& root); // <root>/captures
std::filesystem::path FaultsDirectory(const std::filesystem::path& root);   // <root>/faults
std::filesystem::path PowerDirectory(const std::filesystem::path& root);    // <root>/power

// Where this build put the simulated driver modules and the framework
// stand-in: the folder tolvane-modules beside libtolvane-simmachine (on
// Windows, beside the program or library that holds this code).
std::filesystem::path ModulesDirectory();
inline constexpr const char* kModulesFolderName = "tolvane-modules";

// Whether `folder` is where some build or installation keeps its modules
// (a folder named like ModulesDirectory(), this build's or another's).
bool IsModulesFolder(const std::filesystem::path& folder);

// Where the link at `path` points, a relative target taken from the link's
// folder; empty when `path` is no link.
std::filesystem::path LinkTarget(const std::filesystem::path& path);

// The module file a program of this build loads for `path`, found in a
// machine's System32: a link into a build's module folder stands for this
// build's module of that name, so that a machine made by one build (or
// installation) never hands a program the modules of another, whether that
// build's modules load in this program or are gone. Anything else, and a link
// whose module this build lacks, is loaded as it is.
std::filesystem::path ModuleToLoad(const std::filesystem::path& path);

}  // namespace sim
