// Files by their Windows calls: the handle behind a C runtime descriptor, its
// flush to the disk, and a rename that can wait until it is on the disk.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/win32.h"

namespace {

// A descriptor's handle is -(descriptor + 2): never INVALID_HANDLE_VALUE (-1)
// and never a kernel object's handle, which are all positive.
HANDLE DescriptorHandle(int descriptor) {
  return reinterpret_cast<HANDLE>(-(static_cast<intptr_t>(descriptor) + 2));
}

int DescriptorOf(HANDLE file) {
  const intptr_t value = reinterpret_cast<intptr_t>(file);
  return value <= -2 && value >= -(static_cast<intptr_t>(INT32_MAX) + 1) ? static_cast<int>(-value - 2) : -1;
}

DWORD FileErrorFromErrno(int error) {
  switch (error) {
    case ENOENT:
      return ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
    case ENAMETOOLONG:
      return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EROFS:
    case EBUSY:
    case EISDIR:
      return ERROR_ACCESS_DENIED;
    case EEXIST:
    case ENOTEMPTY:
      return ERROR_ALREADY_EXISTS;
    case EXDEV:
      return ERROR_NOT_SAME_DEVICE;
    case ENOSPC:
    case EDQUOT:
      return ERROR_DISK_FULL;
    case EBADF:
      return ERROR_INVALID_HANDLE;
    default:
      return ERROR_WRITE_FAULT;
  }
}

BOOL Failed() {
  SetLastError(FileErrorFromErrno(errno));
  return FALSE;
}

std::string FolderOf(const std::string& path) {
  const size_t separator = path.find_last_of('/');
  if (separator == std::string::npos) return ".";
  return separator == 0 ? "/" : path.substr(0, separator);
}

// A folder's entries reach the disk only when the folder itself is flushed.
// The rename has taken place whatever this gives, so it is not reported as
// failed: some file systems cannot flush a folder at all.
void FlushFolder(const std::string& folder) {
  const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (descriptor < 0) return;
  ::fsync(descriptor);
  ::close(descriptor);
}

}  // namespace

extern "C" intptr_t _get_osfhandle(int descriptor) {
  if (descriptor < 0 || ::fcntl(descriptor, F_GETFD) < 0) return reinterpret_cast<intptr_t>(INVALID_HANDLE_VALUE);
  return reinterpret_cast<intptr_t>(DescriptorHandle(descriptor));
}

extern "C" BOOL WINAPI FlushFileBuffers(HANDLE file) {
  const int descriptor = DescriptorOf(file);
  if (descriptor < 0) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return ::fsync(descriptor) == 0 ? TRUE : Failed();
}

// Only what the system asks for: a replacing rename, or one that refuses an
// existing target; WRITE_THROUGH also flushes the folder that now names it.
extern "C" BOOL WINAPI MoveFileExA(LPCSTR existingFileName, LPCSTR newFileName, DWORD flags) {
  if (!existingFileName || !newFileName || (flags & ~(MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) != 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const int renamed = (flags & MOVEFILE_REPLACE_EXISTING)
                          ? std::rename(existingFileName, newFileName)
                          : ::renameat2(AT_FDCWD, existingFileName, AT_FDCWD, newFileName, RENAME_NOREPLACE);
  if (renamed != 0) return Failed();
  if (flags & MOVEFILE_WRITE_THROUGH) FlushFolder(FolderOf(newFileName));
  return TRUE;
}
