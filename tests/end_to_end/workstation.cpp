#include "tests/end_to_end/workstation.h"

#include <windows.h>

#include "tests/end_to_end/running_program.h"

namespace e2e {

::testing::AssertionResult Sim(const std::string& arguments) {
  SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
  HANDLE reading = nullptr;
  HANDLE writing = nullptr;
  CreatePipe(&reading, &writing, &inherited, 0);
  SetHandleInformation(reading, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = writing;
  startup.hStdError = writing;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  std::string commandLine = "\"" + ProgramFolder() + "tolvane-sim.exe\" " + arguments;
  PROCESS_INFORMATION process{};
  const bool started = CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                                      nullptr, &startup, &process);
  CloseHandle(writing);
  std::string output;
  char buffer[512];
  DWORD got = 0;
  while (started && ReadFile(reading, buffer, sizeof buffer, &got, nullptr) && got > 0) output.append(buffer, got);
  CloseHandle(reading);
  if (!started) return ::testing::AssertionFailure() << "cannot start " << commandLine;
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 1;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  if (code == 0) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "tolvane-sim " << arguments << " ended with " << code << ": " << output;
}

std::string TemporaryPath(const std::string& name) {
  char folder[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, folder);
  const std::string path = std::string(folder) + "tolvane-e2e-" + std::to_string(GetCurrentProcessId()) + "-" + name;
  DeleteFileA(path.c_str());
  return path;
}

}  // namespace e2e
