// Version resources: the fixed file-info block a file carries, handed out as a
// version-information record whose root block ("\") is that fixed block.
#include <cstring>
#include <new>
#include <optional>
#include <string_view>

#include "platform/library_search.h"
#include "platform/win32.h"
#include "simulator/machine/version_block.h"

namespace {

// The record GetFileVersionInfoA fills: the header of a VS_VERSIONINFO
// resource (lengths, type, the key "VS_VERSION_INFO", padding) and its value,
// the fixed file-info block.
struct VersionInfoRecord {
  WORD length;
  WORD valueLength;
  WORD type;
  WCHAR key[16];
  WORD padding;
  VS_FIXEDFILEINFO value;
};
static_assert(offsetof(VersionInfoRecord, value) == 40);
static_assert(sizeof(VersionInfoRecord) == 92);

constexpr std::u16string_view kVersionInfoKey = u"VS_VERSION_INFO";

std::optional<VS_FIXEDFILEINFO> FixedInfoOf(LPCSTR fileName) {
  if (!fileName) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return std::nullopt;
  }
  const std::string path = platform::FindLibraryFile(fileName);
  if (path.empty()) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return std::nullopt;
  }
  std::optional<VS_FIXEDFILEINFO> info = sim::ReadFixedFileInfo(path);  // reads a bounded part
  if (!info) SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
  return info;
}

// As on Windows, memory running out is an error code: an exception must not
// leave a C call and unwind through the window's event handler that made it.
std::optional<VS_FIXEDFILEINFO> FixedInfoOrError(LPCSTR fileName) {
  try {
    return FixedInfoOf(fileName);
  } catch (const std::bad_alloc&) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return std::nullopt;
  }
}

}  // namespace

extern "C" DWORD WINAPI GetFileVersionInfoSizeA(LPCSTR fileName, LPDWORD handle) {
  if (handle) *handle = 0;
  return FixedInfoOrError(fileName) ? sizeof(VersionInfoRecord) : 0;
}

extern "C" BOOL WINAPI GetFileVersionInfoA(LPCSTR fileName, DWORD, DWORD length, LPVOID data) {
  if (!data) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::optional<VS_FIXEDFILEINFO> info = FixedInfoOrError(fileName);
  if (!info) return FALSE;
  if (length < sizeof(VersionInfoRecord)) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  VersionInfoRecord record{};
  record.length = sizeof record;
  record.valueLength = sizeof(VS_FIXEDFILEINFO);
  kVersionInfoKey.copy(record.key, kVersionInfoKey.size());
  record.value = *info;
  std::memcpy(data, &record, sizeof record);
  return TRUE;
}

extern "C" BOOL WINAPI VerQueryValueA(LPCVOID block, LPCSTR subBlock, LPVOID* buffer, PUINT length) {
  if (!block || !subBlock || !buffer) return FALSE;
  VersionInfoRecord header;
  std::memcpy(&header, block, offsetof(VersionInfoRecord, value));
  const bool wellFormed = header.length == sizeof header &&
                          header.valueLength == sizeof(VS_FIXEDFILEINFO) &&
                          std::u16string_view(header.key) == kVersionInfoKey;
  // Only the root block is kept: string tables are not part of these files.
  if (!wellFormed || std::string_view(subBlock) != "\\") return FALSE;
  *buffer = static_cast<BYTE*>(const_cast<void*>(block)) + offsetof(VersionInfoRecord, value);
  if (length) *length = sizeof(VS_FIXEDFILEINFO);
  return TRUE;
}
