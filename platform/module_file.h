// What the system loader may be handed. The loader maps a module's segments
// straight from its file and touches them at once: a segment that the file does
// not hold (a module cut short by a failed copy) faults inside the loader
// instead of failing the load, and so do headers that place the segments or
// the dynamic section outside the image (module_image.h). Windows refuses such
// a file with ERROR_BAD_EXE_FORMAT; the module layer checks first and does the same.
#pragma once

#include <string>

namespace platform {

// The file at `path`, opened for reading, when it is a regular file holding a
// shared object of this program's class and byte order whose headers, program
// header table, segments and section header table all lie inside the file and
// whose image is sound (module_image.h); -1 otherwise. The caller owns the
// descriptor and loads the module through it, so that the file loaded is the
// file checked even when its name is replaced in between.
int OpenWholeModuleFile(const std::string& path);

}  // namespace platform
