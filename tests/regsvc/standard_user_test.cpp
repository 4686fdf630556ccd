// A real standard user: a child process that drops to an unprivileged uid and writes through the
// registry broker, with the real ovregsvc behind the socket. Needs root to drop privileges.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>

#include "driver/params/registry_writer.h"
#include "platform/deviceio/socket_io.h"
#include "services/registry_service_client.h"
#include "platform/registry/hive_store.h"
#include "platform/registry/registry.h"
#include "platform/system/admin_group.h"
#include "platform/system/error_codes.h"
#include "shell/registry_broker.h"
#include "tests/regsvc/regsvc_process.h"
#include "tests/support/temp_dir.h"
#include "tests/support/other_user.h"

namespace ov {
namespace {

const std::string kAdapter =
    "SYSTEM\\CurrentControlSet\\Control\\Class\\{4d36e972-e325-11ce-bfc1-08002be10318}\\0007";
const std::string kOutside = "SOFTWARE\\Other";

class StandardUserTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (::geteuid() != 0) GTEST_SKIP() << "dropping to a standard user needs root";
    // The unprivileged child must reach the root's files and the socket.
    ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
    ini = dir.file("OvUI.INI");
    ASSERT_EQ(RegWriteString(HKEY_LOCAL_MACHINE, kAdapter, "Radio", "0"), ERROR_SUCCESS);
    ASSERT_EQ(RegWriteString(HKEY_LOCAL_MACHINE, kOutside, "X", "keep"), ERROR_SUCCESS);
  }
  void TearDown() override { registry_detail::CloseConnections(); }

  void WritePolicy(const std::string& text) {
    test::WriteFileBytes(ini, text);
    ASSERT_EQ(::chmod(ini.c_str(), 0644), 0);
  }

