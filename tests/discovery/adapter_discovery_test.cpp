// DiscoverAdapter over a table of devices and a scripted driver: candidates, the chooser, the
// readiness counter, failures that leave the adapter record alone, and the fields it fills.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "driver/discovery/adapter_discovery.h"
#include "driver/oid/oid_constants.h"
#include "platform/deviceio/device_protocol.h"
#include "platform/registry/registry.h"
#include "platform/time/virtual_clock.h"

namespace ov {
namespace {

constexpr const char* kPciId = "PCI\\VEN_0F5A&DEV_0601";
constexpr const char* kUsbId = "USB\\VID_0F5A&PID_0701";
constexpr const char* kFirstGenId = "PCI\\VEN_0F5A&DEV_0001";

std::string Guid(int n) {
  char text[64];
  std::snprintf(text, sizeof text, "{0A1B2C3D-0000-4000-8000-0000000000%02d}", n);
  return text;
}
std::string DriverKey(int n) {
  char text[64];
  std::snprintf(text, sizeof text, "{4d36e972-e325-11ce-bfc1-08002be10318}\\%04d", n);
  return text;
}

// The device table behind the enumeration seam.
struct TableDevices : NetDeviceSource {
  struct Entry {
    NetDevice device;
    std::map<std::string, Value> driverValues;
    int netCfgReadsLeft = -1;  // >= 0: NetCfgInstanceId becomes unreadable after that many reads
  };
  std::vector<Entry> entries;
  bool fails = false;

  Entry& add(int n, std::string hardwareId, std::string friendlyName = "",
             std::string description = "") {
    Entry entry;
    entry.device.instancePath = "PCI\\DEV\\" + std::to_string(n);
    entry.device.hardwareIds = {std::move(hardwareId), "PCI\\CC_0280"};
    entry.device.friendlyName = std::move(friendlyName);
    entry.device.deviceDesc = description.empty() ? "Adapter " + std::to_string(n) : description;
    entry.device.driver = DriverKey(n);
    entry.device.locationInformation = "bus " + std::to_string(n);
    entry.device.mfg = "Maker";
    entry.driverValues["NetCfgInstanceId"] = {REG_SZ, EncodeString(Guid(n))};
    entries.push_back(std::move(entry));
    return entries.back();
  }

  std::optional<std::vector<NetDevice>> EnumerateNetDevices() override {
    if (fails) return std::nullopt;
    std::vector<NetDevice> devices;
    for (const auto& e : entries) devices.push_back(e.device);
    return devices;
  }
  std::optional<Value> ReadDriverValue(const NetDevice& device, std::string_view name) override {
    for (auto& e : entries) {
      if (e.device.instancePath != device.instancePath) continue;
      if (name == "NetCfgInstanceId" && e.netCfgReadsLeft >= 0 && e.netCfgReadsLeft-- == 0) {
        return std::nullopt;
      }
      auto it = e.driverValues.find(std::string(name));
      if (it == e.driverValues.end()) return std::nullopt;
      return it->second;
    }
    return std::nullopt;
  }
};

// Device files that open for the listed paths, each answering the readiness query.
struct ScriptedDevices : DeviceIo {
  std::map<std::string, uint32_t> readyAnswer;  // present devices and what they answer
  std::vector<std::string> readyQueries;        // device paths asked for readiness

  std::unique_ptr<DeviceHandle> open(const std::string& path) override {
    auto it = readyAnswer.find(path);
    if (it == readyAnswer.end()) return nullptr;
    struct Handle : DeviceHandle {
      ScriptedDevices& owner;
      std::string path;
      Handle(ScriptedDevices& o, std::string p) : owner(o), path(std::move(p)) {}
      bool control(uint32_t, uint32_t oid, uint8_t* buffer, uint32_t size,
                   uint32_t* returned) override {
        if (oid != OID_VND_NIC_READY.query || size < 4) return false;
        owner.readyQueries.push_back(path);
        const uint32_t answer = owner.readyAnswer[path];
        for (int i = 0; i < 4; ++i) buffer[i] = static_cast<uint8_t>(answer >> (8 * i));
        *returned = 4;
        return true;
      }
    };
    return std::make_unique<Handle>(*this, path);
  }
  void plug(int n, uint32_t ready = 1) { readyAnswer[DevicePathFor(Guid(n))] = ready; }
};

struct RecordingChooser : AdapterChooser {
  std::vector<std::vector<AdapterCandidate>> asked;
  std::optional<size_t> answer = 0;
  std::optional<size_t> ChooseAdapter(std::span<const AdapterCandidate> candidates) override {
    asked.emplace_back(candidates.begin(), candidates.end());
    return answer;
  }
};

class AdapterDiscoveryTest : public ::testing::Test {
 protected:
  AdapterDiscoveryTest() {
    tables.ini = {{kPciId, WXP4}, {kUsbId, WXU4}, {kFirstGenId, WXP1}};
    discovery = std::make_unique<AdapterDiscovery>(devices, io, channel, tables);
    discovery->setChooser(&chooser);
    discovery->setDescriptionHandler([this](const std::string& d) { handedDescriptions.push_back(d); });
  }

