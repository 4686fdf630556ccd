#include "wps/wps_registrar.h"

#include <algorithm>
#include <cstdio>

#include "driver/ndis_types.h"
#include "platform/system/hex_text.h"

namespace ov {

namespace {

constexpr int kWepKeyLengths[] = {5, 10, 13, 26};
constexpr int kPskKeyLimit = 64;
constexpr size_t kMinPassphrase = 8;

void SetText(std::span<uint8_t> field, uint32_t& length, std::string_view text) {
  const size_t n = std::min(text.size(), field.size());
  std::fill(field.begin(), field.end(), uint8_t{0});
  std::copy_n(text.begin(), n, field.begin());
  length = static_cast<uint32_t>(n);
}

}  // namespace

WpsCredential MakeRegistrarCredential(const MacAddress& adapterMac,
                                      std::span<const uint8_t, 32> randomBytes) {
  WpsCredential c;
  char ssid[16];
  std::snprintf(ssid, sizeof ssid, "ExRegNW%02X%02X%02X", adapterMac[3], adapterMac[4],
                adapterMac[5]);
  SetText(c.Ssid, c.SsidLength, ssid);
  c.AuthType = WPS_AUTH_WPA2PSK;
  c.EncryType = WPS_ENCR_AES;
  c.KeyIndex = 1;
  SetText(c.Key, c.KeyLength, HexEncode(randomBytes, HexCase::Upper));
  return c;
}

bool ChangeWpsConfigMode(WpsStoreState& state, int newMode, const MacAddress& adapterMac,
                         std::span<const uint8_t, 32> randomBytes) {
  if (newMode == state.Settings.ConfigMode) return false;
  state.Settings.ConfigMode = newMode;
  state.Table = WpsCredentialTable{};
  if (newMode == kWpsConfigRegistrar) {
    state.Table.Count = 1;
    state.Table.Credentials[0] = MakeRegistrarCredential(adapterMac, randomBytes);
  }
  return true;
}

int RegistrarKeyLimit(const RegistrarEditorInput& input) {
  if (input.auth != RegistrarAuth::Open) return kPskKeyLimit;
  if (!input.wep) return 0;
  return kWepKeyLengths[std::clamp(input.wepKeyLengthChoice, 0, 3)];
}

std::optional<std::string> CheckRegistrarKey(int limit, std::string_view key) {
  switch (limit) {
    case 5:
      if (key.size() == 5) return std::nullopt;
      return "Invalid WEP Key length. WEP Key should be 5 ascii characters";
    case 10:
      if (key.size() == 10) return std::nullopt;
      return "Invalid WEP Key length. WEP Key should be 10 hex digits";
    case 13:
      if (key.size() == 13) return std::nullopt;
      return "Invalid WEP Key length. WEP Key should be 13 ascii characters";
    case 26:
      if (key.size() == 26) return std::nullopt;
      return "Invalid WEP Key length. WEP Key should be 26 hex digits";
    case kPskKeyLimit:
      if (key.size() >= kMinPassphrase) return std::nullopt;
      return "Invalid WPA Pre-Shared key. WPA-PSK use field should be 64 hex digits.";
    default:
      return std::nullopt;
  }
}

bool RegistrarNeedsInsecureConfirmation(const RegistrarEditorInput& input) {
  return input.auth == RegistrarAuth::Open && !input.wep;
}

WpsCredential BuildRegistrarCredential(const RegistrarEditorInput& input,
                                       const WpsCredential& previous) {
  WpsCredential c;
  c.MacAddr = previous.MacAddr;
  SetText(c.Ssid, c.SsidLength, input.ssid);
  if (input.auth == RegistrarAuth::Open) {
    c.AuthType = WPS_AUTH_OPEN;
    if (input.wep) {
      c.EncryType = WPS_ENCR_WEP;
      c.KeyIndex = input.keyIndex;
      const int length = RegistrarKeyLimit(input);
      SetText(c.Key, c.KeyLength, std::string_view(input.key).substr(0, length));
      c.KeyLength = static_cast<uint32_t>(length);
    } else {
      c.EncryType = WPS_ENCR_NONE;
    }
    return c;
  }
  c.AuthType = input.auth == RegistrarAuth::WpaPsk ? WPS_AUTH_WPAPSK : WPS_AUTH_WPA2PSK;
  c.EncryType = input.aes ? WPS_ENCR_AES : WPS_ENCR_TKIP;
  c.KeyIndex = 0;
  SetText(c.Key, c.KeyLength, input.key);
  return c;
}

void PrepareRegistrarPinCredential(WpsCredential& credential) {
  if (credential.AuthType == WPS_AUTH_OPEN && credential.EncryType == WPS_ENCR_NONE) {
    credential.KeyLength = 0;
  }
}

}  // namespace ov
