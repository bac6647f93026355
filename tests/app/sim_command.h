// tolvane-sim commands run in process by window tests, as a technician would
// type them beside the running program.
#pragma once

#include <future>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

#include "form_fixture.h"
#include "simulator/tool/tool.h"

// Runs the command; its output. A failing command fails the test.
inline std::string SimCommand(const std::vector<std::string>& arguments) {
  std::ostringstream out, err;
  const int status = sim::RunTool(arguments, out, err);
  EXPECT_EQ(status, 0) << err.str();
  return out.str();
}

// The same for a command that waits for the window's answer: it runs on a
// thread of its own while the window thread goes on processing events.
inline std::string SimCommandAnsweredByTheWindow(const std::vector<std::string>& arguments) {
  std::future<std::string> command = std::async(std::launch::async, [&] { return SimCommand(arguments); });
  EXPECT_TRUE(ProcessEventsUntil(
      [&] { return command.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }, 10000));
  return command.get();
}
