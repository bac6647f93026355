// Handles of kernel objects, and CloseHandle for all of them.
#include "platform/kernel_object.h"

#include <cstdint>
#include <mutex>
#include <unordered_map>
#include <utility>

namespace platform {
namespace {

std::mutex tableLock;
std::unordered_map<uintptr_t, std::shared_ptr<KernelObject>> table;
// Handles are never reused, so a stale handle cannot reach a newer object.
uintptr_t nextHandle = 0x1000;

}  // namespace

HANDLE AddKernelObject(std::shared_ptr<KernelObject> object) {
  std::lock_guard guard(tableLock);
  const uintptr_t handle = nextHandle;
  nextHandle += 4;
  table.emplace(handle, std::move(object));
  return reinterpret_cast<HANDLE>(handle);
}

std::shared_ptr<KernelObject> FindKernelObject(HANDLE handle) {
  std::lock_guard guard(tableLock);
  auto it = table.find(reinterpret_cast<uintptr_t>(handle));
  return it == table.end() ? nullptr : it->second;
}

}  // namespace platform

extern "C" BOOL WINAPI CloseHandle(HANDLE object) {
  std::shared_ptr<platform::KernelObject> closed;
  {
    std::lock_guard guard(platform::tableLock);
    auto it = platform::table.find(reinterpret_cast<uintptr_t>(object));
    if (it == platform::table.end()) {
      SetLastError(ERROR_INVALID_HANDLE);
      return FALSE;
    }
    closed = std::move(it->second);
    platform::table.erase(it);
  }
  // The object is destroyed here, outside the table's lock, unless a call on
  // another thread still uses it; then it goes when that call ends.
  return TRUE;
}
