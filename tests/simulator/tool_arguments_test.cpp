// tolvane-sim's command lines that cannot be used: each is refused with one
// line naming what is wrong and exit code 2, by the commands in process and by
// the built program, on every system the tool is built for.
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/wait.h>
#endif

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "simulator/tool/tool.h"
#include "tests/simulator/temp_root.h"

namespace {

struct BadArguments {
  std::vector<std::string> arguments;
  const char* named;  // what the one line must name
};

const BadArguments kBadArguments[] = {
    {{}, "subcommand"},
    {{"frobnicate"}, "unknown command"},
    {{"plug"}, "reader"},
    {{"status", "--bogus"}, "--bogus"},
    {{"plug", "HMX07-0"}, "not a reader: HMX07-0"},
    {{"plug", "QVUSB-0", "--open-delay", "-1"}, "--open-delay"},
    {{"plug", "QVUSB-0", "--open-delay", "600001"}, "--open-delay"},
    {{"plug", "QVUSB-0", "--product", "12345"}, "--product"},
    {{"plug", "parallel", "--product", "1"}, "USB readers"},
    {{"plug", "OMREL-0", "--mode", "1"}, "parallel reader"},
    {{"plug-foreign", "046D"}, "VID:PID"},
    {{"touch", "HMX05-0", "--wparam", "0x100000000"}, "--wparam"},
    {{"finger", "HMX05-0", "maybe"}, "maybe"},
    {{"fault", "HMX09-0", "--call", "open", "--status", "2"}, "not a reader: HMX09-0"},
    {{"fault", "HMX05-0", "--call", "imageex", "--status", "2"}, "--call"},
    {{"fault", "HMX05-0", "--call", "open", "--status", "x"}, "--status"},
    {{"fault", "HMX05-0", "--call", "open", "--status", "0"}, "--status"},
    {{"fault", "HMX05-0", "--call", "open", "--status", "-4"}, "--status"},
    {{"fault", "HMX05-0", "--call", "open", "--status", "4294967296"}, "--status"},
    {{"fault", "HMX05-0", "--call", "open", "--status", "2", "--every", "0"}, "--every"},
    {{"fault", "HMX05-0", "--call", "open", "--status", "2", "--every", "-3"}, "--every"},
    {{"fault", "HMX05-0", "--call", "open", "--status", "2", "--once", "--always"}, "--always"},
    {{"fault", "HMX05-0", "--call", "open"}, "--status"},
    {{"fault", "HMX05-0", "--clear", "--call", "open"}, "--clear"},
    {{"driver", "install", "Qvhmx05d.sys", "--version", "1.0"}, "A.B.C.D"},
    {{"os", "--version", "six"}, "MAJOR.MINOR"},
    {{"os", "--64bit", "yes"}, "yes"},
};

void ExpectOneLineNaming(const std::string& err, const char* named) {
  EXPECT_NE(err.find(named), std::string::npos) << err;
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
}

TEST(ToolArguments, RefusedInProcessWithOneLineAndExitCode2) {
  TempMachineRoot temp;
  for (const BadArguments& bad : kBadArguments) {
    std::ostringstream out, err;
    SCOPED_TRACE(bad.named);
    EXPECT_EQ(sim::RunTool(bad.arguments, out, err), 2);
    ExpectOneLineNaming(err.str(), bad.named);
  }
}

#ifdef _WIN32
// The built program, beside this one.
std::string ToolProgram() {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  return (std::filesystem::path(std::string(path, length)).parent_path() / "tolvane-sim.exe").string();
}
#else
std::string ToolProgram() { return TOLVANE_SIM_TOOL; }
#endif

// The program's stderr and exit code, through the system's command shell.
int RunProgram(const std::vector<std::string>& arguments, std::string& err) {
  std::string command = "\"" + ToolProgram() + "\"";
  for (const std::string& argument : arguments) command += " \"" + argument + "\"";
  command += " 2>&1";
#ifdef _WIN32
  // cmd.exe takes the outer quotes of the whole line away.
  command = "\"" + command + "\"";
  FILE* pipe = _popen(command.c_str(), "r");
#else
  FILE* pipe = popen(command.c_str(), "r");
#endif
  if (!pipe) return -1;
  char buffer[512];
  err.clear();
  while (std::fgets(buffer, sizeof buffer, pipe)) err += buffer;
#ifdef _WIN32
  return _pclose(pipe);
#else
  const int status = pclose(pipe);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
}

TEST(ToolArguments, RefusedByTheProgramWithOneLineAndExitCode2) {
  TempMachineRoot temp;
  for (const BadArguments& bad : kBadArguments) {
    std::string err;
    SCOPED_TRACE(bad.named);
    EXPECT_EQ(RunProgram(bad.arguments, err), 2);
    ExpectOneLineNaming(err, bad.named);
  }
}

}  // namespace
