// The version of a file, from its version resource.
#pragma once

#include <cstdint>

// The file version a.b.c.d packed as a<<24 | b<<16 | c<<8 | d from the low
// 8 bits of each part; 0 when the file has no version information.
uint32_t FileVersion(const char* path);
