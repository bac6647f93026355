// The reader's own log: timestamped text lines of what the reader did.
#pragma once

#include <cstddef>
#include <deque>
#include <mutex>
#include <string>

// mingw-w64's C++ library formats as the C standard says (%zu, %llu), not as
// the system's own printf does, which is what "printf" means to its compiler.
#ifdef __MINGW32__
#define TOLVANE_LOG_FORMAT gnu_printf
#else
#define TOLVANE_LOG_FORMAT printf
#endif

namespace simulator {

class DeviceLog {
 public:
  // Keeps at most this many bytes; the oldest lines go first.
  static constexpr size_t kCapacity = 64 * 1024;

  // printf-style; one line, the time and a line end are added.
  void Add(const char* format, ...) __attribute__((format(TOLVANE_LOG_FORMAT, 2, 3)));
  // The whole log as it stands.
  std::string Text() const;

 private:
  mutable std::mutex mutex_;
  std::deque<std::string> lines_;
  size_t bytes_ = 0;
};

}  // namespace simulator
