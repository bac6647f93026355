// A second process for the named-mutex tests: takes the named mutex (creating
// it when it does not exist), writes '1' to its output when it holds it, '0'
// when it could not within 10 s, and then
//   lock_holder NAME        waits until its input ends, releases it and ends;
//   lock_holder NAME die    ends at once, still holding it.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/win32.h"

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  HANDLE mutex = CreateMutexA(nullptr, FALSE, argv[1]);
  constexpr DWORD kWaitMs = 10000;  // a lock that stays held elsewhere fails the test, not hangs it
  const bool held = mutex != nullptr && WaitForSingleObject(mutex, kWaitMs) == WAIT_OBJECT_0;
  std::fputc(held ? '1' : '0', stdout);
  std::fflush(stdout);
  if (argc > 2 && std::strcmp(argv[2], "die") == 0) std::_Exit(0);
  while (std::fgetc(stdin) != EOF) {
  }
  if (held) ReleaseMutex(mutex);
  if (mutex != nullptr) CloseHandle(mutex);
  return 0;
}
