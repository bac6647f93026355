#include "platform/host_path.h"

#include <strings.h>

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "simulator/machine/root.h"

namespace platform {

namespace fs = std::filesystem;

namespace {

bool HasDrivePrefix(std::string_view path) {
  return path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
         (path[2] == '/' || path[2] == '\\');
}

}  // namespace

std::string FindInDirectory(const std::string& directory, std::string_view name) {
  std::error_code error;
  const fs::path exact = fs::path(directory) / name;
  if (fs::exists(exact, error)) return exact.string();
  for (const fs::directory_entry& entry : fs::directory_iterator(directory, error)) {
    const std::string candidate = entry.path().filename().string();
    if (candidate.size() == name.size() &&
        strncasecmp(candidate.data(), name.data(), name.size()) == 0) {
      return entry.path().string();
    }
  }
  return {};
}

std::string HostPath(std::string_view path) {
  std::string slashed;
  if (HasDrivePrefix(path)) {
    slashed = sim::MachineRoot().string() + "/";
    path.remove_prefix(3);
  }
  slashed.append(path);
  std::replace(slashed.begin(), slashed.end(), '\\', '/');

  // Rebuild component by component, taking the spelling on disk where only the case differs.
  std::string resolved = slashed.starts_with('/') ? "/" : "";
  size_t at = 0;
  while (at <= slashed.size()) {
    const size_t end = std::min(slashed.find('/', at), slashed.size());
    const std::string_view part = std::string_view(slashed).substr(at, end - at);
    at = end + 1;
    if (part.empty()) continue;
    const std::string directory = resolved.empty() ? "." : resolved;
    std::string found = part == "." || part == ".." ? std::string() : FindInDirectory(directory, part);
    if (!resolved.empty() && !resolved.ends_with('/')) resolved += '/';
    resolved += found.empty() ? std::string(part) : fs::path(found).filename().string();
  }
  return resolved.empty() ? slashed : resolved;
}

}  // namespace platform
