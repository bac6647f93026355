// Starts lock_holder (built beside the test programs) as another process that
// takes a named mutex, and lets a test wait until it holds it, then let it go.
// The only place where the tests start a process, so the one place that
// differs between the two systems.
#pragma once

#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#endif

class LockHolder {
 public:
  enum class Then {
    ReleaseWhenFinished,  // holds it until Finish, then releases it and ends
    Die,                  // ends at once, holding it: the mutex is abandoned
  };

  LockHolder(const std::string& mutexName, Then then) {
    const std::string mode = then == Then::Die ? "die" : "hold";
    Start(ProgramDirectory() + kSeparator + kProgramName, mutexName, mode);
  }
  ~LockHolder() { Finish(); }
  LockHolder(const LockHolder&) = delete;
  LockHolder& operator=(const LockHolder&) = delete;

  // Blocks until the holder has the mutex; false when it could not take it or did not start.
  bool WaitHeld() {
    char held = 0;
    return ReadByte(held) && held == '1';
  }

  // Lets a holder that waits release the mutex, and waits for its end.
  void Finish();

 private:
  void Start(const std::string& program, const std::string& mutexName, const std::string& mode);
  bool ReadByte(char& byte);
  static std::string ProgramDirectory();

#ifdef _WIN32
  static constexpr const char* kProgramName = "lock_holder.exe";
  static constexpr char kSeparator = '\\';
  HANDLE toChild_ = nullptr;
  HANDLE fromChild_ = nullptr;
  HANDLE process_ = nullptr;
#else
  static constexpr const char* kProgramName = "lock_holder";
  static constexpr char kSeparator = '/';
  int toChild_ = -1;
  int fromChild_ = -1;
  pid_t process_ = -1;
#endif
};

#ifdef _WIN32

inline std::string LockHolder::ProgramDirectory() {
  char path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  const std::string program(path, length);
  return program.substr(0, program.find_last_of('\\'));
}

inline void LockHolder::Start(const std::string& program, const std::string& mutexName,
                              const std::string& mode) {
  SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE childInput = nullptr;
  HANDLE childOutput = nullptr;
  if (!CreatePipe(&childInput, &toChild_, &inheritable, 0)) return;
  if (!CreatePipe(&fromChild_, &childOutput, &inheritable, 0)) {
    CloseHandle(childInput);
    return;
  }
  SetHandleInformation(toChild_, HANDLE_FLAG_INHERIT, 0);
  SetHandleInformation(fromChild_, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = childInput;
  startup.hStdOutput = childOutput;
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  std::string command = "\"" + program + "\" " + mutexName + " " + mode;
  PROCESS_INFORMATION started{};
  if (CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                     &started)) {
    CloseHandle(started.hThread);
    process_ = started.hProcess;
  }
  CloseHandle(childInput);
  CloseHandle(childOutput);
}

inline bool LockHolder::ReadByte(char& byte) {
  DWORD read = 0;
  return fromChild_ != nullptr && ReadFile(fromChild_, &byte, 1, &read, nullptr) && read == 1;
}

inline void LockHolder::Finish() {
  for (HANDLE* pipe : {&toChild_, &fromChild_}) {
    if (*pipe != nullptr) CloseHandle(*pipe);
    *pipe = nullptr;
  }
  if (process_ != nullptr) {
    WaitForSingleObject(process_, INFINITE);
    CloseHandle(process_);
  }
  process_ = nullptr;
}

#else

inline std::string LockHolder::ProgramDirectory() {
  std::error_code error;
  return std::filesystem::read_symlink("/proc/self/exe", error).parent_path().string();
}

inline void LockHolder::Start(const std::string& program, const std::string& mutexName,
                              const std::string& mode) {
  int input[2];
  int output[2];
  if (pipe2(input, O_CLOEXEC) != 0) return;
  if (pipe2(output, O_CLOEXEC) != 0) {
    close(input[0]);
    close(input[1]);
    return;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, input[0], STDIN_FILENO);
  posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
  const char* arguments[] = {program.c_str(), mutexName.c_str(), mode.c_str(), nullptr};
  pid_t child = -1;
  if (posix_spawn(&child, program.c_str(), &actions, nullptr, const_cast<char* const*>(arguments), environ) == 0) {
    process_ = child;
  }
  posix_spawn_file_actions_destroy(&actions);
  close(input[0]);
  close(output[1]);
  toChild_ = input[1];
  fromChild_ = output[0];
}

inline bool LockHolder::ReadByte(char& byte) { return fromChild_ >= 0 && read(fromChild_, &byte, 1) == 1; }

inline void LockHolder::Finish() {
  for (int* pipe : {&toChild_, &fromChild_}) {
    if (*pipe >= 0) close(*pipe);
    *pipe = -1;
  }
  if (process_ > 0) waitpid(process_, nullptr, 0);
  process_ = -1;
}

#endif
