#include "simulator/machine/files.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <iostream>
#include <limits>

namespace sim {

namespace fs = std::filesystem;

namespace {

std::string SystemErrorText(const std::string& what, const fs::path& path) {
  return what + " " + path.string() + ": " + std::strerror(errno);
}

fs::path TemporarySibling(const fs::path& path) {
  static std::atomic<unsigned> counter{0};
  // A leading dot keeps the temporary out of the way of folder watchers.
  return path.parent_path() / ("." + path.filename().string() + ".tmp." + std::to_string(getpid()) +
                               "." + std::to_string(counter++));
}

// The whole of the open file `fd` when it is a regular file of at most `limit`
// bytes. When it is not read for what it is, `refused` says why.
std::optional<std::string> ReadRegularFile(int fd, size_t limit, std::string& refused) {
  struct stat info {};
  if (::fstat(fd, &info) != 0) return std::nullopt;
  if (!S_ISREG(info.st_mode)) {
    refused = "not a regular file";
    return std::nullopt;
  }
  if (static_cast<uintmax_t>(info.st_size) > limit) {
    refused = "larger than " + std::to_string(limit) + " bytes";
    return std::nullopt;
  }
  // One byte more than the file holds tells a file that grows while it is read.
  std::string bytes(static_cast<size_t>(info.st_size) + 1, '\0');
  size_t used = 0;
  while (used < bytes.size()) {
    const ssize_t n = ::read(fd, bytes.data() + used, bytes.size() - used);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return std::nullopt;
    if (n == 0) break;
    used += static_cast<size_t>(n);
  }
  if (used == bytes.size()) {
    refused = "growing while it is read";
    return std::nullopt;
  }
  bytes.resize(used);
  return bytes;
}

// Opened without blocking, so that a FIFO does not wait for a writer; absent
// or unreadable files give nullopt with nothing refused.
std::optional<std::string> ReadRegularFile(const fs::path& path, size_t limit, std::string& refused) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  std::optional<std::string> content = ReadRegularFile(fd, limit, refused);
  ::close(fd);
  return content;
}

}  // namespace

void WriteFileAtomically(const fs::path& path, std::string_view content) {
  std::error_code error;
  fs::create_directories(path.parent_path(), error);
  if (error) throw MachineError("cannot create " + path.parent_path().string() + ": " + error.message());
  const fs::path temporary = TemporarySibling(path);
  const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) throw MachineError(SystemErrorText("cannot create", temporary));
  size_t written = 0;
  while (written < content.size()) {
    const ssize_t n = ::write(fd, content.data() + written, content.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      const std::string message = SystemErrorText("cannot write", temporary);
      ::close(fd);
      ::unlink(temporary.c_str());
      throw MachineError(message);
    }
    written += static_cast<size_t>(n);
  }
  if (::close(fd) != 0 || ::rename(temporary.c_str(), path.c_str()) != 0) {
    const std::string message = SystemErrorText("cannot write", path);
    ::unlink(temporary.c_str());
    throw MachineError(message);
  }
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

bool FileStamp::Changed(const fs::path& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) {
    const bool was = Present();
    inode_ = 0;
    size_ = -1;
    return was;
  }
  const bool same = Present() && info.st_ino == inode_ && info.st_size == size_ &&
                    info.st_mtim.tv_sec == modified_.tv_sec && info.st_mtim.tv_nsec == modified_.tv_nsec;
  inode_ = info.st_ino;
  size_ = info.st_size;
  modified_ = info.st_mtim;
  return !same;
}

MachineLock::MachineLock(const fs::path& root) {
  std::error_code error;
  fs::create_directories(root, error);
  const fs::path lockPath = root / ".lock";
  fd_ = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd_ < 0) throw MachineError(SystemErrorText("cannot open", lockPath));
  while (::flock(fd_, LOCK_EX) != 0) {
    if (errno == EINTR) continue;
    const std::string message = SystemErrorText("cannot lock", lockPath);
    ::close(fd_);
    throw MachineError(message);
  }
}

MachineLock::~MachineLock() { ::close(fd_); }

}  // namespace sim
