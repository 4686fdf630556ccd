// The wireless-service socket is open to every local user: one user's half-sent frames and idle
// connections must not keep another user's calls waiting, nor make the service hold memory
// without bound. Dropping to a standard user needs root.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <vector>

#include "nativewifi/wlansvc/wlan_protocol.h"
#include "nativewifi/wlansvc/wlan_service_client.h"
#include "platform/deviceio/socket_io.h"
#include "sim/sim_clock.h"
#include "sim/wlan_service_core.h"
#include "sim/wlan_socket_server.h"
#include "tests/support/temp_dir.h"
#include "tests/support/other_user.h"

namespace ov::sim {
namespace {

using namespace ov::wlan;
using namespace ov::wlan::protocol;

std::vector<uint8_t> FrameHeaderFor(uint32_t type, size_t body) {
  const uint32_t b = static_cast<uint32_t>(body);
  return {static_cast<uint8_t>(b), static_cast<uint8_t>(b >> 8), static_cast<uint8_t>(b >> 16),
          static_cast<uint8_t>(b >> 24), static_cast<uint8_t>(type), static_cast<uint8_t>(type >> 8),
          0, 0, 1, 0, 0, 0};
}

class WlanSocketStarvationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    socket_ = (dir_.path() / "wlansvc").string();
    ASSERT_EQ(::chmod(dir_.path().c_str(), 0755), 0);
    ASSERT_TRUE(server_.start(socket_));
  }

  test::TempDir dir_;
  SteadySimClock clock_;
  WlanServiceCore core_{clock_};
  WlanSocketLimits limits_;
  WlanSocketServer server_{core_, clock_, limits_};
  std::string socket_;
};

enum class Hostile { HalfSentLargeFrame, Idle };
struct Attack {
  const char* name;
  Hostile kind;
  int connections;
};

class WlanSocketAttackTest : public WlanSocketStarvationTest,
                             public ::testing::WithParamInterface<Attack> {};

// Within one read of the server, so that all of it is taken in the turn the frame begins.
constexpr size_t kSentOfFrame = 16 * 1024;

TEST_P(WlanSocketAttackTest, AnotherUsersCallsAreAnsweredAndMemoryStaysBounded) {
  if (::geteuid() != 0) GTEST_SKIP() << "dropping to a standard user needs root";
  const Attack attack = GetParam();
  int ready[2], hold[2];
  ASSERT_EQ(::pipe(ready), 0);
  ASSERT_EQ(::pipe(hold), 0);
  pid_t pid = ::fork();
  if (pid == 0) {
    ::close(ready[0]);
    ::close(hold[1]);
    const uid_t uid = test::NobodyUid();
    if (!test::BecomeUser(uid)) _exit(100);
    std::vector<int> fds;
    std::vector<uint8_t> start = FrameHeaderFor(kSetProfile, 200 * 1024);
    start.resize(kSentOfFrame, 'x');
    for (int i = 0; i < attack.connections; ++i) {
      int fd = ConnectUnixSocket(socket_, 2000);
      if (fd < 0) continue;
      fds.push_back(fd);
      if (attack.kind == Hostile::HalfSentLargeFrame) {
        (void)SendAll(fd, start.data(), start.size(), Deadline(200));
      }
    }
    const int connected = static_cast<int>(fds.size());
    (void)!::write(ready[1], &connected, sizeof connected);
    char c = 0;
    (void)!::read(hold[0], &c, 1);
    _exit(0);
  }
  ::close(ready[1]);
  ::close(hold[0]);
  int connected = 0;
  ASSERT_EQ(::read(ready[0], &connected, sizeof connected), sizeof connected);
  // Every connection got through the queue: those over the cap are closed after accepting.
  EXPECT_EQ(connected, attack.connections);
  ::close(ready[0]);

  {
    WlanServiceClient client(socket_);
    uint32_t version = 0;
    ClientHandle handle = 0;
    EXPECT_EQ(client.OpenHandle(2, &version, &handle), ERROR_SUCCESS);
    std::vector<InterfaceInfo> interfaces;
    EXPECT_EQ(client.EnumInterfaces(handle, &interfaces), ERROR_SUCCESS);
    EXPECT_EQ(client.CloseHandle(handle), ERROR_SUCCESS);
  }
  // The attacker holds no more than its share, and the service buffers no more than that share
  // of what was sent.
  EXPECT_LE(server_.openConnections(), limits_.maxConnectionsPerUser + 1);
  EXPECT_LE(server_.peakBufferedBytes(),
            limits_.maxConnectionsPerUser * 2 * kSentOfFrame + 64 * 1024);

  ::close(hold[1]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

INSTANTIATE_TEST_SUITE_P(
    Attacks, WlanSocketAttackTest,
    ::testing::Values(Attack{"HalfSentLargeFrames", Hostile::HalfSentLargeFrame, 60},
                      Attack{"IdleConnections", Hostile::Idle, 200}),
    [](const auto& info) { return std::string(info.param.name); });

// The limit sits above the largest request the protocol decodes: such a request is answered,
// a frame announcing more is refused before its body is waited for.
TEST_F(WlanSocketStarvationTest, FramesAboveTheLargestRequestAreRefusedAtOnce) {
  struct Row {
    const char* name;
    std::vector<uint8_t> bytes;
    bool answered;
  };
  SetProfileRequest largest;
  largest.handle = 1;
  largest.profileXml.assign(kMaxProfileXml, 'x');
  const Row rows[] = {
      {"largest set-profile request", EncodeMessageFrame(largest, 1), true},
      {"one byte above the limit", FrameHeaderFor(kSetProfile, limits_.maxRequestBody + 1), false},
      {"the old 4 MB frame", FrameHeaderFor(kSetProfile, kMaxFrameBody), false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    int fd = ConnectUnixSocket(socket_, 2000);
    ASSERT_GE(fd, 0);
    ASSERT_TRUE(SendAll(fd, row.bytes.data(), row.bytes.size(), Deadline(2000)));
    uint8_t header[kFrameHeaderSize];
    EXPECT_EQ(ReceiveAll(fd, header, sizeof header, Deadline(5000)), row.answered);
    ::close(fd);
  }
}

}  // namespace
}  // namespace ov::sim
