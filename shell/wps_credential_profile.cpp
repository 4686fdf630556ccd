#include "shell/wps_credential_profile.h"

#include <algorithm>

#include "driver/channel_frequency.h"
#include "driver/oid/bssid_list.h"
#include "profiles/store_encoding.h"
#include "wps/wps_store.h"

namespace ov {

int32_t AuthModeForWpsAuthType(uint32_t authType) {
  switch (authType) {
    case 2: return kAuthWpaPsk;
    case 4: return kAuthShared;
    case 8: return kAuthWpa;
    case 16: return kAuthWpa2;
    case 32: return kAuthWpa2Psk;
    case 34: return kAuthWpaPsk;  // WPA-PSK or WPA2-PSK: the older one, which both accept
    default: return kAuthOpen;
  }
}

int32_t CipherModeForWpsEncryType(uint32_t encryType) {
  switch (encryType) {
    case 2: return kCipherWep;
    case 4: return kCipherTkip;
    case 8: return kCipherAes;
    case 12: return kCipherTkip;  // TKIP or AES: TKIP, which both accept
    default: return kCipherNone;
  }
}

std::optional<KeyBlock> WepKeyFromCredential(const WpsCredential& credential) {
  const std::string_view text = WpsCredentialKey(credential);
  KeyBlock block;
  block.keyIndex = credential.KeyIndex | kTransmitKeyBit;
  if (text.size() == kWepKey40Length || text.size() == kWepKey104Length) {
    block.material.assign(text.begin(), text.end());
    return block;
  }
  if (text.size() == 2 * kWepKey40Length || text.size() == 2 * kWepKey104Length) {
    auto bytes = DecodeHexBytes(text);
    if (!bytes) return std::nullopt;
    block.material = std::move(*bytes);
    return block;
  }
  return std::nullopt;
}

StationProfile BuildProfileFromCredential(const WpsCredential& credential, uint32_t psMode,
                                          uint32_t channelFrequency) {
  StationProfile p;
  p.radioApply = 0;
  p.acPowerCam = 0;
  // Fragmentation off. 0 is no threshold the driver takes (the smallest is 256), and the deferred
  // settings send it after the connection.
  p.fragThreshold = 2346;
  p.txPowerLevel = 0;
  p.leapEnabled = 0;
  p.powerSave = psMode;
  p.rtsThreshold = 2347;
  p.preambleType = 2;
  p.networkType = 1;
  p.authMode = AuthModeForWpsAuthType(credential.AuthType);
  p.cipherMode = CipherModeForWpsEncryType(credential.EncryType);

  if (credential.EncryType == WPS_ENCR_WEP && credential.KeyLength != 0) {
    if (auto key = WepKeyFromCredential(credential)) {
      const uint32_t slot = credential.KeyIndex & ~kTransmitKeyBit;
      if (slot < p.wepKeys.size()) p.wepKeys[slot] = std::move(*key);
    }
  } else if (p.authMode == kAuthWpaPsk || p.authMode == kAuthWpa2Psk ||
             p.authMode == kAuthWapiPsk) {
    p.psk = std::string(WpsCredentialKey(credential));
  }

  const std::string_view ssid = WpsCredentialSsid(credential);
  p.ssid.SsidLength = static_cast<uint32_t>(ssid.size());
  std::copy(credential.Ssid.begin(), credential.Ssid.end(), p.ssid.Ssid.begin());
  p.bssid = credential.MacAddr;
  p.useBssid = 0;
  p.loaded = 1;
  p.channelFrequency = channelFrequency;
  p.connectRequested = 1;
  return p;
}

uint32_t FindChannelFrequency(std::span<const uint8_t> scanList, uint32_t wpsChannel,
                              const MacAddress& bssid) {
  const uint32_t start = ChannelToFrequency(wpsChannel);
  for (std::span<const uint8_t> bytes : BssidListEntries(scanList)) {
    NDIS_WLAN_BSSID_EX entry;
    if (!DecodeNdisWlanBssidEx(bytes, entry)) continue;
    if (entry.MacAddress != bssid) continue;
    const uint32_t frequency = entry.Configuration.DSConfig;
    if (IsBand24Frequency(frequency) == IsBand24Frequency(start)) return frequency;
  }
  return start;
}

}  // namespace ov
