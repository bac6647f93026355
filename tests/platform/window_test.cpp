#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

#include "platform/window_host.h"

namespace {

struct Delivered {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  std::vector<uint8_t> record;  // copy of what lParam pointed at, for records
};

class RecordingClient : public platform::WindowClient {
 public:
  void MessagesPosted() override { ++posted; }
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    Delivered entry{message, wParam, lParam, {}};
    if (recordSize > 0) {
      const auto* bytes = reinterpret_cast<const uint8_t*>(lParam);
      entry.record.assign(bytes, bytes + recordSize);
    }
    delivered.push_back(std::move(entry));
    return 0;
  }
  void SurfaceChanged() override {}

  std::atomic<int> posted{0};
  size_t recordSize = 0;
  std::vector<Delivered> delivered;
};

class WindowTest : public testing::Test {
 protected:
  ~WindowTest() override { platform::UnregisterWindow(window_); }
  RecordingClient client_;
  HWND window_ = platform::RegisterWindow(&client_, 4, 3);
};

TEST_F(WindowTest, DeliversPostedMessagesInOrderOnDispatch) {
  for (UINT i = 0; i < 5; ++i) ASSERT_TRUE(PostMessageA(window_, WM_APP + i, i, -static_cast<LPARAM>(i)));
  EXPECT_EQ(client_.posted, 5);
  EXPECT_TRUE(client_.delivered.empty());
  EXPECT_EQ(platform::DispatchPostedMessages(window_), 5);
  ASSERT_EQ(client_.delivered.size(), 5u);
  for (UINT i = 0; i < 5; ++i) {
    EXPECT_EQ(client_.delivered[i].message, WM_APP + i);
    EXPECT_EQ(client_.delivered[i].wParam, i);
    EXPECT_EQ(client_.delivered[i].lParam, -static_cast<LPARAM>(i));
  }
  EXPECT_EQ(platform::DispatchPostedMessages(window_), 0);
}

TEST_F(WindowTest, KeepsEachThreadsPostsInOrder) {
  constexpr int kThreads = 4;
  constexpr int kPosts = 200;
  std::vector<std::thread> posters;
  for (int thread = 0; thread < kThreads; ++thread) {
    posters.emplace_back([this, thread] {
      for (int post = 0; post < kPosts; ++post) PostMessageA(window_, WM_APP + thread, post, 0);
    });
  }
  for (std::thread& poster : posters) poster.join();
  EXPECT_EQ(platform::DispatchPostedMessages(window_), kThreads * kPosts);
  std::vector<WPARAM> next(kThreads, 0);
  for (const Delivered& entry : client_.delivered) EXPECT_EQ(entry.wParam, next[entry.message - WM_APP]++);
}

TEST_F(WindowTest, ARecordLivesUntilTheWindowProcReturns) {
  const std::vector<uint8_t> record = {1, 2, 3, 4, 5, 6, 7, 8};
  client_.recordSize = record.size();
  ASSERT_TRUE(platform::PostMessageWithRecord(window_, WM_DEVICECHANGE, DBT_DEVICEARRIVAL, record));
  ASSERT_TRUE(platform::PostMessageWithRecord(window_, WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE, {9, 9, 9, 9, 9, 9, 9, 9}));
  EXPECT_EQ(platform::DispatchPostedMessages(window_), 2);
  ASSERT_EQ(client_.delivered.size(), 2u);
  EXPECT_EQ(client_.delivered[0].record, record);
  EXPECT_EQ(client_.delivered[1].record, std::vector<uint8_t>(8, 9));
}

TEST_F(WindowTest, UnregisteringDropsPendingMessagesAndRefusesNewOnes) {
  ASSERT_TRUE(platform::PostMessageWithRecord(window_, WM_DEVICECHANGE, DBT_DEVICEARRIVAL, std::vector<uint8_t>(64, 1)));
  ASSERT_TRUE(PostMessageA(window_, WM_APP, 0, 0));
  platform::UnregisterWindow(window_);
  EXPECT_FALSE(platform::IsWindowRegistered(window_));
  EXPECT_EQ(platform::DispatchPostedMessages(window_), 0);
  EXPECT_TRUE(client_.delivered.empty());
  SetLastError(ERROR_SUCCESS);
  EXPECT_FALSE(PostMessageA(window_, WM_APP, 0, 0));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_FALSE(platform::PostMessageWithRecord(window_, WM_APP, 0, {1}));
  EXPECT_FALSE(PostMessageA(nullptr, WM_APP, 0, 0));
}

TEST_F(WindowTest, ResizingKeepsWhatFitsAndSurvivesEmptySurfaces) {
  platform::WithSurface(window_, [](platform::Surface& surface) { surface.pixels[0] = 0xFF000000u; });
  platform::ResizeSurface(window_, 0, 3);
  platform::ResizeSurface(window_, 2, 2);
  platform::ResizeSurface(window_, 0, 0);
  platform::ResizeSurface(window_, 2, 1);
  platform::WithSurface(window_, [](platform::Surface& surface) {
    EXPECT_EQ(surface.width, 2);
    EXPECT_EQ(surface.height, 1);
    EXPECT_EQ(surface.pixels, std::vector<uint32_t>(2, 0xFFFFFFFFu));
    surface.pixels[0] = 0xFF000000u;
  });
  platform::ResizeSurface(window_, 3, 2);
  platform::WithSurface(window_, [](platform::Surface& surface) {
    EXPECT_EQ(surface.pixels[0], 0xFF000000u);
    EXPECT_EQ(surface.pixels[1], 0xFFFFFFFFu);
    EXPECT_EQ(surface.pixels.size(), 6u);
  });
}

}  // namespace
