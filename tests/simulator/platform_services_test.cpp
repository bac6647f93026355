// The module, version and system calls of the platform layer over a test machine.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "device/proc_address.h"
#include "platform/win32.h"
#include "simulator/machine/machine.h"
#include "tests/simulator/module_headers.h"
#include "tests/simulator/temp_root.h"

namespace fs = std::filesystem;

namespace {

using ProbePlaceFn = const char* (*)();

std::string SystemDirectory() {
  char buffer[MAX_PATH];
  EXPECT_GT(GetSystemDirectoryA(buffer, sizeof buffer), 0u);
  return buffer;
}

// Links the probe module into the machine's System32 under `name`.
void InstallProbe(const char* name) {
  fs::create_symlink(SIM_PROBE_SYSTEM_MODULE, fs::path(SystemDirectory()) / name);
}

std::string PlaceOf(HMODULE module) { return ProcAddressAs<ProbePlaceFn>(module, "ProbePlace")(); }

// The packed a.b.c.d a caller would compute, or nullopt when the file has no version.
std::optional<VS_FIXEDFILEINFO> FixedInfo(const std::string& file) {
  DWORD handle = 1;
  const DWORD size = GetFileVersionInfoSizeA(file.c_str(), &handle);
  EXPECT_EQ(handle, 0u);
  if (size == 0) return std::nullopt;
  std::vector<BYTE> data(size);
  if (!GetFileVersionInfoA(file.c_str(), 0, size, data.data())) return std::nullopt;
  void* block = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(data.data(), "\\", &block, &length)) return std::nullopt;
  EXPECT_EQ(length, sizeof(VS_FIXEDFILEINFO));
  VS_FIXEDFILEINFO info;
  std::memcpy(&info, block, sizeof info);
  return info;
}

TEST(Modules, ProgramFolderIsSearchedBeforeSystemFolder) {
  TempMachineRoot temp;
  InstallProbe("SimProbe.dll");
  InstallProbe("SystemOnly.dll");

  HMODULE fromProgram = LoadLibraryA("SimProbe.dll");
  ASSERT_TRUE(fromProgram);
  EXPECT_EQ(PlaceOf(fromProgram), "program");

  HMODULE fromSystem = LoadLibraryA("SYSTEMONLY");  // any case, ".dll" implied
  ASSERT_TRUE(fromSystem);
  EXPECT_EQ(PlaceOf(fromSystem), "system");

  // A full Windows-style path is taken as given.
  HMODULE byPath = LoadLibraryA((SystemDirectory() + "\\SimProbe.dll").c_str());
  ASSERT_TRUE(byPath);
  EXPECT_EQ(PlaceOf(byPath), "system");

  for (HMODULE module : {fromProgram, fromSystem, byPath}) EXPECT_TRUE(FreeLibrary(module));
}

TEST(Modules, HandlesAreCountedAsOnWindows) {
  TempMachineRoot temp;
  InstallProbe("Counted.dll");
  HMODULE first = LoadLibraryA("Counted.dll");
  HMODULE second = LoadLibraryA("counted.dll");
  ASSERT_TRUE(first);
  EXPECT_EQ(first, second);
  EXPECT_EQ(GetModuleHandleA("COUNTED"), first);

  EXPECT_TRUE(FreeLibrary(first));
  EXPECT_EQ(GetModuleHandleA("Counted.dll"), first) << "one reference is left";
  EXPECT_TRUE(FreeLibrary(second));
  EXPECT_EQ(GetModuleHandleA("Counted.dll"), nullptr);
  EXPECT_FALSE(FreeLibrary(first)) << "a freed handle is refused";
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);

  // Loaded again and again, a module the loader keeps holds no more descriptors.
  const auto openDescriptors = [] {
    return std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator());
  };
  const auto held = openDescriptors();
  for (int round = 0; round < 3; ++round) EXPECT_TRUE(FreeLibrary(LoadLibraryA("Counted.dll")));
  EXPECT_EQ(openDescriptors(), held);
}

