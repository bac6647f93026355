#include "platform/shared_object_name.h"

#include <climits>
#include <cstdint>
#include <cstdio>

namespace platform {
namespace {

// FNV-1a: stable across processes and builds, unlike std::hash.
uint64_t StableHash(const std::string& text) {
  uint64_t hash = 0xcbf29ce484222325ull;
  for (unsigned char byte : text) {
    hash ^= byte;
    hash *= 0x100000001b3ull;
  }
  return hash;
}

std::string Hex(uint64_t value) {
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
  return text;
}

bool KeptAsIs(unsigned char byte) {
  return (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
         (byte >= '0' && byte <= '9') || byte == '_' || byte == '-' || byte == '.';
}

}  // namespace

std::string SharedObjectName(const std::string& root, const std::string& name) {
  std::string escaped;
  for (unsigned char byte : name) {
    if (KeptAsIs(byte)) {
      escaped += static_cast<char>(byte);
    } else {
      char code[4];
      std::snprintf(code, sizeof code, "%%%02X", byte);
      escaped += code;
    }
  }
  const std::string prefix = "/tolvane-" + Hex(StableHash(root)) + "-";
  // NAME_MAX counts the characters after the leading '/'.
  const size_t room = NAME_MAX + 1 - prefix.size();
  if (escaped.size() > room) escaped = escaped.substr(0, room - 17) + "~" + Hex(StableHash(name));
  return prefix + escaped;
}

}  // namespace platform
