// The saved parameter sets: "Default" copies with types, "ApDefault" into the adapter key, and
// the soft-AP set created once.
#include <gtest/gtest.h>

#include "driver/params/adapter_params.h"
#include "driver/params/parameter_sets.h"
#include "tests/params/registry_sandbox.h"

namespace ov {
namespace {

using test::kAdapterKey;

const std::string kDefault = std::string(kAdapterKey) + "\\Default";
const std::string kApDefault = std::string(kAdapterKey) + "\\ApDefault";

// Answers the MAC address query.
struct AddressDriver : OidRequester {
  bool answers = true;
  std::vector<uint32_t> queried;
  bool QueryOid(uint32_t oid, uint8_t* buffer, uint32_t size, uint32_t* returned) override {
    queried.push_back(oid);
    if (!answers || oid != 0x0D010702 || size != 6) return false;
    const uint8_t mac[6] = {0x02, 0x5A, 0x00, 0x10, 0x20, 0x3C};
    std::copy(mac, mac + 6, buffer);
    *returned = 6;
    return true;
  }
  bool SetOid(uint32_t, uint8_t*, uint32_t, uint32_t*, int) override { return false; }
};

class ParameterSetsTest : public test::RegistrySandbox {
 protected:
  std::vector<RegValue> valuesOf(const std::string& path) {
    RegKey key;
    EXPECT_EQ(key.open(HKEY_LOCAL_MACHINE, path, KEY_READ), ERROR_SUCCESS) << path;
    std::vector<RegValue> values;
    if (key) RegListValues(key.get(), &values);
    return values;
  }

