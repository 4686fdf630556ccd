#include "shell/adapter_setup.h"

#include "driver/oid/oid_requests.h"
#include "driver/params/adapter_params.h"
#include "driver/params/parameter_sets.h"
#include "wps/wps_store.h"

namespace ov {

namespace {

constexpr uint32_t kEepromKind = 3;
constexpr uint32_t kEepromBandwidthWord = 0x36;

class HeldFlag {
 public:
  explicit HeldFlag(bool* flag) : flag_(flag), previous_(flag && *flag) {
    if (flag_) *flag_ = true;
  }
  ~HeldFlag() {
    if (flag_) *flag_ = previous_;
  }
  HeldFlag(const HeldFlag&) = delete;
  HeldFlag& operator=(const HeldFlag&) = delete;

 private:
  bool* flag_;
  bool previous_;
};

}  // namespace

void FillAdapterContext(const AdapterInfo& adapter, const AdapterFacts& facts,
                        const ProgramOptions& options, bool isAdmin, AdapterContext& a) {
  a.adapterKeyPath = adapter.adapterKeyPath;
  a.chipFamily = adapter.chipFamily;
  a.htCapable = adapter.htCapable;
  a.aBandCapable = facts.aBandCapable;
  a.radioOn = facts.radioOn;
  a.isAdmin = isAdmin;
  a.allowStandardUserSetProfile = options.allowStandardUserSetProfile;
  a.showCountryRegion = options.showCountryRegion;
  a.ndisVersion = facts.ndisVersion;
}

bool IsABandCapable(const DOT11_SUPPORTED_PHY_TYPES* phyTypes,
                    std::optional<uint32_t> countryWirelessMode) {
  if (!phyTypes) return false;
  bool ofdm = false;
  const uint32_t count = std::min<uint32_t>(phyTypes->uNumOfEntries,
                                            static_cast<uint32_t>(phyTypes->dot11PHYType.size()));
  for (uint32_t i = 0; i < count; ++i) ofdm = ofdm || phyTypes->dot11PHYType[i] == kPhyTypeOfdm;
  if (!ofdm) return false;
  return !countryWirelessMode || ((*countryWirelessMode >> 28) & 0xF) == 1;
}

void ApplyBw40Word(std::optional<uint32_t> eepromWord, Bw40Permissions& permissions) {
  if (!eepromWord || (*eepromWord & 0xFFFF) == 0xFFFF) return;
  permissions.allowed24 = (*eepromWord & 0x100) == 0;
  permissions.allowed5 = (*eepromWord & 0x200) == 0;
}

AdapterSetupResult SetUpAdapter(const AdapterSetupInputs& in, ActionQueue& queue) {
  OidRequester& driver = *in.driver;
  const std::string& key = in.adapter->adapterKeyPath;
  AdapterSetupResult result;
  AdapterFacts& facts = result.facts;
  facts.bw40 = in.bw40;

  facts.psMode = ReadDecimalParamOr(key, param::kPsMode);
  DOT11_SUPPORTED_PHY_TYPES phys;
  const bool phyOk = QuerySupportedPhyTypes(driver, phys);
  facts.supportedPhyTypesResult = phyOk ? 0 : 50;
  facts.aBandCapable = IsABandCapable(phyOk ? &phys : nullptr,
                                      phyOk ? ReadCountryWirelessMode(key) : std::nullopt);

  ResetWpsCredentials(queue.wps());
  queue.wps().Settings.Channel = 1;

  if (in.adapter->htCapable) {
    uint32_t word = 0;
    const bool answered = QueryRegister(driver, kEepromKind, kEepromBandwidthWord, word);
    ApplyBw40Word(answered ? std::optional<uint32_t>(word) : std::nullopt, facts.bw40);
  }

  uint32_t opMode = 0;
  if (in.handBackFromApMode && QueryOpMode(driver, opMode) && opMode != 0) in.handBackFromApMode();

  facts.ieee80211h = ReadDecimalParamOr(key, param::kIeee80211h) == 1;
  if (in.writeParameterSets && in.registry)
    CreateApDefault(*in.registry, driver, key, in.adapter->htCapable);

  FillAdapterContext(*in.adapter, facts, in.options, in.isAdmin, queue.adapter());
  {
    HeldFlag busy(in.busy);
    queue.RunChannelPlan();
    QueryDriverVersion(driver, facts.ndisVersion);
  }

  facts.radioOn = ReadRadioOn(key);
  MacAddress mac{};
  if (QueryCurrentAddress(driver, mac)) facts.mac = mac;

  result.store = std::make_unique<ProfileStore>(
      StoreLocation{in.dataDir, in.adapter->chipFamily, in.adapter->netCfgInstanceId},
      in.secretCodec, in.options.encryptPasswords);
  queue.services().store = result.store.get();
  result.currentProfileName =
      result.store->ReadStoreValue(StoreFileKind::Station, "Config", "CurProfile");

  FillAdapterContext(*in.adapter, facts, in.options, in.isAdmin, queue.adapter());
  return result;
}

}  // namespace ov
