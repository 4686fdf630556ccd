#include "shell/ui/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <QMetaObject>
#include <sys/socket.h>

#include <array>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <system_error>
#include <vector>

#include "platform/deviceio/socket_io.h"
#include "platform/system/machine_root.h"
#include "platform/time/monitor_messages.h"

namespace ov {

namespace {

// A command line is a handful of digits; a peer that sends more is not one of ours.
constexpr size_t kMaxCommandBytes = 16;
// Peers that connect and stay silent are dropped for newer ones past this many.
constexpr size_t kMaxPeers = 8;

std::string SocketPath(const std::filesystem::path& runtimeDirectory) {
  return (runtimeDirectory / kInstanceSocketName).string();
}

bool MakeRuntimeDirectory(const std::filesystem::path& folder) {
  std::error_code ec;
  if (std::filesystem::is_directory(folder, ec)) return true;
  std::filesystem::create_directories(folder, ec);
  if (ec) return false;
  // Only the user's own processes may hand commands to the running utility.
  ::chmod(folder.c_str(), 0700);
  return true;
}

}  // namespace

std::filesystem::path DefaultRuntimeDirectory() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime != nullptr && runtime[0] == '/') return UnderRoot(std::string(runtime + 1) + "/ovui");
  return UnderRoot("run/ovui");
}

std::string EncodeHandOffCommand(uint32_t command) { return std::to_string(command) + "\n"; }

std::optional<uint32_t> DecodeHandOffCommand(std::string_view line) {
  if (!line.empty() && line.back() == '\n') line.remove_suffix(1);
  if (line.empty() || line.size() > 10) return std::nullopt;
  uint32_t value = 0;
  const auto [end, error] = std::from_chars(line.data(), line.data() + line.size(), value);
  if (error != std::errc() || end != line.data() + line.size()) return std::nullopt;
  if (value != IDM_TRAY_LAUNCH && value != IDM_TRAY_EXIT && value != IDM_TRAY_SWITCH_AP_MODE) {
    return std::nullopt;
  }
  return value;
}

// The listening socket and the peers that have not finished their line yet, on plain sockets
// watched by the event loop (no network module needed for one line from a local peer).
class SingleInstance::Listener {
 public:
  Listener(int fd, std::shared_ptr<CommandHandler> handler)
      : fd_(fd), handler_(std::move(handler)), notifier_(fd, QSocketNotifier::Read) {
    QObject::connect(&notifier_, &QSocketNotifier::activated, &notifier_, [this] { Accept(); });
  }
  ~Listener() {
    peers_.clear();
    ::close(fd_);
  }

 private:
  struct Peer {
    int fd;
    std::string bytes;
    std::unique_ptr<QSocketNotifier> notifier;
    ~Peer() {
      notifier.reset();  // stops watching before the descriptor's number can be reused
      ::close(fd);
    }
  };

  void Accept() {
    for (;;) {
      const int fd = ::accept4(fd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
      if (fd < 0) return;
      if (peers_.size() >= kMaxPeers) peers_.erase(peers_.begin());
      auto peer = std::make_unique<Peer>();
      peer->fd = fd;
      peer->notifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
      Peer* raw = peer.get();
      QObject::connect(peer->notifier.get(), &QSocketNotifier::activated, peer->notifier.get(),
                       [this, raw] { Read(raw); });
      peers_.push_back(std::move(peer));
    }
  }

  // Collects one line, then acts on it once. The command is posted, as a window message would
  // be, so the handler never runs inside this socket's own notification.
  void Read(Peer* peer) {
    std::array<char, kMaxCommandBytes + 1> buffer;
    const ssize_t n = ::recv(peer->fd, buffer.data(), kMaxCommandBytes + 1 - peer->bytes.size(), 0);
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) return;
    if (n > 0) peer->bytes.append(buffer.data(), static_cast<size_t>(n));
    const size_t newline = peer->bytes.find('\n');
    if (newline == std::string::npos && n > 0 && peer->bytes.size() <= kMaxCommandBytes) return;
    std::optional<uint32_t> command;
    if (newline != std::string::npos)
      command = DecodeHandOffCommand(std::string_view(peer->bytes).substr(0, newline + 1));
    Drop(peer);
    if (!command) return;
    std::shared_ptr<CommandHandler> handler = handler_;
    QMetaObject::invokeMethod(
        &notifier_,
        [handler, value = *command] {
          if (*handler) (*handler)(value);
        },
        Qt::QueuedConnection);
  }

  // Deleted later: the peer's notifier is the sender of the signal being handled.
  void Drop(Peer* peer) {
    for (auto it = peers_.begin(); it != peers_.end(); ++it) {
      if (it->get() != peer) continue;
      (*it)->notifier->setEnabled(false);
      (*it)->notifier.release()->deleteLater();
      peers_.erase(it);
      return;
    }
  }

  int fd_;
  std::shared_ptr<CommandHandler> handler_;
  QSocketNotifier notifier_;
  std::vector<std::unique_ptr<Peer>> peers_;
};

SingleInstance::SingleInstance(std::filesystem::path runtimeDirectory)
    : runtimeDirectory_(std::move(runtimeDirectory)),
      handler_(std::make_shared<CommandHandler>()) {}

SingleInstance::~SingleInstance() {
  listener_.reset();
  if (lockFd_ >= 0) ::close(lockFd_);  // releases the lock
}

SingleInstance::Role SingleInstance::Acquire() {
  if (!MakeRuntimeDirectory(runtimeDirectory_)) return Role::First;
  const auto lockPath = runtimeDirectory_ / kInstanceLockName;
  const int fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  // Without a lock file the utility still runs; it only loses the one-instance guarantee.
  if (fd < 0) return Role::First;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int error = errno;
    ::close(fd);
    return error == EWOULDBLOCK ? Role::Second : Role::First;
  }
  lockFd_ = fd;
  StartListening();
  return Role::First;
}

void SingleInstance::StartListening() {
  const std::string path = SocketPath(runtimeDirectory_);
  // The lock is ours, so whatever has the socket's name in our private folder was left by a run
  // that ended badly (unlink removes a link itself, never its target).
  ::unlink(path.c_str());
  const int fd = ListenUnixSocket(path, static_cast<int>(kMaxPeers));
  if (fd < 0) return;
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
  ::chmod(path.c_str(), 0600);
  listener_ = std::make_unique<Listener>(fd, handler_);
}

bool SingleInstance::Listening() const { return listener_ != nullptr; }

void SingleInstance::SetCommandHandler(CommandHandler handler) { *handler_ = std::move(handler); }

bool SingleInstance::SendCommand(const std::filesystem::path& runtimeDirectory, uint32_t command,
                                 int timeoutMs) {
  const int fd = ConnectUnixSocket(SocketPath(runtimeDirectory), timeoutMs);
  if (fd < 0) return false;
  const std::string line = EncodeHandOffCommand(command);
  // The line waits in the socket for the running instance to read it after this one closed.
  const bool sent = SendAll(fd, line.data(), line.size(), Deadline(timeoutMs));
  ::close(fd);
  return sent;
}

}  // namespace ov
