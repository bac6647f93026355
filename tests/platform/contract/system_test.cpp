// The system facts and calls the program makes outside its readers: tick
// counts, the system's version and bitness, and a device path with no device.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <type_traits>

#include "platform/win32.h"
#include "tests/platform/scoped_machine_root.h"

namespace {

TEST(TickCount, IsAThirtyTwoBitMillisecondCountWhoseDifferencesSurviveTheWrap) {
  static_assert(std::is_same_v<decltype(GetTickCount()), DWORD> && sizeof(DWORD) == 4);
  const DWORD before = GetTickCount();
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  // Windows advances the count in steps of up to 16 ms.
  EXPECT_GE(static_cast<DWORD>(GetTickCount() - before), 34u);
  // Capture times are differences of two counts, right across the wrap at 2^32 ms.
  const DWORD beforeWrap = 0xFFFFFFF0u;
  const DWORD afterWrap = 0x00000010u;
  EXPECT_EQ(static_cast<DWORD>(afterWrap - beforeWrap), 0x20u);
}

TEST(SystemFacts, Kernel32AnswersIsWow64ProcessAndGetVersionEx) {
  ScopedMachineRoot root;
  HMODULE kernel = GetModuleHandleA("kernel32");
  ASSERT_NE(kernel, nullptr);
  using IsWow64ProcessFunction = BOOL(WINAPI*)(HANDLE, PBOOL);
  const auto isWow64Process =
      reinterpret_cast<IsWow64ProcessFunction>(reinterpret_cast<void (*)()>(GetProcAddress(kernel, "IsWow64Process")));
  ASSERT_NE(isWow64Process, nullptr);
  BOOL wow64 = 2;
  EXPECT_TRUE(isWow64Process(GetCurrentProcess(), &wow64));
  EXPECT_TRUE(wow64 == FALSE || wow64 == TRUE);

  static_assert(sizeof(OSVERSIONINFOA) == 148);
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
  ASSERT_TRUE(GetVersionExA(&version));
  EXPECT_EQ(version.dwOSVersionInfoSize, 148u);
  EXPECT_EQ(version.dwPlatformId, static_cast<DWORD>(VER_PLATFORM_WIN32_NT));
  EXPECT_GE(version.dwMajorVersion, 5u);
  // A record of any other size is refused.
  version.dwOSVersionInfoSize = 100;
  EXPECT_FALSE(GetVersionExA(&version));
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
}

TEST(DevicePaths, OneWithNoDeviceDoesNotOpen) {
  ScopedMachineRoot root;
  SetLastError(ERROR_SUCCESS);
  EXPECT_EQ(CreateFileA("\\\\.\\TOLVANE_NO_SUCH_DEVICE-0", FILE_READ_DATA, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                        0, nullptr),
            INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

}  // namespace
