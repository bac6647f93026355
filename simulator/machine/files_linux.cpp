// The machine's file primitives on POSIX.
#include "simulator/machine/files.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace sim {

namespace fs = std::filesystem;

namespace {

std::string SystemErrorText(const std::string& what, const fs::path& path) {
  return what + " " + path.string() + ": " + std::strerror(errno);
}

std::optional<std::string> ReadOpenFile(int fd, size_t limit, std::string& refused) {
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

}  // namespace

std::optional<std::string> ReadRegularFile(const fs::path& path, size_t limit, std::string& refused) {
  // Opened without blocking, so that a FIFO does not wait for a writer.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  std::optional<std::string> content = ReadOpenFile(fd, limit, refused);
  ::close(fd);
  return content;
}

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

bool FileStamp::Changed(const fs::path& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) {
    const bool was = Present();
    identity_ = 0;
    size_ = -1;
    return was;
  }
  const int64_t modified = static_cast<int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
  const bool same = Present() && info.st_ino == identity_ && info.st_size == size_ && modified == modifiedNs_;
  identity_ = info.st_ino;
  size_ = info.st_size;
  modifiedNs_ = modified;
  return !same;
}

FileLock::FileLock(const fs::path& path, bool wait) {
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) {
    failure_ = SystemErrorText("cannot open", path);
    return;
  }
  // Locks of flock() belong to the open file, not the process.
  while (::flock(fd, LOCK_EX | (wait ? 0 : LOCK_NB)) != 0) {
    if (errno == EINTR) continue;
    if (errno != EWOULDBLOCK) failure_ = SystemErrorText("cannot lock", path);
    ::close(fd);
    return;
  }
  handle_ = fd;
}

FileLock::~FileLock() {
  if (Held()) ::close(static_cast<int>(handle_));
}

uint32_t CurrentProcessId() { return static_cast<uint32_t>(::getpid()); }

}  // namespace sim
