// Copies of a module file with its program headers or dynamic entries changed,
// for the checks that must refuse them.
#pragma once

#include <elf.h>
#include <gtest/gtest.h>
#include <link.h>

#include <cstring>
#include <functional>
#include <span>
#include <string>
#include <vector>

// The nth segment of `type` among `segments`.
inline ElfW(Phdr)& SegmentOf(std::span<ElfW(Phdr)> segments, uint32_t type, int nth = 0) {
  for (ElfW(Phdr)& segment : segments) {
    if (segment.p_type == type && nth-- == 0) return segment;
  }
  ADD_FAILURE() << "no segment of type " << type;
  return segments[0];
}

// A copy of `module` with its program headers changed by `change`.
inline std::string WithSegments(std::string module, const std::function<void(std::span<ElfW(Phdr)>)>& change) {
  ElfW(Ehdr) header;
  std::memcpy(&header, module.data(), sizeof header);
  std::vector<ElfW(Phdr)> segments(header.e_phnum);
  std::memcpy(segments.data(), module.data() + header.e_phoff, segments.size() * sizeof(ElfW(Phdr)));
  change(segments);
  std::memcpy(module.data() + header.e_phoff, segments.data(), segments.size() * sizeof(ElfW(Phdr)));
  return module;
}

// A copy of `module` whose dynamic section lies far outside the image.
inline std::string WithDynamicSectionFarAway(const std::string& module) {
  return WithSegments(module, [](std::span<ElfW(Phdr)> segments) {
    SegmentOf(segments, PT_DYNAMIC).p_vaddr = 0x7ff000000000;
  });
}

// A copy of `module` whose dynamic entry `tag` holds `value`.
inline std::string WithDynamicEntry(std::string module, int64_t tag, uint64_t value) {
  ElfW(Phdr) dynamic{};
  WithSegments(module, [&](std::span<ElfW(Phdr)> segments) { dynamic = SegmentOf(segments, PT_DYNAMIC); });
  for (uint64_t at = dynamic.p_offset; at + sizeof(ElfW(Dyn)) <= dynamic.p_offset + dynamic.p_filesz;
       at += sizeof(ElfW(Dyn))) {
    ElfW(Dyn) entry;
    std::memcpy(&entry, module.data() + at, sizeof entry);
    if (entry.d_tag != tag) continue;
    entry.d_un.d_val = value;
    std::memcpy(module.data() + at, &entry, sizeof entry);
    return module;
  }
  ADD_FAILURE() << "no dynamic entry " << tag;
  return module;
}
