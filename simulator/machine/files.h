// File primitives of the machine: atomic writes, tolerant JSON reads and the
// machine-wide lock around read-modify-write changes.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <ctime>
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

// A required integer field within [low, high]; throws std::invalid_argument
// naming the key otherwise (and a json error when the key is missing).
template <typename T>
T BoundedField(const nlohmann::json& object, const char* key, int64_t low, int64_t high) {
  const nlohmann::json& value = object.at(key);
  if (!value.is_number_integer()) throw std::invalid_argument(std::string(key) + " is not an integer");
  const int64_t number = value.get<int64_t>();
  if (number < low || number > high) throw std::invalid_argument(std::string(key) + " is out of range");
  return static_cast<T>(number);
}

// The same for a field that older machines' files lack: `absent` then.
template <typename T>
T BoundedField(const nlohmann::json& object, const char* key, int64_t low, int64_t high, T absent) {
  return object.contains(key) ? BoundedField<T>(object, key, low, high) : absent;
}

// Tells with one stat whether a file was replaced since the last look, for
// followers that parse a file only when it changed.
class FileStamp {
 public:
  // True when the file appeared, went or was replaced since the last call.
  bool Changed(const std::filesystem::path& path);
  bool Present() const { return size_ >= 0; }
  off_t Size() const { return size_; }

 private:
  ino_t inode_ = 0;
  timespec modified_{};
  off_t size_ = -1;
};

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
