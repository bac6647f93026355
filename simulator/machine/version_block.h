// The fixed file-info block (VS_FIXEDFILEINFO) that every simulated driver file
// carries, and how a file's version is found in, or written into, its bytes.
//
// A driver module embeds its block with TOLVANE_MODULE_VERSION(a, b, c, d) in
// one of its source files; the block then lies in the module file as built, and
// the version services find it by its signature.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/win32.h"

namespace sim {

struct FileVersionNumber {
  uint16_t major = 0, minor = 0, build = 0, revision = 0;

  uint32_t Ms() const { return static_cast<uint32_t>(major) << 16 | minor; }
  uint32_t Ls() const { return static_cast<uint32_t>(build) << 16 | revision; }
  std::string ToString() const;  // "A.B.C.D"
  // "A.B.C.D" with four decimal parts of at most 65535; nullopt otherwise.
  static std::optional<FileVersionNumber> Parse(std::string_view text);
  bool operator==(const FileVersionNumber&) const = default;
};

inline constexpr DWORD kFileTypeDll = 2;     // VFT_DLL
inline constexpr DWORD kFileTypeDriver = 3;  // VFT_DRV

constexpr VS_FIXEDFILEINFO MakeFixedFileInfo(uint16_t a, uint16_t b, uint16_t c, uint16_t d,
                                             DWORD fileType) {
  const DWORD ms = static_cast<DWORD>(a) << 16 | b;
  const DWORD ls = static_cast<DWORD>(c) << 16 | d;
  return VS_FIXEDFILEINFO{VS_FFI_SIGNATURE, VS_FFI_STRUCVERSION, ms, ls, ms, ls,
                          0x3Fu, 0u, 0x00040004u /* VOS_NT_WINDOWS32 */, fileType, 0u, 0u, 0u};
}

// The byte offset of the first fixed file-info block in `bytes` (its signature
// followed by the structure version 1.0), or nullopt when there is none.
std::optional<size_t> FindFixedFileInfo(std::string_view bytes);

// How much of a file the version lookup reads, and in pieces of what size.
inline constexpr uint64_t kVersionSearchBytes = uint64_t{64} << 20;
inline constexpr size_t kVersionWindowBytes = size_t{64} << 10;

// The block of a file within its first kVersionSearchBytes; nullopt when the
// file is missing or carries none there.
std::optional<VS_FIXEDFILEINFO> ReadFixedFileInfo(const std::filesystem::path& path);
std::optional<FileVersionNumber> ReadFileVersion(const std::filesystem::path& path);

// Sets the file and product version of the block in `bytes`; false when there is none.
bool PatchFileVersion(std::string& bytes, FileVersionNumber version);

}  // namespace sim

// Embeds the module's version block, kept in the file even though nothing
// refers to it. On Windows the file's version resource carries the block (the
// build adds it), and a second block would be the one found and patched.
#ifdef _WIN32
#define TOLVANE_MODULE_VERSION(a, b, c, d) static_assert(true)
#else
#define TOLVANE_MODULE_VERSION(a, b, c, d)                                      \
  [[gnu::used]] static constexpr VS_FIXEDFILEINFO tolvaneModuleVersionBlock = \
      ::sim::MakeFixedFileInfo(a, b, c, d, ::sim::kFileTypeDll)
#endif
