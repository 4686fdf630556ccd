// QueueAction's merge and de-duplication rules, its run-now answer, and how ActionExec walks the
// queue: a scan ends the run, the radio being off drops apply actions, records are the queue's.
#include <gtest/gtest.h>

#include "tests/actionqueue/queue_test_support.h"

namespace ov::test {
namespace {

// The queue as text: "S" for a scan, the SSID for an apply action, "?" for anything else.
std::string Shape(const ActionQueue& q) {
  std::string s;
  for (const ACTION_DATA& e : q.Queue()) {
    if (!s.empty()) s += ",";
    if (e.ActionKind == kActionScan) {
      s += "S";
    } else if (e.ActionKind == kActionApplyProfile) {
      s += e.Data ? std::string(NdisSsidText(e.Data->ssid)) : "null";
    } else {
      s += "?";
    }
  }
  return s;
}

using QueueActionTest = QueueFixture;

// Each row queues its actions in order ("S" a scan, "gtc:NAME" an apply action of a one-time
// password GTC profile, anything else an apply action of that SSID) without running the queue;
// the last action's answer and the queue's shape are checked.
TEST_F(QueueActionTest, MergesDeduplicatesAndAnswersWhetherToRunNow) {
  struct Row {
    const char* name;
    std::vector<std::string> actions;
    const char* shape;
    bool runNow;
  } rows[] = {
      {"first scan runs", {"S"}, "S", true},
      {"first apply runs", {"A"}, "A", true},
      {"scans collapse to one at the end", {"S", "S", "S"}, "S", true},
      {"scan behind an apply is appended", {"A", "S"}, "A,S", true},
      {"a newer scan moves behind the apply", {"S", "A", "S"}, "A,S", true},
      {"apply behind a scan waits", {"S", "A"}, "S,A", false},
      {"newer apply takes the older one's place", {"S", "A", "B"}, "S,B", false},
      {"apply replaced ahead of a scan", {"A", "S", "B"}, "B,S", true},
      {"queue never grows with applies", {"A", "B", "C", "D"}, "D", true},
      {"one-time GTC password before a scan waits", {"gtc:A", "S"}, "A,S", false},
      {"stored GTC password before a scan runs", {"gtcstored:A", "S"}, "A,S", true},
      {"GTC apply alone runs", {"gtc:A"}, "A", true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    queue->Clear();
    bool answer = false;
    for (const std::string& action : row.actions) {
      if (action == "S") {
        answer = queue->QueueAction(kActionScan, nullptr);
        continue;
      }
      std::string ssid = action;
      auto p = Profile("");
      if (action.rfind("gtc:", 0) == 0 || action.rfind("gtcstored:", 0) == 0) {
        ssid = action.substr(action.find(':') + 1);
        p->use8021X = 1;
        p->authenProtocol = kEapPeap;
        p->tunnelProtocol = kInnerGtc;
        p->passwordMode = action.rfind("gtc:", 0) == 0 ? 0 : 1;
      } else {
        p->passwordMode = 1;
      }
      p->ssid = MakeNdisSsid(ssid);
      answer = queue->QueueAction(kActionApplyProfile, std::move(p));
    }
    EXPECT_EQ(Shape(*queue), row.shape);
    EXPECT_EQ(answer, row.runNow);
  }
  EXPECT_TRUE(driver.calls.empty()) << "queueing alone sends nothing";
}

TEST_F(QueueActionTest, CurrentProfileIsAnOwnCopyOfTheLatestApplyEvenWhenNeverRun) {
  EXPECT_EQ(queue->CurrentProfile(), nullptr);
  queue->QueueAction(kActionScan, nullptr);
  auto p = Profile("first");
  p->wepKeys[0] = KeyBlock{kTransmitKeyBit, {1, 2, 3, 4, 5}};
  p->eapBlob = {9, 8, 7};
  const StationProfile expected = *p;
  queue->QueueAction(kActionApplyProfile, std::move(p));
  ASSERT_NE(queue->CurrentProfile(), nullptr);
  EXPECT_EQ(*queue->CurrentProfile(), expected);
  EXPECT_NE(queue->CurrentProfile(), queue->Queue()[1].Data.get());

  queue->QueueAction(kActionApplyProfile, Profile("second"));
  EXPECT_EQ(NdisSsidText(queue->CurrentProfile()->ssid), "second");
  EXPECT_EQ(Shape(*queue), "S,second") << "the first was replaced, never run";

  auto reapply = queue->CurrentProfileForReapply();
  ASSERT_NE(reapply, nullptr);
  EXPECT_EQ(reapply->radioApply, 0u);
  EXPECT_NE(reapply.get(), queue->CurrentProfile());

  queue->Clear();
  EXPECT_EQ(queue->CurrentProfile(), nullptr);
  EXPECT_TRUE(queue->Queue().empty());
  EXPECT_EQ(queue->CurrentProfileForReapply(), nullptr);
}

TEST_F(QueueActionTest, DeepCopySharesNothingWithTheOriginal) {
  auto p = Profile("net");
  p->adhocKey = KeyBlock{kTransmitKeyBit, std::vector<uint8_t>(kPmkLength, 0xAB)};
  p->wepKeys[2] = KeyBlock{2, {1, 2, 3, 4, 5}};
  p->eapBlob = {1, 2, 3};
  auto copy = CopyStationProfile(p.get());
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(*copy, *p);
  p->wepKeys[2]->material[0] = 0xFF;
  p->eapBlob.clear();
  p->adhocKey.reset();
  EXPECT_EQ(copy->wepKeys[2]->material[0], 1);
  EXPECT_EQ(copy->eapBlob.size(), 3u);
  EXPECT_TRUE(copy->adhocKey.has_value());
  EXPECT_EQ(CopyStationProfile(nullptr), nullptr);
}

using ActionExecTest = QueueFixture;

TEST_F(ActionExecTest, ScanEndsTheRunAndLeavesTheApplyForTheNextRun) {
  EXPECT_TRUE(queue->QueueAction(kActionScan, nullptr));
  EXPECT_FALSE(queue->QueueAction(kActionApplyProfile, Profile("home")));
  queue->ActionExec();
  EXPECT_EQ(client.calls, std::vector<std::string>{"scan"});
  EXPECT_TRUE(queue->MonitorBusy());
  EXPECT_EQ(Shape(*queue), "home");
  EXPECT_EQ(runsEnded, 1);

  queue->ClearMonitorBusy();  // the scan-complete message
  queue->ActionExec();
  EXPECT_EQ(client.calls, (std::vector<std::string>{"scan", "apply home"}));
  EXPECT_TRUE(queue->Queue().empty());
  EXPECT_FALSE(queue->MonitorBusy());
  EXPECT_EQ(runsEnded, 2);
}

TEST_F(ActionExecTest, RefusedScanDoesNotLeaveTheMonitorBusy) {
  client.scanAccepted = false;
  queue->QueueScan();
  EXPECT_EQ(client.calls, std::vector<std::string>{"scan"});
  EXPECT_FALSE(queue->MonitorBusy()) << "no completion will come to clear it";

  services.client = nullptr;
  ActionQueue withoutClient(services);
  withoutClient.QueueScan();
  EXPECT_FALSE(withoutClient.MonitorBusy());
}

TEST_F(ActionExecTest, RadioOffDropsApplyActionsAndSendsNothing) {
  queue->adapter().radioOn = false;
  queue->adapter().htCapable = true;
  queue->adapter().wapiSupported = true;
  queue->radio().transmitSetting = 0x1234;
  auto p = Profile("home");
  p->radioApply = 1;
  EXPECT_TRUE(queue->QueueAction(kActionApplyProfile, std::move(p)));
  queue->ActionExec();
  EXPECT_TRUE(queue->Queue().empty());
  EXPECT_TRUE(driver.calls.empty());
  EXPECT_TRUE(client.calls.empty());
  EXPECT_TRUE(wapi.calls.empty());
  EXPECT_FALSE(timers.isActive(kTimerExtraTick));

  // A scan requested later, and an apply once the radio is back, are not affected.
  queue->QueueScan();
  EXPECT_EQ(client.calls, std::vector<std::string>{"scan"});
  queue->ClearMonitorBusy();
  queue->adapter().radioOn = true;
  if (queue->QueueAction(kActionApplyProfile, Profile("later"))) queue->ActionExec();
  EXPECT_EQ(client.calls.back(), "apply later");
}

TEST_F(ActionExecTest, NullRecordAndUnknownKindsAreRemoved) {
  queue->adapter().wapiSupported = true;
  queue->QueueAction(kActionApplyProfile, nullptr);
  queue->QueueAction(7, Profile("odd"));
  EXPECT_EQ(queue->Queue().size(), 2u);
  queue->ActionExec();
  EXPECT_TRUE(queue->Queue().empty());
  EXPECT_TRUE(driver.calls.empty());
  EXPECT_TRUE(client.calls.empty());
  EXPECT_EQ(wapi.calls,
            (std::vector<std::string>{"WAPIAPIAccessUserCancle", "WAPIAPIDisAssociate"}));
}

TEST_F(ActionExecTest, WapiCallsComeBeforeAnythingIsSentOnlyWhenSupported) {
  for (bool supported : {false, true}) {
    SCOPED_TRACE(supported ? "WAPI supported" : "no WAPI");
    wapi.calls.clear();
    queue->adapter().wapiSupported = supported;
    if (queue->QueueAction(kActionApplyProfile, Profile("net"))) queue->ActionExec();
    EXPECT_EQ(wapi.calls.size(), supported ? 2u : 0u);
  }
}

}  // namespace
}  // namespace ov::test
