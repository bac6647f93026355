// The simulated workstation the program runs on, changed as its tool changes
// it: readers plugged and touched, driver files replaced, power events.
#pragma once

#include <gtest/gtest.h>

#include <string>

namespace e2e {

// Runs tolvane-sim.exe of this build with `arguments` in this prefix; a
// failure carries what it printed.
::testing::AssertionResult Sim(const std::string& arguments);

// A path for a file of this test in the prefix's temporary folder, which does not exist yet.
std::string TemporaryPath(const std::string& name);

}  // namespace e2e
