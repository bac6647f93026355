#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "device/locks.h"
#include "tests/platform/contract/lock_holder.h"
#include "tests/platform/scoped_machine_root.h"

namespace {

class LocksTest : public testing::Test {
 protected:
  ScopedMachineRoot root_;
};

TEST_F(LocksTest, UnitLockerNamesStemTextAndHexIndex) {
  EXPECT_STREQ(UnitLocker("qvdx_exe", 0).Name(), "qvdx_exeUNITLOCKER0");
  EXPECT_STREQ(UnitLocker("qvdx_exe", 10).Name(), "qvdx_exeUNITLOCKERa");
  EXPECT_STREQ(UnitLocker("__TOLVANE_HMX05_SYNC_OBJ__", 0xFFFF).Name(), "__TOLVANE_HMX05_SYNC_OBJ__UNITLOCKERffff");
}

TEST_F(LocksTest, UnitLockerWithANameThatCannotFitHasNoLock) {
  // 241 + "UNITLOCKER" + "ffff" + terminator = 256 fits; one more character does not.
  const std::string fits(241, 's');
  UnitLocker longest(fits.c_str(), 0xFFFF);
  EXPECT_EQ(std::string(longest.Name()), fits + "UNITLOCKERffff");
  EXPECT_TRUE(longest.Acquire());
  EXPECT_TRUE(longest.Release());

  const std::string tooLong(242, 's');
  UnitLocker refused(tooLong.c_str(), 0xFFFF);
  EXPECT_STREQ(refused.Name(), "");
  EXPECT_FALSE(refused.Acquire());
  EXPECT_TRUE(refused.Release());
  UnitLocker noStem(nullptr, 0);
  EXPECT_FALSE(noStem.Acquire());
}

TEST_F(LocksTest, MutexRecursesOnItsThreadAndTimesOutOnAnother) {
  Mutex first("recursion", FALSE, nullptr);
  Mutex second("recursion", FALSE, nullptr);
  ASSERT_TRUE(first.Acquire(0));
  ASSERT_TRUE(second.Acquire(0));
  std::thread([&] { EXPECT_FALSE(second.Acquire(50)); }).join();
  EXPECT_TRUE(first.Release());
  std::thread([&] { EXPECT_FALSE(second.Acquire(0)); }).join();
  EXPECT_TRUE(first.Release());
  EXPECT_FALSE(first.Release());
  std::thread([&] {
    EXPECT_TRUE(second.Acquire(0));
    EXPECT_TRUE(second.Release());
  }).join();
}

TEST_F(LocksTest, MutexCreatedInitiallyOwnedAndReleasedByItsDestruction) {
  auto owner = std::make_unique<Mutex>("owned", TRUE, nullptr);
  HANDLE observer = OpenMutexA(SYNCHRONIZE, FALSE, "owned");
  ASSERT_NE(observer, nullptr);
  std::thread([&] { EXPECT_EQ(WaitForSingleObject(observer, 0), WAIT_TIMEOUT); }).join();
  owner.reset();
  // Released, not abandoned.
  std::thread([&] {
    EXPECT_EQ(WaitForSingleObject(observer, 0), WAIT_OBJECT_0);
    ReleaseMutex(observer);
  }).join();
  CloseHandle(observer);
}

TEST_F(LocksTest, LockHeldByAnotherProcessFailsAfterTheWait) {
  LockHolder holder("qvdx_exeUNITLOCKER0", LockHolder::Then::ReleaseWhenFinished);
  ASSERT_TRUE(holder.WaitHeld());

  UnitLocker locker("qvdx_exe", 0);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(locker.Acquire());
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(250));

  holder.Finish();
  EXPECT_TRUE(locker.Acquire());
  EXPECT_TRUE(locker.Release());
}

TEST_F(LocksTest, LockOfAHolderThatDiedIsAcquirable) {
  UnitLocker locker("__TOLVANE_HMX05_SYNC_OBJ__", 1);
  LockHolder holder(locker.Name(), LockHolder::Then::Die);
  ASSERT_TRUE(holder.WaitHeld());
  holder.Finish();
  EXPECT_TRUE(locker.Acquire());
  EXPECT_TRUE(locker.Release());
}

}  // namespace
