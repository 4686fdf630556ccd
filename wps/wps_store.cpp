#include "wps/wps_store.h"

#include <algorithm>
#include <cstdio>

#include "profiles/store_encoding.h"

namespace ov {
namespace {

std::string Number(int64_t value) { return FormatStoreInt(value); }

// The stored form of a "Key": encrypted like the profile store's secrets while it encrypts.
std::string EncodeKey(const ProfileStore& store, SecretCodec* codec, std::string_view key) {
  if (key.empty() || codec == nullptr || !store.encryptPasswords()) return std::string(key);
  return codec->Encrypt(key).value_or(std::string(key));
}

// Reading always tries the codec: a value written while encryption was off comes back as it is.
std::string DecodeKey(SecretCodec* codec, std::string stored) {
  if (stored.empty() || codec == nullptr) return stored;
  if (auto clear = codec->Decrypt(stored)) return *clear;
  return stored;
}

void LoadSlot(const ProfileStore& store, SecretCodec* codec, int slot, WpsCredential& credential) {
  const std::string section = WpsProfileSection(slot);
  auto read = [&](std::string_view key) {
    return store.ReadStoreValue(StoreFileKind::Wps, section, key);
  };
  if (std::string ssid = read(kWpsSsidKey); !ssid.empty()) {
    const size_t n = std::min(ssid.size(), WpsCredential::kSsidBytes);
    credential.SsidLength = static_cast<uint32_t>(n);
    credential.Ssid.fill(0);
    std::copy_n(ssid.begin(), n, credential.Ssid.begin());
  }
  auto number = [&](std::string_view key, uint32_t& field) {
    if (std::string text = read(key); !text.empty()) {
      field = static_cast<uint32_t>(ParseStoreInt(text));
    }
  };
  number(kWpsAuthTypeKey, credential.AuthType);
  number(kWpsEncryTypeKey, credential.EncryType);
  number(kWpsKeyIndexKey, credential.KeyIndex);
  number(kWpsKeyLengthKey, credential.KeyLength);
  // A negative length reads as a huge one; either way the field holds at most 64 bytes.
  credential.KeyLength = std::min<uint32_t>(credential.KeyLength, WpsCredential::kKeyBytes);

  const std::string key = DecodeKey(codec, read(kWpsKeyKey));
  // Only as many bytes as the length says, and never bytes that are not in the file: a length
  // beyond the text would hand zeros to the driver as part of the key.
  const size_t n = std::min<size_t>(credential.KeyLength, key.size());
  credential.Key.fill(0);
  std::copy_n(key.begin(), n, credential.Key.begin());
  credential.KeyLength = static_cast<uint32_t>(n);

  if (std::string mac = read(kWpsMacAddressKey); !mac.empty()) {
    credential.MacAddr.fill(0);
    if (auto parsed = ParseWpsMacAddress(mac)) credential.MacAddr = *parsed;
  }
}

}  // namespace

std::string WpsProfileSection(int slot) {
  char name[32];
  std::snprintf(name, sizeof name, "Profile%d", slot);
  return name;
}

std::string FormatWpsMacAddress(const MacAddress& mac) { return FormatMacAddress(mac, '\0'); }

std::optional<MacAddress> ParseWpsMacAddress(std::string_view text) {
  if (text.size() != 12) return std::nullopt;
  auto bytes = DecodeHexBytes(text);
  if (!bytes || bytes->size() != 6) return std::nullopt;
  MacAddress mac{};
  std::copy(bytes->begin(), bytes->end(), mac.begin());
  return mac;
}

void ClampWpsCredentialTable(WpsCredentialTable& table) {
  table.Count = std::min<uint32_t>(table.Count, WpsCredentialTable::kMaxCredentials);
  for (size_t i = 0; i < table.Credentials.size(); ++i) {
    WpsCredential& c = table.Credentials[i];
    if (i >= table.Count) {
      c = WpsCredential{};
      continue;
    }
    c.SsidLength = std::min<uint32_t>(c.SsidLength, WpsCredential::kSsidBytes);
    c.KeyLength = std::min<uint32_t>(c.KeyLength, WpsCredential::kKeyBytes);
  }
}

void ResetWpsCredentials(WpsStoreState& state) {
  state.Table = WpsCredentialTable{};
  state.PeerAddress.fill(0);
  state.Settings.Channel = 1;
}

void TakeDriverCredentialTable(WpsStoreState& state, const WpsCredentialTable& table) {
  state.Table = table;
  ClampWpsCredentialTable(state.Table);
}

void LoadWpsStore(const ProfileStore& store, SecretCodec* codec, WpsStoreState& state) {
  auto number = [&](StoreFileKind kind, std::string_view section, std::string_view key,
                    int32_t& field) {
    std::string text = store.ReadStoreValue(kind, section, key);
    if (text.empty()) return false;
    field = ParseStoreInt(text);
    return true;
  };
  number(StoreFileKind::Station, kActiveSection, kWscKey, state.WpsProfileInUse);
  number(StoreFileKind::Wps, kWpsCommonSection, kWpsConfigModeKey, state.Settings.ConfigMode);
  number(StoreFileKind::Wps, kWpsCommonSection, kWpsWirelessModeKey, state.Settings.WirelessMode);
  number(StoreFileKind::Wps, kWpsCommonSection, kWpsPinCodeKey, state.Settings.PinCode);
  state.Settings.Channel = 1;
  number(StoreFileKind::Wps, kWpsCommonSection, kWpsChannelKey, state.Settings.Channel);

  state.Table = WpsCredentialTable{};
  state.PeerAddress.fill(0);
  int32_t count = 0;
  if (!number(StoreFileKind::Wps, kWpsCommonSection, kWpsNumberOfProfileKey, count)) return;
  // The table has room for eight; a larger stored count reads eight slots, a negative one none.
  const int32_t slots =
      std::clamp<int32_t>(count, 0, static_cast<int32_t>(WpsCredentialTable::kMaxCredentials));
  state.Table.Count = static_cast<uint32_t>(slots);
  for (int32_t n = 0; n < slots; ++n) LoadSlot(store, codec, n, state.Table.Credentials[n]);
  ClampWpsCredentialTable(state.Table);
}

void SaveWpsStore(ProfileStore& store, SecretCodec* codec, const WpsStoreState& state,
                  bool replace, WpsServiceProfiles* service) {
  WpsCredentialTable table = state.Table;
  ClampWpsCredentialTable(table);
  store.WriteStoreValues(StoreFileKind::Wps, kWpsCommonSection,
                         {{std::string(kWpsNumberOfProfileKey), Number(table.Count)},
                          {std::string(kWpsConfigModeKey), Number(state.Settings.ConfigMode)},
                          {std::string(kWpsWirelessModeKey), Number(state.Settings.WirelessMode)},
                          {std::string(kWpsPinCodeKey), Number(state.Settings.PinCode)},
                          {std::string(kWpsChannelKey), Number(state.Settings.Channel)}});
  for (int slot = 0; slot < static_cast<int>(WpsCredentialTable::kMaxCredentials); ++slot) {
    const std::string section = WpsProfileSection(slot);
    if (replace && service != nullptr) {
      const std::string stored = store.ReadStoreValue(StoreFileKind::Wps, section, kWpsSsidKey);
      if (!stored.empty() && service->ServiceProfileExists(stored)) {
        service->DeleteServiceProfile(stored);
      }
    }
    const WpsCredential& c = table.Credentials[slot];
    store.WriteStoreValues(
        StoreFileKind::Wps, section,
        {{std::string(kWpsSsidKey), std::string(WpsCredentialSsid(c))},
         {std::string(kWpsAuthTypeKey), Number(static_cast<int32_t>(c.AuthType))},
         {std::string(kWpsEncryTypeKey), Number(static_cast<int32_t>(c.EncryType))},
         {std::string(kWpsKeyIndexKey), Number(static_cast<int32_t>(c.KeyIndex))},
         {std::string(kWpsKeyLengthKey), Number(static_cast<int32_t>(c.KeyLength))},
         {std::string(kWpsKeyKey), EncodeKey(store, codec, WpsCredentialKey(c))},
         {std::string(kWpsMacAddressKey), FormatWpsMacAddress(c.MacAddr)}});
  }
}

void MarkWpsUse(ProfileStore& store, const WpsStoreState& state) {
  store.WriteStoreValue(StoreFileKind::Station, kActiveSection, kWscKey,
                        Number(state.WpsProfileInUse));
  store.WriteStoreValue(StoreFileKind::Wps, kWpsCommonSection, kWpsChannelKey,
                        Number(state.Settings.Channel));
}

}  // namespace ov
