// Named cross-process locks.
#include "device/locks.h"

#include <cstdio>
#include <cstring>

Mutex::Mutex(const char* name, BOOL initialOwner, LPSECURITY_ATTRIBUTES attributes) {
  handle_ = OpenMutexA(SYNCHRONIZE, FALSE, name);
  if (!handle_) handle_ = CreateMutexA(attributes, initialOwner, name);
}

Mutex::~Mutex() {
  Release();
  if (handle_) CloseHandle(handle_);
}

bool Mutex::Acquire(DWORD milliseconds) {
  if (!handle_) return false;
  const DWORD result = WaitForSingleObject(handle_, milliseconds);
  return result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
}

bool Mutex::Release() { return !handle_ || ReleaseMutex(handle_) != FALSE; }

UnitLocker::UnitLocker(const char* stem, uint16_t index) {
  std::memset(name_, 0, sizeof name_);
  // A stem too long for the name gets no lock at all: a cut name could alias
  // the lock of another reader.
  if (!stem) return;
  const int length = std::snprintf(name_, sizeof name_, "%s%s%x", stem, "UNITLOCKER", static_cast<unsigned>(index));
  if (length < 0 || length >= kNameSize) {
    std::memset(name_, 0, sizeof name_);
    return;
  }
  mutex_ = new Mutex(name_, FALSE, nullptr);
}

UnitLocker::~UnitLocker() { delete mutex_; }

bool UnitLocker::Acquire() { return mutex_ && mutex_->Acquire(kAcquireTimeoutMs); }

bool UnitLocker::Release() {
  if (mutex_) mutex_->Release();
  return true;
}
