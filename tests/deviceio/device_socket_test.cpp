// The device socket: requests and answers cross it intact, and a driver that hangs, vanishes or
// answers malformed fails the request in bounded time instead of blocking the caller.
#include <gtest/gtest.h>

#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <thread>

#include "platform/deviceio/device_io.h"
#include "platform/deviceio/device_protocol.h"
#include "platform/deviceio/device_socket_server.h"
#include "platform/deviceio/socket_io.h"
#include "tests/support/temp_dir.h"

namespace ov {
namespace {

const std::string kGuid = "{0A1B2C3D-0000-4000-8000-00000000AB01}";

class DeviceSocketTest : public ::testing::Test {
 protected:
  void SetUp() override { std::filesystem::create_directories(DeviceSocketFolder()); }
  std::string socketPath() const { return *DeviceSocketPath(DevicePathFor(kGuid)); }

  test::TempDir root_;
  test::ScopedMachineRoot scopedRoot_{root_.path()};
};

TEST(DevicePath, MapsToASocketUnderTheRootOnly) {
  test::TempDir root;
  test::ScopedMachineRoot scoped(root.path());
  EXPECT_EQ(DevicePathFor("{G}"), "\\\\.\\{G}");
  EXPECT_EQ(DeviceSocketPath("\\\\.\\{G}").value_or(""),
            (root.path() / "run/ovui/devices/{G}").string());
  for (const char* bad : {"", "\\\\.\\", "{G}", "\\\\.\\..", "\\\\.\\a/b", "\\\\.\\a\\b",
                          "//./{G}"}) {
    SCOPED_TRACE(bad);
    EXPECT_FALSE(DeviceSocketPath(bad).has_value());
  }
}

TEST_F(DeviceSocketTest, RequestAndAnswerCrossIntact) {
  DeviceSocketServer server;
  ASSERT_TRUE(server.start(socketPath(), [](uint32_t code, uint32_t oid, std::vector<uint8_t>& buf,
                                            uint32_t* returned) -> uint32_t {
    if (code != IOCTL_NDIS_QUERY_GLOBAL_STATS || oid != 0xFF0C000F || buf.size() != 4) return 1;
    buf = {0xC4, 0xFF, 0xFF, 0xFF};  // -60
    *returned = 4;
    return 0;
  }));
  SocketDeviceIo io;
  auto device = io.open(DevicePathFor(kGuid));
  ASSERT_NE(device, nullptr);
  uint8_t buffer[4] = {};
  uint32_t returned = 99;
  EXPECT_TRUE(device->control(IOCTL_NDIS_QUERY_GLOBAL_STATS, 0xFF0C000F, buffer, 4, &returned));
  EXPECT_EQ(returned, 4u);
  EXPECT_EQ(buffer[0], 0xC4);
  // A refused request reports failure but keeps the connection usable.
  EXPECT_FALSE(device->control(IOCTL_NDIS_QUERY_GLOBAL_STATS, 0x1234, buffer, 4, &returned));
  EXPECT_TRUE(device->control(IOCTL_NDIS_QUERY_GLOBAL_STATS, 0xFF0C000F, buffer, 4, &returned));
}

TEST_F(DeviceSocketTest, AbsentSocketDoesNotOpenAndStopUnplugs) {
  SocketDeviceIo io;
  EXPECT_EQ(io.open(DevicePathFor(kGuid)), nullptr);
  DeviceSocketServer server;
  ASSERT_TRUE(server.start(socketPath(), [](auto, auto, auto&, uint32_t*) { return 0u; }));
  EXPECT_NE(io.open(DevicePathFor(kGuid)), nullptr);
  server.stop();
  EXPECT_EQ(io.open(DevicePathFor(kGuid)), nullptr);
  EXPECT_FALSE(std::filesystem::exists(socketPath()));
}

// A raw listener that misbehaves in a scripted way, one connection.
class RawDriver {
 public:
  template <typename Behaviour>
  RawDriver(const std::string& path, Behaviour behaviour) {
    listenFd_ = ListenUnixSocket(path);
    thread_ = std::thread([this, behaviour] {
      int c = ::accept(listenFd_, nullptr, nullptr);
      if (c >= 0) {
        behaviour(c);
        ::close(c);
      }
    });
  }
  ~RawDriver() {
    ::shutdown(listenFd_, SHUT_RDWR);
    thread_.join();
    ::close(listenFd_);
  }

