#include "simulator/machine/version_block.h"

#include <charconv>
#include <cstring>

#include "simulator/machine/files.h"

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

std::optional<VS_FIXEDFILEINFO> ReadFixedFileInfo(const std::filesystem::path& path) {
  std::optional<std::string> bytes = ReadWholeFile(path);
  if (!bytes) return std::nullopt;
  std::optional<size_t> at = FindFixedFileInfo(*bytes);
  if (!at) return std::nullopt;
  VS_FIXEDFILEINFO info;
  std::memcpy(&info, bytes->data() + *at, sizeof info);
  return info;
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
