// What ActionExec sends for one apply action: the exact OIDs and payloads for an 802.11n adapter
// and a legacy one, the channel-14 bandwidth rule, the connect step with its ad hoc join flag,
// timer 3, the debug trace line, and re-application before anything was loaded.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "driver/params/debug_trace.h"
#include "tests/actionqueue/queue_test_support.h"

namespace ov::test {
namespace {

class ExecTest : public QueueFixture {
 public:
  ExecTest() {
    HtPhyMode answer;  // what the driver uses now
    answer.PhyMode = 0;
    answer.TransmitNo = 1;
    answer.Byte6 = 2;
    answer.MCS = 7;
    answer.STBC = 1;
    answer.Byte11 = 0x5A;
    AnswerHtPhyMode(answer);
    StaConfig driverConfig;
    driverConfig.TxBurst = 1;
    driverConfig.Offset20 = 0x44;
    driverConfig.Offset24 = 0x55;
    driverConfig.Offset28 = 0x66;
    AnswerStaConfig(driverConfig);
    AnswerRegionWord(0x0705);
    queue->adapter().showCountryRegion = true;
    queue->wps().Settings.WirelessMode = 1;
  }

  // Every driver request as "Q oid" or "S oid payload".
  std::vector<std::string> Requests() const {
    std::vector<std::string> lines;
    char oid[16];
    for (const auto& c : driver.calls) {
      std::snprintf(oid, sizeof oid, "%08X", c.oid);
      lines.push_back(c.isSet ? "S " + std::string(oid) + " " + Hex(c.bytes)
                              : "Q " + std::string(oid));
    }
    return lines;
  }

