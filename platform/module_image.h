// Where a module's segments land once the system loader has mapped them, and
// what must lie inside that image. The loader trusts these addresses: a
// dynamic section, a symbol table or an initializer list that the headers
// place outside the mapped segments is read, or called, wherever it points.
#pragma once

#include <elf.h>
#include <link.h>

#include <cstdint>
#include <optional>
#include <span>

namespace platform {

// More than any module has; a header giving more is broken, not big.
inline constexpr unsigned kMaxModuleSegments = 64;
inline constexpr uint64_t kMaxModuleImageBytes = uint64_t{1} << 30;
inline constexpr uint64_t kMaxDynamicEntries = 1024;

struct FileRange {
  uint64_t offset = 0;
  uint64_t size = 0;
};

// Where in the file the loader finds the dynamic section, when the segments
// make a sound image: loadable segments in ascending order, not overlapping,
// aligned as they claim, each holding no more file than memory, together
// within kMaxModuleImageBytes; every other segment's bytes inside a loadable
// segment; exactly one dynamic section, of at most kMaxDynamicEntries entries,
// inside the file-backed part of a loadable segment. nullopt otherwise.
std::optional<FileRange> DynamicSectionOf(std::span<const ElfW(Phdr)> segments);

// Whether the dynamic section ends with its terminator and every address it
// gives (tables, relocations, initializers), with the size given beside it,
// lies inside one loadable segment.
bool DynamicEntriesInsideImage(std::span<const ElfW(Dyn)> entries, std::span<const ElfW(Phdr)> segments);

}  // namespace platform
