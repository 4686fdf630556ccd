#pragma once
#include <cstdint>
#include <optional>
#include <span>

#include "driver/oid/ndis_records.h"
#include "driver/oid/wps_records.h"
#include "nativewifi/station_profile.h"

// A WPS credential as the station profile the action queue applies.
namespace ov {

// The profile's "AuthMode" for a credential's authentication type: 2 and 34 WPA-PSK, 4 shared,
// 8 WPA, 16 WPA2, 32 WPA2-PSK, anything else open.
int32_t AuthModeForWpsAuthType(uint32_t authType);
// The profile's "CipherMode" for an encryption type: 2 WEP, 4 and 12 TKIP, 8 AES, anything else
// none.
int32_t CipherModeForWpsEncryType(uint32_t encryType);

// The WEP key block of a credential's key: a 5- or 13-character key as it is, a 10- or
// 26-character key as hexadecimal; the key index with the transmit bit. Nothing for any other
// length or for a hexadecimal key with a non-hexadecimal digit: the driver takes 5- and 13-byte
// keys only.
std::optional<KeyBlock> WepKeyFromCredential(const WpsCredential& credential);

// An infrastructure profile for the credential, to be connected to: security from the
// credential's types and key, SSID and BSSID from the credential, power saving from the adapter's
// "PSMode", thresholds off, no radio settings. `channelFrequency` is FindChannelFrequency's.
StationProfile BuildProfileFromCredential(const WpsCredential& credential, uint32_t psMode,
                                          uint32_t channelFrequency);

// The channel of the credential's access point: the frequency of a scan-list entry with that
// BSSID in the band of the WPS channel, else the WPS channel's own frequency (channel 1's when
// the channel is not known).
uint32_t FindChannelFrequency(std::span<const uint8_t> scanList, uint32_t wpsChannel,
                              const MacAddress& bssid);

}  // namespace ov
