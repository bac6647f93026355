// 8-bit texts built with printf-style formats, as the window writes them
// before they are put into a control.
#pragma once

#include <QString>
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

// An 8-bit text in the toolkit's string type (the process's multibyte code page).
inline QString FromText8(const std::string& text) {
  return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}
