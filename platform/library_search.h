// Where a module or a file named like one is found: the path itself when it
// names a folder, otherwise the program's own folder and then the machine's
// system folder, with ".dll" added to a bare name without an extension. A link
// into a build's module folder yields this build's module of that name.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// The host path of the file, or empty when it is found nowhere.
std::string FindLibraryFile(std::string_view name);

// The file name part of a Windows or host path.
std::string_view BaseName(std::string_view path);

}  // namespace platform
