#include "nativewifi/wlansvc/wlan_service_client.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>

#include "platform/deviceio/socket_io.h"
#include "platform/system/machine_root.h"

namespace ov::wlan {

using namespace protocol;

namespace {

constexpr int kConnectTimeoutMs = 1000;
constexpr int kFrameRestTimeoutMs = 5000;  // the rest of a frame once its first byte came
constexpr int kFirstRetryMs = 50;
constexpr int kMaxRetryMs = 1000;

}  // namespace

std::string DefaultServiceSocketPath() { return UnderRoot("run/ovui/wlansvc").string(); }

WlanServiceClient::WlanServiceClient(std::string socketPath, int requestTimeoutMs)
    : socketPath_(std::move(socketPath)), requestTimeoutMs_(requestTimeoutMs) {
  wakeFd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  startThreads();
}

WlanServiceClient::~WlanServiceClient() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake();
  changed_.notify_all();
  deliveryQueued_.notify_all();
  if (reader_.joinable()) reader_.join();
  if (delivery_.joinable()) delivery_.join();
  if (fd_ >= 0) ::close(fd_);
  if (wakeFd_ >= 0) ::close(wakeFd_);
}

void WlanServiceClient::startThreads() {
  reader_ = std::thread([this] { readerLoop(); });
  delivery_ = std::thread([this] { deliveryLoop(); });
  std::lock_guard lock(mutex_);
  deliveryThreadId_ = delivery_.get_id();
}

void WlanServiceClient::wake() {
  uint64_t one = 1;
  if (wakeFd_ >= 0) (void)!::write(wakeFd_, &one, sizeof one);
}

uint64_t WlanServiceClient::connectionCount() const {
  std::lock_guard lock(mutex_);
  return connections_;
}

// ---- Requests ----

bool WlanServiceClient::waitConnected(std::unique_lock<std::mutex>& lock) {
  if (connected_) return true;
  if (stopping_) return false;
  uint64_t seen = attempts_;
  ++waiters_;
  wake();
  changed_.wait_for(lock, std::chrono::milliseconds(requestTimeoutMs_),
                    [&] { return connected_ || attempts_ > seen || stopping_; });
  --waiters_;
  return connected_;
}

uint32_t WlanServiceClient::exchange(uint32_t type, const Encoder& encode,
                                     std::vector<uint8_t>* answer) {
  uint32_t id = 0;
  {
    std::unique_lock lock(mutex_);
    if (!waitConnected(lock)) return ERROR_SERVICE_NOT_ACTIVE;
  }
  {
    std::lock_guard send(sendMutex_);
    int fd = -1;
    std::vector<uint8_t> payload;
    {
      std::lock_guard lock(mutex_);
      if (!connected_) return ERROR_SERVICE_NOT_ACTIVE;
      if (!encode(&payload)) return ERROR_INVALID_HANDLE;
      id = nextId_++;
      if (nextId_ == 0) nextId_ = 1;
      pending_[id] = Pending{};
      fd = fd_;
    }
    std::vector<uint8_t> frame = EncodeFrame(type, id, payload);
    if (!SendAll(fd, frame.data(), frame.size(), Deadline(requestTimeoutMs_))) {
      std::lock_guard lock(mutex_);
      pending_.erase(id);
      return ERROR_SERVICE_NOT_ACTIVE;  // the reader sees the broken socket and reconnects
    }
  }
  std::unique_lock lock(mutex_);
  bool done = changed_.wait_for(lock, std::chrono::milliseconds(requestTimeoutMs_),
                                [&] { return pending_[id].done || stopping_; });
  Pending result = std::move(pending_[id]);
  pending_.erase(id);
  if (!done || !result.done) return stopping_ ? ERROR_SERVICE_NOT_ACTIVE : ERROR_TIMEOUT;
  if (result.status != ERROR_SUCCESS) return result.status;
  *answer = std::move(result.payload);
  return ERROR_SUCCESS;
}

bool WlanServiceClient::remoteHandleLocked(ClientHandle local, ClientHandle* remote) const {
  auto it = handles_.find(local);
  if (it == handles_.end()) return false;
  *remote = it->second.remote;
  return true;
}

