#include "simulator/machine/files.h"

#include <atomic>
#include <cctype>
#include <iostream>
#include <limits>

namespace sim {

namespace fs = std::filesystem;

namespace {

fs::path LockFilePath(const fs::path& root) {
  std::error_code error;
  fs::create_directories(root, error);
  return root / ".lock";
}

}  // namespace

fs::path TemporarySibling(const fs::path& path) {
  static std::atomic<unsigned> counter{0};
  return path.parent_path() / ("." + path.filename().string() + ".tmp." + std::to_string(CurrentProcessId()) +
                               "." + std::to_string(counter++));
}

void WriteJsonAtomically(const fs::path& path, const nlohmann::json& value) {
  WriteFileAtomically(path, value.dump(2) + "\n");
}

std::optional<std::string> ReadWholeFile(const fs::path& path) {
  std::string refused;
  return ReadRegularFile(path, std::numeric_limits<size_t>::max(), refused);
}

std::optional<nlohmann::json> ReadJsonFile(const fs::path& path) {
  std::string refused;
  std::optional<std::string> content = ReadRegularFile(path, kMachineJsonFileLimit, refused);
  if (!refused.empty()) ReportMalformed(path, refused);
  if (!content) return std::nullopt;
  nlohmann::json value = nlohmann::json::parse(*content, nullptr, /*allow_exceptions=*/false);
  if (value.is_discarded()) {
    ReportMalformed(path, "not valid JSON");
    return std::nullopt;
  }
  return value;
}

void ReportMalformed(const fs::path& path, std::string_view why) {
  std::cerr << "tolvane-sim: ignoring malformed file " << path.string() << ": " << why << "\n";
}

MachineLock::MachineLock(const fs::path& root) : lock_(LockFilePath(root), /*wait=*/true) {
  if (!lock_.Held()) throw MachineError(lock_.Failure());
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

}  // namespace sim
