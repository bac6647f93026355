// Locks on the simulated workstation: each machine has its own, and a Mutex
// whose name the stand-in refuses has no handle (Windows would make an
// unnamed mutex of it; the program names every lock).
#include <gtest/gtest.h>

#include <thread>

#include "device/locks.h"
#include "tests/platform/scoped_machine_root.h"

namespace {

TEST(LocksOnTheSimulatedMachine, MutexWithoutHandleNeitherAcquiresNorFailsToRelease) {
  ScopedMachineRoot root;
  Mutex none(nullptr, FALSE, nullptr);
  EXPECT_FALSE(none.Acquire(0));
  EXPECT_TRUE(none.Release());
}

TEST(LocksOnTheSimulatedMachine, LocksOfDifferentMachinesNeverMeet) {
  ScopedMachineRoot root;
  UnitLocker here("qvdx_exe", 0);
  ASSERT_TRUE(here.Acquire());
  ScopedMachineRoot otherMachine;
  std::thread([] {
    UnitLocker there("qvdx_exe", 0);
    EXPECT_TRUE(there.Acquire());
    EXPECT_TRUE(there.Release());
  }).join();
  EXPECT_TRUE(here.Release());
}

}  // namespace
