// GetTickCount: milliseconds of the steady clock, wrapping at 32 bits as on Windows.
#include <chrono>

#include "platform/win32.h"

extern "C" DWORD WINAPI GetTickCount() {
  const auto since = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<DWORD>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}
