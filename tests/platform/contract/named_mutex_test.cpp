// Named mutexes as the program's locks use them, across threads and processes.
#include <gtest/gtest.h>

#include <thread>

#include "platform/win32.h"
#include "tests/platform/contract/lock_holder.h"
#include "tests/platform/scoped_machine_root.h"

namespace {

class NamedMutexTest : public testing::Test {
 protected:
  ScopedMachineRoot root_;
  const char* name_ = "TolvaneContractMutex";
};

// Runs `body` on another thread and waits for it.
template <typename Body>
void OnOtherThread(Body body) {
  std::thread(body).join();
}

TEST_F(NamedMutexTest, OpenFindsOnlyWhatWasCreatedAndLastCloseRemovesIt) {
  SetLastError(ERROR_SUCCESS);
  EXPECT_EQ(OpenMutexA(SYNCHRONIZE, FALSE, name_), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);

  HANDLE created = CreateMutexA(nullptr, FALSE, name_);
  ASSERT_NE(created, nullptr);
  EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
  HANDLE again = CreateMutexA(nullptr, FALSE, name_);
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
  HANDLE opened = OpenMutexA(SYNCHRONIZE, FALSE, name_);
  ASSERT_NE(opened, nullptr);
  // Names are case-sensitive.
  EXPECT_EQ(OpenMutexA(SYNCHRONIZE, FALSE, "tolvanecontractmutex"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);

  EXPECT_TRUE(CloseHandle(created));
  EXPECT_TRUE(CloseHandle(again));
  EXPECT_TRUE(CloseHandle(opened));
  EXPECT_FALSE(CloseHandle(opened));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_EQ(OpenMutexA(SYNCHRONIZE, FALSE, name_), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

TEST_F(NamedMutexTest, RecursesOnTheOwnerAndOnlyTheOwnerReleases) {
  HANDLE mutex = CreateMutexA(nullptr, FALSE, name_);
  ASSERT_NE(mutex, nullptr);
  EXPECT_EQ(WaitForSingleObject(mutex, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(mutex, INFINITE), WAIT_OBJECT_0);
  OnOtherThread([&] {
    EXPECT_FALSE(ReleaseMutex(mutex));
    EXPECT_EQ(GetLastError(), ERROR_NOT_OWNER);
    EXPECT_EQ(WaitForSingleObject(mutex, 0), WAIT_TIMEOUT);
  });
  EXPECT_TRUE(ReleaseMutex(mutex));
  // Still held once: another thread still cannot have it.
  OnOtherThread([&] { EXPECT_EQ(WaitForSingleObject(mutex, 20), WAIT_TIMEOUT); });
  EXPECT_TRUE(ReleaseMutex(mutex));
  EXPECT_FALSE(ReleaseMutex(mutex));
  EXPECT_EQ(GetLastError(), ERROR_NOT_OWNER);
  OnOtherThread([&] {
    EXPECT_EQ(WaitForSingleObject(mutex, 0), WAIT_OBJECT_0);
    EXPECT_TRUE(ReleaseMutex(mutex));
  });
  EXPECT_TRUE(CloseHandle(mutex));
}

TEST_F(NamedMutexTest, HandlesOfOneNameShareOneMutex) {
  HANDLE first = CreateMutexA(nullptr, TRUE, name_);
  ASSERT_NE(first, nullptr);
  OnOtherThread([&] {
    HANDLE second = OpenMutexA(SYNCHRONIZE, FALSE, name_);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(WaitForSingleObject(second, 30), WAIT_TIMEOUT);
    // The mutex exists, so the initial-owner flag is ignored.
    HANDLE third = CreateMutexA(nullptr, TRUE, name_);
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_FALSE(ReleaseMutex(third));
    CloseHandle(third);
    CloseHandle(second);
  });
  // Released through another handle of the same name.
  HANDLE other = OpenMutexA(SYNCHRONIZE, FALSE, name_);
  EXPECT_TRUE(ReleaseMutex(other));
  CloseHandle(other);
  CloseHandle(first);
}

TEST_F(NamedMutexTest, AThreadThatEndsHoldingItLeavesItAbandoned) {
  HANDLE mutex = CreateMutexA(nullptr, FALSE, name_);
  ASSERT_NE(mutex, nullptr);
  OnOtherThread([&] {
    EXPECT_EQ(WaitForSingleObject(mutex, INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(mutex, INFINITE), WAIT_OBJECT_0);
  });
  EXPECT_EQ(WaitForSingleObject(mutex, 1000), WAIT_ABANDONED);
  // The abandoned depth does not carry over: one release frees it.
  EXPECT_TRUE(ReleaseMutex(mutex));
  OnOtherThread([&] {
    EXPECT_EQ(WaitForSingleObject(mutex, 0), WAIT_OBJECT_0);
    EXPECT_TRUE(ReleaseMutex(mutex));
  });
  CloseHandle(mutex);
}

TEST_F(NamedMutexTest, HeldByAnotherProcessTimesOutUntilReleased) {
  LockHolder holder(name_, LockHolder::Then::ReleaseWhenFinished);
  ASSERT_TRUE(holder.WaitHeld());
  HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, name_);
  ASSERT_NE(mutex, nullptr);
  EXPECT_EQ(WaitForSingleObject(mutex, 0), WAIT_TIMEOUT);
  EXPECT_EQ(WaitForSingleObject(mutex, 100), WAIT_TIMEOUT);
  holder.Finish();
  EXPECT_EQ(WaitForSingleObject(mutex, INFINITE), WAIT_OBJECT_0);
  EXPECT_TRUE(ReleaseMutex(mutex));
  CloseHandle(mutex);
  EXPECT_EQ(OpenMutexA(SYNCHRONIZE, FALSE, name_), nullptr);
}

TEST_F(NamedMutexTest, AProcessThatDiesHoldingItLeavesItAbandoned) {
  HANDLE mutex = CreateMutexA(nullptr, FALSE, name_);
  ASSERT_NE(mutex, nullptr);
  LockHolder holder(name_, LockHolder::Then::Die);
  ASSERT_TRUE(holder.WaitHeld());
  holder.Finish();
  EXPECT_EQ(WaitForSingleObject(mutex, 0), WAIT_ABANDONED);
  EXPECT_TRUE(ReleaseMutex(mutex));
  CloseHandle(mutex);
}

TEST_F(NamedMutexTest, RefusesHandlesThatAreNotMutexes) {
  HANDLE bogus = reinterpret_cast<HANDLE>(0x7777);
  EXPECT_EQ(WaitForSingleObject(bogus, 0), WAIT_FAILED);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_FALSE(ReleaseMutex(bogus));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

}  // namespace
