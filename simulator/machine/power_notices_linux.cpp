#include "simulator/machine/power_notices.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "simulator/machine/files.h"
#include "simulator/machine/machine.h"
#include "simulator/machine/root.h"

namespace sim {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr std::string_view kSuspendRequest = "suspend\n";
constexpr std::string_view kResumeRequest = "resume\n";
// How long a program waits for the request line after a sender connected.
constexpr int kRequestWaitMs = 1000;

// A socket address for a path of any length: it names the file through a
// descriptor of its folder, as a machine root may be longer than an address holds.
class SocketAddress {
 public:
  explicit SocketAddress(const fs::path& path)
      : folder_(::open(path.parent_path().c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC)) {
    address_.sun_family = AF_UNIX;
    std::snprintf(address_.sun_path, sizeof address_.sun_path, "/proc/self/fd/%d/%s", folder_,
                  path.filename().c_str());
  }
  ~SocketAddress() {
    if (folder_ >= 0) ::close(folder_);
  }
  SocketAddress(const SocketAddress&) = delete;
  SocketAddress& operator=(const SocketAddress&) = delete;

  bool Usable() const { return folder_ >= 0; }
  const sockaddr* Get() const { return reinterpret_cast<const sockaddr*>(&address_); }
  socklen_t Size() const { return sizeof address_; }

 private:
  int folder_;
  sockaddr_un address_{};
};

bool SendAll(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t sent = ::send(fd, text.data(), text.size(), MSG_NOSIGNAL);
    if (sent < 0 && errno == EINTR) continue;
    if (sent <= 0) return false;
    text.remove_prefix(static_cast<size_t>(sent));
  }
  return true;
}

// The request line a sender wrote, read within kRequestWaitMs.
std::optional<PowerNotice> ReadRequest(int connection) {
  std::string line;
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(kRequestWaitMs);
  while (line.size() < kSuspendRequest.size() && !line.ends_with('\n')) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    pollfd fd{connection, POLLIN, 0};
    if (left.count() <= 0 || ::poll(&fd, 1, static_cast<int>(left.count())) <= 0) return std::nullopt;
    char buffer[16];
    const ssize_t length = ::read(connection, buffer, kSuspendRequest.size() - line.size());
    if (length <= 0) return std::nullopt;
    line.append(buffer, static_cast<size_t>(length));
  }
  if (line == kSuspendRequest) return PowerNotice::Suspend;
  if (line == kResumeRequest) return PowerNotice::Resume;
  return std::nullopt;
}

void CloseQuietly(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

}  // namespace

PowerNoticeReply::~PowerNoticeReply() { CloseLocked(); }

void PowerNoticeReply::Received(size_t windows) {
  std::lock_guard guard(lock_);
  if (received_ || connection_ < 0) return;
  received_ = true;
  SendAll(connection_, std::to_string(windows) + "\n");
  if (answered_) CloseLocked();
}

void PowerNoticeReply::Answered() {
  std::lock_guard guard(lock_);
  answered_ = true;
  if (received_) CloseLocked();
}

void PowerNoticeReply::CloseLocked() { CloseQuietly(connection_); }

PowerNoticeListener::PowerNoticeListener(Deliver deliver) : deliver_(std::move(deliver)) {
  const fs::path folder = PowerDirectory(EnsureMachineQuietly());
  std::error_code error;
  fs::create_directories(folder, error);
  socket_ = folder / (std::to_string(::getpid()) + ".sock");
  // A socket of this process id is left over from a program that ended.
  ::unlink(socket_.c_str());
  listening_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  wake_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  const SocketAddress address(socket_);
  if (listening_ < 0 || wake_ < 0 || !address.Usable() ||
      ::bind(listening_, address.Get(), address.Size()) != 0 || ::listen(listening_, 8) != 0) {
    std::cerr << "tolvane-sim: no suspend or resume notices: " << socket_.string() << ": "
              << std::strerror(errno) << "\n";
    CloseQuietly(listening_);
    return;
  }
  thread_ = std::thread([this] { Run(); });
}

PowerNoticeListener::~PowerNoticeListener() {
  if (thread_.joinable()) {
    const uint64_t one = 1;
    while (::write(wake_, &one, sizeof one) < 0 && errno == EINTR) {
    }
    thread_.join();
  }
  if (listening_ >= 0) ::unlink(socket_.c_str());
  CloseQuietly(listening_);
  CloseQuietly(wake_);
}

void PowerNoticeListener::Run() {
  pollfd fds[2] = {{wake_, POLLIN, 0}, {listening_, POLLIN, 0}};
  for (;;) {
    if (::poll(fds, 2, -1) < 0) {
      if (errno == EINTR) continue;
      return;
    }
    if (fds[0].revents != 0) return;
    if (fds[1].revents == 0) continue;
    const int connection = ::accept4(listening_, nullptr, nullptr, SOCK_CLOEXEC);
    if (connection >= 0) Serve(connection);
  }
}

void PowerNoticeListener::Serve(int connection) {
  const std::optional<PowerNotice> notice = ReadRequest(connection);
  if (!notice) {
    ::close(connection);
    return;
  }
  deliver_(*notice, std::make_shared<PowerNoticeReply>(connection));
}

PowerNoticeResult SendPowerNotice(PowerNotice notice, std::chrono::milliseconds answerWait) {
  const fs::path folder = PowerDirectory(EnsureMachine());
  const std::string_view request = notice == PowerNotice::Suspend ? kSuspendRequest : kResumeRequest;
  struct Program {
    int connection;
    std::string answer;
    bool answered = false;
  };
  std::vector<Program> programs;
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
    if (entry.path().extension() != ".sock") continue;
    int connection = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const SocketAddress address(entry.path());
    const bool connected =
        connection >= 0 && address.Usable() && ::connect(connection, address.Get(), address.Size()) == 0;
    if (!connected && errno == ECONNREFUSED) ::unlink(entry.path().c_str());
    if (!connected || !SendAll(connection, request)) {
      CloseQuietly(connection);
      continue;
    }
    programs.push_back({connection, {}});
  }

  const Clock::time_point deadline = Clock::now() + answerWait;
  for (;;) {
    std::vector<pollfd> waiting;
    for (const Program& program : programs) {
      if (!program.answered) waiting.push_back({program.connection, POLLIN, 0});
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (waiting.empty() || left.count() <= 0) break;
    if (::poll(waiting.data(), waiting.size(), static_cast<int>(left.count())) < 0 && errno != EINTR) break;
    for (const pollfd& ready : waiting) {
      if (ready.revents == 0) continue;
      for (Program& program : programs) {
        if (program.connection != ready.fd) continue;
        char buffer[32];
        const ssize_t length = ::read(program.connection, buffer, sizeof buffer);
        if (length > 0 && program.answer.size() < 64) program.answer.append(buffer, static_cast<size_t>(length));
        if (length == 0 || (length < 0 && errno != EINTR)) program.answered = true;
      }
    }
  }

  PowerNoticeResult result;
  for (Program& program : programs) {
    ++result.programs;
    if (!program.answered) ++result.unanswered;
    // The count is the answer's first line; a program that ended before it counts no window.
    const size_t end = program.answer.find('\n');
    if (end != std::string::npos) {
      result.windows += std::strtoull(program.answer.substr(0, end).c_str(), nullptr, 10);
    }
    ::close(program.connection);
  }
  return result;
}

}  // namespace sim
