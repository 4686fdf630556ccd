#pragma once
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

// One running utility per user session. The first start holds an exclusive lock on
// "<runtime>/WXP3.lock" for its whole life and listens on the local socket "<runtime>/OvUI"
// (named after the window title); a later start finds the lock taken, sends its command (32771,
// open the main window) over the socket and ends. A lock file, not the socket, decides who is
// first: a socket left behind by a crashed run cannot make a new start believe another runs.
namespace ov {

inline constexpr char kInstanceLockName[] = "WXP3.lock";
inline constexpr char kInstanceSocketName[] = "OvUI";

// <root>$XDG_RUNTIME_DIR/ovui when XDG_RUNTIME_DIR is an absolute path, else <root>/run/ovui.
std::filesystem::path DefaultRuntimeDirectory();

// One command line on the socket: decimal digits and "\n". Only the tray commands (32771 to
// 32773) are accepted; anything else is nothing.
std::string EncodeHandOffCommand(uint32_t command);
std::optional<uint32_t> DecodeHandOffCommand(std::string_view line);

class SingleInstance {
 public:
  using CommandHandler = std::function<void(uint32_t command)>;

  enum class Role {
    First,   // this process runs the utility (also when no lock could be made at all)
    Second,  // another process holds the lock
  };

  explicit SingleInstance(std::filesystem::path runtimeDirectory);
  ~SingleInstance();
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  // Takes the lock. As the first instance, starts listening (needs a QCoreApplication; commands
  // arrive while its event loop runs). Call once.
  Role Acquire();
  bool HoldsLock() const { return lockFd_ >= 0; }
  bool Listening() const;

  // Commands that arrive before a handler is set are dropped, as a message to a window that
  // does not exist yet would be.
  void SetCommandHandler(CommandHandler handler);

  // The second start's side: deliver one command to the first instance. False when nobody
  // listens or the command could not be written within `timeoutMs`.
  static bool SendCommand(const std::filesystem::path& runtimeDirectory, uint32_t command,
                          int timeoutMs = 2000);

  const std::filesystem::path& RuntimeDirectory() const { return runtimeDirectory_; }

 private:
  class Listener;
  void StartListening();

  std::filesystem::path runtimeDirectory_;
  int lockFd_ = -1;
  std::unique_ptr<Listener> listener_;
  std::shared_ptr<CommandHandler> handler_;
};

}  // namespace ov