  test::RecordingWriter writer;
  AddressDriver driver;
};

TEST_F(ParameterSetsTest, SaveDefaultsCopiesEveryValueWithItsType) {
  PutString(kAdapterKey, "Channel", "11");
  Put(kAdapterKey, "TransmitSetting", REG_DWORD, EncodeWordValue(0xBA19));
  Put(kAdapterKey, "CountryWirelessMode", REG_BINARY, std::string("\x00\x01\x00\x11", 4));
  Put(kAdapterKey, "WdsList", REG_MULTI_SZ, EncodeMultiString({"a", "b"}));
  Put(kAdapterKey, "Raw", REG_SZ, "7");  // no NUL: copied byte for byte
  PutString(std::string(kAdapterKey) + "\\Ndi", "Service", "x");  // subkeys are not copied

  const CopyResult result = SaveDefaults(writer, kAdapterKey);
  EXPECT_EQ(result.outcome, CopyOutcome::Copied);
  EXPECT_EQ(result.copied, 5u);

  const auto source = valuesOf(kAdapterKey);
  const auto copy = valuesOf(kDefault);
  ASSERT_EQ(copy.size(), source.size());
  for (size_t i = 0; i < source.size(); ++i) {
    SCOPED_TRACE(source[i].name);
    EXPECT_EQ(copy[i].name, source[i].name);
    EXPECT_EQ(copy[i].type, source[i].type);
    EXPECT_EQ(copy[i].data, source[i].data);
  }
  EXPECT_FALSE(KeyExists(kDefault + "\\Ndi"));
}

TEST_F(ParameterSetsTest, SaveDefaultsReplacesOlderSavedValues) {
  PutString(kDefault, "Channel", "1");
  PutString(kDefault, "Stale", "kept");
  PutString(kAdapterKey, "Channel", "6");
  EXPECT_EQ(SaveDefaults(writer, kAdapterKey).outcome, CopyOutcome::Copied);
  EXPECT_EQ(GetString(kDefault, "Channel"), "6");
  EXPECT_EQ(GetString(kDefault, "Stale"), "kept");
}

TEST_F(ParameterSetsTest, OverlongValuesAreSkippedNotCutAndTheRestIsCopied) {
  PutString(kAdapterKey, "Before", "1");
  Put(kAdapterKey, "Long", REG_BINARY, std::string(kParameterCopyLimit + 1, 'x'));
  Put(kAdapterKey, std::string(kParameterCopyLimit, 'N'), REG_SZ, EncodeString("name too long"));
  Put(kAdapterKey, "Fits", REG_BINARY, std::string(kParameterCopyLimit, 'y'));
  PutString(kAdapterKey, "After", "2");

  const CopyResult result = SaveDefaults(writer, kAdapterKey);
  EXPECT_EQ(result.outcome, CopyOutcome::Copied);
  EXPECT_EQ(result.copied, 3u);
  EXPECT_EQ(result.skipped, 2u);
  EXPECT_EQ(Get(kDefault, "Long"), std::nullopt);
  ASSERT_TRUE(Get(kDefault, "Fits"));
  EXPECT_EQ(Get(kDefault, "Fits")->data.size(), kParameterCopyLimit);
  EXPECT_EQ(GetString(kDefault, "After"), "2");
}

TEST_F(ParameterSetsTest, CopyStopsAtTheFirstValueThatCannotBeWritten) {
  PutString(kAdapterKey, "A", "1");
  PutString(kAdapterKey, "B", "2");
  PutString(kAdapterKey, "C", "3");
  writer.refuse = [](const test::RecordingWriter::Call& call) {
    return call.op == "set" && call.name == "B";
  };
  const CopyResult result = SaveDefaults(writer, kAdapterKey);
  EXPECT_EQ(result.outcome, CopyOutcome::WriteFailed);
  EXPECT_EQ(result.copied, 1u);
  EXPECT_EQ(GetString(kDefault, "A"), "1");
  EXPECT_EQ(Get(kDefault, "C"), std::nullopt);
  EXPECT_TRUE(Traced("RegSetValueEx B failed\n"));
}

TEST_F(ParameterSetsTest, MissingSourceOrTargetCopiesNothing) {
  EXPECT_EQ(SaveDefaults(writer, kAdapterKey).outcome, CopyOutcome::SourceMissing);
  EXPECT_TRUE(writer.calls.empty());

  PutString(kAdapterKey, "Channel", "1");
  writer.refuse = [](const auto& call) { return call.op == "create"; };
  EXPECT_EQ(SaveDefaults(writer, kAdapterKey).outcome, CopyOutcome::TargetFailed);
  EXPECT_FALSE(KeyExists(kDefault));
}

TEST_F(ParameterSetsTest, LoadApDefaultsCopiesTheSoftApSetIntoTheAdapterKey) {
  PutString(kAdapterKey, "OpMode", "0");
  PutString(kAdapterKey, "Channel", "11");
  PutString(kAdapterKey, "Untouched", "x");
  PutString(kApDefault, "Channel", "1");
  Put(kApDefault, "WdsList", REG_MULTI_SZ, EncodeMultiString({}));

  const CopyResult result = LoadApDefaults(writer, kAdapterKey);
  EXPECT_EQ(result.outcome, CopyOutcome::Copied);
  EXPECT_EQ(GetString(kAdapterKey, "Channel"), "1");
  EXPECT_EQ(GetString(kAdapterKey, "Untouched"), "x");
  auto wds = Get(kAdapterKey, "WdsList");
  ASSERT_TRUE(wds);
  EXPECT_EQ(wds->type, REG_MULTI_SZ);
}

TEST_F(ParameterSetsTest, ApDefaultIsCreatedWithTheSoftApSet) {
  PutString(kAdapterKey, "Channel", "6");
  EXPECT_EQ(CreateApDefault(writer, driver, kAdapterKey, true), ApDefaultOutcome::Created);
  EXPECT_EQ(driver.queried, std::vector<uint32_t>{0x0D010702});

  struct Row {
    const char* name;
    const char* text;
  } strings[] = {
      {"SSID", "SoftAP-3C"}, {"Radio", "0"},          {"WirelessMode", "9"},
      {"TransRate", "0"},    {"TurboRate", "0"},      {"BGProtection", "0"},
      {"ShortSlot", "1"},    {"Channel", "1"},        {"PreambleType", "0"},
      {"TXPower", "0"},      {"RtsThresh", "2347"},   {"FragThresh", "0"},
      {"AuthMode", "1"},     {"CipherMode", "0"},     {"WPAPSK", ""},
      {"WAPIPSK_KEYTYPE", "0"}, {"WEPKey1Type", "0"}, {"WEPKey2Type", "0"},
      {"WEPKey3Type", "0"},  {"WEPKey4Type", "0"},    {"WEPKeyUse", "1"},
      {"WEPKey1", ""},       {"WEPKey2", ""},         {"WEPKey3", ""},
      {"WEPKey4", ""},       {"RekeyInterval", "60"}, {"RekeyMethod", "0"},
      {"RadiusIP", ""},      {"RadiusPort", ""},      {"RadiusKey", ""},
      {"AccessControlPolicy", "0"}, {"WdsEnable", "1"}, {"AutoChannelSelect", "0"},
      {"NoForwarding", "0"}, {"HideSSID", "0"},       {"BeaconPeriod", "100"},
  };
  const auto values = valuesOf(kApDefault);
  EXPECT_EQ(values.size(), std::size(strings) + 2);  // and the two lists
  for (const Row& row : strings) {
    SCOPED_TRACE(row.name);
    auto value = Get(kApDefault, row.name);
    ASSERT_TRUE(value);
    EXPECT_EQ(value->type, REG_SZ);
    EXPECT_EQ(value->data, EncodeString(row.text));
  }
  for (const char* list : {"AccessControlList", "WdsList"}) {
    SCOPED_TRACE(list);
    auto value = Get(kApDefault, list);
    ASSERT_TRUE(value);
    EXPECT_EQ(value->type, REG_MULTI_SZ);
    EXPECT_TRUE(DecodeMultiString(value->data).empty());
  }
  // "TXPower" is written twice, as the soft-AP utility's set lists it.
  int txPowerWrites = 0;
  for (const auto& call : writer.calls) txPowerWrites += call.name == "TXPower";
  EXPECT_EQ(txPowerWrites, 2);
  EXPECT_EQ(GetString(kAdapterKey, "Channel"), "6");  // the adapter key itself is untouched
}

TEST_F(ParameterSetsTest, ApDefaultWithoutHtOrAddress) {
  driver.answers = false;
  EXPECT_EQ(CreateApDefault(writer, driver, kAdapterKey, false), ApDefaultOutcome::Created);
  EXPECT_EQ(GetString(kApDefault, "WirelessMode"), "0");
  EXPECT_EQ(GetString(kApDefault, "SSID"), "SoftAP-00");
}

TEST_F(ParameterSetsTest, ExistingApDefaultIsNeverOverwritten) {
  PutString(kApDefault, "SSID", "Mine");  // most values missing
  EXPECT_EQ(CreateApDefault(writer, driver, kAdapterKey, true), ApDefaultOutcome::AlreadyExists);
  EXPECT_TRUE(writer.calls.empty());
  EXPECT_TRUE(driver.queried.empty());
  EXPECT_EQ(valuesOf(kApDefault).size(), 1u);
  EXPECT_EQ(GetString(kApDefault, "SSID"), "Mine");
}

TEST_F(ParameterSetsTest, ApDefaultThatCannotBeCreatedGetsNoValues) {
  PutString(kAdapterKey, "Channel", "6");
  writer.refuse = [](const auto& call) { return call.op == "create"; };
  EXPECT_EQ(CreateApDefault(writer, driver, kAdapterKey, true), ApDefaultOutcome::CreateFailed);
  ASSERT_EQ(writer.calls.size(), 1u);
  EXPECT_FALSE(KeyExists(kApDefault));
}

}  // namespace
}  // namespace ov
