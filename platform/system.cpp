// System facts from the simulated machine's profile and folders. Directories
// are host paths, so they work with every file and module call of this layer.
#include <cstring>
#include <string>

#include "platform/win32.h"
#include "simulator/machine/profile.h"
#include "simulator/machine/root.h"

namespace {

// Windows' contract: the length without the terminator when it fits, else the
// size needed including the terminator (and nothing written).
UINT CopyDirectory(const std::string& directory, LPSTR buffer, UINT size) {
  const UINT needed = static_cast<UINT>(directory.size()) + 1;
  if (!buffer || size < needed) return needed;
  std::memcpy(buffer, directory.c_str(), needed);
  return needed - 1;
}

constexpr DWORD kVersionInfoExSize = 156;  // OSVERSIONINFOEXA, accepted as on Windows

}  // namespace

extern "C" UINT WINAPI GetSystemDirectoryA(LPSTR buffer, UINT size) {
  return CopyDirectory(sim::SystemDirectory(sim::EnsureMachineQuietly()).string(), buffer, size);
}

extern "C" UINT WINAPI GetWindowsDirectoryA(LPSTR buffer, UINT size) {
  return CopyDirectory(sim::WindowsDirectory(sim::EnsureMachineQuietly()).string(), buffer, size);
}

extern "C" BOOL WINAPI GetVersionExA(LPOSVERSIONINFOA info) {
  if (!info) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const DWORD size = info->dwOSVersionInfoSize;
  if (size != sizeof(OSVERSIONINFOA) && size != kVersionInfoExSize) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  const sim::Profile profile = sim::LoadProfile();
  std::memset(info, 0, size);
  info->dwOSVersionInfoSize = size;
  info->dwMajorVersion = profile.major;
  info->dwMinorVersion = profile.minor;
  info->dwBuildNumber = profile.build;
  info->dwPlatformId = profile.platformId;
  return TRUE;
}

extern "C" HANDLE WINAPI GetCurrentProcess() {
  return reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1));
}

extern "C" BOOL WINAPI IsWow64Process(HANDLE process, PBOOL wow64Process) {
  if (process != GetCurrentProcess() || !wow64Process) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  *wow64Process = sim::LoadProfile().is64Bit ? TRUE : FALSE;
  return TRUE;
}

extern "C" int WINAPI GetSystemMetrics(int index) {
  if (index == SM_REMOTESESSION) return sim::LoadProfile().remoteSession ? 1 : 0;
  return 0;
}
