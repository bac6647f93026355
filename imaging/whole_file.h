// Writing a file so that it is either complete or not there at all.
#pragma once

#include <cstddef>

namespace imaging {

// Writes size bytes as the whole content of the file at path. The bytes go to
// a new file beside it, under a short temporary name, that replaces path only
// after every write, their flush to the disk and the close succeeded, so that
// not even a power loss leaves path empty; on any failure that file is removed
// and whatever was at path stays as it was. A file the user may not write is
// refused, not replaced; a replaced file keeps its permissions; a symbolic
// link is followed, and the file it leads to is replaced in its own folder.
// Temporaries that an unfinished save of the same file left behind are
// removed. Returns true when path holds the bytes.
bool WriteWholeFile(const char* path, const void* data, size_t size);

}  // namespace imaging
