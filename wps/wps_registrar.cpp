#include "wps/wps_registrar.h"

#include <algorithm>
#include <cstdio>

#include "driver/ndis_types.h"
#include "platform/system/hex_text.h"

namespace ov {

namespace {

constexpr int kPskKeyLimit = 64;
constexpr size_t kMinPassphrase = 8;
constexpr size_t kHexPskLength = 64;

bool AllHex(std::string_view key) { return std::all_of(key.begin(), key.end(), IsHexDigit); }

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

bool RegistrarWepChoiceIsAscii(int wepKeyLengthChoice) {
  const int length = kRegistrarWepKeyLengths[std::clamp(wepKeyLengthChoice, 0, 3)];
  return length == 5 || length == 13;
}

int RegistrarWepChoiceForFormat(int wepKeyLengthChoice, bool ascii) {
  const int choice = std::clamp(wepKeyLengthChoice, 0, 3);
  const bool large = choice >= 2;  // 13 or 26
  if (ascii) return large ? 2 : 0;
  return large ? 3 : 1;
}

RegistrarEditorInput RegistrarInputFromCredential(const WpsCredential& c) {
  RegistrarEditorInput in;
  in.ssid = std::string(WpsCredentialSsid(c));
  in.key = std::string(WpsCredentialKey(c));
  switch (c.AuthType) {
    case WPS_AUTH_OPEN: in.auth = RegistrarAuth::Open; break;
    case WPS_AUTH_WPAPSK: in.auth = RegistrarAuth::WpaPsk; break;
    default: in.auth = RegistrarAuth::Wpa2Psk; break;
  }
  if (in.auth == RegistrarAuth::Open) {
    in.wep = c.EncryType == WPS_ENCR_WEP;
    if (!in.wep) in.key.clear();
  } else {
    in.aes = c.EncryType != WPS_ENCR_TKIP;
  }
  in.wepKeyLengthChoice = 0;
  for (int choice = 0; in.wep && choice < 4; ++choice) {
    if (static_cast<uint32_t>(kRegistrarWepKeyLengths[choice]) == c.KeyLength)
      in.wepKeyLengthChoice = choice;
  }
  in.keyIndex = in.wep && c.KeyIndex <= 3 ? c.KeyIndex : 0;
  return in;
}

int RegistrarKeyLimit(const RegistrarEditorInput& input) {
  if (input.auth != RegistrarAuth::Open) return kPskKeyLimit;
  if (!input.wep) return 0;
  return kRegistrarWepKeyLengths[std::clamp(input.wepKeyLengthChoice, 0, 3)];
}

std::optional<std::string> CheckRegistrarKey(int limit, std::string_view key) {
  switch (limit) {
    case 5:
      if (key.size() == 5) return std::nullopt;
      return "Invalid WEP Key length. WEP Key should be 5 ascii characters";
    case 10:
      if (key.size() == 10 && AllHex(key)) return std::nullopt;
      return "Invalid WEP Key length. WEP Key should be 10 hex digits";
    case 13:
      if (key.size() == 13) return std::nullopt;
      return "Invalid WEP Key length. WEP Key should be 13 ascii characters";
    case 26:
      if (key.size() == 26 && AllHex(key)) return std::nullopt;
      return "Invalid WEP Key length. WEP Key should be 26 hex digits";
    case kPskKeyLimit:
      // 8 to 63 characters are a pass phrase; 64 are the key itself, in hexadecimal.
      if (key.size() >= kMinPassphrase &&
          (key.size() < kHexPskLength || (key.size() == kHexPskLength && AllHex(key))))
        return std::nullopt;
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
