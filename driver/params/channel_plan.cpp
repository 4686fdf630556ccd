#include "driver/params/channel_plan.h"

#include <algorithm>

#include "driver/oid/oid_requests.h"
#include "driver/params/adapter_params.h"
#include "platform/system/error_codes.h"

namespace ov {
namespace {


std::vector<uint32_t> Range(uint32_t first, uint32_t last) {
  std::vector<uint32_t> channels;
  for (uint32_t c = first; c <= last; ++c) channels.push_back(c);
  return channels;
}

bool IsFamilyOf(int32_t family, int32_t first, int32_t last) {
  return family >= first && family <= last;
}

}  // namespace

RegionState ApplyRegionRule(uint32_t driverRegionWord, bool showCountryRegion) {
  RegionState state;
  state.regionWord = driverRegionWord;
  const bool fixed24 = (driverRegionWord & kRegionFixedBit) != 0 || !showCountryRegion;
  const bool fixed5 = (driverRegionWord & (kRegionFixedBit << 8)) != 0 || !showCountryRegion;
  if (fixed24) state.regionWord &= ~kRegionFixedBit;
  if (fixed5) state.regionWord &= ~(kRegionFixedBit << 8);
  state.regionChangeable24 = !fixed24;
  state.regionChangeable5 = !fixed5;
  return state;
}

std::vector<uint32_t> Channels24(int32_t chipFamily, uint32_t region) {
  if (chipFamily == WXP1 || chipFamily == WXU1) {
    switch (region) {
      case 1: return Range(1, 11);
      case 2: return Range(1, 13);
      case 3: return Range(10, 11);
      case 4: return Range(10, 13);
      case 5: return {14};
      case 6: return Range(1, 14);
      case 7: return Range(3, 9);
      case 8: return Range(5, 13);
      default: return Range(1, 11);
    }
  }
  if (IsFamilyOf(chipFamily, WXP3, WXP5)) {
    switch (region) {
      case 0: return Range(1, 11);
      case 1: return Range(1, 13);
      case 2: return Range(10, 11);
      case 3: return Range(10, 13);
      case 4: return {14};
      case 5: return Range(1, 14);
      case 6: return Range(3, 9);
      case 7: return Range(5, 13);
      case 31: return Range(1, 14);
      default: return Range(1, 11);
    }
  }
  return {};
}

std::vector<uint32_t> Channels5(int32_t chipFamily, uint32_t region) {
  const bool family45 = IsFamilyOf(chipFamily, WXP3, WXU3);
  const bool family610 = IsFamilyOf(chipFamily, WXP4, WXP5);
  switch (region) {
    case 1:
      return {36, 40, 44, 48, 52, 56, 60, 64, 100, 104, 108, 112, 116, 120, 124, 128, 132, 136,
              140};
    case 2: return {36, 40, 44, 48, 52, 56, 60, 64};
    case 3: return {52, 56, 60, 64, 149, 153, 157, 161};
    case 4: return {149, 153, 157, 161, 165};
    case 5: return {149, 153, 157, 161};
    case 6: return {36, 40, 44, 48};
    case 7:
      return {36,  40,  44,  48,  52,  56,  60,  64,  100, 104, 108, 112,
              116, 120, 124, 128, 132, 136, 140, 149, 153, 157, 161, 165};
    case 8: return {52, 56, 60, 64};
    case 9:
      if (family45) return {34, 38, 42, 46};
      if (family610) {
        return {36,  40,  44,  48,  52,  56,  60,  64,  100, 104, 108,
                112, 116, 132, 136, 140, 149, 153, 157, 161, 165};
      }
      return {};
    case 10:
      if (family45) return {34, 36, 38, 40, 42, 44, 46, 48, 52, 56, 60, 64};
      if (family610) return {36, 40, 44, 48, 149, 153, 157, 161, 165};
      return {};
    case 11:
      if (family610) {
        return {36, 40, 44, 48, 52, 56, 60, 64, 100, 104, 108, 112, 116, 120, 149, 153, 157, 161};
      }
      return {};
    default:  // 0, and 12 and above
      return {36, 40, 44, 48, 52, 56, 60, 64, 149, 153, 157, 161, 165};
  }
}

std::vector<uint32_t> BuildAllowedChannels(int32_t chipFamily, WirelessMode mode,
                                           uint32_t regionWord) {
  std::vector<uint32_t> channels;
  if (mode != WIRELESS_MODE_A_ONLY) channels = Channels24(chipFamily, regionWord & kRegionCodeMask);
  if (mode == WIRELESS_MODE_A_ONLY || mode == WIRELESS_MODE_ABG_MIXED ||
      mode == WIRELESS_MODE_ABGN_MIXED || mode == WIRELESS_MODE_AN_MIXED) {
    const auto band5 = Channels5(chipFamily, (regionWord >> 8) & kRegionCodeMask);
    channels.insert(channels.end(), band5.begin(), band5.end());
  }
  return channels;
}

uint32_t ReconcileChannel(RegistryWriter& writer, const std::string& adapterKeyPath,
                          const std::vector<uint32_t>& allowed) {
  const std::string defaultPath = SubKeyPath(adapterKeyPath, kDefaultSubKey);
  const auto configured = ReadDecimalParam(adapterKeyPath, param::kChannel);
  const bool kept = configured && *configured > 0 &&
                    std::find(allowed.begin(), allowed.end(),
                              static_cast<uint32_t>(*configured)) != allowed.end();
  const uint32_t channel = kept ? static_cast<uint32_t>(*configured)
                                : (allowed.empty() ? 0 : allowed.front());
  if (!kept) WriteDecimalParam(writer, adapterKeyPath, param::kChannel, static_cast<int32_t>(channel));
  // The saved set must agree with the adapter's channel even before the first normal exit.
  writer.CreateKey(HKEY_LOCAL_MACHINE, defaultPath);
  WriteDecimalParam(writer, defaultPath, param::kChannel, static_cast<int32_t>(channel));
  return channel;
}

void RunChannelPlanCheck(OidRequester& driver, RegistryWriter& writer,
                         const std::string& adapterKeyPath, const ChannelPlanInputs& inputs,
                         ChannelPlanState& state) {
  CountryRegion answer;
  if (QueryCountryRegion(driver, answer)) {
    state.region = ApplyRegionRule(EncodeCountryRegionWord(answer), inputs.showCountryRegion);
  }
  state.wirelessMode = ReadWirelessMode(adapterKeyPath, state.wirelessMode, inputs.aBandCapable,
                                        inputs.htCapable);
  state.allowedChannels =
      BuildAllowedChannels(inputs.chipFamily, state.wirelessMode, state.region.regionWord);
  state.channel = ReconcileChannel(writer, adapterKeyPath, state.allowedChannels);
}

}  // namespace ov
