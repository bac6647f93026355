// Named mutexes: OpenMutexA, CreateMutexA, WaitForSingleObject, ReleaseMutex.
//
// A named mutex lives in POSIX shared memory (shared_mutex_block.h), named
// after the simulated workstation's root so that separate machines never meet.
// Each process maps an object once, however many handles it opens: a robust
// mutex must be locked and unlocked at one address, because the owning
// thread's robust list links it by address.
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "platform/kernel_object.h"
#include "simulator/machine/root.h"
#include "platform/shared_mutex_block.h"
#include "platform/shared_object_name.h"

namespace platform {
namespace {

// This process's mapping of one named mutex.
struct Mapping {
  std::string shmName;
  SharedMutexBlock* block = nullptr;
  int handles = 0;  // open handles in this process; guarded by mappingsLock
  // The thread of this process that holds the mutex (0 for none) and how
  // often. While it is held the mapping stays, even without handles: the
  // owner's robust list still points into it.
  std::atomic<pid_t> owner{0};
  std::atomic<int> heldDepth{0};
};

std::mutex mappingsLock;
std::map<std::string, std::unique_ptr<Mapping>> mappings;

// How long to wait for another process to finish creating or removing an object.
constexpr auto kSettleTimeout = std::chrono::seconds(2);

class NamedMutex final : public KernelObject {
 public:
  explicit NamedMutex(Mapping* mapping) : mapping_(mapping) {}
  ~NamedMutex() override;
  NamedMutex(const NamedMutex&) = delete;
  NamedMutex& operator=(const NamedMutex&) = delete;

  DWORD Wait(DWORD milliseconds);
  BOOL Release();

