// Run-time module loading: dlopen with the Windows search order, module
// handles counted as Windows counts them, and the built-in Kernel32 exports.
#include <dlfcn.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>

#include "platform/library_search.h"
#include "platform/module_file.h"
#include "platform/win32.h"

namespace {

// Stands for Kernel32, which is always loaded and never unloaded.
char kernel32Anchor;
HMODULE Kernel32Handle() { return reinterpret_cast<HMODULE>(&kernel32Anchor); }

bool EqualNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

bool IsKernel32(std::string_view name) {
  name = platform::BaseName(name);
  return EqualNoCase(name, "kernel32") || EqualNoCase(name, "kernel32.dll");
}

// A module is loaded through the descriptor of the file that was checked, by
// the name "/proc/self/fd/N": the loader opens that very file, whatever its
// name leads to by then, and knows it by its file identity, so loads of one
// file still share one handle. The loader also remembers the name N, even
// after the module's last FreeLibrary when it keeps the module (modules with
// unique symbols are never unloaded), and would take a later file opened as N
// for that module. So the first checked descriptor of each file stays open
// for good, and every later load of the same file goes through it: one
// descriptor per module file, whatever the number of loads.
std::string DescriptorPath(int descriptor) { return "/proc/self/fd/" + std::to_string(descriptor); }

struct LoadedModule {
  std::string baseName;  // file name as found, for GetModuleHandleA
  int references = 0;
};

// Every module loaded through LoadLibraryA, by its dlopen handle, which dlopen
// itself shares between loads of the same file.
struct ModuleRegistry {
  std::recursive_mutex mutex;  // module constructors may load modules themselves
  std::map<void*, LoadedModule> modules;
  // The descriptor each module file is loaded through, by file identity.
  std::map<std::pair<dev_t, ino_t>, int> descriptors;
};

// The descriptor to load the checked file `descriptor` through: itself for a
// file not loaded before (it is kept), else the one kept for that file (and
// `descriptor` is closed). -1 when the file cannot be told apart.
int LoadingDescriptor(ModuleRegistry& registry, int descriptor) {
  struct stat info {};
  if (::fstat(descriptor, &info) != 0) {
    ::close(descriptor);
    return -1;
  }
  const auto [kept, fresh] = registry.descriptors.try_emplace({info.st_dev, info.st_ino}, descriptor);
  if (!fresh) ::close(descriptor);
  return kept->second;
}

ModuleRegistry& Registry() {
  static ModuleRegistry* registry = new ModuleRegistry;  // outlives modules freed at exit
  return *registry;
}

void* ProgramHandle() {
  static void* program = dlopen(nullptr, RTLD_NOW);
  return program;
}

// Through the generic function type `void (*)()`, the sanctioned way to change
// a function pointer's type; callers cast back to the export's real type.
template <typename Function>
FARPROC AsFarProc(Function* function) {
  return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(function));
}

FARPROC Kernel32Export(std::string_view name) {
  if (name == "GetVersionExA") return AsFarProc(&GetVersionExA);
  if (name == "IsWow64Process") return AsFarProc(&IsWow64Process);
  return nullptr;
}

}  // namespace

extern "C" HMODULE WINAPI LoadLibraryA(LPCSTR fileName) {
  if (!fileName || !*fileName) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (IsKernel32(fileName)) return Kernel32Handle();
  const std::string path = platform::FindLibraryFile(fileName);
  if (path.empty()) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  ModuleRegistry& registry = Registry();
  std::lock_guard lock(registry.mutex);
  const int checked = platform::OpenWholeModuleFile(path);
  const int descriptor = checked < 0 ? -1 : LoadingDescriptor(registry, checked);
  if (descriptor < 0) {
    SetLastError(ERROR_BAD_EXE_FORMAT);
    return nullptr;
  }
  void* handle = dlopen(DescriptorPath(descriptor).c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  LoadedModule& module = registry.modules[handle];
  if (module.references++ == 0) module.baseName = platform::BaseName(path);
  return static_cast<HMODULE>(handle);
}

extern "C" BOOL WINAPI FreeLibrary(HMODULE module) {
  if (module == Kernel32Handle()) return TRUE;
  ModuleRegistry& registry = Registry();
  std::lock_guard lock(registry.mutex);
  auto loaded = registry.modules.find(module);
  if (loaded == registry.modules.end()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (--loaded->second.references == 0) registry.modules.erase(loaded);
  dlclose(module);
  return TRUE;
}

extern "C" FARPROC WINAPI GetProcAddress(HMODULE module, LPCSTR procName) {
  // Names only: a "name" below 0x10000 is an ordinal, which no module here exports.
  if (!procName || reinterpret_cast<uintptr_t>(procName) < 0x10000) {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
  }
  FARPROC found = nullptr;
  if (module == Kernel32Handle()) {
    found = Kernel32Export(procName);
  } else {
    ModuleRegistry& registry = Registry();
    std::lock_guard lock(registry.mutex);
    if (module != ProgramHandle() && !registry.modules.contains(module)) {
      SetLastError(ERROR_INVALID_HANDLE);
      return nullptr;
    }
    found = reinterpret_cast<FARPROC>(dlsym(module, procName));
  }
  if (!found) SetLastError(ERROR_PROC_NOT_FOUND);
  return found;
}

extern "C" HMODULE WINAPI GetModuleHandleA(LPCSTR moduleName) {
  if (!moduleName) return static_cast<HMODULE>(ProgramHandle());
  if (IsKernel32(moduleName)) return Kernel32Handle();
  std::string wanted(platform::BaseName(moduleName));
  if (wanted.find('.') == std::string::npos) wanted += ".dll";
  ModuleRegistry& registry = Registry();
  std::lock_guard lock(registry.mutex);
  for (const auto& [handle, module] : registry.modules) {
    if (EqualNoCase(module.baseName, wanted)) return static_cast<HMODULE>(handle);
  }
  SetLastError(ERROR_MOD_NOT_FOUND);
  return nullptr;
}
