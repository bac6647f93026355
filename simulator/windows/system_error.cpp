#include "simulator/windows/system_error.h"

#include <windows.h>

#include <cctype>

namespace simwin {

namespace {

std::string SystemMessage(DWORD code) {
  char text[256] = {};
  const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                                      text, sizeof text, nullptr);
  std::string message(text, length);
  while (!message.empty() && std::isspace(static_cast<unsigned char>(message.back()))) message.pop_back();
  return "error " + std::to_string(code) + (message.empty() ? "" : " (" + message + ")");
}

}  // namespace

bool Failed(const std::string& what, std::string& error) {
  error = what + ": " + SystemMessage(GetLastError());
  return false;
}

}  // namespace simwin
