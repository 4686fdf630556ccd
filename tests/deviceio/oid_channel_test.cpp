// The OID channel on the virtual clock: set marking, attempts, the retry queue and its drop
// when the adapter vanishes.
#include <gtest/gtest.h>

#include <deque>

#include "driver/oid_channel.h"
#include "platform/deviceio/device_protocol.h"
#include "platform/time/virtual_clock.h"

namespace ov {
namespace {

// A scripted driver: records every I/O control and answers from a queue of outcomes.
struct FakeDriver : DeviceIo {
  struct Call {
    int64_t at;
    uint32_t oid;
    uint32_t size;
    bool nullBuffer;
  };
  bool present = true;
  std::deque<bool> outcomes;  // empty: succeed
  bool scribble = false;      // the driver writes into the output buffer
  uint32_t answerBytes = 0;
  std::vector<Call> calls;
  const TimerService* clock = nullptr;

  std::unique_ptr<DeviceHandle> open(const std::string&) override {
    if (!present) return nullptr;
    struct Handle : DeviceHandle {
      FakeDriver& d;
      explicit Handle(FakeDriver& driver) : d(driver) {}
      bool control(uint32_t code, uint32_t oid, uint8_t* buffer, uint32_t size,
                   uint32_t* returned) override {
        EXPECT_EQ(code, IOCTL_NDIS_QUERY_GLOBAL_STATS);
        d.calls.push_back({d.clock ? d.clock->now() : 0, oid, size, buffer == nullptr});
        if (d.scribble) for (uint32_t i = 0; i < size; ++i) buffer[i] = 0xEE;
        *returned = d.answerBytes;
        if (d.outcomes.empty()) return true;
        bool ok = d.outcomes.front();
        d.outcomes.pop_front();
        return ok;
      }
    };
    return std::make_unique<Handle>(*this);
  }
};

class OidChannelTest : public ::testing::Test {
 protected:
  OidChannelTest() { driver.clock = &clock; }
  bool set(uint32_t oid, std::vector<uint8_t>& payload, int retries = kSetAttempts) {
    uint32_t returned = 0;
    return channel.SetOid(oid, payload.data(), static_cast<uint32_t>(payload.size()), &returned,
                          retries);
  }
  std::vector<int64_t> callTimes() const {
    std::vector<int64_t> times;
    for (const auto& c : driver.calls) times.push_back(c.at);
    return times;
  }

