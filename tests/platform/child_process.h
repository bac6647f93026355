// A forked child that does some work (typically: takes a lock), tells the
// parent whether it succeeded, and then either dies on the spot or waits for
// the parent's word, cleans up and exits. The child always leaves with _exit,
// so no test-framework state runs twice, and it is always reaped.
#pragma once

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

class ChildProcess {
 public:
  enum class AfterReady { WaitForParent, Die };

  ChildProcess(const std::function<bool()>& work, const std::function<void()>& cleanup, AfterReady after) {
    int ready[2];
    int go[2];
    if (pipe2(ready, O_CLOEXEC) != 0) return;
    if (pipe2(go, O_CLOEXEC) != 0) {
      close(ready[0]);
      close(ready[1]);
      return;
    }
    pid_ = fork();
    if (pid_ == 0) {
      close(ready[0]);
      close(go[1]);
      const char succeeded = work() ? 1 : 0;
      if (write(ready[1], &succeeded, 1) != 1 || after == AfterReady::Die) _exit(0);
      char unused;
      // Returns when the parent lets go, or when the parent itself is gone.
      while (read(go[0], &unused, 1) > 0) {
      }
      cleanup();
      _exit(0);
    }
    close(ready[1]);
    close(go[0]);
    readyFd_ = ready[0];
    goFd_ = go[1];
    if (pid_ < 0) Finish();
  }
  ~ChildProcess() { Finish(); }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Blocks until the child has done its work; false when it failed or died first.
  bool WaitReady() {
    char succeeded = 0;
    return readyFd_ >= 0 && read(readyFd_, &succeeded, 1) == 1 && succeeded == 1;
  }

  // Lets a waiting child clean up and exit, and reaps it.
  void Finish() {
    if (goFd_ >= 0) close(goFd_);
    if (readyFd_ >= 0) close(readyFd_);
    goFd_ = readyFd_ = -1;
    if (pid_ > 0) waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }

 private:
  pid_t pid_ = -1;
  int readyFd_ = -1;
  int goFd_ = -1;
};
