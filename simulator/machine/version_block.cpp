#include "simulator/machine/version_block.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <fstream>


namespace sim {

namespace {

void StoreDword(char* at, DWORD value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<char>(value >> (8 * i) & 0xFF);
}

std::string BlockSignature() {
  std::string signature(8, '\0');
  StoreDword(signature.data(), VS_FFI_SIGNATURE);
  StoreDword(signature.data() + 4, VS_FFI_STRUCVERSION);
  return signature;
}

}  // namespace

std::string FileVersionNumber::ToString() const {
  return std::to_string(major) + "." + std::to_string(minor) + "." + std::to_string(build) + "." +
         std::to_string(revision);
}

std::optional<FileVersionNumber> FileVersionNumber::Parse(std::string_view text) {
  uint16_t parts[4];
  const char* at = text.data();
  const char* end = text.data() + text.size();
  for (int i = 0; i < 4; ++i) {
    if (i > 0) {
      if (at == end || *at != '.') return std::nullopt;
      ++at;
    }
    unsigned value = 0;
    auto [next, error] = std::from_chars(at, end, value);
    if (error != std::errc() || next == at || value > 0xFFFF) return std::nullopt;
    parts[i] = static_cast<uint16_t>(value);
    at = next;
  }
  if (at != end) return std::nullopt;
  return FileVersionNumber{parts[0], parts[1], parts[2], parts[3]};
}

std::optional<size_t> FindFixedFileInfo(std::string_view bytes) {
  static const std::string signature = BlockSignature();
  for (size_t at = bytes.find(signature); at != std::string_view::npos;
       at = bytes.find(signature, at + 1)) {
    if (bytes.size() - at >= sizeof(VS_FIXEDFILEINFO)) return at;
  }
  return std::nullopt;
}

// A version block lies inside a module's image, which is megabytes. The search
// reads at most kVersionSearchBytes of a file, kVersionWindowBytes at a time:
// this is where a lookup's time and memory are bounded, whatever the file's size.
// A block that begins beyond the bound is not found, and the file has no version.
std::optional<VS_FIXEDFILEINFO> ReadFixedFileInfo(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  // A block cut by the window's end is searched again with the next window.
  constexpr size_t kCarried = sizeof(VS_FIXEDFILEINFO) - 1;
  std::string window;
  window.reserve(kCarried + kVersionWindowBytes);
  for (uint64_t searched = 0; searched < kVersionSearchBytes;) {
    const size_t kept = window.size();
    const size_t wanted = static_cast<size_t>(std::min<uint64_t>(kVersionWindowBytes, kVersionSearchBytes - searched));
    window.resize(kept + wanted);
    in.read(window.data() + kept, static_cast<std::streamsize>(wanted));
    const auto got = static_cast<size_t>(in.gcount());
    window.resize(kept + got);
    searched += got;
    if (std::optional<size_t> at = FindFixedFileInfo(window)) {
      VS_FIXEDFILEINFO info;
      std::memcpy(&info, window.data() + *at, sizeof info);
      return info;
    }
    if (got < wanted) break;
    window.erase(0, window.size() - std::min(window.size(), kCarried));
  }
  return std::nullopt;
}

std::optional<FileVersionNumber> ReadFileVersion(const std::filesystem::path& path) {
  std::optional<VS_FIXEDFILEINFO> info = ReadFixedFileInfo(path);
  if (!info) return std::nullopt;
  return FileVersionNumber{static_cast<uint16_t>(info->dwFileVersionMS >> 16),
                           static_cast<uint16_t>(info->dwFileVersionMS & 0xFFFF),
                           static_cast<uint16_t>(info->dwFileVersionLS >> 16),
                           static_cast<uint16_t>(info->dwFileVersionLS & 0xFFFF)};
}

bool PatchFileVersion(std::string& bytes, FileVersionNumber version) {
  std::optional<size_t> at = FindFixedFileInfo(bytes);
  if (!at) return false;
  char* block = bytes.data() + *at;
  StoreDword(block + offsetof(VS_FIXEDFILEINFO, dwFileVersionMS), version.Ms());
  StoreDword(block + offsetof(VS_FIXEDFILEINFO, dwFileVersionLS), version.Ls());
  StoreDword(block + offsetof(VS_FIXEDFILEINFO, dwProductVersionMS), version.Ms());
  StoreDword(block + offsetof(VS_FIXEDFILEINFO, dwProductVersionLS), version.Ls());
  return true;
}

}  // namespace sim