template <typename Request, typename Response>
uint32_t WlanServiceClient::call(Request request, Response* response) {
  if constexpr (requires { request.handle; }) {
    std::lock_guard lock(mutex_);
    if (!handles_.count(request.handle)) return ERROR_INVALID_HANDLE;  // before any waiting
  }
  std::vector<uint8_t> answer;
  uint32_t status = exchange(
      Request::kType,
      [&](std::vector<uint8_t>* payload) {
        Request translated = request;
        if constexpr (requires { translated.handle; }) {
          if (!remoteHandleLocked(request.handle, &translated.handle)) return false;
        }
        *payload = EncodePayload(translated);
        return true;
      },
      &answer);
  if (status != ERROR_SUCCESS) return status;
  if (!DecodePayload(answer, response)) return ERROR_INVALID_DATA;
  return response->status;
}

uint32_t WlanServiceClient::OpenHandle(uint32_t clientVersion, uint32_t* negotiatedVersion,
                                       ClientHandle* handle) {
  if (!negotiatedVersion || !handle) return ERROR_INVALID_PARAMETER;
  OpenHandleResponse response;
  uint32_t status = call(OpenHandleRequest{clientVersion}, &response);
  if (status != ERROR_SUCCESS) return status;
  std::lock_guard lock(mutex_);
  ClientHandle local = nextLocal_++;
  if (nextLocal_ == 0) nextLocal_ = 1;
  HandleState& state = handles_[local];
  state.clientVersion = clientVersion;
  state.remote = response.handle;
  *negotiatedVersion = response.negotiatedVersion;
  *handle = local;
  return ERROR_SUCCESS;
}

uint32_t WlanServiceClient::CloseHandle(ClientHandle handle) {
  StatusResponse response;
  uint32_t status = call(CloseHandleRequest{handle}, &response);
  if (status == ERROR_INVALID_HANDLE) {
    std::lock_guard lock(mutex_);
    if (!handles_.count(handle)) return ERROR_INVALID_HANDLE;
  }
  // The handle is gone here whatever the service said: a service that went away has freed it.
  std::unique_lock lock(mutex_);
  handles_.erase(handle);
  waitForCallbacks(lock, handle);
  return ERROR_SUCCESS;
}

uint32_t WlanServiceClient::EnumInterfaces(ClientHandle handle,
                                           std::vector<InterfaceInfo>* interfaces) {
  if (!interfaces) return ERROR_INVALID_PARAMETER;
  EnumInterfacesResponse response;
  uint32_t status = call(EnumInterfacesRequest{handle}, &response);
  if (status == ERROR_SUCCESS) *interfaces = std::move(response.interfaces);
  return status;
}

uint32_t WlanServiceClient::QueryInterface(ClientHandle handle, const Guid& interfaceGuid,
                                           InterfaceOpcode opcode, InterfaceQueryResult* result) {
  if (!result) return ERROR_INVALID_PARAMETER;
  QueryInterfaceResponse response;
  uint32_t status = call(QueryInterfaceRequest{handle, interfaceGuid, opcode}, &response);
  if (status == ERROR_SUCCESS) *result = std::move(response.result);
  return status;
}

uint32_t WlanServiceClient::SetInterface(ClientHandle handle, const Guid& interfaceGuid,
                                         InterfaceOpcode opcode, const PhyRadioState& radio) {
  StatusResponse response;
  return call(SetInterfaceRequest{handle, interfaceGuid, opcode, radio}, &response);
}

uint32_t WlanServiceClient::Scan(ClientHandle handle, const Guid& interfaceGuid,
                                 const std::optional<Ssid>& ssid,
                                 const std::vector<uint8_t>& ieData) {
  StatusResponse response;
  return call(ScanRequest{handle, interfaceGuid, ssid, ieData}, &response);
}

uint32_t WlanServiceClient::GetNetworkBssList(ClientHandle handle, const Guid& interfaceGuid,
                                              const std::optional<Ssid>& ssid, BssType bssType,
                                              bool securityEnabled,
                                              std::vector<BssEntry>* entries) {
  if (!entries) return ERROR_INVALID_PARAMETER;
  BssListResponse response;
  uint32_t status = call(
      GetNetworkBssListRequest{handle, interfaceGuid, ssid, bssType, securityEnabled}, &response);
  if (status == ERROR_SUCCESS) *entries = std::move(response.entries);
  return status;
}

