#include <gtest/gtest.h>

#include "device/status_message.h"

namespace {
std::string Message(uint32_t code) {
  std::string text;
  return StatusMessage(code, text);
}
}  // namespace

TEST(StatusMessage, FixedTable) {
  EXPECT_EQ(Message(0), "Ready");
  EXPECT_EQ(Message(2), "Function fail...");
  EXPECT_EQ(Message(51), "System file load fail...");
  EXPECT_EQ(Message(55), "Device not found...");
  EXPECT_EQ(Message(59), "Used by another process...");
  EXPECT_EQ(Message(62), "Put your finger...");
}

TEST(StatusMessage, CodesWithoutARowAreFormattedUnsigned) {
  EXPECT_EQ(Message(5), "Error Code: 5(0x5)");
  EXPECT_EQ(Message(60), "Error Code: 60(0x3c)");
  EXPECT_EQ(Message(61), "Error Code: 61(0x3d)");
  EXPECT_EQ(Message(63), "Error Code: 63(0x3f)");
  EXPECT_EQ(Message(4294967295u), "Error Code: 4294967295(0xffffffff)");
}

TEST(StatusMessage, ReturnsTheCallersText) {
  std::string text = "previous";
  EXPECT_EQ(&StatusMessage(54, text), &text);
  EXPECT_EQ(text, "Time out...");
}
