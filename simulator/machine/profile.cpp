#include "simulator/machine/profile.h"

#include "simulator/machine/files.h"
#include "simulator/machine/machine.h"
#include "simulator/machine/root.h"

namespace sim {

namespace fs = std::filesystem;

fs::path ProfilePath(const fs::path& root) { return root / "machine.json"; }

Profile LoadProfile() {
  const fs::path path = ProfilePath(EnsureMachineQuietly());
  Profile profile;
  std::optional<nlohmann::json> json = ReadJsonFile(path);
  if (!json) return profile;
  try {
    const nlohmann::json& os = json->at("os");
    profile.major = os.at("major").get<uint32_t>();
    profile.minor = os.at("minor").get<uint32_t>();
    profile.build = os.at("build").get<uint32_t>();
    profile.platformId = os.at("platformId").get<uint32_t>();
    profile.is64Bit = json->at("64bit").get<bool>();
    profile.remoteSession = json->at("remoteSession").get<bool>();
    profile.frameworkPresent = json->at("framework").get<bool>();
  } catch (const nlohmann::json::exception& error) {
    ReportMalformed(path, error.what());
    return Profile{};
  }
  return profile;
}

void WriteProfile(const fs::path& root, const Profile& profile) {
  WriteJsonAtomically(ProfilePath(root),
                      {{"os",
                        {{"major", profile.major},
                         {"minor", profile.minor},
                         {"build", profile.build},
                         {"platformId", profile.platformId}}},
                       {"64bit", profile.is64Bit},
                       {"remoteSession", profile.remoteSession},
                       {"framework", profile.frameworkPresent}});
}

void SaveProfile(const Profile& profile) { WriteProfile(EnsureMachine(), profile); }

}  // namespace sim
