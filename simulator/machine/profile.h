// The machine profile: which Windows the simulated workstation runs.
#pragma once

#include <cstdint>
#include <filesystem>

namespace sim {

struct Profile {
  uint32_t major = 10;
  uint32_t minor = 0;
  uint32_t build = 19045;
  uint32_t platformId = 2;  // VER_PLATFORM_WIN32_NT
  bool is64Bit = true;      // the 32-bit program runs on 64-bit Windows
  bool remoteSession = false;
  bool frameworkPresent = true;  // the biometric framework serves its readers

  bool operator==(const Profile&) const = default;
};

// <root>/machine.json
std::filesystem::path ProfilePath(const std::filesystem::path& root);

// The profile of the machine at MachineRoot() (created first when needed). A
// malformed profile is reported and the default profile is used instead.
Profile LoadProfile();

// Replaces the profile; throws MachineError.
void SaveProfile(const Profile& profile);
void WriteProfile(const std::filesystem::path& root, const Profile& profile);

}  // namespace sim