uint32_t WlanServiceClient::GetAvailableNetworkList(ClientHandle handle, const Guid& interfaceGuid,
                                                    uint32_t flags,
                                                    std::vector<AvailableNetwork>* networks) {
  if (!networks) return ERROR_INVALID_PARAMETER;
  AvailableNetworkListResponse response;
  uint32_t status = call(GetAvailableNetworkListRequest{handle, interfaceGuid, flags}, &response);
  if (status == ERROR_SUCCESS) *networks = std::move(response.networks);
  return status;
}

uint32_t WlanServiceClient::Connect(ClientHandle handle, const Guid& interfaceGuid,
                                    const ConnectionParameters& parameters) {
  // Noted before the request: the service may report the attempt's end right after its answer.
  uint64_t dropsBefore = 0;
  {
    ConnectionNotificationData data;
    data.mode = parameters.mode;
    if (parameters.mode == wlan_connection_mode_profile) data.profileName = parameters.profile;
    if (parameters.ssid) data.ssid = *parameters.ssid;
    data.bssType = parameters.bssType;
    data.reasonCode = WLAN_REASON_CODE_UNKNOWN;
    std::lock_guard lock(mutex_);
    dropsBefore = drops_;
    if (auto it = handles_.find(handle); it != handles_.end()) {
      it->second.attempt = Attempt{interfaceGuid, std::move(data), false};
    }
  }
  StatusResponse response;
  uint32_t status = call(ConnectRequest{handle, interfaceGuid, parameters}, &response);
  std::lock_guard lock(mutex_);
  auto it = handles_.find(handle);
  if (it == handles_.end() || !it->second.attempt) return status;  // its end was reported
  if (status != ERROR_SUCCESS) {
    it->second.attempt.reset();  // the caller hears of this failure from the return value
  } else if (drops_ != dropsBefore) {
    queueAttemptFailedLocked(it->first, it->second);  // the service went away meanwhile
  } else {
    it->second.attempt->accepted = true;
  }
  return status;
}

void WlanServiceClient::queueAttemptFailedLocked(ClientHandle local, HandleState& state) {
  if (state.mask & WLAN_NOTIFICATION_SOURCE_ACM) {
    Notification failed;
    failed.source = WLAN_NOTIFICATION_SOURCE_ACM;
    failed.code = wlan_notification_acm_connection_attempt_fail;
    failed.interfaceGuid = state.attempt->interfaceGuid;
    failed.connection = std::move(state.attempt->data);
    deliveries_.emplace_back(local, std::move(failed));
    changed_.notify_all();
  }
  state.attempt.reset();
}

uint32_t WlanServiceClient::Disconnect(ClientHandle handle, const Guid& interfaceGuid) {
  StatusResponse response;
  return call(DisconnectRequest{handle, interfaceGuid}, &response);
}

uint32_t WlanServiceClient::SetProfile(ClientHandle handle, const Guid& interfaceGuid,
                                       uint32_t flags, const std::string& profileXml,
                                       bool overwrite, uint32_t* reasonCode) {
  SetProfileResponse response;
  uint32_t status =
      call(SetProfileRequest{handle, interfaceGuid, flags, profileXml, overwrite}, &response);
  if (reasonCode) *reasonCode = response.reasonCode;
  return status;
}

uint32_t WlanServiceClient::GetProfile(ClientHandle handle, const Guid& interfaceGuid,
                                       const std::string& profileName, std::string* profileXml,
                                       uint32_t* flags) {
  if (!profileXml) return ERROR_INVALID_PARAMETER;
  GetProfileResponse response;
  uint32_t status = call(GetProfileRequest{handle, interfaceGuid, profileName}, &response);
  if (status != ERROR_SUCCESS) return status;
  *profileXml = std::move(response.profileXml);
  if (flags) *flags = response.flags;
  return status;
}

