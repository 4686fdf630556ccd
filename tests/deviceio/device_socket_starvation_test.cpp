// The device socket is open to every local user: one user's slow and idle connections must not
// keep another user's requests waiting, nor make the driver hold memory without bound. Dropping
// to a standard user needs root.
#include <gtest/gtest.h>

#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <vector>

#include "platform/deviceio/device_io.h"
#include "platform/deviceio/device_protocol.h"
#include "platform/deviceio/device_socket_server.h"
#include "platform/deviceio/socket_io.h"
#include "tests/support/temp_dir.h"
#include "tests/support/other_user.h"

namespace ov {
namespace {

const std::string kGuid = "{0A1B2C3D-0000-4000-8000-00000000AB02}";

// How a hostile connection behaves once connected.
enum class Hostile { OneByte, HugeHeaderAndSomePayload, Idle };

struct Attack {
  const char* name;
  Hostile kind;
  int connections;
};

class DeviceSocketStarvationTest : public ::testing::TestWithParam<Attack> {
 protected:
  void SetUp() override {
    if (::geteuid() != 0) GTEST_SKIP() << "dropping to a standard user needs root";
    std::filesystem::create_directories(DeviceSocketFolder());
    for (auto p = std::filesystem::path(DeviceSocketFolder()); p != root_.path().parent_path();
         p = p.parent_path()) {
      ASSERT_EQ(::chmod(p.c_str(), 0755), 0);
    }
  }
  std::string socketPath() const { return *DeviceSocketPath(DevicePathFor(kGuid)); }

  // Forks a child that, as "nobody", opens the connections and holds them until `release` is
  // closed. Returns once they are all connected and have sent what they send.
  pid_t startAttacker(const Attack& attack, int* release) {
    int ready[2], hold[2];
    EXPECT_EQ(::pipe(ready), 0);
    EXPECT_EQ(::pipe(hold), 0);
    pid_t pid = ::fork();
    if (pid == 0) {
      ::close(ready[0]);
      ::close(hold[1]);
      const uid_t uid = test::NobodyUid();
      if (!test::BecomeUser(uid)) _exit(100);
      std::vector<int> fds;
      std::vector<uint8_t> payload(kPayloadSent, 0x5A);
      for (int i = 0; i < attack.connections; ++i) {
        int fd = ConnectUnixSocket(socketPath(), 2000);
        if (fd < 0) continue;
        fds.push_back(fd);
        uint8_t header[kDeviceHeaderBytes];
        EncodeRequestHeader({IOCTL_NDIS_QUERY_GLOBAL_STATS, 1, kMaxDevicePayload}, header);
        Deadline d(200);
        if (attack.kind == Hostile::OneByte) {
          (void)SendAll(fd, header, 1, d);
        } else if (attack.kind == Hostile::HugeHeaderAndSomePayload) {
          (void)SendAll(fd, header, sizeof header, d);
          (void)SendAll(fd, payload.data(), payload.size(), d);
        }
      }
      const int connected = static_cast<int>(fds.size());
      (void)!::write(ready[1], &connected, sizeof connected);
      char c = 0;
      (void)!::read(hold[0], &c, 1);  // until the parent is done
      _exit(0);
    }
    ::close(ready[1]);
    ::close(hold[0]);
    int connected = 0;
    EXPECT_EQ(::read(ready[0], &connected, sizeof connected), sizeof connected)
        << "the attacker did not get going";
    // Every connection got through the queue: those over the cap are closed after accepting.
    EXPECT_EQ(connected, attack.connections);
    ::close(ready[0]);
    *release = hold[1];
    return pid;
  }

  static constexpr size_t kPayloadSent = 64 * 1024;
  test::TempDir root_;
  test::ScopedMachineRoot scopedRoot_{root_.path()};
};

TEST_P(DeviceSocketStarvationTest, AnotherUsersRequestIsAnsweredAndMemoryStaysBounded) {
  DeviceSocketLimits limits;
  // Long deadlines: only the caps may keep the attacker's connections from piling up here.
  limits.requestMs = 60000;
  limits.idleMs = 60000;
  DeviceSocketServer server(limits);
  ASSERT_TRUE(server.start(socketPath(), [](uint32_t, uint32_t, std::vector<uint8_t>& buf,
                                            uint32_t* returned) -> uint32_t {
    buf.assign(buf.size(), 0);
    if (!buf.empty()) buf[0] = 0xC4;
    *returned = static_cast<uint32_t>(buf.size());
    return 0;
  }));

  int release = -1;
  pid_t attacker = startAttacker(GetParam(), &release);

  {
    // The well-behaved caller opens the device per request, as the OID channel does.
    SocketDeviceIo io;
    for (int i = 0; i < 3; ++i) {
      auto device = io.open(DevicePathFor(kGuid));
      ASSERT_NE(device, nullptr);
      uint8_t buffer[4] = {};
      uint32_t returned = 0;
      EXPECT_TRUE(device->control(IOCTL_NDIS_QUERY_GLOBAL_STATS, 0xFF0C000F, buffer, 4, &returned));
      EXPECT_EQ(buffer[0], 0xC4);
    }
  }
  // The attacker holds no more than its share; what it made the driver buffer is bounded by
  // that share and by what it actually sent, not by what its headers announced.
  EXPECT_LE(server.openConnections(), limits.maxConnectionsPerUser + 1);
  EXPECT_LE(server.peakBufferedBytes(),
            limits.maxConnectionsPerUser * 2 * (kPayloadSent + kDeviceHeaderBytes) + 64 * 1024);

  ::close(release);
  int status = 0;
  ::waitpid(attacker, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

INSTANTIATE_TEST_SUITE_P(
    Attacks, DeviceSocketStarvationTest,
    ::testing::Values(Attack{"OneByteEach", Hostile::OneByte, 40},
                      Attack{"HugeHeaders", Hostile::HugeHeaderAndSomePayload, 20},
                      Attack{"IdleConnections", Hostile::Idle, 200}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace ov
