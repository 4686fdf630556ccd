// The client against a stand-in listener that the test drives step by step: a full listening
// queue, a busy answer and a missing answer, each with the outcome the caller must see.
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <future>

#include "services/registry_service_client.h"
#include "tests/support/temp_dir.h"

namespace ov {
namespace {

class StandInListener {
 public:
  StandInListener(const std::string& path, int backlog) {
    fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    ok_ = ::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
          ::listen(fd_, backlog) == 0;
  }
  ~StandInListener() { ::close(fd_); }
  bool ok() const { return ok_; }
  // -1 when no caller came: real time only bounds a wait that a broken client would make endless.
  int accept() {
    pollfd p{fd_, POLLIN, 0};
    if (::poll(&p, 1, 10000) != 1) return -1;
    return ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
  }
  bool nothingQueued() {
    pollfd p{fd_, POLLIN, 0};
    return ::poll(&p, 1, 0) == 0;
  }

 private:
  int fd_ = -1;
  bool ok_ = false;
};

bool ReadMessage(int fd) {
  RegistryMessageBytes bytes;
  size_t got = 0;
  while (got < bytes.size()) {
    const ssize_t n = ::recv(fd, bytes.data() + got, bytes.size() - got, 0);
    if (n <= 0) return false;
    got += static_cast<size_t>(n);
  }
  return true;
}

void AnswerWith(int fd, uint32_t status) {
  const uint8_t le[4] = {static_cast<uint8_t>(status), static_cast<uint8_t>(status >> 8),
                         static_cast<uint8_t>(status >> 16), static_cast<uint8_t>(status >> 24)};
  ASSERT_EQ(::send(fd, le, 4, MSG_NOSIGNAL), 4);
}

class ClientTest : public ::testing::Test {
 protected:
  struct Result {
    uint32_t returned = 0;
    uint32_t status = 0;
  };
  std::future<Result> SendInBackground() {
    return std::async(std::launch::async, [this] {
      SocketRegistryServiceClient client(path, 5000);
      RegistryMessageBytes bytes;
      EncodeRegistryMessage({RegistryOp::CreateKey, "A", "", 0, "", 0}, &bytes);
      Result r;
      r.returned = client.Send(bytes, &r.status);
      return r;
    });
  }

  test::TempDir dir;
  std::string path = dir.file("service");
};

TEST_F(ClientTest, AFullListeningQueueIsWaitedOutNotReportedAsNoService) {
  StandInListener listener(path, 0);
  ASSERT_TRUE(listener.ok());
  // An idle caller fills the queue.
  const int idle = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
  ASSERT_EQ(::connect(idle, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);

  auto pending = SendInBackground();
  const int first = listener.accept();  // the idle one: room for the client now
  const int second = listener.accept();
  ASSERT_GE(second, 0) << "the client gave up instead of waiting";
  ASSERT_TRUE(ReadMessage(second));
  AnswerWith(second, 0);
  const Result r = pending.get();
  EXPECT_EQ(r.returned, 0u);
  EXPECT_EQ(r.status, 0u);
  ::close(first);
  ::close(second);
  ::close(idle);
}

TEST_F(ClientTest, ABusyServiceIsAskedAgainAndTheMessageGoesOnce) {
  StandInListener listener(path, 8);
  ASSERT_TRUE(listener.ok());
  auto pending = SendInBackground();
  const int turnedAway = listener.accept();
  ASSERT_GE(turnedAway, 0);
  AnswerWith(turnedAway, kServiceBusy);
  ::close(turnedAway);
  const int served = listener.accept();
  ASSERT_GE(served, 0) << "the client gave up after the busy answer";
  ASSERT_TRUE(ReadMessage(served));
  AnswerWith(served, 5);
  const Result r = pending.get();
  EXPECT_EQ(r.returned, 0u);
  EXPECT_EQ(r.status, 5u) << "the second attempt's answer";
  ::close(served);
  EXPECT_TRUE(listener.nothingQueued());
}

TEST_F(ClientTest, AMessageThatMayHaveBeenPerformedIsNotSentAgain) {
  StandInListener listener(path, 8);
  ASSERT_TRUE(listener.ok());
  auto pending = SendInBackground();
  const int taken = listener.accept();
  ASSERT_GE(taken, 0);
  ASSERT_TRUE(ReadMessage(taken));
  ::close(taken);  // no answer
  const Result r = pending.get();
  EXPECT_EQ(r.returned, 0u) << "delivered";
  EXPECT_EQ(r.status, kNoServiceAnswer);
  EXPECT_TRUE(listener.nothingQueued()) << "no second attempt";
}

}  // namespace
}  // namespace ov