  VirtualClock clock;
  FakeDriver driver;
  OidChannel channel{driver, clock};
};

TEST_F(OidChannelTest, SetsGoOutMarked) {
  struct Row { uint32_t oid; uint32_t sent; } rows[] = {
      {0x0D010102, 0xFF810102}, {0x0E01017E, 0xFF81017E},
      {0xFF0C0025, 0xFF8C0025}, {0xFF710111, 0xFFF10111}, {0xFF8C0049, 0xFF8C0049}};
  for (auto row : rows) {
    SCOPED_TRACE(row.oid);
    driver.calls.clear();
    std::vector<uint8_t> payload(4);
    EXPECT_TRUE(set(row.oid, payload));
    ASSERT_EQ(driver.calls.size(), 1u);
    EXPECT_EQ(driver.calls[0].oid, row.sent);
  }
}

TEST_F(OidChannelTest, QueryIsSentUnmarkedAndReportsTheCount) {
  driver.answerBytes = 4;
  uint8_t buffer[4];
  uint32_t returned = 77;
  EXPECT_TRUE(channel.QueryOid(0xFF0C000F, buffer, 4, &returned));
  EXPECT_EQ(driver.calls.at(0).oid, 0xFF0C000Fu);
  EXPECT_EQ(returned, 4u);
}

TEST_F(OidChannelTest, FailingSetIsTriedThreeTimesAt0And500And1000) {
  driver.outcomes = {false, false, false, false};
  std::vector<uint8_t> payload = {1, 2, 3, 4};
  EXPECT_FALSE(set(0xFF8C0003, payload));
  ASSERT_EQ(channel.PendingSetQueue().size(), 1u);
  clock.advance(5000);
  EXPECT_EQ(callTimes(), (std::vector<int64_t>{0, 500, 1000}));
  EXPECT_TRUE(channel.PendingSetQueue().empty());
  EXPECT_EQ(clock.activeCount(), 0u) << "the record's timer is killed with it";
}

TEST_F(OidChannelTest, RetrySucceedsAndStops) {
  driver.outcomes = {false, true};
  std::vector<uint8_t> payload = {9};
  EXPECT_FALSE(set(0xFF8C0002, payload));
  clock.advance(3000);
  EXPECT_EQ(callTimes(), (std::vector<int64_t>{0, 500}));
  EXPECT_TRUE(channel.PendingSetQueue().empty());
  EXPECT_EQ(clock.activeCount(), 0u);
}

TEST_F(OidChannelTest, SingleAttemptIsNeverQueued) {
  driver.outcomes = {false};
  std::vector<uint8_t> payload = {1};
  EXPECT_FALSE(set(0xFF8C0002, payload, 1));
  EXPECT_TRUE(channel.PendingSetQueue().empty());
  EXPECT_EQ(clock.activeCount(), 0u);
}

TEST_F(OidChannelTest, ZeroSizeSetIsQueuedWithoutCopyAndRetriedWithoutBuffer) {
  driver.outcomes = {false, false, true};
  uint32_t returned = 0;
  EXPECT_FALSE(channel.SetOid(0x0D010115, nullptr, 0, &returned, kSetAttempts));
  ASSERT_EQ(channel.PendingSetQueue().size(), 1u);
  EXPECT_TRUE(channel.PendingSetQueue()[0].Data.empty());
  clock.advance(1000);
  ASSERT_EQ(driver.calls.size(), 3u);
  EXPECT_EQ(driver.calls[1].size, 0u);
  EXPECT_TRUE(driver.calls[1].nullBuffer);
}

TEST_F(OidChannelTest, QueuedCopyIsPrivate) {
  driver.outcomes = {false, true};
  std::vector<uint8_t> payload = {1, 2};
  EXPECT_FALSE(set(0xFF8C0002, payload));
  payload[0] = 42;  // the caller reuses its buffer at once
  EXPECT_EQ(channel.PendingSetQueue()[0].Data, (std::vector<uint8_t>{1, 2}));
}

TEST_F(OidChannelTest, TwoQueuedSetsRetryIndependently) {
  // First set: fails, then succeeds on its first retry. Second set (started 200 ms later):
  // fails three times.
  driver.outcomes = {false};
  std::vector<uint8_t> a = {1};
  EXPECT_FALSE(set(0xFF8C0002, a));
  clock.advance(200);
  driver.outcomes = {false};
  std::vector<uint8_t> b = {2};
  EXPECT_FALSE(set(0xFF8C0007, b));
  ASSERT_EQ(channel.PendingSetQueue().size(), 2u);
  driver.outcomes = {true, false, false};  // 500: a ok; 700: b fails; 1200: b fails (last)
  clock.advance(2000);
  std::vector<std::pair<int64_t, uint32_t>> seen;
  for (const auto& c : driver.calls) seen.emplace_back(c.at, c.oid);
  EXPECT_EQ(seen, (std::vector<std::pair<int64_t, uint32_t>>{
                      {0, 0xFF8C0002}, {200, 0xFF8C0007}, {500, 0xFF8C0002},
                      {700, 0xFF8C0007}, {1200, 0xFF8C0007}}));
  EXPECT_TRUE(channel.PendingSetQueue().empty());
}

TEST_F(OidChannelTest, VanishedDeviceDropsTheWholeQueueAtTheNextTick) {
  // The records fall due apart: a at 500, b at 700. The first retry after the device vanished
  // drops both, not only the record it was retrying.
  driver.outcomes = {false, false};
  std::vector<uint8_t> a = {1}, b = {2};
  EXPECT_FALSE(set(0xFF8C0002, a));
  clock.advance(200);
  EXPECT_FALSE(set(0xFF8C0007, b));
  ASSERT_EQ(channel.PendingSetQueue().size(), 2u);
  driver.present = false;
  clock.advance(300);
  EXPECT_TRUE(channel.PendingSetQueue().empty()) << "b was still queued after a's retry";
  EXPECT_EQ(clock.activeCount(), 0u) << "b's timer still runs";
  clock.advance(1000);
  EXPECT_EQ(driver.calls.size(), 2u) << "nothing more reaches the driver";
}

TEST_F(OidChannelTest, AbsentDeviceFailsAtOnceAndLeavesCountUntouched) {
  driver.present = false;
  uint8_t buffer[4] = {};
  uint32_t returned = 1234;
  EXPECT_FALSE(channel.QueryOid(1, buffer, 4, &returned));
  EXPECT_EQ(returned, 1234u);
  EXPECT_FALSE(channel.SetOid(1, buffer, 4, &returned, kSetAttempts));
  EXPECT_EQ(returned, 1234u);
  EXPECT_TRUE(channel.PendingSetQueue().empty());
  EXPECT_FALSE(channel.IsDevicePresent());
  driver.present = true;
  EXPECT_TRUE(channel.IsDevicePresent());
}

TEST_F(OidChannelTest, VersionTenKeepsTheCallersBufferAsItWas) {
  driver.scribble = true;
  for (int code : {10, 11}) {
    SCOPED_TRACE(code);
    channel.setOsVersionCode(code);
    std::vector<uint8_t> payload = {1, 2, 3};
    EXPECT_TRUE(set(0xFF8C0002, payload));
    if (code == 10) {
      EXPECT_EQ(payload, (std::vector<uint8_t>{1, 2, 3}));
    } else {
      EXPECT_EQ(payload, (std::vector<uint8_t>{0xEE, 0xEE, 0xEE}));
    }
  }
}

TEST_F(OidChannelTest, FlushEmptiesQueueAndStopsItsTimers) {
  driver.outcomes = {false, false};
  std::vector<uint8_t> a = {1};
  EXPECT_FALSE(set(0xFF8C0002, a));
  EXPECT_FALSE(set(0xFF8C0002, a));
  channel.FlushPendingSets();
  EXPECT_TRUE(channel.PendingSetQueue().empty());
  EXPECT_EQ(clock.activeCount(), 0u);
  clock.advance(2000);
  EXPECT_EQ(driver.calls.size(), 2u);
}

}  // namespace
}  // namespace ov
