// Named cross-process locks that guard readers: the window's own lock and one
// per framework-served reader.
#pragma once

#include <cstdint>

#include "platform/win32.h"

// One handle of a named system mutex.
class Mutex {
 public:
  // Opens the mutex of that name, or creates it when none exists.
  Mutex(const char* name, BOOL initialOwner, LPSECURITY_ATTRIBUTES attributes);
  ~Mutex();
  Mutex(const Mutex&) = delete;
  Mutex& operator=(const Mutex&) = delete;

  // True on a normal or an abandoned-owner wake; false on timeout, failure or no handle.
  bool Acquire(DWORD milliseconds);
  // True when there is no handle, else the result of releasing the mutex.
  bool Release();

 private:
  HANDLE handle_ = nullptr;
};

// A Mutex named stem + "UNITLOCKER" + index in lower-case hexadecimal.
class UnitLocker {
 public:
  static constexpr DWORD kAcquireTimeoutMs = 300;
  static constexpr int kNameSize = 256;

  UnitLocker(const char* stem, uint16_t index);
  ~UnitLocker();
  UnitLocker(const UnitLocker&) = delete;
  UnitLocker& operator=(const UnitLocker&) = delete;

  bool Acquire();  // waits at most 300 ms
  bool Release();  // always true
  const char* Name() const { return name_; }

 private:
  char name_[kNameSize];
  Mutex* mutex_ = nullptr;
};