uint32_t WlanServiceClient::DeleteProfile(ClientHandle handle, const Guid& interfaceGuid,
                                          const std::string& profileName) {
  StatusResponse response;
  return call(DeleteProfileRequest{handle, interfaceGuid, profileName}, &response);
}

uint32_t WlanServiceClient::GetProfileList(ClientHandle handle, const Guid& interfaceGuid,
                                           std::vector<ProfileInfo>* profiles) {
  if (!profiles) return ERROR_INVALID_PARAMETER;
  ProfileListResponse response;
  uint32_t status = call(GetProfileListRequest{handle, interfaceGuid}, &response);
  if (status == ERROR_SUCCESS) *profiles = std::move(response.profiles);
  return status;
}

uint32_t WlanServiceClient::SetProfileEapUserData(ClientHandle handle, const Guid& interfaceGuid,
                                                  const std::string& profileName,
                                                  const EapMethodType& eapType, uint32_t flags,
                                                  const std::vector<uint8_t>& userData) {
  StatusResponse response;
  return call(
      SetProfileEapUserDataRequest{handle, interfaceGuid, profileName, eapType, flags, userData},
      &response);
}

uint32_t WlanServiceClient::SetProfileEapXmlUserData(ClientHandle handle,
                                                     const Guid& interfaceGuid,
                                                     const std::string& profileName,
                                                     uint32_t flags,
                                                     const std::string& userDataXml) {
  StatusResponse response;
  return call(
      SetProfileEapXmlUserDataRequest{handle, interfaceGuid, profileName, flags, userDataXml},
      &response);
}

uint32_t WlanServiceClient::IhvControl(ClientHandle handle, const Guid& interfaceGuid,
                                       IhvControlType type, const std::vector<uint8_t>& in,
                                       uint32_t outSize, std::vector<uint8_t>* out) {
  IhvControlResponse response;
  uint32_t status = call(IhvControlRequest{handle, interfaceGuid, type, in, outSize}, &response);
  if (status == ERROR_SUCCESS && out) *out = std::move(response.out);
  return status;
}

uint32_t WlanServiceClient::SetSecuritySettings(ClientHandle handle, SecurableObject object,
                                                const std::string& sddl) {
  StatusResponse response;
  return call(SetSecuritySettingsRequest{handle, object, sddl}, &response);
}

uint32_t WlanServiceClient::GetSecuritySettings(ClientHandle handle, SecurableObject object,
                                                SecuritySettings* settings) {
  if (!settings) return ERROR_INVALID_PARAMETER;
  SecuritySettingsResponse response;
  uint32_t status = call(GetSecuritySettingsRequest{handle, object}, &response);
  if (status == ERROR_SUCCESS) *settings = std::move(response.settings);
  return status;
}

uint32_t WlanServiceClient::RegisterNotification(ClientHandle handle, uint32_t sourceMask,
                                                 bool ignoreDuplicate,
                                                 NotificationCallback callback,
                                                 uint32_t* previousMask) {
  if (sourceMask != WLAN_NOTIFICATION_SOURCE_NONE && !callback) return ERROR_INVALID_PARAMETER;
  // The new registration is in place before the service hears of it: a notification may follow
  // its answer at once.
  HandleState before;
  {
    std::lock_guard lock(mutex_);
    auto it = handles_.find(handle);
    if (it == handles_.end()) return ERROR_INVALID_HANDLE;
    before = it->second;
    it->second.mask = sourceMask;
    it->second.ignoreDuplicate = ignoreDuplicate;
    it->second.callback = sourceMask == WLAN_NOTIFICATION_SOURCE_NONE
                              ? nullptr
                              : std::make_shared<NotificationCallback>(std::move(callback));
  }
  RegisterNotificationResponse response;
  uint32_t status = call(RegisterNotificationRequest{handle, sourceMask, ignoreDuplicate}, &response);
  std::unique_lock lock(mutex_);
  auto it = handles_.find(handle);
  if (it == handles_.end()) return ERROR_INVALID_HANDLE;
  if (status != ERROR_SUCCESS) {
    it->second.mask = before.mask;
    it->second.ignoreDuplicate = before.ignoreDuplicate;
    it->second.callback = before.callback;
    return status;
  }
  if (previousMask) *previousMask = before.mask;
  // After unregistering no callback of this handle runs any more.
  if (sourceMask == WLAN_NOTIFICATION_SOURCE_NONE) waitForCallbacks(lock, handle);
  return ERROR_SUCCESS;
}

