// Writing a file so that it is either complete or not there at all.
#pragma once

#include <cstddef>

namespace imaging {

// Writes size bytes as the whole content of the file at path. The bytes go to a
// new file beside it that replaces path only after every write and the close
// succeeded; on any failure that file is removed and whatever was at path
// stays as it was. Returns true when path holds the bytes.
bool WriteWholeFile(const char* path, const void* data, size_t size);

}  // namespace imaging
