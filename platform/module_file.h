// What the system loader may be handed. The loader maps a module's segments
// straight from its file and touches them at once: a segment that the file does
// not hold (a module cut short by a failed copy) faults inside the loader
// instead of failing the load. Windows refuses such a file with
// ERROR_BAD_EXE_FORMAT; the module layer checks first and does the same.
#pragma once

#include <string>

namespace platform {

// True when the file at `path` is a regular file holding a shared object of
// this program's class and byte order whose headers, program header table,
// segments and section header table all lie inside the file.
bool IsWholeModuleFile(const std::string& path);

}  // namespace platform