 private:
  int listenFd_ = -1;
  std::thread thread_;
};

TEST_F(DeviceSocketTest, HangingDriverFailsTheRequestAfterTheTimeout) {
  std::atomic<bool> release{false};
  RawDriver driver(socketPath(), [&](int fd) {
    char sink[64];
    (void)!::read(fd, sink, sizeof sink);
    while (!release) std::this_thread::yield();
  });
  SocketDeviceIo io(200);
  auto device = io.open(DevicePathFor(kGuid));
  ASSERT_NE(device, nullptr);
  uint8_t buffer[4] = {1, 2, 3, 4};
  uint32_t returned = 0;
  auto started = std::chrono::steady_clock::now();
  EXPECT_FALSE(device->control(IOCTL_NDIS_QUERY_GLOBAL_STATS, 1, buffer, 4, &returned));
  auto took = std::chrono::steady_clock::now() - started;
  release = true;
  EXPECT_LT(took, std::chrono::seconds(5)) << "the request must not wait for the driver";
  EXPECT_EQ(buffer[0], 1) << "a failed request leaves the buffer alone";
  // The handle is out of step with the stream now and refuses further use.
  EXPECT_FALSE(device->control(IOCTL_NDIS_QUERY_GLOBAL_STATS, 1, buffer, 4, &returned));
}

TEST_F(DeviceSocketTest, MalformedAnswersFailCleanly) {
  struct Case {
    const char* name;
    std::vector<uint8_t> answer;  // sent after reading the 16-byte request
  } cases[] = {
      {"ClosedBeforeAnswer", {}},
      {"TruncatedHeader", {0, 0, 0}},
      {"TruncatedPayload", {0, 0, 0, 0, 4, 0, 0, 0, 9, 9}},
      {"CountBeyondBuffer", {0, 0, 0, 0, 5, 0, 0, 0, 9, 9, 9, 9}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RawDriver driver(socketPath(), [&](int fd) {
      uint8_t request[16];
      Deadline d(1000);
      if (ReceiveAll(fd, request, sizeof request, d)) {
        SendAll(fd, c.answer.data(), c.answer.size(), d);
      }
    });
    SocketDeviceIo io(500);
    auto device = io.open(DevicePathFor(kGuid));
    ASSERT_NE(device, nullptr);
    uint8_t buffer[4] = {7, 7, 7, 7};
    uint32_t returned = 0;
    EXPECT_FALSE(device->control(IOCTL_NDIS_QUERY_GLOBAL_STATS, 1, buffer, 4, &returned));
    EXPECT_EQ(buffer[0], 7);
    device.reset();
  }
}

// A driver that dies (its end of the socket closed) with a request out fails the request at
// once, not after the request's timeout.
TEST_F(DeviceSocketTest, DriverThatDiesFailsTheRequestAtOnce) {
  RawDriver driver(socketPath(), [&](int fd) {
    uint8_t request[16];
    (void)ReceiveAll(fd, request, sizeof request, Deadline(1000));
  });
  SocketDeviceIo io(30000);
  auto device = io.open(DevicePathFor(kGuid));
  ASSERT_NE(device, nullptr);
  uint8_t buffer[4] = {};
  uint32_t returned = 0;
  const auto started = std::chrono::steady_clock::now();
  EXPECT_FALSE(device->control(IOCTL_NDIS_QUERY_GLOBAL_STATS, 1, buffer, 4, &returned));
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
}

TEST_F(DeviceSocketTest, ServerRefusesOversizedRequests) {
  DeviceSocketServer server;
  std::atomic<int> calls{0};
  ASSERT_TRUE(server.start(socketPath(), [&](auto, auto, auto&, uint32_t*) {
    ++calls;
    return 0u;
  }));
  int fd = ConnectUnixSocket(socketPath(), 500);
  ASSERT_GE(fd, 0);
  uint8_t header[kDeviceHeaderBytes];
  EncodeRequestHeader({IOCTL_NDIS_QUERY_GLOBAL_STATS, 1, kMaxDevicePayload + 1}, header);
  Deadline d(1000);
  ASSERT_TRUE(SendAll(fd, header, sizeof header, d));
  uint8_t answer[8];
  EXPECT_FALSE(ReceiveAll(fd, answer, sizeof answer, d)) << "the server closes the connection";
  ::close(fd);
  EXPECT_EQ(calls.load(), 0);
}

}  // namespace
}  // namespace ov
