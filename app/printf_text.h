// 8-bit texts built with printf-style formats, as the window writes them
// before they are put into a control.
#pragma once

#include <cstdio>
#include <string>

// The formatted text, whatever its length.
template <typename... Args>
std::string PrintfText(const char* format, Args... args) {
  const int length = std::snprintf(nullptr, 0, format, args...);
  if (length <= 0) return {};
  std::string text(static_cast<size_t>(length) + 1, '\0');
  std::snprintf(text.data(), text.size(), format, args...);
  text.pop_back();
  return text;
}
