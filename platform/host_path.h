// Windows-style paths on the host: '\' or '/' as separator, a drive prefix
// ("C:\") standing for the simulated machine's root, and names compared without
// regard to case where the exact spelling does not exist, as Windows does.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// The host path that `path` names. Components that exist with a different case
// are replaced by their spelling on disk; the rest are kept as given.
std::string HostPath(std::string_view path);

// The host path of `name` in `directory`, matched without regard to case;
// empty when no such file exists.
std::string FindInDirectory(const std::string& directory, std::string_view name);

}  // namespace platform
