// Complete-or-absent file writing: write beside, then rename into place.
#include "imaging/whole_file.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "platform/win32.h"

namespace imaging {
namespace {

namespace fs = std::filesystem;

constexpr int kNameAttempts = 16;
constexpr int kMostLinks = 40;  // as many links in a row as the system itself follows
// A save writes its temporary within moments; one this old was left by a save
// that never finished (the program was killed, the machine lost power).
constexpr auto kStaleAfter = std::chrono::minutes(1);
constexpr const char* kTemporaryPrefix = ".tolvane-";
constexpr const char* kTemporarySuffix = ".part";

// The file that path names once symbolic links are followed: the save
// replaces that file in its own folder and leaves every link a link. Empty
// for a loop of links.
fs::path FinalTarget(const fs::path& path) {
  fs::path current = path;
  for (int hop = 0; hop < kMostLinks; ++hop) {
    std::error_code error;
    if (!fs::is_symlink(fs::symlink_status(current, error))) return current;
    const fs::path link = fs::read_symlink(current, error);
    if (error) return {};
    current = link.is_absolute() ? link : current.parent_path() / link;
  }
  return {};
}

// Whether the user may write the existing file: a file without write
// permission (the read-only attribute) or that cannot be opened for writing
// (another user's, locked by another program) is not replaced either.
bool MayWrite(const fs::path& target, fs::perms permissions) {
  constexpr fs::perms kWrite = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
  if ((permissions & kWrite) == fs::perms::none) return false;
  // "r+": open for writing without changing a byte.
  std::FILE* file = std::fopen(target.string().c_str(), "r+b");
  if (file == nullptr) return false;
  std::fclose(file);
  return true;
}

// The part of a temporary's name that tells its target: a hash of the target's
// name, so that the temporary's name stays short whatever the target's length.
std::string TargetTag(const fs::path& target) {
  uint32_t hash = 2166136261u;  // 32-bit FNV-1a
  for (const char c : target.filename().string()) hash = (hash ^ static_cast<uint8_t>(c)) * 16777619u;
  char tag[9];
  std::snprintf(tag, sizeof tag, "%08" PRIx32, hash);
  return tag;
}

// ".tolvane-TAG.UNIQUE.part" beside target: no other writer in this or another
// process is likely to pick the same at the same moment; exclusive creation
// settles the rest.
fs::path TemporaryName(const fs::path& target, const std::string& tag) {
  static std::atomic<uint32_t> sequence{0};
  const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
  const uint32_t unique = static_cast<uint32_t>(ticks) * 2654435761u + sequence++;
  char name[64];
  std::snprintf(name, sizeof name, "%s%s.%08" PRIx32 "%s", kTemporaryPrefix, tag.c_str(), unique, kTemporarySuffix);
  return target.parent_path() / name;
}

// Opens a file that does not exist yet for writing; null with errno EEXIST
// when one of that name exists, rather than reusing it.
std::FILE* CreateNewFile(const fs::path& path) {
#ifdef _WIN32
  // The C library of Windows programs (msvcrt.dll) predates fopen's "x", so
  // the name is checked first; the name's uniqueness covers the moment between.
  std::error_code error;
  if (fs::exists(fs::symlink_status(path, error))) {
    errno = EEXIST;
    return nullptr;
  }
  return std::fopen(path.string().c_str(), "wb");
#else
  return std::fopen(path.string().c_str(), "wbx");
#endif
}

// Creates a new file for writing; null when none can be created.
std::FILE* CreateTemporary(const fs::path& target, const std::string& tag, fs::path& temporary) {
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    temporary = TemporaryName(target, tag);
    errno = 0;
    if (std::FILE* file = CreateNewFile(temporary)) return file;
    if (errno != EEXIST) return nullptr;
  }
  return nullptr;
}

// Puts the written bytes on the disk: renamed into place unflushed, a file can
// be left empty by a power loss, holding neither the old content nor the new.
bool FlushToDisk(std::FILE* file) {
  if (std::fflush(file) != 0) return false;
  const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(fileno(file)));
  return handle != INVALID_HANDLE_VALUE && FlushFileBuffers(handle) != FALSE;
}

// Removes the temporaries that earlier saves of target left behind. Those of
// other targets, and any still young enough to belong to a save under way,
// stay.
void RemoveStaleTemporaries(const fs::path& target, const std::string& tag) {
  const std::string prefix = kTemporaryPrefix + tag + ".";
  const std::string suffix = kTemporarySuffix;
  const auto staleBefore = fs::file_time_type::clock::now() - kStaleAfter;
  std::error_code error;
  const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
  for (fs::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error)) {
    const std::string name = entry->path().filename().string();
    if (name.size() <= prefix.size() + suffix.size() || !name.starts_with(prefix) || !name.ends_with(suffix)) {
      continue;
    }
    std::error_code ignored;
    if (entry->is_regular_file(ignored) && entry->last_write_time(ignored) < staleBefore) {
      fs::remove(entry->path(), ignored);
    }
  }
}

}  // namespace

bool WriteWholeFile(const char* path, const void* data, size_t size) {
  if (path == nullptr || *path == '\0' || (data == nullptr && size != 0)) return false;
  const fs::path target = FinalTarget(path);
  if (target.empty()) return false;
  std::error_code error;
  const fs::file_status existing = fs::status(target, error);
  const bool replaces = fs::exists(existing);
  if (replaces && (!fs::is_regular_file(existing) || !MayWrite(target, existing.permissions()))) return false;

  const std::string tag = TargetTag(target);
  RemoveStaleTemporaries(target, tag);
  fs::path temporary;
  std::FILE* file = CreateTemporary(target, tag, temporary);
  if (file == nullptr) return false;

  bool written = size == 0 || std::fwrite(data, 1, size, file) == size;
  written = written && FlushToDisk(file);
  written = std::fclose(file) == 0 && written;
  if (written && replaces) {
    fs::permissions(temporary, existing.permissions(), fs::perm_options::replace, error);
    written = !error;
  }
  if (written) {
    // Write-through: the rename, too, is on the disk when the save reports it.
    written = MoveFileExA(temporary.string().c_str(), target.string().c_str(),
                          MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
  }
  if (!written) fs::remove(temporary, error);
  return written;
}

}  // namespace imaging