TEST(Modules, FailuresSetTheLastError) {
  TempMachineRoot temp;
  SetLastError(0);
  EXPECT_EQ(LoadLibraryA("NoSuchModule.dll"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);

  InstallProbe("Probe.dll");
  HMODULE module = LoadLibraryA("Probe.dll");
  ASSERT_TRUE(module);
  EXPECT_EQ(GetProcAddress(module, "NoSuchExport"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_PROC_NOT_FOUND);
  EXPECT_EQ(GetProcAddress(module, reinterpret_cast<LPCSTR>(1)), nullptr) << "ordinals are not exported";
  FreeLibrary(module);
}

// A module cut short, or whose headers place its segments or what the loader
// reads outside the image it maps, is refused as Windows refuses it, before
// the loader faults on it.
TEST(Modules, TruncatedForeignOrMalformedFilesAreNoModules) {
  TempMachineRoot temp;
  std::ifstream in(SIM_PROBE_SYSTEM_MODULE, std::ios::binary);
  const std::string whole((std::istreambuf_iterator<char>(in)), {});
  ASSERT_GT(whole.size(), 8192u);
  std::vector<std::pair<std::string, std::string>> files = {{"Text.dll", "MZ? this is no module\n"}};
  for (size_t size : {size_t{0}, size_t{64}, size_t{4096}, whole.size() / 2, whole.size() - 1}) {
    files.emplace_back("Cut" + std::to_string(size) + ".dll", whole.substr(0, size));
  }
  using Segments = std::span<ElfW(Phdr)>;
  files.emplace_back("DynamicFar.dll", WithDynamicSectionFarAway(whole));
  files.emplace_back("LoadsSwapped.dll", WithSegments(whole, [](Segments s) {
                       std::swap(SegmentOf(s, PT_LOAD, 0), SegmentOf(s, PT_LOAD, 1));
                     }));
  files.emplace_back("LoadsOverlap.dll", WithSegments(whole, [](Segments s) {
                       SegmentOf(s, PT_LOAD, 1).p_vaddr = SegmentOf(s, PT_LOAD, 0).p_vaddr;
                       SegmentOf(s, PT_LOAD, 1).p_offset = SegmentOf(s, PT_LOAD, 0).p_offset;
                     }));
  files.emplace_back("LoadHuge.dll", WithSegments(whole, [](Segments s) {
                       SegmentOf(s, PT_LOAD, 1).p_memsz = uint64_t{1} << 44;
                     }));
  files.emplace_back("StringsFar.dll", WithDynamicEntry(whole, DT_STRTAB, 0x7ff000000000));
  files.emplace_back("Whole.dll", whole);
  for (const auto& [name, content] : files) {
    std::ofstream(fs::path(SystemDirectory()) / name, std::ios::binary) << content;
  }
  for (const auto& [name, content] : files) {
    SCOPED_TRACE(name);
    SetLastError(0);
    HMODULE module = LoadLibraryA(name.c_str());
    if (name == "Whole.dll") {
      ASSERT_NE(module, nullptr);
      EXPECT_EQ(PlaceOf(module), "system");
      FreeLibrary(module);
    } else {
      EXPECT_EQ(module, nullptr);
      EXPECT_EQ(GetLastError(), ERROR_BAD_EXE_FORMAT);
    }
  }
}

TEST(Modules, Kernel32IsBuiltIn) {
  TempMachineRoot temp;
  HMODULE kernel = LoadLibraryA("Kernel32.dll");
  ASSERT_TRUE(kernel);
  EXPECT_EQ(LoadLibraryA("KERNEL32"), kernel);
  EXPECT_EQ(GetModuleHandleA("kernel32"), kernel);
  EXPECT_EQ(GetModuleHandleA("kernel32.DLL"), kernel);

  sim::Profile profile = sim::LoadProfile();
  profile.major = 6;
  profile.minor = 1;
  profile.is64Bit = false;
  sim::SaveProfile(profile);

  auto getVersion = ProcAddressAs<BOOL(WINAPI*)(LPOSVERSIONINFOA)>(kernel, "GetVersionExA");
  ASSERT_TRUE(getVersion);
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;
  ASSERT_TRUE(getVersion(&info));
  EXPECT_EQ(info.dwMajorVersion, 6u);
  EXPECT_EQ(info.dwMinorVersion, 1u);
  EXPECT_EQ(info.dwPlatformId, static_cast<DWORD>(VER_PLATFORM_WIN32_NT));

  auto isWow64 = ProcAddressAs<BOOL(WINAPI*)(HANDLE, PBOOL)>(GetModuleHandleA("kernel32"), "IsWow64Process");
  ASSERT_TRUE(isWow64);
  BOOL wow64 = TRUE;
  ASSERT_TRUE(isWow64(GetCurrentProcess(), &wow64));
  EXPECT_FALSE(wow64);
  EXPECT_EQ(GetProcAddress(kernel, "CreateFileA"), nullptr);
  EXPECT_TRUE(FreeLibrary(kernel));
  EXPECT_EQ(GetModuleHandleA("kernel32"), kernel) << "Kernel32 is never unloaded";
}

TEST(Versions, KernelDriverFileVersionIsReadThroughWindowsPaths) {
  TempMachineRoot temp;
  sim::InstallDriverFile("qvhmx05x64.sys", sim::FileVersionNumber{1, 0, 3, 0});
  const std::optional<VS_FIXEDFILEINFO> info = FixedInfo(SystemDirectory() + "\\drivers\\qvhmx05x64.sys");
  ASSERT_TRUE(info);
  EXPECT_EQ(info->dwSignature, VS_FFI_SIGNATURE);
  EXPECT_EQ(info->dwFileVersionMS, 0x00010000u);
  EXPECT_EQ(info->dwFileVersionLS, 0x00030000u);

  // A 9x-style profile builds "<Windows>\system32\drivers"; the spelling on disk is found.
  char windows[MAX_PATH];
  GetWindowsDirectoryA(windows, sizeof windows);
  EXPECT_TRUE(FixedInfo(std::string(windows) + "\\system32\\DRIVERS\\QVHMX05X64.SYS"));
}

TEST(Versions, ModulesAreFoundByBareNameAndFilesWithoutBlockHaveNone) {
  TempMachineRoot temp;
  InstallProbe("Versioned.dll");
  const std::optional<VS_FIXEDFILEINFO> info = FixedInfo("Versioned.dll");
  ASSERT_TRUE(info);
  EXPECT_EQ(info->dwFileVersionMS, 0x00010000u);
  EXPECT_EQ(info->dwFileVersionLS, 0x00030000u);

  std::ofstream(temp.Folder() / "plain.dll") << "no version here";
  SetLastError(0);
  EXPECT_EQ(GetFileVersionInfoSizeA((temp.Folder() / "plain.dll").c_str(), nullptr), 0u);
  EXPECT_EQ(GetLastError(), ERROR_RESOURCE_TYPE_NOT_FOUND);
  EXPECT_EQ(GetFileVersionInfoSizeA("Missing.dll", nullptr), 0u);
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

TEST(Versions, ShortBuffersAndOtherBlocksAreRefused) {
  TempMachineRoot temp;
  const std::string file = SystemDirectory() + "/drivers/Dacrodrv.sys";
  const DWORD size = GetFileVersionInfoSizeA(file.c_str(), nullptr);
  ASSERT_GT(size, 0u);
  std::vector<BYTE> data(size);
  EXPECT_FALSE(GetFileVersionInfoA(file.c_str(), 0, size - 1, data.data()));
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  ASSERT_TRUE(GetFileVersionInfoA(file.c_str(), 0, size, data.data()));
  void* block = nullptr;
  UINT length = 0;
  EXPECT_FALSE(VerQueryValueA(data.data(), "\\StringFileInfo\\040904b0\\FileVersion", &block, &length));
  std::vector<BYTE> garbage(size, 0xAB);
  EXPECT_FALSE(VerQueryValueA(garbage.data(), "\\", &block, &length));
}

TEST(SystemFacts, FollowTheProfile) {
  TempMachineRoot temp;
  EXPECT_EQ(SystemDirectory(), (temp.Root() / "Windows" / "System32").string());
  char tiny[4];
  const UINT needed = GetSystemDirectoryA(tiny, sizeof tiny);
  EXPECT_EQ(needed, SystemDirectory().size() + 1) << "a short buffer gets the size it needs";

  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = 100;
  EXPECT_FALSE(GetVersionExA(&info));
  info.dwOSVersionInfoSize = sizeof info;
  ASSERT_TRUE(GetVersionExA(&info));
  EXPECT_EQ(info.dwMajorVersion, 10u);
  EXPECT_EQ(info.szCSDVersion[0], '\0');

  BOOL wow64 = FALSE;
  ASSERT_TRUE(IsWow64Process(GetCurrentProcess(), &wow64));
  EXPECT_TRUE(wow64);
  EXPECT_EQ(GetSystemMetrics(SM_REMOTESESSION), 0);

  sim::Profile profile = sim::LoadProfile();
  profile.remoteSession = true;
  sim::SaveProfile(profile);
  EXPECT_NE(GetSystemMetrics(SM_REMOTESESSION), 0);
}

}  // namespace
