// A temporary simulated-workstation root for one test: TOLVANE_SIM_ROOT points
// at a fresh directory until the object goes away. On Windows the machine is
// the real one, and the object does nothing.
#pragma once

#ifdef _WIN32

class ScopedMachineRoot {
 public:
  ScopedMachineRoot() {}  // user-provided: a scope object, not an unused variable
};

#else

#include <stdlib.h>

#include <filesystem>
#include <string>

class ScopedMachineRoot {
 public:
  ScopedMachineRoot() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tolvane-test-XXXXXX").string();
    path_ = mkdtemp(pattern.data()) ? pattern : std::string();
    setenv("TOLVANE_SIM_ROOT", path_.c_str(), 1);
  }
  ~ScopedMachineRoot() {
    unsetenv("TOLVANE_SIM_ROOT");
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScopedMachineRoot(const ScopedMachineRoot&) = delete;
  ScopedMachineRoot& operator=(const ScopedMachineRoot&) = delete;

  const std::string& Path() const { return path_; }
  // Makes this root the current one again (after another root was current).
  void MakeCurrent() const { setenv("TOLVANE_SIM_ROOT", path_.c_str(), 1); }

 private:
  std::string path_;
};

#endif  // _WIN32
