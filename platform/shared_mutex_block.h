// A robust, recursive, process-shared mutex in a POSIX shared-memory object.
//
// Lifetime: `mappings` counts the processes that have the object mapped. The
// process that brings it to zero unlinks the name, so objects do not pile up
// in /dev/shm. A process that dies while mapping it never decrements the
// count, and the object then stays until the machine restarts; it still works
// as a mutex, only its memory is not reclaimed.
#pragma once

#include <pthread.h>

#include <atomic>
#include <cstdint>
#include <string>

namespace platform {

struct SharedMutexBlock {
  std::atomic<uint32_t> initialized;  // set once by the creator, after `mutex` is ready
  std::atomic<uint32_t> mappings;     // processes that map the object; 0 = being removed
  pthread_mutex_t mutex;
};
static_assert(std::atomic<uint32_t>::is_always_lock_free, "the flags are shared between processes");

// Creates and maps a new object, owned by the calling thread when `initialOwner`.
// Null with `error` = EEXIST when the name is taken, or another errno value.
SharedMutexBlock* CreateSharedMutexBlock(const std::string& shmName, bool initialOwner, int& error);

// Maps an existing object. Null with `error` = ENOENT when there is none, EAGAIN
// when it is not initialized yet or is being removed (worth retrying), or another
// errno value.
SharedMutexBlock* AttachSharedMutexBlock(const std::string& shmName, int& error);

// Unmaps the object; the last process to do so unlinks its name.
void DetachSharedMutexBlock(const std::string& shmName, SharedMutexBlock* block);

}  // namespace platform
