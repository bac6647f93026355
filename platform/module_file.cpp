// The module file check: the ELF header and everything it points to must lie
// inside the file, and the image it describes must be sound.
#include "platform/module_file.h"

#include <elf.h>
#include <fcntl.h>
#include <link.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

#include "platform/module_image.h"

namespace platform {
namespace {

#if __SIZEOF_POINTER__ == 8
constexpr unsigned char kOwnClass = ELFCLASS64;
#else
constexpr unsigned char kOwnClass = ELFCLASS32;
#endif
#if __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
constexpr unsigned char kOwnByteOrder = ELFDATA2LSB;
#else
constexpr unsigned char kOwnByteOrder = ELFDATA2MSB;
#endif

// Whether [offset, offset + count * size) lies inside a file of fileSize
// bytes, without overflow for any field values.
bool Inside(uint64_t offset, uint64_t count, uint64_t size, uint64_t fileSize) {
  if (offset > fileSize) return false;
  return size == 0 || count <= (fileSize - offset) / size;
}

bool ReadAt(int fd, void* buffer, size_t size, off_t offset) {
  auto* bytes = static_cast<char*>(buffer);
  while (size > 0) {
    const ssize_t n = ::pread(fd, bytes, size, offset);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes += n;
    size -= static_cast<size_t>(n);
    offset += n;
  }
  return true;
}

bool IsWholeModule(int fd) {
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) return false;
  const uint64_t fileSize = static_cast<uint64_t>(info.st_size);

  ElfW(Ehdr) header;
  if (fileSize < sizeof header || !ReadAt(fd, &header, sizeof header, 0)) return false;
  if (std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 || header.e_ident[EI_CLASS] != kOwnClass ||
      header.e_ident[EI_DATA] != kOwnByteOrder || header.e_type != ET_DYN) {
    return false;
  }
  // PN_XNUM would put the real count elsewhere; no module has that many segments.
  if (header.e_phentsize != sizeof(ElfW(Phdr)) || header.e_phnum == 0 || header.e_phnum > kMaxModuleSegments ||
      !Inside(header.e_phoff, header.e_phnum, sizeof(ElfW(Phdr)), fileSize)) {
    return false;
  }
  if (header.e_shnum != 0 && !Inside(header.e_shoff, header.e_shnum, header.e_shentsize, fileSize)) return false;

  std::vector<ElfW(Phdr)> segments(header.e_phnum);
  if (!ReadAt(fd, segments.data(), segments.size() * sizeof(ElfW(Phdr)), static_cast<off_t>(header.e_phoff))) {
    return false;
  }
  for (const ElfW(Phdr)& segment : segments) {
    if (segment.p_filesz != 0 && !Inside(segment.p_offset, 1, segment.p_filesz, fileSize)) return false;
  }
  const std::optional<FileRange> dynamic = DynamicSectionOf(segments);
  if (!dynamic) return false;
  std::vector<ElfW(Dyn)> entries(dynamic->size / sizeof(ElfW(Dyn)));
  return ReadAt(fd, entries.data(), dynamic->size, static_cast<off_t>(dynamic->offset)) &&
         DynamicEntriesInsideImage(entries, segments);
}

}  // namespace

int OpenWholeModuleFile(const std::string& path) {
  // Without blocking: a FIFO must not wait for a writer.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return -1;
  if (IsWholeModule(fd)) return fd;
  ::close(fd);
  return -1;
}

}  // namespace platform