  // Runs `body` in a child that is the user "nobody"; returns its exit status (0 = all as
  // expected, otherwise the bits of the checks that failed).
  int AsStandardUser(const std::function<int()>& body) {
    // Connections opened as root would let the child write through them.
    registry_detail::CloseConnections();
    pid_t pid = ::fork();
    if (pid == 0) {
      const uid_t uid = test::NobodyUid();
      if (!test::BecomeUser(uid)) _exit(100);
      if (::geteuid() == 0 || ProcessIsInAdminGroup()) _exit(101);
      _exit(body());
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 200;
  }

  static std::string Read(const std::string& path, const std::string& name) {
    return RegReadString(HKEY_LOCAL_MACHINE, path, name).value_or("<missing>");
  }
  static size_t Count(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
  }

  test::TempDir dir;
  test::ScopedMachineRoot root{dir.path()};
  std::string ini;
};

TEST_F(StandardUserTest, ChangesAnAdapterParameterOnlyThroughTheService) {
  WritePolicy("[Advance]\r\nOpenFile=0\r\n");  // AllowStandardUserSetAdvance missing: "1"
  test::RegistryServiceProcess service(dir.path(), ini);
  ASSERT_TRUE(service.ready()) << service.log();

  const int failed = AsStandardUser([this] {
    int bits = 0;
    DirectRegistryWriter direct;
    if (direct.SetValue(HKEY_LOCAL_MACHINE, kAdapter, "Radio", REG_SZ, "1") != ERROR_ACCESS_DENIED)
      bits |= 1;  // the machine hive must be out of this user's reach
    RegistryBroker broker(ini, /*isAdmin=*/false);
    if (!broker.MayUseService() || !broker.Bound()) bits |= 2;
    if (broker.SetValue(HKEY_LOCAL_MACHINE, kAdapter, "Radio", REG_SZ, "1") != ERROR_SUCCESS)
      bits |= 4;
    if (broker.LastServiceStatus() != ERROR_SUCCESS) bits |= 8;
    // Outside the allow-list: delivered, so reported as done, but the service refused it.
    if (broker.SetValue(HKEY_LOCAL_MACHINE, kOutside, "X", REG_SZ, "changed") != ERROR_SUCCESS)
      bits |= 16;
    if (broker.LastServiceStatus() != ERROR_ACCESS_DENIED) bits |= 32;
    return bits;
  });
  EXPECT_EQ(failed, 0) << service.log();

  EXPECT_EQ(Read(kAdapter, "Radio"), "1");
  EXPECT_EQ(Read(kOutside, "X"), "keep");
  const std::string who = "uid " + std::to_string(test::NobodyUid()) + " pid ";
  const std::string log = service.log();
  EXPECT_EQ(Count(log, "done " + who), 1u) << log;
  EXPECT_NE(log.find("set value HKLM\\" + kAdapter + " \"Radio\""), std::string::npos) << log;
  EXPECT_EQ(Count(log, "refused " + who), 1u) << log;
  EXPECT_NE(log.find("set value HKLM\\SOFTWARE\\Other \"X\": outside the allowed keys"),
            std::string::npos)
      << log;
}

TEST_F(StandardUserTest, ThePolicyHoldsEvenWhenTheBrokerIsBypassed) {
  WritePolicy("[Advance]\r\nAllowStandardUserSetAdvance=0\r\n");
  test::RegistryServiceProcess service(dir.path(), ini);
  ASSERT_TRUE(service.ready()) << service.log();

  const int failed = AsStandardUser([this] {
    int bits = 0;
    RegistryBroker broker(ini, /*isAdmin=*/false);
    if (broker.MayUseService()) bits |= 1;
    // The broker does not forward: the direct error stands and nothing is sent.
    if (broker.SetValue(HKEY_LOCAL_MACHINE, kAdapter, "Radio", REG_SZ, "1") != ERROR_ACCESS_DENIED)
      bits |= 2;
    // A hand-made message is refused by the service itself.
    test::ServiceAnswer answer = test::SendMessage(
        {RegistryOp::SetValue, kAdapter, "Radio", REG_SZ, "1", kHiveLocalMachine});
    if (!answer.answered || answer.status != ERROR_ACCESS_DENIED) bits |= 4;
    return bits;
  });
  EXPECT_EQ(failed, 0) << service.log();
  EXPECT_EQ(Read(kAdapter, "Radio"), "0");
  EXPECT_EQ(Count(service.log(), "standard users may not change settings"), 1u) << service.log();
}

TEST_F(StandardUserTest, OneUsersIdleConnectionsLeaveOtherUsersServed) {
  WritePolicy("[Advance]\r\n");
  test::RegistryServiceProcess service(dir.path(), ini);
  ASSERT_TRUE(service.ready()) << service.log();
  constexpr int kIdle = 200;
  constexpr int kCalls = 100;

  // The idle user: connects kIdle times, sends nothing, and holds on until told to stop.
  int ready[2], stop[2];
  ASSERT_EQ(::pipe(ready), 0);
  ASSERT_EQ(::pipe(stop), 0);
  registry_detail::CloseConnections();
  const pid_t idler = ::fork();
  if (idler == 0) {
    ::close(ready[0]);
    ::close(stop[1]);
    if (!test::BecomeUser(test::NobodyUid())) {
      _exit(100);
    }
    std::vector<int> held;
    for (int i = 0; i < kIdle; ++i) {
      const int fd = ConnectUnixSocket(RegistryServiceSocketPath().string(), 100);
      if (fd >= 0) held.push_back(fd);
    }
    const char count = static_cast<char>(held.size() > 0);
    (void)!::write(ready[1], &count, 1);
    char any;
    (void)!::read(stop[0], &any, 1);
    _exit(0);
  }
  ::close(ready[1]);
  ::close(stop[0]);
  char connected = 0;
  ASSERT_EQ(::read(ready[0], &connected, 1), 1);
  EXPECT_EQ(connected, 1);

  int served = 0;
  SocketRegistryServiceClient client;
  for (int i = 0; i < kCalls; ++i) {
    RegistryMessageBytes bytes;
    ASSERT_TRUE(EncodeRegistryMessage(
        {RegistryOp::SetValue, kAdapter, "Radio", REG_SZ, std::to_string(i), kHiveLocalMachine},
        &bytes));
    uint32_t status = kNoServiceAnswer;
    if (client.Send(bytes, &status) == 0 && status == ERROR_SUCCESS) ++served;
  }
  (void)!::write(stop[1], "x", 1);
  ::close(stop[1]);
  ::close(ready[0]);
  int status = 0;
  ::waitpid(idler, &status, 0);
  EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 0);
  EXPECT_EQ(served, kCalls);
  EXPECT_EQ(Read(kAdapter, "Radio"), std::to_string(kCalls - 1));
  const std::string log = service.log();
  EXPECT_NE(log.find("refused uid " + std::to_string(test::NobodyUid()) +
                     " pid "), std::string::npos) << log;
  EXPECT_NE(log.find("too many connections of this user waiting to send"), std::string::npos)
      << log;
}

}  // namespace
}  // namespace ov
