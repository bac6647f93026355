// The calling thread's last error, as GetLastError reports it.
#include "platform/win32.h"

namespace {
thread_local DWORD lastError = ERROR_SUCCESS;
}

extern "C" DWORD WINAPI GetLastError() { return lastError; }
extern "C" void WINAPI SetLastError(DWORD error) { lastError = error; }
