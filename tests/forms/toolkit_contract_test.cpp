// What the forms rely on from any toolkit: events that follow every change of
// state, menu commands from the message loop, calls posted from other threads
// in order, the wait of a stop, and window messages reaching the form.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "forms/application.h"
#include "forms/form_window.h"

namespace {

using Clock = std::chrono::steady_clock;

// Handles what waits in the message loop until `done` or two seconds passed.
bool ProcessUntil(const std::function<bool()>& done) {
  const auto end = Clock::now() + std::chrono::seconds(2);
  while (!done() && Clock::now() < end) forms::Application::ProcessMessages(10);
  return done();
}

class ToolkitContractTest : public ::testing::Test {
 protected:
  std::unique_ptr<forms::TFormWindow> window_ = forms::CreateFormWindow(
      {.name = "Contract", .caption = "Contract", .kind = forms::FormKind::Main, .menuName = "Menu",
       .clientWidth = 200, .clientHeight = 100, .left = 0, .top = 0, .font = {"MS Sans Serif", -11}});
};

TEST_F(ToolkitContractTest, ACheckBoxActsOnEveryChangeOfStateAndOnlyThen) {
  forms::TCheckBox* box = window_->AddCheckBox(window_->Client(), "Box", "Box", {0, 0, 80, 18});
  int clicks = 0;
  box->OnClick = [&] { ++clicks; };
  box->SetChecked(true);   // by the program
  box->SetChecked(true);   // no change
  EXPECT_EQ(clicks, 1);
  box->Click();            // by the user
  EXPECT_FALSE(box->Checked());
  EXPECT_EQ(clicks, 2);
  box->SetEnabled(false);  // a disabled box takes no click
  box->Click();
  EXPECT_EQ(clicks, 2);
  EXPECT_FALSE(box->Checked());
}

TEST_F(ToolkitContractTest, AScrollBarActsOnEveryChangeOfPositionClampedToItsRange) {
  forms::TScrollBar* bar = window_->AddScrollBar(window_->Client(), "Bar", 9, 108, 58, {0, 0, 120, 16});
  std::vector<int> seen;
  bar->OnChange = [&] {
    seen.push_back(bar->Position());
    if (bar->Position() == 20) bar->SetPosition(30);  // a set inside its own action
  };
  bar->SetPosition(58);
  EXPECT_TRUE(seen.empty());
  bar->SetPosition(200);
  bar->SetPosition(0);
  bar->SetPosition(20);
  EXPECT_EQ(seen, (std::vector<int>{108, 9, 20, 30}));
  EXPECT_EQ(bar->Position(), 30);
}

TEST_F(ToolkitContractTest, MenuCommandsRunFromTheLoopAndOnlyTheProgramSetsCheckMarks) {
  forms::TMenuItem* menu = window_->AddMenu("Menu1", "Menu");
  forms::TMenuItem* check = window_->AddMenuItem(menu, "Check", "Check", {.checkable = true});
  forms::TMenuItem* first = window_->AddMenuItem(menu, "First", "First", {.checked = true, .radioGroup = 1});
  forms::TMenuItem* second = window_->AddMenuItem(menu, "Second", "Second", {.radioGroup = 1});
  forms::TMenuItem* off = window_->AddMenuItem(menu, "Off", "Off", {.enabled = false});
  int commands = 0;
  for (forms::TMenuItem* item : {check, off}) item->OnClick = [&] { ++commands; };

  check->Click();
  EXPECT_EQ(commands, 0) << "the command ran before the menu closed";
  ASSERT_TRUE(ProcessUntil([&] { return commands == 1; }));
  EXPECT_FALSE(check->Checked());
  off->Click();
  forms::Application::ProcessMessages(50);
  EXPECT_EQ(commands, 1);

  second->SetChecked(true);
  EXPECT_FALSE(first->Checked());
  EXPECT_TRUE(second->Checked());
}

TEST_F(ToolkitContractTest, CallsPostedFromAnotherThreadRunOnTheWindowThreadInOrder) {
  constexpr int kCalls = 200;
  std::vector<int> order;
  bool allOnWindowThread = true;
  std::thread poster([&] {
    for (int i = 0; i < kCalls; ++i) {
      window_->PostCall([&, i] {
        allOnWindowThread = allOnWindowThread && window_->IsWindowThread();
        order.push_back(i);
      });
    }
  });
  poster.join();
  ASSERT_TRUE(ProcessUntil([&] { return order.size() == kCalls; }));
  for (int i = 0; i < kCalls; ++i) ASSERT_EQ(order[static_cast<size_t>(i)], i);
  EXPECT_TRUE(allOnWindowThread);
}

// The stop's wait: posted calls, timers and messages go on while it waits.
TEST_F(ToolkitContractTest, TheWaitOfAStopKeepsCallsTimersAndMessagesRunning) {
  forms::TTimer* timer = window_->AddTimer("Timer", 5);
  std::atomic<bool> released{false};
  int ticks = 0;
  timer->OnTimer = [&] { ++ticks; };
  timer->SetEnabled(true);
  // The system may broadcast to the window meanwhile (a device change).
  std::vector<UINT> delivered;
  window_->OnMessage = [&](UINT message, WPARAM, LPARAM) {
    delivered.push_back(message);
    return LRESULT{0};
  };
  int callsDuringWait = 0;
  std::thread worker([&] {
    for (int i = 0; i < 5; ++i) window_->PostCall([&] { ++callsDuringWait; });
    PostMessageA(window_->Handle(), 0x8100, 1, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    released = true;
    window_->PostCall([] {});
  });
  window_->WaitWhile([&] { return !released; });
  worker.join();
  EXPECT_EQ(callsDuringWait, 5);
  EXPECT_GT(ticks, 0);
  EXPECT_NE(std::find(delivered.begin(), delivered.end(), 0x8100u), delivered.end());
}

TEST_F(ToolkitContractTest, PostedWindowMessagesReachTheFormWithTheirParameters) {
  std::vector<std::pair<UINT, WPARAM>> seen;
  window_->OnMessage = [&](UINT message, WPARAM wParam, LPARAM) {
    if (message == 0x8100 || message == WM_POWERBROADCAST) seen.emplace_back(message, wParam);
    return LRESULT{0};
  };
  ASSERT_TRUE(PostMessageA(window_->Handle(), 0x8100, 0x10001, 0));
  ASSERT_TRUE(PostMessageA(window_->Handle(), WM_POWERBROADCAST, PBT_APMSUSPEND, 0));
  ASSERT_TRUE(ProcessUntil([&] { return seen.size() == 2; }));
  EXPECT_EQ(seen[0], (std::pair<UINT, WPARAM>{0x8100, 0x10001}));
  EXPECT_EQ(seen[1], (std::pair<UINT, WPARAM>{WM_POWERBROADCAST, PBT_APMSUSPEND}));
}

}  // namespace
