// The machine's file primitives on Windows. Every open shares reading,
// writing and deletion, so that a file being read can still be replaced.
#include "simulator/machine/files.h"

#include <windows.h>

#include <chrono>
#include <thread>

namespace sim {

namespace fs = std::filesystem;

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

std::string SystemErrorText(const std::string& what, const fs::path& path) {
  return what + " " + path.string() + ": error " + std::to_string(GetLastError());
}

class OpenFile {
 public:
  OpenFile(const fs::path& path, DWORD access, DWORD creation)
      : handle_(CreateFileW(path.c_str(), access, kShareAll, nullptr, creation, FILE_ATTRIBUTE_NORMAL, nullptr)) {}
  ~OpenFile() {
    if (Valid()) CloseHandle(handle_);
  }
  OpenFile(const OpenFile&) = delete;
  OpenFile& operator=(const OpenFile&) = delete;
  bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE Get() const { return handle_; }
  HANDLE Release() {
    HANDLE handle = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    return handle;
  }

 private:
  HANDLE handle_;
};

std::optional<std::string> ReadOpenFile(HANDLE file, size_t limit, std::string& refused) {
  if (GetFileType(file) != FILE_TYPE_DISK) {
    refused = "not a regular file";
    return std::nullopt;
  }
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file, &size)) return std::nullopt;
  if (static_cast<uintmax_t>(size.QuadPart) > limit || size.QuadPart > INT32_MAX) {
    refused = "larger than " + std::to_string(limit) + " bytes";
    return std::nullopt;
  }
  // One byte more than the file holds tells a file that grows while it is read.
  std::string bytes(static_cast<size_t>(size.QuadPart) + 1, '\0');
  size_t used = 0;
  while (used < bytes.size()) {
    DWORD n = 0;
    if (!ReadFile(file, bytes.data() + used, static_cast<DWORD>(bytes.size() - used), &n, nullptr)) return std::nullopt;
    if (n == 0) break;
    used += n;
  }
  if (used == bytes.size()) {
    refused = "growing while it is read";
    return std::nullopt;
  }
  bytes.resize(used);
  return bytes;
}

// A file that another program holds open without sharing deletion, or that the
// system has mapped, refuses replacement for a moment; so does a virus scanner.
bool ReplaceWithRetries(const fs::path& temporary, const fs::path& path) {
  for (int attempt = 0; attempt < 50; ++attempt) {
    if (MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
    const DWORD error = GetLastError();
    if (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

}  // namespace

std::optional<std::string> ReadRegularFile(const fs::path& path, size_t limit, std::string& refused) {
  OpenFile file(path, GENERIC_READ, OPEN_EXISTING);
  if (!file.Valid()) return std::nullopt;
  return ReadOpenFile(file.Get(), limit, refused);
}

void WriteFileAtomically(const fs::path& path, std::string_view content) {
  std::error_code error;
  fs::create_directories(path.parent_path(), error);
  if (error) throw MachineError("cannot create " + path.parent_path().string() + ": " + error.message());
  const fs::path temporary = TemporarySibling(path);
  {
    OpenFile file(temporary, GENERIC_WRITE, CREATE_ALWAYS);
    if (!file.Valid()) throw MachineError(SystemErrorText("cannot create", temporary));
    DWORD written = 0;
    if (!WriteFile(file.Get(), content.data(), static_cast<DWORD>(content.size()), &written, nullptr) ||
        written != content.size()) {
      const std::string message = SystemErrorText("cannot write", temporary);
      file.Release();
      DeleteFileW(temporary.c_str());
      throw MachineError(message);
    }
  }
  if (!ReplaceWithRetries(temporary, path)) {
    const std::string message = SystemErrorText("cannot write", path);
    DeleteFileW(temporary.c_str());
    throw MachineError(message);
  }
}

bool FileStamp::Changed(const fs::path& path) {
  BY_HANDLE_FILE_INFORMATION info{};
  OpenFile file(path, FILE_READ_ATTRIBUTES, OPEN_EXISTING);
  if (!file.Valid() || !GetFileInformationByHandle(file.Get(), &info)) {
    const bool was = Present();
    identity_ = 0;
    size_ = -1;
    return was;
  }
  const uint64_t identity = static_cast<uint64_t>(info.nFileIndexHigh) << 32 | info.nFileIndexLow;
  const int64_t size = static_cast<int64_t>(static_cast<uint64_t>(info.nFileSizeHigh) << 32 | info.nFileSizeLow);
  const int64_t modified = static_cast<int64_t>(
      static_cast<uint64_t>(info.ftLastWriteTime.dwHighDateTime) << 32 | info.ftLastWriteTime.dwLowDateTime);
  const bool same = Present() && identity == identity_ && size == size_ && modified == modifiedNs_;
  identity_ = identity;
  size_ = size;
  modifiedNs_ = modified;
  return !same;
}

FileLock::FileLock(const fs::path& path, bool wait) {
  OpenFile file(path, GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS);
  if (!file.Valid()) {
    failure_ = SystemErrorText("cannot open", path);
    return;
  }
  // A byte-range lock belongs to the handle, and the system releases it with the process.
  OVERLAPPED whole{};
  const DWORD flags = LOCKFILE_EXCLUSIVE_LOCK | (wait ? 0 : LOCKFILE_FAIL_IMMEDIATELY);
  if (!LockFileEx(file.Get(), flags, 0, MAXDWORD, MAXDWORD, &whole)) {
    if (GetLastError() != ERROR_LOCK_VIOLATION) failure_ = SystemErrorText("cannot lock", path);
    return;
  }
  handle_ = reinterpret_cast<intptr_t>(file.Release());
}

FileLock::~FileLock() {
  if (Held()) CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

uint32_t CurrentProcessId() { return GetCurrentProcessId(); }

}  // namespace sim
