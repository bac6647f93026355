#include <gtest/gtest.h>

#include <set>

#include "platform/kernel_object.h"

namespace {

class CountedObject : public platform::KernelObject {
 public:
  explicit CountedObject(int& alive) : alive_(alive) { ++alive_; }
  ~CountedObject() override { --alive_; }

 private:
  int& alive_;
};

class OtherObject : public platform::KernelObject {};

TEST(KernelObjectTable, HandsOutDistinctHandlesAndClosesEachOnce) {
  int alive = 0;
  std::set<HANDLE> handles;
  for (int i = 0; i < 3; ++i) handles.insert(platform::AddKernelObject(std::make_shared<CountedObject>(alive)));
  EXPECT_EQ(handles.size(), 3u);
  EXPECT_EQ(handles.count(nullptr), 0u);
  EXPECT_EQ(handles.count(INVALID_HANDLE_VALUE), 0u);
  EXPECT_EQ(alive, 3);
  for (HANDLE handle : handles) {
    EXPECT_TRUE(CloseHandle(handle));
    SetLastError(ERROR_SUCCESS);
    EXPECT_FALSE(CloseHandle(handle));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  }
  EXPECT_EQ(alive, 0);
  EXPECT_FALSE(CloseHandle(nullptr));
  EXPECT_FALSE(CloseHandle(INVALID_HANDLE_VALUE));
}

TEST(KernelObjectTable, AnObjectInUseOutlivesItsClosedHandle) {
  int alive = 0;
  HANDLE handle = platform::AddKernelObject(std::make_shared<CountedObject>(alive));
  auto inUse = platform::FindKernelObjectOf<CountedObject>(handle);
  ASSERT_NE(inUse, nullptr);
  EXPECT_EQ(platform::FindKernelObjectOf<OtherObject>(handle), nullptr);
  EXPECT_TRUE(CloseHandle(handle));
  EXPECT_EQ(platform::FindKernelObject(handle), nullptr);
  EXPECT_EQ(alive, 1);
  inUse.reset();
  EXPECT_EQ(alive, 0);
}

}  // namespace
