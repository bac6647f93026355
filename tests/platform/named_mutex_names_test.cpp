// What the stand-in does with mutex names beyond the common contract: each
// machine root has names of its own, and only named mutexes exist.
#include <gtest/gtest.h>

#include <thread>

#include "platform/win32.h"
#include "tests/platform/scoped_machine_root.h"

namespace {

constexpr const char* kName = "Test/Mutex\\Name";

TEST(NamedMutexNames, EachMachineRootHasItsOwnNames) {
  ScopedMachineRoot root;
  HANDLE first = CreateMutexA(nullptr, TRUE, kName);
  ASSERT_NE(first, nullptr);
  {
    ScopedMachineRoot otherMachine;
    EXPECT_EQ(OpenMutexA(SYNCHRONIZE, FALSE, kName), nullptr);
    HANDLE second = CreateMutexA(nullptr, FALSE, kName);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    std::thread([&] {
      EXPECT_EQ(WaitForSingleObject(second, 0), WAIT_OBJECT_0);
      EXPECT_TRUE(ReleaseMutex(second));
    }).join();
    CloseHandle(second);
  }
  root.MakeCurrent();
  HANDLE again = OpenMutexA(SYNCHRONIZE, FALSE, kName);
  EXPECT_NE(again, nullptr);
  CloseHandle(again);
  ReleaseMutex(first);
  CloseHandle(first);
}

// Windows makes an unnamed mutex of these; the program names every lock it takes.
TEST(NamedMutexNames, NoNameIsRefused) {
  ScopedMachineRoot root;
  EXPECT_EQ(CreateMutexA(nullptr, FALSE, nullptr), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(CreateMutexA(nullptr, FALSE, ""), nullptr);
}

}  // namespace
