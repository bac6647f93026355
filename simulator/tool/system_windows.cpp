#include <windows.h>

#include <stdexcept>
#include <string>

#include "simulator/tool/system.h"

namespace sim {

// The running kernel driver's control comes with the driver itself; until then
// plugging changes the bus alone, which the modules and the framework read.
void TellDriverPlugged(const Reader&) {}
void TellDriverUnplugged(std::string_view, uint32_t) {}
void TellDriverPluggedForeign(ForeignDevice) {}
void TellDriverUnpluggedForeign(ForeignDevice) {}

bool ProfileDecidesSystemFacts() { return false; }

namespace {

// Wine's names of the Windows versions a 64-bit prefix can report.
const char* WineVersionName(uint32_t major, uint32_t minor) {
  struct Known {
    uint32_t major, minor;
    const char* name;
  };
  static constexpr Known kKnown[] = {{10, 0, "win10"}, {6, 3, "win81"}, {6, 2, "win8"},
                                     {6, 1, "win7"},   {6, 0, "vista"}, {5, 2, "winxp64"}};
  for (const Known& known : kKnown) {
    if (known.major == major && known.minor == minor) return known.name;
  }
  return nullptr;
}

bool RunsUnderWine() {
  const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

}  // namespace

// Wine reports the version its prefix is set to (what winecfg sets), to every
// program started afterwards.
void ApplyWindowsVersion(uint32_t major, uint32_t minor) {
  const std::string version = std::to_string(major) + "." + std::to_string(minor);
  if (!RunsUnderWine()) throw std::runtime_error("Windows reports its own version; --version needs Wine");
  const char* name = WineVersionName(major, minor);
  if (!name) throw std::runtime_error("Wine cannot report Windows " + version);
  const LSTATUS status = RegSetKeyValueA(HKEY_CURRENT_USER, "Software\\Wine", "Version", REG_SZ, name,
                                         static_cast<DWORD>(std::char_traits<char>::length(name) + 1));
  if (status != ERROR_SUCCESS) {
    throw std::runtime_error("cannot set the prefix's Windows version: error " + std::to_string(status));
  }
}

}  // namespace sim
