// A temporary machine root for one test: TOLVANE_SIM_ROOT points at a fresh
// folder for the test's lifetime, and the folder is removed afterwards.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>

class TempMachineRoot {
 public:
  TempMachineRoot() {
    char pattern[] = "/tmp/tolvane-test-XXXXXX";
    if (!mkdtemp(pattern)) throw std::runtime_error("mkdtemp failed");
    folder_ = pattern;
    if (const char* old = getenv("TOLVANE_SIM_ROOT")) previous_ = old;
    setenv("TOLVANE_SIM_ROOT", Root().c_str(), 1);
  }
  ~TempMachineRoot() {
    if (previous_) {
      setenv("TOLVANE_SIM_ROOT", previous_->c_str(), 1);
    } else {
      unsetenv("TOLVANE_SIM_ROOT");
    }
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