 private:
  Mapping* mapping_;
};

NamedMutex::~NamedMutex() {
  std::lock_guard guard(mappingsLock);
  if (--mapping_->handles > 0 || mapping_->heldDepth.load() > 0) return;
  DetachSharedMutexBlock(mapping_->shmName, mapping_->block);
  mappings.erase(mapping_->shmName);
}

// The thread checker sees pthread_mutex_timedlock but not pthread_mutex_clocklock
// (it would then report the owner's unlock as wrong). Its builds wait on the
// realtime clock instead; every other build waits on the monotonic clock, which
// a change of the wall clock cannot stretch or cut short.
#if defined(__SANITIZE_THREAD__)
#define TOLVANE_THREAD_CHECKER 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define TOLVANE_THREAD_CHECKER 1
#endif
#endif

int TimedLock(pthread_mutex_t& mutex, DWORD milliseconds) {
  if (milliseconds == INFINITE) return pthread_mutex_lock(&mutex);
  // A free or abandoned mutex is taken without a deadline (this is also the
  // path on which the thread checker follows an abandoned mutex).
  const int tried = pthread_mutex_trylock(&mutex);
  if (tried != EBUSY || milliseconds == 0) return tried;
#ifdef TOLVANE_THREAD_CHECKER
  constexpr clockid_t kClock = CLOCK_REALTIME;
#else
  constexpr clockid_t kClock = CLOCK_MONOTONIC;
#endif
  timespec deadline{};
  clock_gettime(kClock, &deadline);
  deadline.tv_sec += milliseconds / 1000;
  deadline.tv_nsec += static_cast<long>(milliseconds % 1000) * 1000000L;
  if (deadline.tv_nsec >= 1000000000L) {
    deadline.tv_sec += 1;
    deadline.tv_nsec -= 1000000000L;
  }
#ifdef TOLVANE_THREAD_CHECKER
  return pthread_mutex_timedlock(&mutex, &deadline);
#else
  return pthread_mutex_clocklock(&mutex, kClock, &deadline);
#endif
}

DWORD NamedMutex::Wait(DWORD milliseconds) {
  pthread_mutex_t& mutex = mapping_->block->mutex;
  switch (TimedLock(mutex, milliseconds)) {
    case 0:
      mapping_->owner.store(gettid());
      ++mapping_->heldDepth;
      return WAIT_OBJECT_0;
    case EOWNERDEAD:
      // The owner died holding it, however deep: now it is held once.
      pthread_mutex_consistent(&mutex);
      mapping_->owner.store(gettid());
      mapping_->heldDepth.store(1);
      return WAIT_ABANDONED;
    case ETIMEDOUT:
    case EBUSY:
      return WAIT_TIMEOUT;
    default:
      SetLastError(ERROR_INVALID_HANDLE);
      return WAIT_FAILED;
  }
}

BOOL NamedMutex::Release() {
  // A thread that does not own it is turned away before it touches the lock,
  // so unlocking is only ever asked of the owner.
  if (mapping_->owner.load() != gettid() || pthread_mutex_unlock(&mapping_->block->mutex) != 0) {
    SetLastError(ERROR_NOT_OWNER);
    return FALSE;
  }
  if (--mapping_->heldDepth == 0) mapping_->owner.store(0);
  return TRUE;
}

DWORD ErrorFromErrno(int error) {
  switch (error) {
    case ENOENT:
      return ERROR_FILE_NOT_FOUND;
    case ENOMEM:
    case ENOSPC:
    case EMFILE:
    case ENFILE:
      return ERROR_NOT_ENOUGH_MEMORY;
    case EACCES:
      return ERROR_ACCESS_DENIED;
    default:
      return ERROR_INVALID_HANDLE;
  }
}

// Maps the named mutex, creating it when `create` and it does not exist.
// Null with the Windows error set on failure. `existed` tells whether it was
// there already. Called under mappingsLock.
Mapping* MapNamedMutex(const char* name, bool create, bool initialOwner, bool& existed) {
  if (!name || !*name) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  const std::string shmName = SharedObjectName(sim::MachineRoot().string(), name);
  if (auto it = mappings.find(shmName); it != mappings.end()) {
    existed = true;
    return it->second.get();
  }
  const auto deadline = std::chrono::steady_clock::now() + kSettleTimeout;
  SharedMutexBlock* block = nullptr;
  int error = 0;
  for (;;) {
    existed = false;
    if (create) block = CreateSharedMutexBlock(shmName, initialOwner, error);
    if (block || (create && error != EEXIST)) break;
    existed = true;
    block = AttachSharedMutexBlock(shmName, error);
    if (block) break;
    // Removed between the two calls: create it after all.
    if (create && error == ENOENT) continue;
    if (error != EAGAIN || std::chrono::steady_clock::now() >= deadline) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  if (!block) {
    SetLastError(ErrorFromErrno(error));
    return nullptr;
  }
  auto mapping = std::make_unique<Mapping>();
  mapping->shmName = shmName;
  mapping->block = block;
  if (!existed && initialOwner) {
    mapping->owner.store(gettid());
    mapping->heldDepth.store(1);
  }
  return mappings.emplace(shmName, std::move(mapping)).first->second.get();
}

HANDLE OpenHandle(const char* name, bool create, bool initialOwner) {
  std::lock_guard guard(mappingsLock);
  bool existed = false;
  Mapping* mapping = MapNamedMutex(name, create, initialOwner, existed);
  if (!mapping) return nullptr;
  ++mapping->handles;
  HANDLE handle = AddKernelObject(std::make_shared<NamedMutex>(mapping));
  SetLastError(existed && create ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
  return handle;
}

}  // namespace
}  // namespace platform

// Access rights are not enforced: every handle may wait and release.
extern "C" HANDLE WINAPI OpenMutexA(DWORD, BOOL, LPCSTR name) {
  return platform::OpenHandle(name, false, false);
}

// Security attributes are not enforced. As on Windows, `initialOwner` only
// counts when the call creates the mutex.
extern "C" HANDLE WINAPI CreateMutexA(LPSECURITY_ATTRIBUTES, BOOL initialOwner, LPCSTR name) {
  return platform::OpenHandle(name, true, initialOwner != FALSE);
}

extern "C" DWORD WINAPI WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
  auto mutex = platform::FindKernelObjectOf<platform::NamedMutex>(handle);
  if (!mutex) {
    SetLastError(ERROR_INVALID_HANDLE);
    return WAIT_FAILED;
  }
  return mutex->Wait(milliseconds);
}

extern "C" BOOL WINAPI ReleaseMutex(HANDLE handle) {
  auto mutex = platform::FindKernelObjectOf<platform::NamedMutex>(handle);
  if (!mutex) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return mutex->Release();
}
