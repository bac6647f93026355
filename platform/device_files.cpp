// CreateFileA and DeviceIoControl for device paths "\\.\NAME-N": a thin router
// to the simulated kernel driver. The program opens no other file this way.
#include <memory>
#include <span>

#include "platform/kernel_object.h"
#include "platform/win32.h"
#include "simulator/kernel_driver/kernel_driver.h"

namespace {

class DeviceFileObject : public platform::KernelObject {
 public:
  explicit DeviceFileObject(sim::DeviceFile file) : file(std::move(file)) {}
  const sim::DeviceFile file;
};

template <typename Byte>
std::span<Byte> BufferOf(void* buffer, DWORD size) {
  return buffer ? std::span<Byte>(static_cast<Byte*>(buffer), size) : std::span<Byte>();
}

}  // namespace

extern "C" HANDLE WINAPI CreateFileA(LPCSTR fileName, DWORD /*desiredAccess*/, DWORD /*shareMode*/,
                                     LPSECURITY_ATTRIBUTES /*attributes*/, DWORD creationDisposition,
                                     DWORD /*flagsAndAttributes*/, HANDLE /*templateFile*/) {
  if (!fileName || creationDisposition != OPEN_EXISTING) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  uint32_t error = 0;
  std::optional<sim::DeviceFile> file = sim::DeviceFile::Open(fileName, error);
  if (!file) {
    SetLastError(error);
    return INVALID_HANDLE_VALUE;
  }
  return platform::AddKernelObject(std::make_shared<DeviceFileObject>(std::move(*file)));
}

extern "C" BOOL WINAPI DeviceIoControl(HANDLE device, DWORD ioControlCode, LPVOID inBuffer, DWORD inBufferSize,
                                       LPVOID outBuffer, DWORD outBufferSize, LPDWORD bytesReturned,
                                       LPOVERLAPPED overlapped) {
  const std::shared_ptr<DeviceFileObject> object = platform::FindKernelObjectOf<DeviceFileObject>(device);
  if (!object) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  // Calls are synchronous; a synchronous call must say where the count goes.
  if (overlapped || !bytesReturned || (!inBuffer && inBufferSize) || (!outBuffer && outBufferSize)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  uint32_t returned = 0;
  const uint32_t error = object->file.Control(ioControlCode, BufferOf<const uint8_t>(inBuffer, inBufferSize),
                                              BufferOf<uint8_t>(outBuffer, outBufferSize), returned);
  *bytesReturned = returned;
  if (error != sim::kDriverOk) {
    SetLastError(error);
    return FALSE;
  }
  return TRUE;
}