  TableDevices devices;
  ScriptedDevices io;
  VirtualClock clock;
  OidChannel channel{io, clock};
  DeviceIdTables tables;
  RecordingChooser chooser;
  std::unique_ptr<AdapterDiscovery> discovery;
  std::vector<std::string> handedDescriptions;
  AdapterInfo info;
};

TEST_F(AdapterDiscoveryTest, OneSupportedAdapterIsSelectedWithoutAsking) {
  devices.add(1, "PCI\\VEN_1234&DEV_0001");  // not in the table
  devices.add(2, "pci\\ven_0f5a&dev_0601&subsys_00000000", "Friendly two");
  io.plug(1);
  io.plug(2);

  ASSERT_TRUE(discovery->DiscoverAdapter(info));
  EXPECT_TRUE(chooser.asked.empty());
  EXPECT_EQ(info.chipFamily, WXP4);
  EXPECT_FALSE(info.isUsbAdapter);
  EXPECT_FALSE(info.isFirstGeneration);
  EXPECT_EQ(info.hardwareId, "PCI\\VEN_0F5A&DEV_0601");
  EXPECT_EQ(info.description, "Friendly two");
  EXPECT_EQ(info.netCfgInstanceId, Guid(2));
  EXPECT_EQ(info.devicePath, "\\\\.\\" + Guid(2));
  EXPECT_EQ(info.adapterKeyPath, "System\\CurrentControlSet\\Control\\Class\\" + DriverKey(2));
  EXPECT_FALSE(info.adapterChanged);
  EXPECT_TRUE(info.htCapable);  // no CountryWirelessMode: 802.11n allowed
  EXPECT_TRUE(discovery->matchFlags().matchedPci);
  EXPECT_EQ(channel.devicePath(), info.devicePath);
  EXPECT_EQ(handedDescriptions, std::vector<std::string>{"Friendly two"});
  EXPECT_EQ(io.readyQueries, std::vector<std::string>{info.devicePath});
}

TEST_F(AdapterDiscoveryTest, TwoAdaptersAreOfferedToTheChooser) {
  devices.add(1, kUsbId, "", "USB adapter");
  devices.add(2, "MEDIA\\SOMETHING");
  devices.add(3, kPciId, "PCI adapter");
  io.plug(1);
  io.plug(3);
  chooser.answer = 1;

  ASSERT_TRUE(discovery->DiscoverAdapter(info));
  ASSERT_EQ(chooser.asked.size(), 1u);
  const auto& offered = chooser.asked[0];
  ASSERT_EQ(offered.size(), 2u);
  EXPECT_EQ(offered[0].deviceIndex, 0u);
  EXPECT_EQ(offered[0].displayName(), "USB adapter");  // no friendly name: the description
  EXPECT_EQ(offered[0].hardwareId, kUsbId);
  EXPECT_EQ(offered[1].deviceIndex, 2u);
  EXPECT_EQ(offered[1].displayName(), "PCI adapter");
  EXPECT_EQ(offered[1].locationInformation, "bus 3");
  EXPECT_EQ(offered[1].manufacturer, "Maker");
  EXPECT_EQ(info.netCfgInstanceId, Guid(3));
  EXPECT_EQ(info.chipFamily, WXP4);
  EXPECT_FALSE(info.isUsbAdapter);
  // The flags describe the selected device, not the last one matched.
  EXPECT_TRUE(discovery->matchFlags().matchedPci);
  EXPECT_FALSE(discovery->matchFlags().matchedUsb);
}

TEST_F(AdapterDiscoveryTest, AChoiceClosedWithoutAnAnswerTakesTheFirst) {
  devices.add(1, kUsbId);
  devices.add(2, kPciId);
  io.plug(1);
  io.plug(2);
  for (std::optional<size_t> answer : {std::optional<size_t>{}, std::optional<size_t>{7}}) {
    SCOPED_TRACE(answer ? "out of range" : "cancelled");
    chooser.answer = answer;
    ASSERT_TRUE(discovery->DiscoverAdapter(info));
    EXPECT_EQ(info.netCfgInstanceId, Guid(1));
    EXPECT_TRUE(info.isUsbAdapter);
    EXPECT_EQ(info.chipFamily, WXU4);
  }
}

TEST_F(AdapterDiscoveryTest, WithoutAChooserTheFirstIsTaken) {
  discovery->setChooser(nullptr);
  devices.add(1, kUsbId);
  devices.add(2, kPciId);
  io.plug(1);
  io.plug(2);
  ASSERT_TRUE(discovery->DiscoverAdapter(info));
  EXPECT_EQ(info.netCfgInstanceId, Guid(1));
}

TEST_F(AdapterDiscoveryTest, TheMonitorIsBusyOnlyWhileTheChoiceIsOpen) {
  bool busy = false;
  struct Probe : AdapterChooser {
    bool* busy;
    bool sawBusy = false;
    std::optional<size_t> ChooseAdapter(std::span<const AdapterCandidate>) override {
      sawBusy = *busy;
      return 1;
    }
  } probe;
  probe.busy = &busy;
  BusyWhileChoosing wrapped(probe, busy);
  discovery->setChooser(&wrapped);
  devices.add(1, kUsbId);
  devices.add(2, kPciId);
  io.plug(1);
  io.plug(2);
  ASSERT_TRUE(discovery->DiscoverAdapter(info));
  EXPECT_TRUE(probe.sawBusy);
  EXPECT_FALSE(busy);
  EXPECT_EQ(info.netCfgInstanceId, Guid(2));
}

TEST_F(AdapterDiscoveryTest, DevicesThatCannotServeAreSkipped) {
  devices.add(1, kPciId);                                      // device file does not open
  devices.add(2, kPciId).driverValues.erase("NetCfgInstanceId");  // no NetCfgInstanceId
  devices.add(3, kPciId).device.hardwareIds.clear();           // no hardware identifier
  io.plug(2);
  io.plug(3);
  EXPECT_FALSE(discovery->DiscoverAdapter(info));

  devices.add(4, kUsbId);
  io.plug(4);
  ASSERT_TRUE(discovery->DiscoverAdapter(info));
  EXPECT_TRUE(chooser.asked.empty());
  EXPECT_EQ(info.netCfgInstanceId, Guid(4));
}

TEST_F(AdapterDiscoveryTest, ReadyAdapterIsTakenAtTheFirstAttempt) {
  devices.add(1, kPciId);
  io.plug(1, 1);
  EXPECT_TRUE(discovery->DiscoverAdapter(info));
  EXPECT_EQ(discovery->readinessCounter(), 0);
}

TEST_F(AdapterDiscoveryTest, NotReadyAdapterIsAbsentThreeTimesThenTaken) {
  devices.add(1, kPciId);
  io.plug(1, 0);
  for (int attempt = 1; attempt <= 3; ++attempt) {
    SCOPED_TRACE(attempt);
    EXPECT_FALSE(discovery->DiscoverAdapter(info));
    EXPECT_EQ(discovery->readinessCounter(), attempt);
    EXPECT_EQ(info.chipFamily, CHIP_FAMILY_NONE);  // nothing stored yet
  }
  EXPECT_TRUE(discovery->DiscoverAdapter(info));
  EXPECT_EQ(discovery->readinessCounter(), 0);
  EXPECT_EQ(io.readyQueries.size(), 4u);
}

TEST_F(AdapterDiscoveryTest, ReadinessCounterRestartsWhenNoAdapterIsFound) {
  devices.add(1, kPciId);
  io.plug(1, 7);
  EXPECT_FALSE(discovery->DiscoverAdapter(info));
  EXPECT_FALSE(discovery->DiscoverAdapter(info));
  EXPECT_EQ(discovery->readinessCounter(), 2);

  io.readyAnswer.clear();  // unplugged
  EXPECT_FALSE(discovery->DiscoverAdapter(info));
  EXPECT_EQ(discovery->readinessCounter(), 0);

  io.plug(1, 7);
  EXPECT_FALSE(discovery->DiscoverAdapter(info));
  EXPECT_EQ(discovery->readinessCounter(), 1);
  devices.fails = true;  // the device list cannot be had
  EXPECT_FALSE(discovery->DiscoverAdapter(info));
  EXPECT_EQ(discovery->readinessCounter(), 0);
}

TEST_F(AdapterDiscoveryTest, NetCfgInstanceIdLostAfterTheChoiceFailsAndKeepsTheRecord) {
  devices.add(1, kPciId).netCfgReadsLeft = 2;  // readable for the candidate pass and step 5 only
  io.plug(1);
  info.description = "previous";
  info.adapterKeyPath = "System\\CurrentControlSet\\Control\\Class\\old";
  EXPECT_FALSE(discovery->DiscoverAdapter(info));
  EXPECT_EQ(info.description, "previous");
  EXPECT_EQ(info.adapterKeyPath, "System\\CurrentControlSet\\Control\\Class\\old");
  EXPECT_EQ(info.chipFamily, CHIP_FAMILY_NONE);
  EXPECT_TRUE(handedDescriptions.empty());
}

TEST_F(AdapterDiscoveryTest, AdapterChangedOnlyWhenAnotherKeyFollowsAKnownOne) {
  devices.add(1, kPciId);
  io.plug(1);
  ASSERT_TRUE(discovery->DiscoverAdapter(info));
  EXPECT_FALSE(info.adapterChanged);  // first selection
  ASSERT_TRUE(discovery->DiscoverAdapter(info));
  EXPECT_FALSE(info.adapterChanged);  // same key again

  devices.entries.clear();
  io.readyAnswer.clear();
  devices.add(2, kUsbId);
  io.plug(2);
  ASSERT_TRUE(discovery->DiscoverAdapter(info));
  EXPECT_TRUE(info.adapterChanged);
  EXPECT_EQ(info.adapterKeyPath, "System\\CurrentControlSet\\Control\\Class\\" + DriverKey(2));

  // After the monitor cleared the key path, a rediscovery is no change.
  info.adapterChanged = false;
  info.adapterKeyPath.clear();
  ASSERT_TRUE(discovery->DiscoverAdapter(info));
  EXPECT_FALSE(info.adapterChanged);
}

TEST_F(AdapterDiscoveryTest, HtCapableFollowsFamilyAndCountryWirelessMode) {
  struct Row {
    const char* name;
    const char* hardwareId;
    std::optional<std::string> countryWirelessMode;
    bool ht;
    bool firstGeneration;
  } rows[] = {
      {"htFamilyWithoutValue", kPciId, std::nullopt, true, false},
      {"htFamilyLowNibbleOne", kPciId, std::string("\x00\x01\x00\x00", 4), true, false},
      {"htFamilyHighNibbleOne", kUsbId, std::string("\x00\x00\x00\x01", 4), true, false},
      {"htFamilyBandOnly", kPciId, std::string("\x00\x02\x00\x10", 4), false, false},
      {"htFamilyShortValueIsUnreadable", kPciId, std::string("\x00\x02", 2), true, false},
      {"firstGeneration", kFirstGenId, std::nullopt, false, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    devices.entries.clear();
    io.readyAnswer.clear();
    auto& entry = devices.add(1, row.hardwareId);
    if (row.countryWirelessMode) {
      entry.driverValues["CountryWirelessMode"] = {REG_BINARY, *row.countryWirelessMode};
    }
    io.plug(1);
    ASSERT_TRUE(discovery->DiscoverAdapter(info));
    EXPECT_EQ(info.htCapable, row.ht);
    EXPECT_EQ(info.isFirstGeneration, row.firstGeneration);
  }
}

TEST_F(AdapterDiscoveryTest, LegacySystemsWithoutDriverNamesFindNoDeviceFile) {
  AdapterDiscovery legacy(devices, io, channel, tables, 5);
  devices.add(1, kPciId);
  io.plug(1);
  EXPECT_FALSE(legacy.DiscoverAdapter(info));
  EXPECT_TRUE(io.readyQueries.empty());
}

}  // namespace
}  // namespace ov
