// The real ovregsvc on its socket: malformed messages are refused without effect, logged, and
// the service keeps serving.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "platform/registry/hive_store.h"
#include "platform/registry/registry.h"
#include "platform/system/error_codes.h"
#include "services/registry_service_client.h"
#include "tests/regsvc/regsvc_process.h"
#include "tests/support/temp_dir.h"

namespace ov {
namespace {

const std::string kAdapter =
    "SYSTEM\\CurrentControlSet\\Control\\Class\\{4d36e972-e325-11ce-bfc1-08002be10318}\\0007";

class OvregsvcProcessTest : public ::testing::Test {
 protected:
  OvregsvcProcessTest() {
    test::WriteFileBytes(dir.file("OvUI.INI"), "[Advance]\r\n");
    EXPECT_EQ(RegWriteString(HKEY_LOCAL_MACHINE, kAdapter, "Radio", "0"), ERROR_SUCCESS);
  }
  ~OvregsvcProcessTest() override { registry_detail::CloseConnections(); }

  static std::string Radio() {
    return RegReadString(HKEY_LOCAL_MACHINE, kAdapter, "Radio").value_or("<missing>");
  }
  static std::string Valid(const std::string& radio) {
    RegistryMessage m{RegistryOp::SetValue, kAdapter, "Radio", REG_SZ, radio, kHiveLocalMachine};
    RegistryMessageBytes bytes;
    EncodeRegistryMessage(m, &bytes);
    return std::string(bytes.begin(), bytes.end());
  }

