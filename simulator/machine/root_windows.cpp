// Where the machine's folders are on Windows: its Windows and System32 are the
// system's own, so that the program finds the drivers where the system keeps them.
#include "simulator/machine/root.h"

#include <windows.h>

#include <stdlib.h>

#include <string>

namespace sim {

namespace fs = std::filesystem;

namespace {

fs::path SystemFolder(UINT (WINAPI* query)(LPWSTR, UINT)) {
  wchar_t buffer[MAX_PATH];
  const UINT length = query(buffer, MAX_PATH);
  return length > 0 && length < MAX_PATH ? fs::path(buffer) : fs::path();
}

}  // namespace

fs::path DefaultMachineRoot() {
  const char* shared = std::getenv("ProgramData");
  return fs::path(shared && *shared ? shared : "C:\\ProgramData") / "tolvane-sim";
}

void SetMachineRoot(const fs::path& root) { _putenv_s("TOLVANE_SIM_ROOT", root.string().c_str()); }

fs::path WindowsDirectory(const fs::path&) { return SystemFolder(GetWindowsDirectoryW); }
fs::path SystemDirectory(const fs::path&) { return SystemFolder(GetSystemDirectoryW); }

fs::path ModulesDirectory() {
  HMODULE self = nullptr;
  wchar_t file[MAX_PATH];
  if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          reinterpret_cast<LPCWSTR>(&ModulesDirectory), &self) ||
      GetModuleFileNameW(self, file, MAX_PATH) == 0) {
    return kModulesFolderName;
  }
  return fs::path(file).parent_path() / kModulesFolderName;
}

}  // namespace sim
