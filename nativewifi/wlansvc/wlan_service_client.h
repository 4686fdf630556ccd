#pragma once
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "nativewifi/wlansvc/wlan_protocol.h"
#include "nativewifi/wlansvc/wlan_service.h"

// The wireless service reached over its socket (<root>/run/ovui/wlansvc by default).
//
// Threads: callers send their requests themselves and wait for the answer; one reader thread
// owns the receiving side (answers and notifications) and the reconnection; one delivery
// thread runs the notification callbacks in arrival order, so that a callback may call the
// service again without waiting on the thread that must read the answer.
//
// When the service goes away the requests in flight fail with ERROR_SERVICE_NOT_ACTIVE, and a
// handle registered for ACM notifications with a connection attempt under way gets
// wlan_notification_acm_connection_attempt_fail (reason WLAN_REASON_CODE_UNKNOWN) at once; the
// reader reconnects (at once, then backing off to once a second), opens a new service handle
// behind every open client handle and registers its notifications again, so callers keep
// their handles across a restart of the service. A request made while no service answers
// waits for one reconnection attempt and then fails with ERROR_SERVICE_NOT_ACTIVE.
namespace ov::wlan {

constexpr uint32_t ERROR_TIMEOUT = 1460;  // the service accepted a request but never answered

std::string DefaultServiceSocketPath();

class WlanServiceClient final : public WlanService {
 public:
  explicit WlanServiceClient(std::string socketPath = DefaultServiceSocketPath(),
                             int requestTimeoutMs = 10000);
  ~WlanServiceClient() override;
  WlanServiceClient(const WlanServiceClient&) = delete;
  WlanServiceClient& operator=(const WlanServiceClient&) = delete;

  uint32_t OpenHandle(uint32_t clientVersion, uint32_t* negotiatedVersion,
                      ClientHandle* handle) override;
  uint32_t CloseHandle(ClientHandle handle) override;
  uint32_t EnumInterfaces(ClientHandle handle, std::vector<InterfaceInfo>* interfaces) override;
  uint32_t QueryInterface(ClientHandle handle, const Guid& interfaceGuid, InterfaceOpcode opcode,
                          InterfaceQueryResult* result) override;
  uint32_t SetInterface(ClientHandle handle, const Guid& interfaceGuid, InterfaceOpcode opcode,
                        const PhyRadioState& radio) override;
  uint32_t Scan(ClientHandle handle, const Guid& interfaceGuid, const std::optional<Ssid>& ssid,
                const std::vector<uint8_t>& ieData) override;
  uint32_t GetNetworkBssList(ClientHandle handle, const Guid& interfaceGuid,
                             const std::optional<Ssid>& ssid, BssType bssType,
                             bool securityEnabled, std::vector<BssEntry>* entries) override;
  uint32_t GetAvailableNetworkList(ClientHandle handle, const Guid& interfaceGuid, uint32_t flags,
                                   std::vector<AvailableNetwork>* networks) override;
  uint32_t Connect(ClientHandle handle, const Guid& interfaceGuid,
                   const ConnectionParameters& parameters) override;
  uint32_t Disconnect(ClientHandle handle, const Guid& interfaceGuid) override;
  uint32_t SetProfile(ClientHandle handle, const Guid& interfaceGuid, uint32_t flags,
                      const std::string& profileXml, bool overwrite,
                      uint32_t* reasonCode) override;
  uint32_t GetProfile(ClientHandle handle, const Guid& interfaceGuid,
                      const std::string& profileName, std::string* profileXml,
                      uint32_t* flags) override;
  uint32_t DeleteProfile(ClientHandle handle, const Guid& interfaceGuid,
                         const std::string& profileName) override;
  uint32_t GetProfileList(ClientHandle handle, const Guid& interfaceGuid,
                          std::vector<ProfileInfo>* profiles) override;
  uint32_t SetProfileEapUserData(ClientHandle handle, const Guid& interfaceGuid,
                                 const std::string& profileName, const EapMethodType& eapType,
                                 uint32_t flags, const std::vector<uint8_t>& userData) override;
  uint32_t SetProfileEapXmlUserData(ClientHandle handle, const Guid& interfaceGuid,
                                    const std::string& profileName, uint32_t flags,
                                    const std::string& userDataXml) override;
  uint32_t IhvControl(ClientHandle handle, const Guid& interfaceGuid, IhvControlType type,
                      const std::vector<uint8_t>& in, uint32_t outSize,
                      std::vector<uint8_t>* out) override;
  uint32_t SetSecuritySettings(ClientHandle handle, SecurableObject object,
                               const std::string& sddl) override;
  uint32_t GetSecuritySettings(ClientHandle handle, SecurableObject object,
                               SecuritySettings* settings) override;
  uint32_t RegisterNotification(ClientHandle handle, uint32_t sourceMask, bool ignoreDuplicate,
                                NotificationCallback callback, uint32_t* previousMask) override;