  void Apply(std::unique_ptr<StationProfile> p) {
    if (queue->QueueAction(kActionApplyProfile, std::move(p))) queue->ActionExec();
  }
};

// A record carrying radio settings, as LoadRadioSettings leaves it.
std::unique_ptr<StationProfile> RadioRecord(const std::string& ssid) {
  auto p = Profile(ssid);
  p->radioApply = 1;
  StaConfig block;
  block.TxBurst = 1;
  block.ShortSlot = 1;
  block.AdhocRateMode = 9;
  block.Offset20 = 0x11;
  block.Offset24 = 0x22;  // always sent as 0
  block.Offset28 = 0x33;
  p->staConfigBlock = EncodeStaConfig(block);
  p->countryRegion = 5 + 256 * 7;
  p->desiredRates = {108, 96, 72, 48, 22, 11, 4, 2};
  p->ccx2Control = 0x520;
  return p;
}

// The transmit-setting word: PhyMode 9, MCS 15, 40 MHz, short GI, no STBC, TransmitNo 2, HtMode 1.
constexpr uint32_t kWord = 9 | 15 << 4 | 1 << 11 | 1 << 12 | 2 << 14 | 1 << 16;

TEST_F(ExecTest, RequestsForAnHtAdapterAndALegacyOne) {
  const std::string kHtSent = "S FF8C0028 090000000201020F0100015A";
  const std::string kStaSent = "S FFF10111 0100000000000000000000000100000009000000110000000000000033000000";
  struct Row {
    const char* name;
    std::function<void(ExecTest&, StationProfile&)> setup;
    std::vector<std::string> expected;
  } rows[] = {
      {"HT adapter, radio settings, 2.4 GHz region changeable",
       [](ExecTest& t, StationProfile&) {
         t.queue->adapter().htCapable = true;
         t.queue->radio().plan.wirelessMode = 9;
         t.queue->radio().plan.region = {0x0705, true, false};
       },
       {"Q FF0C0028", kHtSent, "S FF8C0002 09000000", kStaSent, "S FF8C0003 05070000",
        "Q FF0C0003", "S FFF1011E 20050000", "S FFF10151 01000000"}},
      {"HT adapter, wireless mode skipped, by BSSID",
       [](ExecTest& t, StationProfile& p) {
         t.queue->adapter().htCapable = true;
         t.queue->radio().plan.wirelessMode = 5;
         p.skipPhyMode = 50;
         p.useBssid = 1;
       },
       {"Q FF0C0028", kHtSent, kStaSent, "S FFF1011E 00FA0000", "S FFF10151 01000000"}},
      {"legacy adapter, b/g mode: desired rates, no HT PHY mode",
       [](ExecTest& t, StationProfile&) {
         t.queue->radio().plan.wirelessMode = 0;
       },
       {"S FF8C0002 00000000", kStaSent, "S 0D010210 6C604830160B0402", "S FFF1011E 20050000",
        "S FFF10151 01000000"}},
      {"legacy adapter, both regions changeable",
       [](ExecTest& t, StationProfile&) {
         t.queue->radio().plan.wirelessMode = 3;
         t.queue->radio().plan.region = {0x0102, true, true};
       },
       {"S FF8C0002 03000000", kStaSent, "S FF8C0003 05070000", "Q FF0C0003",
        "S 0D010210 6C604830160B0402", "S FFF1011E 20050000", "S FFF10151 01000000"}},
      {"HT adapter, re-application with MCS 33",
       [](ExecTest& t, StationProfile& p) {
         t.queue->adapter().htCapable = true;
         t.queue->radio().plan.wirelessMode = 5;
         t.queue->radio().transmitSetting = 5 | 33 << 4;
         StaConfig copy;
         copy.TurboRate = 1;
         copy.Offset24 = 9;
         t.queue->radio().staConfig = copy;
         p.radioApply = 0;
       },
       {"Q FF0C0028", "S FF8C0028 05000000000002210000005A",
        "S FFF10111 0000000001000000000000000000000000000000000000000000000000000000",
        "S 0D010210 6C604830160B0402"}},
      {"HT adapter, re-application with a fixed MCS, region changeable",
       [](ExecTest& t, StationProfile& p) {
         t.queue->adapter().htCapable = true;
         t.queue->radio().plan.wirelessMode = 9;
         t.queue->radio().plan.region = {0x0503, false, true};
         t.queue->radio().staConfig = StaConfig{};
         p.radioApply = 0;
       },
       {"Q FF0C0028", kHtSent,
        "S FFF10111 0000000000000000000000000000000000000000000000000000000000000000",
        "S FF8C0003 03050000", "Q FF0C0003", "S 0D010210 6C00000000000000"}},
      {"legacy adapter, re-application, g only",
       [](ExecTest& t, StationProfile& p) {
         t.queue->radio().plan.wirelessMode = 4;
         t.queue->radio().staConfig = StaConfig{};
         p.radioApply = 0;
       },
       {"S FFF10111 0000000000000000000000000000000000000000000000000000000000000000",
        "S 0D010210 6C6048302418120C"}},
      {"legacy adapter, re-application, b only",
       [](ExecTest& t, StationProfile& p) {
         t.queue->radio().plan.wirelessMode = 1;
         t.queue->radio().staConfig = StaConfig{};
         p.radioApply = 0;
       },
       {"S FFF10111 0000000000000000000000000000000000000000000000000000000000000000",
        "S 0D010210 160B040200000000"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    queue->adapter().htCapable = false;
    queue->radio() = RadioSettingsState{};
    queue->radio().transmitSetting = kWord;
    driver.calls.clear();
    client.calls.clear();
    auto p = RadioRecord("home");
    p->connectRequested = 0;
    row.setup(*this, *p);
    Apply(std::move(p));
    EXPECT_EQ(Requests(), row.expected);
    EXPECT_TRUE(client.calls.empty());
    for (const auto& c : driver.calls) {
      if (c.isSet) {
        EXPECT_EQ(c.retries, kSetAttempts);
      }
    }
  }
}

TEST_F(ExecTest, ConnectStepAppliesTheProfileThenResendsTheAdapterCcxWord) {
  queue->radio().plan.wirelessMode = 0;
  queue->radio().staConfig = StaConfig{};
  queue->wps().WpsProfileInUse = 1;
  struct Row {
    const char* name;
    bool ccxInRegistry;
    std::vector<std::string> tail;
  } rows[] = {
      {"CCX2Control readable", true, {"S FFF1011E 03000000"}},
      {"CCX2Control missing: not sent", false, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    if (row.ccxInRegistry) {
      Put(kAdapterKey, "CCX2Control", REG_DWORD, EncodeWordValue(3));
    } else {
      writer.DeleteValue(HKEY_LOCAL_MACHINE, kAdapterKey, "CCX2Control");
    }
    driver.calls.clear();
    client.applied.clear();
    auto p = Profile("office");
    p->radioApply = 0;
    Apply(std::move(p));
    ASSERT_EQ(client.applied.size(), 1u);
    EXPECT_EQ(client.applied[0].ssid, "office");
    EXPECT_EQ(client.applied[0].force, 1u) << "WpsProfileInUse is the force flag";
    EXPECT_FALSE(client.applied[0].joinOnly);
    std::vector<std::string> requests = Requests();
    std::vector<std::string> expected = {
        "S FFF10111 0000000000000000000000000000000000000000000000000000000000000000",
        "S 0D010210 6C604830160B0402"};
    expected.insert(expected.end(), row.tail.begin(), row.tail.end());
    EXPECT_EQ(requests, expected);
  }
}

TEST_F(ExecTest, NoConnectWithoutTheRequestOrWithoutAnSsid) {
  auto notRequested = Profile("net");
  notRequested->connectRequested = 0;
  Apply(std::move(notRequested));
  Apply(Profile(""));
  EXPECT_TRUE(client.applied.empty());
}

TEST_F(ExecTest, Channel14ClearsThe40MHzBitBeforeTheHtPhyModeIsSent) {
  queue->adapter().htCapable = true;
  struct Row {
    const char* name;
    uint32_t frequency;
    uint8_t sentBw;
  } rows[] = {{"channel 14", 2484000, 0}, {"channel 6", 2437000, 1}, {"channel 36", 5180000, 1}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    queue->radio().transmitSetting = kWord;
    driver.calls.clear();
    auto p = Profile("net");
    p->channelFrequency = row.frequency;
    Apply(std::move(p));
    auto sets = SetsOf(OID_VND_HT_PHY_MODE.set);
    ASSERT_EQ(sets.size(), 1u);
    HtPhyMode sent;
    ASSERT_TRUE(DecodeHtPhyMode(sets[0].bytes, sent));
    EXPECT_EQ(sent.BW, row.sentBw);
    EXPECT_EQ(sent.MCS, 15);
    EXPECT_EQ((*queue->radio().transmitSetting >> 11) & 1, row.sentBw)
        << "the process-wide word keeps the cleared bit";
  }
}

TEST_F(ExecTest, AdhocJoinFlagComparesTheWholeSsid) {
  struct Row {
    const char* name;
    std::vector<ScanEntry> scan;
    const char* ssid;
    uint32_t networkType;
    bool join;
  } rows[] = {
      {"IBSS with the same SSID", {{{2}, "abc", 2412000, Ndis802_11IBSS}}, "abc", 0, true},
      {"IBSS with a longer SSID", {{{2}, "abcd", 2412000, Ndis802_11IBSS}}, "abc", 0, false},
      {"IBSS with a shorter SSID", {{{2}, "ab", 2412000, Ndis802_11IBSS}}, "abc", 0, false},
      {"access point with the SSID", {{{2}, "abc"}}, "abc", 0, false},
      {"second entry matches",
       {{{1}, "abcd", 2412000, Ndis802_11IBSS}, {{2}, "abc", 2412000, Ndis802_11IBSS}},
       "abc",
       0,
       true},
      {"infrastructure profile never joins", {{{2}, "abc", 2412000, Ndis802_11IBSS}}, "abc", 1,
       false},
      {"empty scan list", {}, "abc", 0, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    scanList = MakeScanList(row.scan);
    client.applied.clear();
    Apply(Profile(row.ssid, row.networkType));
    ASSERT_EQ(client.applied.size(), 1u);
    EXPECT_EQ(client.applied[0].joinOnly, row.join);
  }
}

TEST_F(ExecTest, Timer3StartsAfterAnInfrastructureWepProfile) {
  struct Row {
    const char* name;
    uint32_t networkType;
    int32_t authMode, cipherMode;
    bool timer;
  } rows[] = {
      {"open WEP", 1, kAuthOpen, kCipherWep, true},
      {"shared WEP", 1, kAuthShared, kCipherWep, true},
      {"ad hoc WEP", 0, kAuthOpen, kCipherWep, false},
      {"open without encryption", 1, kAuthOpen, kCipherNone, false},
      {"WPA2-PSK", 1, kAuthWpa2Psk, kCipherAes, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    timers.killAll();
    firedTimers.clear();
    auto p = Profile("net", row.networkType);
    p->authMode = row.authMode;
    p->cipherMode = row.cipherMode;
    Apply(std::move(p));
    EXPECT_EQ(timers.isActive(kTimerExtraTick), row.timer);
    clock.advance(kTimerExtraTickMs);
    EXPECT_EQ(firedTimers, row.timer ? std::vector<int>{kTimerExtraTick} : std::vector<int>{});
  }
}

TEST_F(ExecTest, HtPhyModeTraceLineGoesToTheTraceFileOnlyWhenEnabled) {
  queue->adapter().htCapable = true;
  queue->radio().transmitSetting = kWord;
  const std::string ini = dir.file("OvUI.INI");
  services.appendDebugTraceFile = [&](std::string_view line) { AppendDebugTraceFile(ini, line); };
  ActionQueue traced(services);
  traced.adapter() = queue->adapter();
  traced.radio() = queue->radio();
  const auto traceFile = dir.path() / kDebugTraceFile;
  std::filesystem::create_directories(traceFile.parent_path());  // the machine root's tmp
  const std::string line =
      "ActionExec: PhyMode = 9, HtMode = 1, TransmitNo = 2, BW = 1, SHORTGI = 1, STBC = 0, "
      "MCS = 15\n";
  EXPECT_EQ(HtPhyModeTraceLine(DecodeTransmitSetting(kWord)), line);

  WriteFileBytes(ini, "[Advance]\r\nOpenFile=0\r\n");
  if (traced.QueueAction(kActionApplyProfile, Profile("a"))) traced.ActionExec();
  EXPECT_EQ(ReadFileBytes(traceFile), "");

  WriteFileBytes(ini, "[Advance]\r\nOpenFile=1\r\n");
  if (traced.QueueAction(kActionApplyProfile, Profile("b"))) traced.ActionExec();
  EXPECT_EQ(ReadFileBytes(traceFile), line);
}

TEST_F(ExecTest, ReapplicationBeforeAnythingWasLoadedSendsTheDriversOwnValues) {
  queue->adapter().htCapable = true;
  ASSERT_FALSE(queue->radio().transmitSetting.has_value());
  ASSERT_FALSE(queue->radio().staConfig.has_value());
  queue->radio().plan.wirelessMode = 9;
  auto p = Profile("net");
  p->radioApply = 0;
  Apply(std::move(p));
  // The HT PHY mode goes back as the driver answered it, and so does the station configuration
  // (offset 24 as 0): nothing made of zeros replaces the driver's settings.
  EXPECT_EQ(Requests(),
            (std::vector<std::string>{
                "Q FF0C0028", "Q FF0C0028", "S FF8C0028 00000000010002070001005A",
                "Q FF710111",
                "S FFF10111 0100000000000000000000000000000000000000440000000000000066000000",
                "S 0D010210 6C00000000000000"}));

  // With a driver that answers nothing, nothing is sent in their place.
  ActionQueue fresh(services);
  fresh.adapter() = queue->adapter();
  fresh.radio().plan.wirelessMode = 9;
  driver.calls.clear();
  driver.failingQueries = {OID_VND_HT_PHY_MODE.query, OID_VND_STA_CONFIG.query};
  auto q = Profile("net");
  q->radioApply = 0;
  if (fresh.QueueAction(kActionApplyProfile, std::move(q))) fresh.ActionExec();
  EXPECT_EQ(Requests(), (std::vector<std::string>{"Q FF0C0028", "Q FF710111",
                                                  "S 0D010210 6C00000000000000"}));
}

}  // namespace
}  // namespace ov::test
