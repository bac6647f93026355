// File primitives of the machine: atomic writes, tolerant JSON reads and the
// machine-wide lock around read-modify-write changes.
#pragma once

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace sim {

// Every change of the machine that fails throws this, with a one-line message.
class MachineError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Writes `content` to a temporary file beside `path` and renames it into place,
// so readers see the old file or the new one, never a partial one.
void WriteFileAtomically(const std::filesystem::path& path, std::string_view content);
void WriteJsonAtomically(const std::filesystem::path& path, const nlohmann::json& value);

// The whole of a regular file, or nullopt when it cannot be read. A FIFO or a
// device is never read: it could stall the caller or never end.
std::optional<std::string> ReadWholeFile(const std::filesystem::path& path);

// The largest JSON file of the machine that is read; its files (the profile,
// one per attached device) hold a few hundred bytes.
inline constexpr size_t kMachineJsonFileLimit = 64 * 1024;

// The parsed file; nullopt when it is absent, or when it is malformed (which
// is reported on stderr with the path): not JSON, not a regular file, or
// larger than kMachineJsonFileLimit.
std::optional<nlohmann::json> ReadJsonFile(const std::filesystem::path& path);

// Reports a file that exists but cannot be used, on stderr, with its path.
void ReportMalformed(const std::filesystem::path& path, std::string_view why);

// Held while a change reads and rewrites machine files, so that concurrent
// changes from other threads or processes do not lose each other's updates.
// Plain reads need no lock: files are replaced atomically.
class MachineLock {
 public:
  explicit MachineLock(const std::filesystem::path& root);
  ~MachineLock();
  MachineLock(const MachineLock&) = delete;
  MachineLock& operator=(const MachineLock&) = delete;

 private:
  int fd_ = -1;
};

}  // namespace sim
