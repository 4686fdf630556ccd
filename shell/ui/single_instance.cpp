#include "shell/ui/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QByteArray>
#include <QLocalServer>
#include <QLocalSocket>
#include <QMetaObject>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <system_error>

#include "platform/system/machine_root.h"
#include "platform/time/monitor_messages.h"

namespace ov {

namespace {

// A command line is a handful of digits; a peer that sends more is not one of ours.
constexpr qsizetype kMaxCommandBytes = 16;

QString SocketPath(const std::filesystem::path& runtimeDirectory) {
  return QString::fromStdString((runtimeDirectory / kInstanceSocketName).string());
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

SingleInstance::SingleInstance(std::filesystem::path runtimeDirectory)
    : runtimeDirectory_(std::move(runtimeDirectory)),
      handler_(std::make_shared<CommandHandler>()) {}

SingleInstance::~SingleInstance() {
  if (server_) {
    server_->close();
    server_.reset();
  }
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
  const QString path = SocketPath(runtimeDirectory_);
  // The lock is ours, so a socket file still there was left by a run that ended badly.
  QLocalServer::removeServer(path);
  server_ = std::make_unique<QLocalServer>();
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  if (!server_->listen(path)) {
    server_.reset();
    return;
  }
  QLocalServer* server = server_.get();
  std::shared_ptr<CommandHandler> handler = handler_;
  QObject::connect(server, &QLocalServer::newConnection, server, [server, handler] {
    while (QLocalSocket* socket = server->nextPendingConnection()) {
      QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
      // Collect one line, then act on it once. The command is posted, as a window message
      // would be, so the handler never runs inside this socket's own signal.
      struct Pending {
        QByteArray bytes;
        bool done = false;
      };
      auto pending = std::make_shared<Pending>();
      auto readLine = [server, socket, handler, pending] {
        if (pending->done) return;
        pending->bytes.append(socket->read(kMaxCommandBytes + 1 - pending->bytes.size()));
        const qsizetype newline = pending->bytes.indexOf('\n');
        if (newline < 0) {
          if (pending->bytes.size() > kMaxCommandBytes) {
            pending->done = true;
            socket->abort();
          }
          return;
        }
        pending->done = true;
        const auto command =
            DecodeHandOffCommand(std::string_view(pending->bytes.constData(), newline + 1));
        socket->disconnectFromServer();
        if (!command) return;
        QMetaObject::invokeMethod(
            server,
            [handler, value = *command] {
              if (*handler) (*handler)(value);
            },
            Qt::QueuedConnection);
      };
      QObject::connect(socket, &QLocalSocket::readyRead, socket, readLine);
      if (socket->bytesAvailable() > 0) readLine();
    }
  });
}

bool SingleInstance::Listening() const { return server_ && server_->isListening(); }

void SingleInstance::SetCommandHandler(CommandHandler handler) { *handler_ = std::move(handler); }

bool SingleInstance::SendCommand(const std::filesystem::path& runtimeDirectory, uint32_t command,
                                 int timeoutMs) {
  QLocalSocket socket;
  socket.connectToServer(SocketPath(runtimeDirectory));
  if (!socket.waitForConnected(timeoutMs)) return false;
  const std::string line = EncodeHandOffCommand(command);
  socket.write(line.data(), static_cast<qint64>(line.size()));
  if (!socket.waitForBytesWritten(timeoutMs)) return false;
  socket.disconnectFromServer();
  if (socket.state() != QLocalSocket::UnconnectedState) socket.waitForDisconnected(timeoutMs);
  return true;
}

}  // namespace ov
