#include "device/status_message.h"

#include <cstdio>

namespace {

const char* FixedMessage(uint32_t code) {
  switch (code) {
    case 0: return "Ready";
    case 1: return "Creation fail...";
    case 2: return "Function fail...";
    case 3: return "Invalid Parameters...";
    case 4: return "Not used...";
    case 51: return "System file load fail...";
    case 52: return "Device Initialization fail...";
    case 53: return "Line dropped...";
    case 54: return "Time out...";
    case 55: return "Device not found...";
    case 56: return "Dll loading fail...";
    case 57: return "Wrong Image...";
    case 58: return "Lack of bandwidth...";
    case 59: return "Used by another process...";
    case 62: return "Put your finger...";
    default: return nullptr;
  }
}

}  // namespace

std::string& StatusMessage(uint32_t code, std::string& text) {
  if (const char* fixed = FixedMessage(code)) {
    text = fixed;
    return text;
  }
  char buffer[256];
  std::snprintf(buffer, sizeof buffer, "Error Code: %u(0x%x)", code, code);
  text = buffer;
  return text;
}