// ---- Reader ----

bool WlanServiceClient::readFrame(int fd, FrameHeader* header, std::vector<uint8_t>* payload,
                                  int firstByteTimeoutMs) {
  uint8_t head[kFrameHeaderSize];
  if (firstByteTimeoutMs >= 0) {
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, firstByteTimeoutMs) <= 0) return false;
  }
  Deadline deadline(kFrameRestTimeoutMs);
  if (!ReceiveAll(fd, head, sizeof head, deadline)) return false;
  if (!DecodeFrameHeader(head, header)) return false;
  payload->resize(PayloadLength(*header));
  return ReceiveAll(fd, payload->data(), payload->size(), deadline);
}

bool WlanServiceClient::connectAndRestore(int* fdOut) {
  int fd = ConnectUnixSocket(socketPath_, kConnectTimeoutMs);
  if (fd < 0) return false;
  std::vector<ClientHandle> locals;
  {
    std::lock_guard lock(mutex_);
    for (const auto& [local, state] : handles_) locals.push_back(local);
  }
  // One synchronous round trip on the new socket; notifications meanwhile go their usual way.
  auto roundTrip = [&](uint32_t type, const std::vector<uint8_t>& payload,
                       std::vector<uint8_t>* answer) {
    uint32_t id;
    {
      std::lock_guard lock(mutex_);
      id = nextId_++;
      if (nextId_ == 0) nextId_ = 1;
    }
    std::vector<uint8_t> frame = EncodeFrame(type, id, payload);
    if (!SendAll(fd, frame.data(), frame.size(), Deadline(requestTimeoutMs_))) return false;
    for (;;) {
      FrameHeader header;
      std::vector<uint8_t> body;
      if (!readFrame(fd, &header, &body, requestTimeoutMs_)) return false;
      if (header.type == (type | kResponseBit) && header.id == id) {
        *answer = std::move(body);
        return true;
      }
      if (header.type == kNotification) handleFrame(header, std::move(body));
    }
  };
  for (ClientHandle local : locals) {
    HandleState state;
    {
      std::lock_guard lock(mutex_);
      auto it = handles_.find(local);
      if (it == handles_.end()) continue;
      state = it->second;
    }
    std::vector<uint8_t> answer;
    OpenHandleResponse opened;
    if (!roundTrip(kOpenHandle, EncodePayload(OpenHandleRequest{state.clientVersion}), &answer) ||
        !DecodePayload(answer, &opened) || opened.status != ERROR_SUCCESS) {
      ::close(fd);
      return false;
    }
    {
      std::lock_guard lock(mutex_);
      auto it = handles_.find(local);
      if (it != handles_.end()) it->second.remote = opened.handle;
    }
    if (state.mask == WLAN_NOTIFICATION_SOURCE_NONE) continue;
    RegisterNotificationResponse registered;
    if (!roundTrip(kRegisterNotification,
                   EncodePayload(RegisterNotificationRequest{opened.handle, state.mask,
                                                             state.ignoreDuplicate}),
                   &answer) ||
        !DecodePayload(answer, &registered) || registered.status != ERROR_SUCCESS) {
      ::close(fd);
      return false;
    }
  }
  *fdOut = fd;
  return true;
}

void WlanServiceClient::handleFrame(const FrameHeader& header, std::vector<uint8_t> payload) {
  std::unique_lock lock(mutex_);
  if (header.type == kNotification) {
    NotificationMessage message;
    if (!DecodePayload(payload, &message)) return;
    for (auto& [local, state] : handles_) {
      if (state.remote != message.handle) continue;
      const Notification& n = message.notification;
      if (state.attempt && n.source == WLAN_NOTIFICATION_SOURCE_ACM &&
          n.interfaceGuid == state.attempt->interfaceGuid &&
          (n.code == wlan_notification_acm_connection_complete ||
           n.code == wlan_notification_acm_connection_attempt_fail)) {
        state.attempt.reset();
      }
      if (state.mask & n.source) {
        deliveries_.emplace_back(local, std::move(message.notification));
        deliveryQueued_.notify_one();
        break;
      }
    }
    return;
  }
  auto it = pending_.find(header.id);
  if ((header.type & kResponseBit) && it != pending_.end()) {
    it->second.done = true;
    it->second.payload = std::move(payload);
    // Woken after the unlock, the caller finds the lock free instead of sleeping on it again.
    lock.unlock();
    changed_.notify_all();
  }
  // An answer nobody waits for any more (timed out) is dropped.
}

