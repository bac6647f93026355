// File primitives of the machine: atomic writes, tolerant JSON reads and the
// machine-wide lock around read-modify-write changes.
#pragma once

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

// The same with a size limit: a file that is no regular file, is larger than
// `limit` or grows while it is read gives nullopt with the reason in `refused`;
// an absent or unreadable file gives nullopt with nothing refused. While it is
// read, the file may still be replaced by WriteFileAtomically.
std::optional<std::string> ReadRegularFile(const std::filesystem::path& path, size_t limit, std::string& refused);

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

 private:
  uint64_t identity_ = 0;  // the file's inode (or file index): a rename changes it
  int64_t modifiedNs_ = 0;
  int64_t size_ = -1;
};

// An exclusive lock on a file (created when missing), held while the object
// lives; the system gives it back when the process ends. Each object is its
// own holder: two objects of one process exclude each other as two processes do.
class FileLock {
 public:
  // Waits for the lock when `wait`, else takes it only when it is free. When
  // it is not held, Failure() says why (empty: another holder has it).
  FileLock(const std::filesystem::path& path, bool wait);
  ~FileLock();
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

  bool Held() const { return handle_ != kNoHandle; }
  const std::string& Failure() const { return failure_; }

 private:
  static constexpr intptr_t kNoHandle = -1;  // a descriptor, or a HANDLE on Windows
  intptr_t handle_ = kNoHandle;
  std::string failure_;
};

// Held while a change reads and rewrites machine files, so that concurrent
// changes from other threads or processes do not lose each other's updates.
// Plain reads need no lock: files are replaced atomically.
class MachineLock {
 public:
  // Throws MachineError when the lock file cannot be opened or locked.
  explicit MachineLock(const std::filesystem::path& root);

 private:
  FileLock lock_;
};

// The id of this process.
uint32_t CurrentProcessId();

// A temporary name beside `path` that only this thread writes; the leading dot
// keeps it out of the way of folder watchers.
std::filesystem::path TemporarySibling(const std::filesystem::path& path);

// Compares ASCII text without regard to case, as Windows compares file names.
bool EqualIgnoringCase(std::string_view a, std::string_view b);

}  // namespace sim
