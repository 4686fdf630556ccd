// The socket client against a scripted service on a socket of the test's own: answers that do
// not decode, frames that break the protocol, no service at all, and callbacks that call the
// service again. Waits are bounded by real time because a real socket is in between.
#include <gtest/gtest.h>

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "nativewifi/wlansvc/wlan_protocol.h"
#include "nativewifi/wlansvc/wlan_service_client.h"
#include "platform/deviceio/socket_io.h"
#include "tests/support/temp_dir.h"

namespace ov::wlan {
namespace {

using namespace protocol;

// Answers each request with what the script returns (raw bytes, written as they are), one
// connection at a time.
class ScriptedService {
 public:
  using Script = std::function<std::vector<uint8_t>(const FrameHeader&, std::span<const uint8_t>)>;

  ScriptedService(std::string path, Script script) : path_(std::move(path)), script_(std::move(script)) {
    listenFd_ = ListenUnixSocket(path_);
    thread_ = std::thread([this] { serve(); });
  }
  ~ScriptedService() {
    stop_ = true;
    thread_.join();
    ::close(listenFd_);
    ::unlink(path_.c_str());
  }
  int connections() const { return connections_; }

 private:
  void serve() {
    while (!stop_) {
      pollfd p{listenFd_, POLLIN, 0};
      if (::poll(&p, 1, 20) <= 0) continue;
      int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
      if (fd < 0) continue;
      ++connections_;
      while (!stop_) {
        pollfd c{fd, POLLIN, 0};
        if (::poll(&c, 1, 20) <= 0) continue;
        uint8_t head[kFrameHeaderSize];
        FrameHeader header;
        if (!ReceiveAll(fd, head, sizeof head, Deadline(2000)) || !DecodeFrameHeader(head, &header)) break;
        std::vector<uint8_t> payload(PayloadLength(header));
        if (!ReceiveAll(fd, payload.data(), payload.size(), Deadline(2000))) break;
        std::vector<uint8_t> reply = script_(header, payload);
        if (reply.empty()) break;  // the script hangs up
        if (!SendAll(fd, reply.data(), reply.size(), Deadline(2000))) break;
      }
      ::close(fd);
    }
  }

