#include "platform/library_search.h"

#include <filesystem>

#include "platform/host_path.h"
#include "simulator/machine/root.h"

namespace platform {

namespace fs = std::filesystem;

namespace {

std::string ProgramDirectory() {
  std::error_code error;
  const fs::path program = fs::read_symlink("/proc/self/exe", error);
  return error ? std::string() : program.parent_path().string();
}

// The file loaded for one found: the machine decides which module a link in
// its System32 stands for in this program. Empty when there is none.
std::string Loadable(const std::string& found) {
  if (found.empty()) return {};
  std::string path = sim::ModuleToLoad(found).string();
  std::error_code error;
  return fs::exists(path, error) ? path : std::string();
}

}  // namespace

std::string_view BaseName(std::string_view path) {
  const size_t separator = path.find_last_of("\\/");
  return separator == std::string_view::npos ? path : path.substr(separator + 1);
}

std::string FindLibraryFile(std::string_view name) {
  if (name.empty()) return {};
  if (BaseName(name).size() != name.size()) return Loadable(HostPath(name));
  std::string file(name);
  if (file.ends_with('.')) {
    file.pop_back();  // a trailing dot means "no extension", as on Windows
  } else if (file.find('.') == std::string::npos) {
    file += ".dll";
  }
  for (const std::string& directory :
       {ProgramDirectory(), sim::SystemDirectory(sim::EnsureMachineQuietly()).string()}) {
    if (directory.empty()) continue;
    std::string found = Loadable(FindInDirectory(directory, file));
    if (!found.empty()) return found;
  }
  return {};
}

}  // namespace platform