  test::TempDir dir;
  test::ScopedMachineRoot root{dir.path()};
};

TEST_F(OvregsvcProcessTest, MalformedMessagesAreRefusedAndTheServiceGoesOn) {
  test::RegistryServiceProcess service(dir.path(), dir.file("OvUI.INI"));
  ASSERT_TRUE(service.ready()) << service.log();

  struct Row {
    const char* name;
    std::string bytes;
    const char* logged;
  };
  auto with = [](std::string b, size_t at, char c) { b[at] = c; return b; };
  const std::string valid = Valid("1");
  // Offsets in `valid`: key path length at 2 (83), text at 6..88 with its NUL at 88,
  // value name length at 89, "Radio" at 93, type at 103.
  const std::vector<Row> rows = {
      {"field length past the buffer", with(with(valid, 3, '\x7F'), 4, '\x01'),
       "field past the end of the message"},
      {"field count that does not match", with(valid, 1, 5),
       "field count does not match the operation"},
      {"text without its NUL", with(valid, 88, 'X'), "text field without its terminating NUL"},
      {"unknown operation", with(valid, 0, 9), "unknown operation code"},
      {"unknown hive", [] {
         RegistryMessage m{RegistryOp::CreateKey, kAdapter + "\\X", "", 0, "", 7};
         RegistryMessageBytes b;
         EncodeRegistryMessage(m, &b);
         return std::string(b.begin(), b.end());
       }(),
       "unknown hive code"},
      {"path with '..'", [] {
         RegistryMessage m{RegistryOp::SetValue, kAdapter + "\\..\\..\\..\\..\\..\\..\\SOFTWARE",
                           "Radio", REG_SZ, "1", 0};
         RegistryMessageBytes b;
         EncodeRegistryMessage(m, &b);
         return std::string(b.begin(), b.end());
       }(),
       "empty, '.' or '..' component in the key path"},
      {"empty name", [] {
         RegistryMessage m{RegistryOp::DeleteValue, kAdapter, "", 0, "", 0};
         RegistryMessageBytes b;
         EncodeRegistryMessage(m, &b);
         return std::string(b.begin(), b.end());
       }(),
       "empty name"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    ASSERT_EQ(row.bytes.size(), kRegistryMessageSize);
    test::ServiceAnswer answer = test::SendRaw(row.bytes);
    ASSERT_TRUE(answer.answered);
    EXPECT_EQ(answer.status, ERROR_INVALID_PARAMETER);
    EXPECT_NE(service.log().find(std::string("malformed message (") + row.logged),
              std::string::npos)
        << service.log();
    EXPECT_EQ(Radio(), "0");
  }

  // A valid message with bytes behind it: refused unread.
  test::ServiceAnswer longer = test::SendRaw(valid + "X");
  ASSERT_TRUE(longer.answered);
  EXPECT_EQ(longer.status, ERROR_INVALID_PARAMETER);
  EXPECT_EQ(Radio(), "0");
  EXPECT_NE(service.log().find("(a message followed by extra bytes)"), std::string::npos)
      << service.log();

  // A message cut short: the connection ends, nothing is done, the log says so.
  test::ServiceAnswer cut = test::SendRaw(valid.substr(0, 100));
  EXPECT_FALSE(cut.answered);
  EXPECT_EQ(Radio(), "0");

  ASSERT_TRUE(service.running());
  test::ServiceAnswer answer = test::SendRaw(valid);
  ASSERT_TRUE(answer.answered);
  EXPECT_EQ(answer.status, ERROR_SUCCESS);
  EXPECT_EQ(Radio(), "1");
  EXPECT_NE(service.log().find("incomplete message (100 of 1024 bytes)"), std::string::npos)
      << service.log();
}

TEST_F(OvregsvcProcessTest, SixHundredConcurrentCallsAreAllServed) {
  test::RegistryServiceProcess service(dir.path(), dir.file("OvUI.INI"));
  ASSERT_TRUE(service.ready()) << service.log();
  constexpr int kCallers = 200;
  constexpr int kCallsEach = 3;
  std::atomic<int> served{0};
  std::vector<std::string> failures(kCallers);
  std::vector<std::thread> callers;
  for (int t = 0; t < kCallers; ++t) {
    callers.emplace_back([&, t] {
      SocketRegistryServiceClient client;
      for (int i = 0; i < kCallsEach; ++i) {
        RegistryMessage m{RegistryOp::SetValue, kAdapter, "Caller" + std::to_string(t), REG_SZ,
                          std::to_string(i), kHiveLocalMachine};
        RegistryMessageBytes bytes;
        EncodeRegistryMessage(m, &bytes);
        uint32_t status = kNoServiceAnswer;
        const uint32_t sent = client.Send(bytes, &status);
        if (sent == 0 && status == ERROR_SUCCESS) {
          ++served;
        } else {
          failures[t] = "send " + std::to_string(sent) + " status " + std::to_string(status);
        }
      }
    });
  }
  for (auto& c : callers) c.join();
  EXPECT_EQ(served.load(), kCallers * kCallsEach);
  for (int t = 0; t < kCallers; ++t) EXPECT_EQ(failures[t], "") << "caller " << t;
  RegKey key;
  ASSERT_EQ(key.open(HKEY_LOCAL_MACHINE, kAdapter), ERROR_SUCCESS);
  std::vector<RegValue> values;
  ASSERT_EQ(RegListValues(key.get(), &values), ERROR_SUCCESS);
  EXPECT_EQ(values.size(), static_cast<size_t>(kCallers + 1));
}

TEST_F(OvregsvcProcessTest, EveryLocalUserMayConnectAndOneServicePerRoot) {
  test::RegistryServiceProcess service(dir.path(), dir.file("OvUI.INI"));
  ASSERT_TRUE(service.ready()) << service.log();
  struct stat st{};
  ASSERT_EQ(::stat(RegistryServiceSocketPath().c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0666u);

  test::RegistryServiceProcess second(dir.path(), dir.file("OvUI.INI"), "second.log");
  EXPECT_FALSE(second.ready());
  EXPECT_NE(second.log().find("another ovregsvc is already running"), std::string::npos);

  // The first one still answers.
  SocketRegistryServiceClient client;
  EXPECT_TRUE(client.IsListening());
}

TEST_F(OvregsvcProcessTest, TheClientReportsAServiceThatIsNotThere) {
  SocketRegistryServiceClient client;
  EXPECT_FALSE(client.IsListening());
  RegistryMessageBytes bytes;
  ASSERT_TRUE(EncodeRegistryMessage({RegistryOp::CreateKey, "A", "", 0, "", 0}, &bytes));
  uint32_t status = 0;
  EXPECT_EQ(client.Send(bytes, &status), RPC_S_SERVER_UNAVAILABLE);
  EXPECT_EQ(status, kNoServiceAnswer);
}

}  // namespace
}  // namespace ov
