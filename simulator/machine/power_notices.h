// The machine's suspend and resume notices (`tolvane-sim suspend`, `resume`),
// sent to every program that runs on the machine.
//
// A program that takes them listens on a socket <root>/power/<pid>.sock. The
// sender connects to each, writes "suspend\n" or "resume\n" and reads back
// "<windows>\n", the number of the program's windows that received the
// notice; the program closes the connection when it has answered (for a
// suspend notice: once every window has answered it). A socket nobody listens
// on is left over from a program that ended and is removed.
#pragma once

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace sim {

enum class PowerNotice { Suspend, Resume };

// One notice as a program received it. The sender waits until the program
// has answered: when Answered has been called, or the last holder let go.
class PowerNoticeReply {
 public:
  explicit PowerNoticeReply(int connection) : connection_(connection) {}
  ~PowerNoticeReply();
  PowerNoticeReply(const PowerNoticeReply&) = delete;
  PowerNoticeReply& operator=(const PowerNoticeReply&) = delete;

  // Any thread: how many windows received the notice.
  void Received(size_t windows);
  // Any thread: the program has answered; the sender stops waiting once it
  // knows how many windows received the notice.
  void Answered();

 private:
  void CloseLocked();

  std::mutex lock_;
  int connection_;
  bool received_ = false;
  bool answered_ = false;
};

// Takes the machine's notices for this program while it lives. `deliver` runs
// on the listener's own thread, once per notice.
class PowerNoticeListener {
 public:
  using Deliver = std::function<void(PowerNotice, std::shared_ptr<PowerNoticeReply>)>;

  // Listens on the machine at MachineRoot(); a failure is reported on stderr
  // and no notice ever arrives.
  explicit PowerNoticeListener(Deliver deliver);
  ~PowerNoticeListener();
  PowerNoticeListener(const PowerNoticeListener&) = delete;
  PowerNoticeListener& operator=(const PowerNoticeListener&) = delete;

 private:
  void Run();
  void Serve(int connection);

  const Deliver deliver_;
  std::filesystem::path socket_;
  int listening_ = -1;
  int wake_ = -1;
  std::thread thread_;
};

struct PowerNoticeResult {
  size_t windows = 0;      // windows that received the notice
  size_t programs = 0;     // programs that took it
  size_t unanswered = 0;   // of those, the ones that had not answered when the wait ended
};

// Sends the notice to every program on the machine at MachineRoot() and waits
// up to `answerWait` for their answers. Throws MachineError when the machine
// cannot be made.
PowerNoticeResult SendPowerNotice(PowerNotice notice, std::chrono::milliseconds answerWait);

}  // namespace sim