  // How many times the reader has (re)connected to a service; for observers and tests.
  uint64_t connectionCount() const;

 private:
  struct Attempt {
    Guid interfaceGuid{};
    ConnectionNotificationData data;  // what the failure notification carries
    bool accepted = false;            // the service answered the connect request
  };
  struct HandleState {
    uint32_t clientVersion = kClientVersion2;
    ClientHandle remote = 0;
    uint32_t mask = 0;
    bool ignoreDuplicate = false;
    std::shared_ptr<NotificationCallback> callback;
    // The last connection attempt whose end the service has not reported: when the service
    // goes away after accepting it, it is reported failed at once, so no caller waits for an end
    // that will never come.
    std::optional<Attempt> attempt;
  };
  struct Pending {
    bool done = false;
    uint32_t status = ERROR_SUCCESS;  // of the transport; the payload carries the answer's
    std::vector<uint8_t> payload;
  };

  // One round trip: sends the request (its handle replaced by the service's), waits for the
  // answer and decodes it. Transport failures come back as the response's status.
  template <typename Request, typename Response>
  uint32_t call(Request request, Response* response);
  // `encode` makes the payload once the connection is known, with the lock held (so that a
  // handle is translated for the connection the request goes out on); false: invalid handle.
  using Encoder = std::function<bool(std::vector<uint8_t>*)>;
  uint32_t exchange(uint32_t type, const Encoder& encode, std::vector<uint8_t>* answer);
  bool remoteHandleLocked(ClientHandle local, ClientHandle* remote) const;
  // Waits until the reader is connected, asking it to try now; false when it could not.
  bool waitConnected(std::unique_lock<std::mutex>& lock);

  void startThreads();
  void readerLoop();
  bool connectAndRestore(int* fd);
  bool readFrame(int fd, protocol::FrameHeader* header, std::vector<uint8_t>* payload,
                 int firstByteTimeoutMs);
  void handleFrame(const protocol::FrameHeader& header, std::vector<uint8_t> payload);
  void dropConnection();
  // Queues wlan_notification_acm_connection_attempt_fail for the handle's attempt (when it is
  // registered for ACM notifications) and forgets the attempt. mutex_ held.
  void queueAttemptFailedLocked(ClientHandle local, HandleState& state);
  void deliveryLoop();
  void wake();
  void waitForCallbacks(std::unique_lock<std::mutex>& lock, ClientHandle local);

  const std::string socketPath_;
  const int requestTimeoutMs_;

  mutable std::mutex mutex_;
  std::condition_variable changed_;  // connection, answers, callbacks finished
  // Apart from `changed_`, so that the answer to every request does not wake the delivery thread.
  std::condition_variable deliveryQueued_;
  std::mutex sendMutex_;              // one frame at a time on the socket
  int fd_ = -1;
  bool connected_ = false;
  bool stopping_ = false;
  uint64_t attempts_ = 0;     // reconnection attempts finished
  int waiters_ = 0;           // requests waiting for a connection
  uint64_t connections_ = 0;  // successful (re)connections
  uint64_t drops_ = 0;        // connections lost
  uint32_t nextId_ = 1;
  ClientHandle nextLocal_ = 1;
  std::map<ClientHandle, HandleState> handles_;
  std::map<uint32_t, Pending> pending_;
  std::deque<std::pair<ClientHandle, Notification>> deliveries_;
  ClientHandle delivering_ = 0;  // the handle whose callback runs now
  int wakeFd_ = -1;
  std::thread reader_;
  std::thread delivery_;
  std::thread::id deliveryThreadId_;
};

}  // namespace ov::wlan
