#include "platform/shared_mutex_block.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace platform {
namespace {

SharedMutexBlock* Map(int fd) {
  void* memory = mmap(nullptr, sizeof(SharedMutexBlock), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
  return memory == MAP_FAILED ? nullptr : static_cast<SharedMutexBlock*>(memory);
}

void Unmap(SharedMutexBlock* block) { munmap(block, sizeof(SharedMutexBlock)); }

int InitializeMutex(pthread_mutex_t& mutex) {
  pthread_mutexattr_t attributes;
  int error = pthread_mutexattr_init(&attributes);
  if (error) return error;
  error = pthread_mutexattr_setpshared(&attributes, PTHREAD_PROCESS_SHARED);
  if (!error) error = pthread_mutexattr_setrobust(&attributes, PTHREAD_MUTEX_ROBUST);
  if (!error) error = pthread_mutexattr_settype(&attributes, PTHREAD_MUTEX_RECURSIVE);
  if (!error) error = pthread_mutex_init(&mutex, &attributes);
  pthread_mutexattr_destroy(&attributes);
  return error;
}

// Adds this process to the count unless the object is already being removed.
bool JoinMappings(SharedMutexBlock& block) {
  uint32_t count = block.mappings.load();
  while (count != 0) {
    if (block.mappings.compare_exchange_weak(count, count + 1)) return true;
  }
  return false;
}

}  // namespace

SharedMutexBlock* CreateSharedMutexBlock(const std::string& shmName, bool initialOwner, int& error) {
  const int fd = shm_open(shmName.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) {
    error = errno;
    return nullptr;
  }
  SharedMutexBlock* block = nullptr;
  if (ftruncate(fd, sizeof(SharedMutexBlock)) == 0) block = Map(fd);
  error = block ? 0 : errno;
  close(fd);
  // A fresh object is zero-filled, so `initialized` reads 0 to anyone who
  // attaches before the mutex is ready.
  if (block) error = InitializeMutex(block->mutex);
  // Nobody else can see the mutex yet, so taking it cannot block.
  if (block && !error && initialOwner) error = pthread_mutex_trylock(&block->mutex);
  if (error) {
    if (block) Unmap(block);
    shm_unlink(shmName.c_str());
    return nullptr;
  }
  block->mappings.store(1);
  block->initialized.store(1, std::memory_order_release);
  return block;
}

SharedMutexBlock* AttachSharedMutexBlock(const std::string& shmName, int& error) {
  const int fd = shm_open(shmName.c_str(), O_RDWR | O_CLOEXEC, 0);
  if (fd < 0) {
    error = errno;
    return nullptr;
  }
  struct stat status {};
  SharedMutexBlock* block = nullptr;
  error = EAGAIN;  // the creator has not sized it yet
  if (fstat(fd, &status) != 0) {
    error = errno;
  } else if (static_cast<size_t>(status.st_size) >= sizeof(SharedMutexBlock)) {
    block = Map(fd);
    if (!block) error = errno;
  }
  close(fd);
  if (!block) return nullptr;
  if (block->initialized.load(std::memory_order_acquire) == 0 || !JoinMappings(*block)) {
    Unmap(block);
    error = EAGAIN;
    return nullptr;
  }
  error = 0;
  return block;
}

void DetachSharedMutexBlock(const std::string& shmName, SharedMutexBlock* block) {
  // Once the count is zero nobody can join any more (see JoinMappings), and
  // nobody can create the name anew until it is unlinked here.
  if (block->mappings.fetch_sub(1) == 1) shm_unlink(shmName.c_str());
  Unmap(block);
}

}  // namespace platform