void WlanServiceClient::dropConnection() {
  std::lock_guard send(sendMutex_);
  std::lock_guard lock(mutex_);
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  connected_ = false;
  for (auto& [id, pending] : pending_) {
    pending.done = true;
    pending.status = ERROR_SERVICE_NOT_ACTIVE;
  }
  ++drops_;
  // An attempt under way can no longer end: say so now rather than let the caller wait for it.
  // One whose request is still out is left to Connect, which sees drops_ move.
  for (auto& [local, state] : handles_) {
    if (state.attempt && state.attempt->accepted) queueAttemptFailedLocked(local, state);
  }
  changed_.notify_all();
}

void WlanServiceClient::readerLoop() {
  int retryMs = kFirstRetryMs;
  for (;;) {
    int fd;
    bool wanted;
    {
      std::lock_guard lock(mutex_);
      if (stopping_) return;
      fd = connected_ ? fd_ : -1;
      wanted = !handles_.empty() || waiters_ > 0;
    }
    if (fd < 0) {
      if (wanted) {
        int fresh = -1;
        bool ok = connectAndRestore(&fresh);
        std::lock_guard lock(mutex_);
        ++attempts_;
        if (ok) {
          fd_ = fresh;
          connected_ = true;
          ++connections_;
          retryMs = kFirstRetryMs;
        }
        changed_.notify_all();
        if (ok) continue;
      }
      // Wait to be asked (a request, the destructor) or for the next retry.
      pollfd p{wakeFd_, POLLIN, 0};
      ::poll(&p, 1, wanted ? retryMs : -1);
      uint64_t drain;
      while (::read(wakeFd_, &drain, sizeof drain) > 0) {
      }
      if (wanted) retryMs = std::min(retryMs * 2, kMaxRetryMs);
      continue;
    }
    pollfd fds[2] = {{fd, POLLIN, 0}, {wakeFd_, POLLIN, 0}};
    if (::poll(fds, 2, -1) < 0) continue;
    if (fds[1].revents) {
      uint64_t drain;
      while (::read(wakeFd_, &drain, sizeof drain) > 0) {
      }
    }
    if (fds[0].revents == 0) continue;
    FrameHeader header;
    std::vector<uint8_t> payload;
    bool broken = !readFrame(fd, &header, &payload, -1);
    // A frame that is neither an answer nor a notification breaks the protocol: start afresh.
    if (!broken && header.type != kNotification && !(header.type & kResponseBit)) broken = true;
    if (broken) {
      dropConnection();
      continue;
    }
    handleFrame(header, std::move(payload));
  }
}

// ---- Delivery ----

void WlanServiceClient::deliveryLoop() {
  std::unique_lock lock(mutex_);
  for (;;) {
    deliveryQueued_.wait(lock, [&] { return stopping_ || !deliveries_.empty(); });
    if (stopping_) return;
    auto [local, notification] = std::move(deliveries_.front());
    deliveries_.pop_front();
    auto it = handles_.find(local);
    if (it == handles_.end() || !it->second.callback || !(it->second.mask & notification.source)) {
      continue;
    }
    std::shared_ptr<NotificationCallback> callback = it->second.callback;
    delivering_ = local;
    lock.unlock();
    (*callback)(notification);
    lock.lock();
    delivering_ = 0;
    changed_.notify_all();
  }
}

void WlanServiceClient::waitForCallbacks(std::unique_lock<std::mutex>& lock, ClientHandle local) {
  if (std::this_thread::get_id() == deliveryThreadId_) return;  // called from its own callback
  changed_.wait(lock, [&] { return delivering_ != local || stopping_; });
}

}  // namespace ov::wlan
