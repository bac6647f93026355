// SIGTERM and SIGINT as WM_CLOSE: the signal handler only writes the signal's
// number into a pipe (posting a message is not safe in a handler); a thread
// reads it and posts the message.
#include "platform/close_requests.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <thread>

namespace platform {
namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT};

int pipeEnds[2] = {-1, -1};
std::atomic<HWND> watchingWindow{nullptr};

// After the first request the default action is back: a second signal ends
// the program even while the window is still closing.
void OnCloseSignal(int signal) {
  const int savedErrno = errno;
  struct sigaction fallback {};
  fallback.sa_handler = SIG_DFL;
  for (int each : kSignals) sigaction(each, &fallback, nullptr);
  const unsigned char number = static_cast<unsigned char>(signal);
  (void)!write(pipeEnds[1], &number, 1);
  errno = savedErrno;
}

class CloseRequestWatcher {
 public:
  CloseRequestWatcher() {
    if (pipe2(pipeEnds, O_CLOEXEC) != 0) return;
    thread_ = std::thread([] { Run(); });
    struct sigaction action {};
    action.sa_handler = OnCloseSignal;
    sigemptyset(&action.sa_mask);
    for (int each : kSignals) sigaction(each, &action, nullptr);
  }
  ~CloseRequestWatcher() {
    if (!thread_.joinable()) return;
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    for (int each : kSignals) sigaction(each, &fallback, nullptr);
    const unsigned char stop = 0;
    (void)!write(pipeEnds[1], &stop, 1);
    thread_.join();
    close(pipeEnds[0]);
    close(pipeEnds[1]);
  }
  CloseRequestWatcher(const CloseRequestWatcher&) = delete;
  CloseRequestWatcher& operator=(const CloseRequestWatcher&) = delete;

 private:
  static void Run() {
    for (;;) {
      unsigned char number = 0;
      const ssize_t got = read(pipeEnds[0], &number, 1);
      if (got < 0 && errno == EINTR) continue;
      if (got != 1 || number == 0) return;
      if (!PostMessageA(watchingWindow.load(), WM_CLOSE, 0, 0)) raise(number);
    }
  }

  std::thread thread_;
};

}  // namespace

void WatchCloseRequests(HWND window) {
  watchingWindow = window;
  static CloseRequestWatcher watcher;
}

}  // namespace platform
