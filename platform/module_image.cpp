// The module image check: segments and the dynamic section against the memory
// the loader maps.
#include "platform/module_image.h"

#include <algorithm>
#include <bit>
#include <iterator>

namespace platform {
namespace {

bool IsLoad(const ElfW(Phdr)& segment) { return segment.p_type == PT_LOAD; }

// Whether [address, address + size) lies inside [begin, begin + length).
bool Within(uint64_t address, uint64_t size, uint64_t begin, uint64_t length) {
  return address >= begin && size <= length && address - begin <= length - size;
}

bool InsideLoadedMemory(uint64_t address, uint64_t size, std::span<const ElfW(Phdr)> segments) {
  return std::ranges::any_of(segments, [&](const ElfW(Phdr)& load) {
    return IsLoad(load) && Within(address, size, load.p_vaddr, load.p_memsz);
  });
}

bool LoadsAreSound(std::span<const ElfW(Phdr)> segments) {
  const ElfW(Phdr)* previous = nullptr;
  uint64_t first = 0;
  for (const ElfW(Phdr)& load : segments) {
    if (!IsLoad(load)) continue;
    if (load.p_filesz > load.p_memsz || load.p_memsz > kMaxModuleImageBytes ||
        load.p_vaddr > kMaxModuleImageBytes) {
      return false;
    }
    if (load.p_align > 1 && (!std::has_single_bit(static_cast<uint64_t>(load.p_align)) ||
                             load.p_vaddr % load.p_align != load.p_offset % load.p_align)) {
      return false;
    }
    if (!previous) {
      first = load.p_vaddr;
    } else if (load.p_vaddr < previous->p_vaddr + previous->p_memsz) {
      return false;  // out of order, or overlapping the one before
    }
    if (load.p_vaddr + load.p_memsz - first > kMaxModuleImageBytes) return false;
    previous = &load;
  }
  return previous != nullptr;
}

}  // namespace

std::optional<FileRange> DynamicSectionOf(std::span<const ElfW(Phdr)> segments) {
  if (segments.size() > kMaxModuleSegments || !LoadsAreSound(segments)) return std::nullopt;
  const ElfW(Phdr)* dynamic = nullptr;
  for (const ElfW(Phdr)& segment : segments) {
    if (IsLoad(segment) || segment.p_type == PT_GNU_STACK) continue;
    if (segment.p_filesz > segment.p_memsz ||
        (segment.p_filesz != 0 && !InsideLoadedMemory(segment.p_vaddr, segment.p_filesz, segments))) {
      return std::nullopt;
    }
    if (segment.p_type == PT_DYNAMIC) {
      if (dynamic) return std::nullopt;
      dynamic = &segment;
    }
  }
  if (!dynamic || dynamic->p_filesz == 0 || dynamic->p_filesz % sizeof(ElfW(Dyn)) != 0 ||
      dynamic->p_filesz / sizeof(ElfW(Dyn)) > kMaxDynamicEntries) {
    return std::nullopt;
  }
  // The loader reads the section from memory, so from the file bytes mapped there.
  for (const ElfW(Phdr)& load : segments) {
    if (IsLoad(load) && Within(dynamic->p_vaddr, dynamic->p_filesz, load.p_vaddr, load.p_filesz)) {
      return FileRange{load.p_offset + (dynamic->p_vaddr - load.p_vaddr), dynamic->p_filesz};
    }
  }
  return std::nullopt;
}

bool DynamicEntriesInsideImage(std::span<const ElfW(Dyn)> entries, std::span<const ElfW(Phdr)> segments) {
  // Each address the loader follows, and the entry that gives its size (0: none).
  struct Pointer {
    int64_t tag;
    int64_t sizeTag;
  };
  static constexpr Pointer kPointers[] = {
      {DT_PLTGOT, 0},
      {DT_HASH, 0},
      {DT_GNU_HASH, 0},
      {DT_SYMTAB, 0},
      {DT_VERSYM, 0},
      {DT_VERDEF, 0},
      {DT_VERNEED, 0},
      {DT_INIT, 0},
      {DT_FINI, 0},
      {DT_STRTAB, DT_STRSZ},
      {DT_RELA, DT_RELASZ},
      {DT_REL, DT_RELSZ},
      {DT_JMPREL, DT_PLTRELSZ},
      {DT_INIT_ARRAY, DT_INIT_ARRAYSZ},
      {DT_FINI_ARRAY, DT_FINI_ARRAYSZ},
      {DT_PREINIT_ARRAY, DT_PREINIT_ARRAYSZ},
  };
  const auto end = std::ranges::find_if(entries, [](const ElfW(Dyn)& entry) { return entry.d_tag == DT_NULL; });
  if (end == entries.end()) return false;
  const std::span<const ElfW(Dyn)> used(entries.begin(), end);
  // A tag given twice counts at its largest: the loader may take either.
  const auto largest = [&](int64_t tag) {
    uint64_t value = 0;
    for (const ElfW(Dyn)& entry : used) {
      if (entry.d_tag == tag) value = std::max<uint64_t>(value, entry.d_un.d_val);
    }
    return value;
  };
  return std::ranges::all_of(used, [&](const ElfW(Dyn)& entry) {
    const auto pointer =
        std::ranges::find_if(kPointers, [&](const Pointer& known) { return known.tag == entry.d_tag; });
    if (pointer == std::end(kPointers)) return true;
    const uint64_t size = pointer->sizeTag ? std::max<uint64_t>(largest(pointer->sizeTag), 1) : 1;
    return InsideLoadedMemory(entry.d_un.d_ptr, size, segments);
  });
}

}  // namespace platform
