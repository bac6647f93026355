// The one line of text that the window shows for a status code.
#pragma once

#include <cstdint>
#include <string>

// Writes the message of `code` into `text` and returns it. Never fails: codes
// without a message of their own take "Error Code: %u(0x%x)".
std::string& StatusMessage(uint32_t code, std::string& text);