  std::string path_;
  Script script_;
  int listenFd_ = -1;
  std::atomic<bool> stop_{false};
  std::atomic<int> connections_{0};
  std::thread thread_;
};

template <typename M>
std::vector<uint8_t> Answer(const FrameHeader& request, const M& message) {
  return EncodeFrame(request.type | kResponseBit, request.id, EncodePayload(message));
}

// A well-behaved service with one interface; `extra` bytes follow chosen answers.
std::vector<uint8_t> Normal(const FrameHeader& h, std::span<const uint8_t>) {
  switch (h.type) {
    case kOpenHandle:
      return Answer(h, OpenHandleResponse{ERROR_SUCCESS, 2, 41});
    case kEnumInterfaces:
      return Answer(h, EnumInterfacesResponse{ERROR_SUCCESS, {{Guid{1}, "Adapter", wlan_interface_state_disconnected}}});
    case kRegisterNotification:
      return Answer(h, RegisterNotificationResponse{ERROR_SUCCESS, 0});
    default:
      return Answer(h, StatusResponse{ERROR_SUCCESS});
  }
}

class WlanServiceClientTest : public ::testing::Test {
 protected:
  std::string socket() const { return dir_.file("wlansvc"); }
  test::TempDir dir_;
};

TEST_F(WlanServiceClientTest, NoServiceMeansServiceNotActive) {
  WlanServiceClient client(socket(), 2000);
  uint32_t version = 0;
  ClientHandle handle = 0;
  EXPECT_EQ(client.OpenHandle(2, &version, &handle), ERROR_SERVICE_NOT_ACTIVE);
  EXPECT_EQ(client.EnumInterfaces(77, nullptr), ERROR_INVALID_PARAMETER);
  std::vector<InterfaceInfo> interfaces;
  EXPECT_EQ(client.EnumInterfaces(77, &interfaces), ERROR_INVALID_HANDLE);
}

TEST_F(WlanServiceClientTest, AnswersThatBreakTheProtocolFailTheCallNotTheClient) {
  struct Case {
    const char* name;
    std::function<std::vector<uint8_t>(const FrameHeader&)> enumAnswer;
    uint32_t status;
  };
  const Case cases[] = {
      {"payload that does not decode",
       [](const FrameHeader& h) { return EncodeFrame(h.type | kResponseBit, h.id, std::vector<uint8_t>{0, 0, 0, 0, 9}); },
       ERROR_INVALID_DATA},
      {"frame longer than any frame",
       [](const FrameHeader&) { return std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0xFF, 3, 0x80, 0, 0, 1, 0, 0, 0}; },
       ERROR_SERVICE_NOT_ACTIVE},
      {"frame of a type the client never gets",
       [](const FrameHeader& h) { return EncodeFrame(kScan, h.id, {}); }, ERROR_SERVICE_NOT_ACTIVE},
      {"service hangs up", [](const FrameHeader&) { return std::vector<uint8_t>{}; }, ERROR_SERVICE_NOT_ACTIVE},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::atomic<bool> misbehave{true};
    ScriptedService service(socket(), [&](const FrameHeader& h, std::span<const uint8_t> p) {
      if (h.type == kEnumInterfaces && misbehave.exchange(false)) return c.enumAnswer(h);
      return Normal(h, p);
    });
    WlanServiceClient client(socket(), 3000);
    uint32_t version = 0;
    ClientHandle handle = 0;
    ASSERT_EQ(client.OpenHandle(2, &version, &handle), ERROR_SUCCESS);
    std::vector<InterfaceInfo> interfaces;
    EXPECT_EQ(client.EnumInterfaces(handle, &interfaces), c.status);
    EXPECT_TRUE(interfaces.empty());
    // The next call works: over the same connection, or over a new one with a new handle.
    ASSERT_EQ(client.EnumInterfaces(handle, &interfaces), ERROR_SUCCESS);
    ASSERT_EQ(interfaces.size(), 1u);
    EXPECT_EQ(interfaces[0].description, "Adapter");
    EXPECT_EQ(client.connectionCount(), c.status == ERROR_INVALID_DATA ? 1u : 2u);
  }
}

TEST_F(WlanServiceClientTest, CallbackMayCallTheServiceAgain) {
  std::mutex mutex;
  int sent = 0;
  ScriptedService service(socket(), [&](const FrameHeader& h, std::span<const uint8_t> p) {
    std::vector<uint8_t> reply = Normal(h, p);
    if (h.type == kRegisterNotification) {
      // The answer, then at once a notification for the handle.
      Notification n;
      n.source = WLAN_NOTIFICATION_SOURCE_ACM;
      n.code = wlan_notification_acm_scan_complete;
      std::vector<uint8_t> frame = EncodeMessageFrame(NotificationMessage{41, n}, 0);
      reply.insert(reply.end(), frame.begin(), frame.end());
      std::lock_guard lock(mutex);
      ++sent;
    }
    return reply;
  });
  WlanServiceClient client(socket(), 3000);
  uint32_t version = 0;
  ClientHandle handle = 0;
  ASSERT_EQ(client.OpenHandle(2, &version, &handle), ERROR_SUCCESS);
  std::condition_variable done;
  std::optional<uint32_t> statusInCallback;
  ASSERT_EQ(client.RegisterNotification(
                handle, WLAN_NOTIFICATION_SOURCE_ACM, false,
                [&](const Notification& n) {
                  EXPECT_EQ(n.code, wlan_notification_acm_scan_complete);
                  std::vector<InterfaceInfo> interfaces;
                  uint32_t status = client.EnumInterfaces(handle, &interfaces);  // the list a scan worker reads
                  std::lock_guard lock(mutex);
                  statusInCallback = status;
                  done.notify_all();
                },
                nullptr),
            ERROR_SUCCESS);
  std::unique_lock lock(mutex);
  ASSERT_TRUE(done.wait_for(lock, std::chrono::seconds(10), [&] { return statusInCallback.has_value(); }));
  EXPECT_EQ(*statusInCallback, ERROR_SUCCESS);
  EXPECT_EQ(sent, 1);
}

TEST_F(WlanServiceClientTest, NotificationsOfAnotherHandleOrSourceAreNotDelivered) {
  ScriptedService service(socket(), [&](const FrameHeader& h, std::span<const uint8_t> p) {
    std::vector<uint8_t> reply = Normal(h, p);
    if (h.type == kRegisterNotification) {
      Notification other;
      other.source = WLAN_NOTIFICATION_SOURCE_ACM;
      other.code = 1;
      Notification msm;
      msm.source = WLAN_NOTIFICATION_SOURCE_MSM;  // not registered
      msm.code = 2;
      Notification mine;
      mine.source = WLAN_NOTIFICATION_SOURCE_ACM;
      mine.code = 3;
      for (const auto& frame : {EncodeMessageFrame(NotificationMessage{99, other}, 0),
                                EncodeMessageFrame(NotificationMessage{41, msm}, 0),
                                EncodeMessageFrame(NotificationMessage{41, mine}, 0)}) {
        reply.insert(reply.end(), frame.begin(), frame.end());
      }
    }
    return reply;
  });
  WlanServiceClient client(socket(), 3000);
  uint32_t version = 0;
  ClientHandle handle = 0;
  ASSERT_EQ(client.OpenHandle(2, &version, &handle), ERROR_SUCCESS);
  std::mutex mutex;
  std::condition_variable arrived;
  std::vector<uint32_t> codes;
  ASSERT_EQ(client.RegisterNotification(handle, WLAN_NOTIFICATION_SOURCE_ACM, false,
                                        [&](const Notification& n) {
                                          std::lock_guard lock(mutex);
                                          codes.push_back(n.code);
                                          arrived.notify_all();
                                        },
                                        nullptr),
            ERROR_SUCCESS);
  std::unique_lock lock(mutex);
  ASSERT_TRUE(arrived.wait_for(lock, std::chrono::seconds(10), [&] { return !codes.empty(); }));
  lock.unlock();
  // Closing waits for a running callback; after it nothing more arrives for the handle.
  EXPECT_EQ(client.CloseHandle(handle), ERROR_SUCCESS);
  lock.lock();
  EXPECT_EQ(codes, std::vector<uint32_t>{3});
  EXPECT_EQ(client.CloseHandle(handle), ERROR_INVALID_HANDLE);
}

// The service dies after accepting a connect. A caller waiting for the attempt's end hears at
// once that it failed (not after its own timeout), unless the service had reported the end. A
// restarted service's notification marks the point by which everything earlier was delivered.
TEST_F(WlanServiceClientTest, ServiceDeathFailsTheAttemptUnderWayAtOnce) {
  constexpr uint32_t kMarker = wlan_notification_acm_scan_complete;
  const Guid interfaceGuid{1};
  struct Row {
    const char* name;
    bool reportedEnd;  // the service sent connection_complete before it died
    std::vector<uint32_t> codes;
  } rows[] = {
      {"attempt under way", false, {wlan_notification_acm_connection_attempt_fail, kMarker}},
      {"attempt already ended", true, {wlan_notification_acm_connection_complete, kMarker}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    auto notify = [&](uint32_t code) {
      Notification n;
      n.source = WLAN_NOTIFICATION_SOURCE_ACM;
      n.code = code;
      n.interfaceGuid = interfaceGuid;
      n.connection = ConnectionNotificationData{};
      return EncodeMessageFrame(NotificationMessage{41, n}, 0);
    };
    auto first = std::make_unique<ScriptedService>(socket(), [&](const FrameHeader& h, std::span<const uint8_t> p) {
      std::vector<uint8_t> reply = Normal(h, p);
      if (h.type == kConnect && row.reportedEnd) {
        auto frame = notify(wlan_notification_acm_connection_complete);
        reply.insert(reply.end(), frame.begin(), frame.end());
      }
      return reply;
    });
    WlanServiceClient client(socket(), 30000);
    std::mutex mutex;
    std::condition_variable arrived;
    std::vector<Notification> seen;
    uint32_t version = 0;
    ClientHandle handle = 0;
    ASSERT_EQ(client.OpenHandle(2, &version, &handle), ERROR_SUCCESS);
    ASSERT_EQ(client.RegisterNotification(handle, WLAN_NOTIFICATION_SOURCE_ACM, false,
                                          [&](const Notification& n) {
                                            std::lock_guard lock(mutex);
                                            seen.push_back(n);
                                            arrived.notify_all();
                                          },
                                          nullptr),
              ERROR_SUCCESS);
    ConnectionParameters parameters;
    parameters.profile = "Office";
    ASSERT_EQ(client.Connect(handle, interfaceGuid, parameters), ERROR_SUCCESS);
    if (row.reportedEnd) {
      std::unique_lock lock(mutex);
      ASSERT_TRUE(arrived.wait_for(lock, std::chrono::seconds(10), [&] { return !seen.empty(); }));
    }
    const auto died = std::chrono::steady_clock::now();
    first.reset();
    ScriptedService second(socket(), [&](const FrameHeader& h, std::span<const uint8_t> p) {
      std::vector<uint8_t> reply = Normal(h, p);
      if (h.type == kRegisterNotification) {
        auto frame = notify(kMarker);
        reply.insert(reply.end(), frame.begin(), frame.end());
      }
      return reply;
    });
    std::unique_lock lock(mutex);
    ASSERT_TRUE(arrived.wait_for(lock, std::chrono::seconds(10),
                                 [&] { return !seen.empty() && seen.back().code == kMarker; }));
    std::vector<uint32_t> codes;
    for (const Notification& n : seen) codes.push_back(n.code);
    EXPECT_EQ(codes, row.codes);
    if (!row.reportedEnd) {
      const Notification& failed = seen.front();
      EXPECT_EQ(failed.interfaceGuid, interfaceGuid);
      ASSERT_TRUE(failed.connection.has_value());
      EXPECT_EQ(failed.connection->profileName, "Office");
      EXPECT_EQ(failed.connection->reasonCode, WLAN_REASON_CODE_UNKNOWN);
    }
    // Well inside the 30 s the caller would otherwise have waited.
    EXPECT_LT(std::chrono::steady_clock::now() - died, std::chrono::seconds(10));
  }
}

}  // namespace
}  // namespace ov::wlan
