// Power broadcasts from systemd-logind: a thread owns the system-bus connection
// (sd-bus objects belong to one thread), listens for PrepareForSleep and keeps
// a delay inhibitor while the system is awake. The simulated machine's own
// notices arrive through its listener while any window watches.
#include "platform/power_events.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <systemd/sd-bus.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <atomic>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/posted_answer.h"
#include "simulator/machine/power_notices.h"

namespace platform {
namespace {

constexpr const char* kLogin = "org.freedesktop.login1";
constexpr const char* kLoginPath = "/org/freedesktop/login1";
constexpr const char* kLoginManager = "org.freedesktop.login1.Manager";

std::mutex watchersLock;
std::vector<HWND> watchers;

// The delay inhibitor's descriptor; closing it lets the system sleep.
std::atomic<int> inhibitor{-1};

void ReleaseInhibitor() {
  const int fd = inhibitor.exchange(-1);
  if (fd >= 0) close(fd);
}

// Bus thread.
void TakeInhibitor(sd_bus* bus) {
  sd_bus_error error = SD_BUS_ERROR_NULL;
  sd_bus_message* reply = nullptr;
  int fd = -1;
  if (sd_bus_call_method(bus, kLogin, kLoginPath, kLoginManager, "Inhibit", &error, &reply, "ssss",
                         "sleep", "Tolvane Device Diagnostic Utility",
                         "Stopping continuous capture", "delay") >= 0 &&
      sd_bus_message_read(reply, "h", &fd) >= 0) {
    // The descriptor belongs to the reply; keep a copy of our own.
    const int own = fcntl(fd, F_DUPFD_CLOEXEC, 3);
    if (own >= 0) {
      const int old = inhibitor.exchange(own);
      if (old >= 0) close(old);
    }
  }
  sd_bus_message_unref(reply);
  sd_bus_error_free(&error);
}

// Bus thread.
int OnPrepareForSleep(sd_bus_message* signal, void* userdata, sd_bus_error*) {
  int start = 0;
  if (sd_bus_message_read(signal, "b", &start) < 0) return 0;
  DeliverPrepareForSleep(start != 0);
  if (!start) TakeInhibitor(static_cast<sd_bus*>(userdata));
  return 0;
}

// The connection to logind, from the first watching window to the end of the program.
class SleepWatcher {
 public:
  SleepWatcher() {
    wake_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wake_ < 0) return;
    if (sd_bus_open_system(&bus_) < 0) {
      bus_ = nullptr;
      return;
    }
    if (sd_bus_match_signal(bus_, nullptr, kLogin, kLoginPath, kLoginManager, "PrepareForSleep",
                            OnPrepareForSleep, bus_) < 0) {
      return;
    }
    thread_ = std::thread([this] { Run(); });
  }
  ~SleepWatcher() {
    if (thread_.joinable()) {
      const uint64_t one = 1;
      (void)!write(wake_, &one, sizeof one);
      thread_.join();
    }
    ReleaseInhibitor();
    sd_bus_flush_close_unref(bus_);
    if (wake_ >= 0) close(wake_);
  }
  SleepWatcher(const SleepWatcher&) = delete;
  SleepWatcher& operator=(const SleepWatcher&) = delete;

 private:
  void Run() {
    TakeInhibitor(bus_);
    for (;;) {
      int processed;
      while ((processed = sd_bus_process(bus_, nullptr)) > 0) {
      }
      if (processed < 0) return;  // the bus went away
      uint64_t timeoutUs = 0;
      int timeoutMs = -1;
      if (sd_bus_get_timeout(bus_, &timeoutUs) > 0 && timeoutUs != UINT64_MAX) {
        timeoutMs = static_cast<int>(std::min<uint64_t>(timeoutUs / 1000 + 1, 1000));
      }
      pollfd fds[2] = {{sd_bus_get_fd(bus_), static_cast<short>(sd_bus_get_events(bus_)), 0},
                       {wake_, POLLIN, 0}};
      if (poll(fds, 2, timeoutMs) < 0 && errno != EINTR) return;
      if (fds[1].revents != 0) return;
    }
  }

  int wake_ = -1;
  sd_bus* bus_ = nullptr;
  std::thread thread_;
};

// Posts the suspend or resume broadcast to every watching window; how many took it.
size_t PostPowerBroadcast(bool suspend, std::function<void()> whenAnswered) {
  std::vector<HWND> targets;
  {
    std::lock_guard guard(watchersLock);
    targets = watchers;
  }
  // A suspend waits for every window's answer; the last answer (or this
  // function's own share, when no window took it) runs `whenAnswered`.
  auto unanswered = std::make_shared<std::atomic<size_t>>(targets.size() + 1);
  auto answered = [unanswered, whenAnswered = std::move(whenAnswered)](LRESULT) {
    if (unanswered->fetch_sub(1) == 1 && whenAnswered) whenAnswered();
  };
  std::vector<HWND> gone;
  for (HWND window : targets) {
    const WPARAM event = suspend ? PBT_APMSUSPEND : PBT_APMRESUMEAUTOMATIC;
    if (PostMessageWithAnswer(window, WM_POWERBROADCAST, event, 0, suspend ? answered : PostedAnswer{})) {
      continue;
    }
    gone.push_back(window);
    if (suspend) answered(0);
  }
  if (suspend) answered(0);
  // Handles are never reused, so a window that no longer takes posts is gone for good.
  std::lock_guard guard(watchersLock);
  std::erase_if(watchers, [&](HWND window) {
    return std::find(gone.begin(), gone.end(), window) != gone.end();
  });
  return targets.size() - gone.size();
}

void EnsureSleepWatcher() {
  static SleepWatcher watcher;
}

// The machine's notices, from the first watching window until the last is
// unregistered, so that each listens on the machine it was made on.
std::mutex machineNoticesLock;
std::unique_ptr<sim::PowerNoticeListener> machineNotices;

// Listener thread.
void DeliverMachineNotice(sim::PowerNotice notice, std::shared_ptr<sim::PowerNoticeReply> reply) {
  const bool suspend = notice == sim::PowerNotice::Suspend;
  reply->Received(PostPowerBroadcast(suspend, [reply] { reply->Answered(); }));
}

}  // namespace

void WatchPowerEvents(HWND window) {
  {
    std::lock_guard guard(watchersLock);
    watchers.push_back(window);
  }
  EnsureSleepWatcher();
  std::lock_guard guard(machineNoticesLock);
  if (!machineNotices) machineNotices = std::make_unique<sim::PowerNoticeListener>(DeliverMachineNotice);
}

void ForgetPowerWatcher(HWND window) {
  bool none;
  {
    std::lock_guard guard(watchersLock);
    std::erase(watchers, window);
    none = watchers.empty();
  }
  if (!none) return;
  // Outside the watchers' lock: the listener's thread takes it to post.
  std::unique_ptr<sim::PowerNoticeListener> stopped;
  {
    std::lock_guard guard(machineNoticesLock);
    stopped = std::move(machineNotices);
  }
}

void DeliverPrepareForSleep(bool start) { PostPowerBroadcast(start, ReleaseInhibitor); }

}  // namespace platform
