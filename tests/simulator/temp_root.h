// A temporary machine root for one test: TOLVANE_SIM_ROOT points at a fresh
// folder for the test's lifetime, and the folder is removed afterwards, with
// the machine's driver files (on Windows those lie in the system's folders).
#pragma once

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>

#include "simulator/machine/files.h"
#include "simulator/machine/installed_files.h"
#include "simulator/machine/root.h"

class TempMachineRoot {
 public:
  TempMachineRoot() {
    static std::atomic<unsigned> made{0};
    const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
    folder_ = std::filesystem::temp_directory_path() /
              ("tolvane-test-" + std::to_string(sim::CurrentProcessId()) + "-" + std::to_string(now) + "-" +
               std::to_string(made++));
    if (!std::filesystem::create_directory(folder_)) throw std::runtime_error("temporary folder exists");
    if (const char* old = std::getenv("TOLVANE_SIM_ROOT")) previous_ = old;
    sim::SetMachineRoot(Root());
  }
  ~TempMachineRoot() {
    sim::RemoveDriverFilesAt(Root());
    // An empty root counts as none.
    sim::SetMachineRoot(previous_.value_or(""));
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  TempMachineRoot(const TempMachineRoot&) = delete;
  TempMachineRoot& operator=(const TempMachineRoot&) = delete;

  // The machine root (created with the default machine on first use).
  std::filesystem::path Root() const { return folder_ / "machine"; }
  // A scratch folder beside it for the test's own files.
  const std::filesystem::path& Folder() const { return folder_; }

 private:
  std::filesystem::path folder_;
  std::optional<std::string> previous_;
};
