#include "simulator/modules/device_log.h"

#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <ctime>

namespace simulator {

void DeviceLog::Add(const char* format, ...) {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  const auto millis =
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  std::tm local{};
  localtime_r(&seconds, &local);

  char text[256];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);

  char line[320];
  std::snprintf(line, sizeof line, "%04d-%02d-%02d %02d:%02d:%02d.%03d %s\r\n",
                local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                local.tm_min, local.tm_sec, static_cast<int>(millis), text);

  std::lock_guard guard(mutex_);
  lines_.emplace_back(line);
  bytes_ += lines_.back().size();
  while (bytes_ > kCapacity) {
    bytes_ -= lines_.front().size();
    lines_.pop_front();
  }
}

std::string DeviceLog::Text() const {
  std::lock_guard guard(mutex_);
  std::string text;
  text.reserve(bytes_);
  for (const std::string& line : lines_) text += line;
  return text;
}

}  // namespace simulator
