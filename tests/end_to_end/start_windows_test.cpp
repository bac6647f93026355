// The program's start on the default simulated workstation, and the identity
// its readers report at Init.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>

#include "tests/end_to_end/running_program.h"
#include "tests/end_to_end/workstation.h"

namespace e2e {
namespace {

const std::string kListed = "Select a fingerprint device and Click Init button. 3 device(s) found.";

// A file's version as its own version resource gives it, "a.b.c.d".
std::string FileVersion(const std::string& path) {
  DWORD ignored = 0;
  std::vector<char> block(GetFileVersionInfoSizeA(path.c_str(), &ignored));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT size = 0;
  if (block.empty() || !GetFileVersionInfoA(path.c_str(), 0, static_cast<DWORD>(block.size()), block.data()) ||
      !VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &size)) {
    return "(no version resource in " + path + ")";
  }
  return std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." + std::to_string(LOWORD(fixed->dwFileVersionMS)) +
         "." + std::to_string(HIWORD(fixed->dwFileVersionLS)) + "." + std::to_string(LOWORD(fixed->dwFileVersionLS));
}

// Where the system keeps a driver file of that name.
std::string InstalledPath(const std::string& name) {
  char system[MAX_PATH] = {};
  GetSystemDirectoryA(system, MAX_PATH);
  for (const char* folder : {"\\", "\\drivers\\", "\\drivers\\UMDF\\"}) {
    const std::string path = system + std::string(folder) + name;
    if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) return path;
  }
  return name;
}

// On Windows the readers are to be listed within a second of the start.
// Under Wine, on 2 processors, the median of three starts took 0.45 to 0.76 s
// in most quiet runs, but 1.16 s in one clean CI run (starts of 658, 1162 and
// 1445 ms) and up to 2.3 s beside other work. The bound is Wine's on such a
// machine; each start is printed for the record. The median keeps one start
// slowed by the machine from deciding.
constexpr auto kListedUnderWine = 3s;

TEST(EndToEndStart, TheReadersAreListedSoonAfterTheStart) {
  std::vector<Clock::duration> starts;
  for (int run = 0; run < 3; ++run) {
    RunningProgram program;
    ASSERT_TRUE(program.WaitForStatus(kListed, 10s));
    starts.push_back(Clock::now() - program.Started());
    std::printf("figure: start to readers listed: %lld ms\n",
                static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(starts.back()).count()));
  }
  std::sort(starts.begin(), starts.end());
  EXPECT_LE(starts[1], kListedUnderWine);
}

TEST(EndToEndStart, TheSelectorListsTheNewestReaderFirstAndTheParallelOneLast) {
  RunningProgram program;
  ASSERT_TRUE(program.WaitForStatus(kListed));
  EXPECT_EQ(program.SelectorItems(),
            (std::vector<std::string>{"RPX -- HMX06:0", "R20 -- HMX05:0", "USB -- HMX04:0", "Parallel -- HMP02:0"}));
  EXPECT_EQ(program.ValueOf("Attached devices"),
            "The number of USB devices:\t3\nThe number of Parallel devices:\t1\n");
}

// Every file the inventory names carries the version of its own resource,
// as the test reads it, and one installed anew shows its new version.
TEST(EndToEndStart, TheInventoryShowsEachFilesOwnVersion) {
  ASSERT_TRUE(Sim("driver install Qvhmx04m.dll --version 1.0.3.9"));
  RunningProgram program;
  ASSERT_TRUE(program.WaitForStatus(kListed));
  const std::string inventory = program.ValueOf("Installed Drivers");
  const std::regex entry(R"(([A-Za-z0-9]+\.(dll|sys)) \(v([0-9.]+)\))");
  int files = 0;
  for (auto match = std::sregex_iterator(inventory.begin(), inventory.end(), entry); match != std::sregex_iterator();
       ++match, ++files) {
    EXPECT_EQ((*match)[3].str(), FileVersion(InstalledPath((*match)[1].str()))) << (*match)[1].str();
  }
  EXPECT_EQ(files, 11) << inventory;
  EXPECT_NE(inventory.find("Qvhmx04m.dll (v1.0.3.9)"), std::string::npos) << inventory;
  ASSERT_TRUE(Sim("driver install Qvhmx04m.dll"));
}

TEST(EndToEndInit, TheR20ReportsItsIdentity) {
  RunningProgram program;
  ASSERT_TRUE(program.WaitForStatus(kListed));
  ASSERT_TRUE(program.Init("R20 -- HMX05:0"));
  const std::string group = "USB Device";
  EXPECT_EQ(program.EditText(group, "Device Model:"), "HMX05");
  EXPECT_EQ(program.EditText(group, "Device Type :"), "Stand alone");
  // The release 0105 of the default R20, a digit per nibble.
  EXPECT_EQ(program.EditText(group, "Firmware Version :"), "0.1.0.5");
  EXPECT_EQ(program.EditText(group, "Serial Number :"), "TVHMX05N0");
  EXPECT_TRUE(program.Enabled("Capture"));
}

TEST(EndToEndInit, TheParallelReaderReportsItsPortAndMode) {
  RunningProgram program;
  ASSERT_TRUE(program.WaitForStatus(kListed));
  ASSERT_TRUE(program.Init("Parallel -- HMP02:0"));
  const std::string group = "Parallel Device";
  EXPECT_EQ(program.EditText(group, "64"), "Parallel: HMP01");
  EXPECT_EQ(program.EditText(group, "Base Address:"), "378h");
  EXPECT_EQ(program.EditText(group, "Working Mode :"), "EPP");
}

}  // namespace
}  // namespace e2e
