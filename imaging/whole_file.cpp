// Complete-or-absent file writing: write beside, then rename into place.
#include "imaging/whole_file.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

namespace imaging {
namespace {

constexpr int kNameAttempts = 16;

// A name beside target that no other writer in this or another process is
// likely to pick at the same moment; exclusive creation settles the rest.
std::filesystem::path PartName(const std::filesystem::path& target) {
  static std::atomic<unsigned> sequence{0};
  const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
  std::filesystem::path part = target;
  part += "." + std::to_string(ticks) + "-" + std::to_string(sequence++) + ".part";
  return part;
}

// Creates a new file for writing; null when none can be created.
std::FILE* CreatePart(const std::filesystem::path& target, std::filesystem::path& part) {
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    part = PartName(target);
    errno = 0;
    // "x": fail rather than reuse a file that happens to have this name.
    if (std::FILE* file = std::fopen(part.string().c_str(), "wbx")) return file;
    if (errno != EEXIST) return nullptr;
  }
  return nullptr;
}

}  // namespace

bool WriteWholeFile(const char* path, const void* data, size_t size) {
  if (path == nullptr || *path == '\0' || (data == nullptr && size != 0)) return false;
  const std::filesystem::path target(path);
  std::filesystem::path part;
  std::FILE* file = CreatePart(target, part);
  if (file == nullptr) return false;

  bool written = size == 0 || std::fwrite(data, 1, size, file) == size;
  written = std::fflush(file) == 0 && written;
  written = std::fclose(file) == 0 && written;
  std::error_code error;
  if (written) {
    std::filesystem::rename(part, target, error);
    written = !error;
  }
  if (!written) std::filesystem::remove(part, error);
  return written;
}

}  // namespace imaging
