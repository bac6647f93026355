// A fresh, empty simulated machine for each test, and readers to plug into it.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "simulator/machine/machine.h"
#include "tests/platform/contract/lock_holder.h"
#include "tests/platform/scoped_machine_root.h"

class MachineTest : public ::testing::Test {
 protected:
  void SetUp() override { sim::InitMachine(/*empty=*/true); }

  // Plugs the model's default reader at `index`, adjusted by `adjust`.
  static sim::Reader Plug(const char* name, uint32_t index,
                          const std::function<void(sim::Reader&)>& adjust = nullptr) {
    sim::Reader reader = sim::DefaultReader(*sim::FindReaderModel(name), index);
    if (adjust) adjust(reader);
    sim::PlugReader(reader);
    return reader;
  }

  static void ChangeProfile(const std::function<void(sim::Profile&)>& change) {
    sim::Profile profile = sim::LoadProfile();
    change(profile);
    sim::SaveProfile(profile);
  }

 private:
  ScopedMachineRoot root_;
};

// Another process that holds the named mutex `name` until the object goes away.
class NamedLockHolder {
 public:
  explicit NamedLockHolder(const std::string& name) : holder_(name, LockHolder::Then::ReleaseWhenFinished) {}
  bool Holding() { return holder_.WaitHeld(); }

 private:
  LockHolder holder_;
};
