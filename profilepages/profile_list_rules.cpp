#include "profilepages/profile_list_rules.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "lang/language_table.h"
#include "platform/system/ascii_text.h"
#include "profiles/store_encoding.h"
#include "shell/action_queue.h"

namespace ov {

namespace {

constexpr int32_t kAuthWapiPskStored = 256;
constexpr int32_t kAuthWapiCaStored = 512;
constexpr int32_t kCipherSms4Stored = 256;

std::string Read(const ProfileStore& store, const std::string& name, std::string_view key) {
  return store.ReadStoreValue(StoreFileKind::Profiles, name, key);
}

int32_t ReadInt(const ProfileStore& store, const std::string& name, std::string_view key) {
  return ParseStoreInt(Read(store, name, key));
}

// A table lookup that gives "" for a code outside the table.
template <size_t N>
std::string TableText(const std::array<const char*, N>& table, int32_t code) {
  if (code < 0 || static_cast<size_t>(code) >= N || table[code] == nullptr) return {};
  return table[code];
}

template <size_t N>
std::string KeyText(const std::array<std::optional<LanguageKey>, N>& table, int32_t code) {
  if (code < 0 || static_cast<size_t>(code) >= N || !table[code]) return {};
  return LangText(*table[code]);
}

std::string_view TrimBlanks(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const size_t last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

// Leading decimal digits (with an optional sign) as atoi reads them, bounded so that no name
// can overflow the count.
int64_t LeadingNumber(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = std::min<int64_t>(value * 10 + (text[i] - '0'), INT32_MAX);
  }
  return negative ? -value : value;
}

}  // namespace

ProfileRow MakeProfileRow(std::string name, const ProfileRowValues& values, bool wpaReady) {
  int32_t authIndex = values.authMode;
  if (authIndex == kAuthWapiPskStored) {
    authIndex = 9;
  } else if (authIndex == kAuthWapiCaStored) {
    authIndex = 10;
  } else if (authIndex < 0 || authIndex > 7) {
    authIndex = 0;
  }
  const int32_t use8021x = (authIndex == 0 || authIndex == 1) && wpaReady ? values.use8021x : 0;
  const int32_t cipher = values.cipherMode == kCipherSms4Stored ? 8 : values.cipherMode;

  ProfileRow row;
  row.Name = std::move(name);
  row.Ssid = values.ssid;
  row.Secured = authIndex != 0 || cipher != 1 || use8021x != 0;
  row.Wapi = row.Secured && (authIndex == 9 || authIndex == 10);
  row.Infrastructure = values.networkType != 0;
  return row;
}

std::vector<ProfileRow> ReadProfileRows(const ProfileStore& store, bool wpaReady) {
  std::vector<ProfileRow> rows;
  for (std::string& name : store.ListProfileNames()) {
    ProfileRowValues values;
    values.ssid = Read(store, name, kSsidKey);
    values.authMode = ReadInt(store, name, kAuthModeKey);
    values.use8021x = ReadInt(store, name, "Use8021X");
    values.cipherMode = ReadInt(store, name, kCipherModeKey);
    values.networkType = ReadInt(store, name, "NetworkType");
    rows.push_back(MakeProfileRow(std::move(name), values, wpaReady));
  }
  return rows;
}

std::string ActiveProfileName(const ProfileStore& store, bool activationWritesStore,
                              const std::string& selectedProfileName) {
  if (!activationWritesStore) return selectedProfileName;
  return store.ReadStoreValue(StoreFileKind::Station, kActiveSection, kCurProfileKey);
}

std::optional<size_t> FindActiveRow(const std::vector<ProfileRow>& rows, std::string_view name) {
  if (name.empty()) return std::nullopt;
  for (size_t i = 0; i < rows.size(); ++i) {
    if (EqualsIgnoringAsciiCase(rows[i].Name, name)) return i;
  }
  return std::nullopt;
}

int StateImage(const ProfileRow& row, bool showActiveIcon) {
  if (!showActiveIcon) return -1;
  if (row.State == kRowActiveConnected) return kProfileImageActiveConnected;
  if (row.State == kRowActiveNotConnected) return kProfileImageActiveNotConnected;
  return -1;
}

int SecurityImage(const ProfileRow& row) {
  if (row.Wapi) return kProfileImageWapi;
  if (row.Secured) return kProfileImageSecured;
  return -1;
}

int NetworkTypeImage(const ProfileRow& row) {
  return row.Infrastructure ? kProfileImageInfrastructure : kProfileImageAdhoc;
}

int32_t ActiveRowState(const ProfileRow& row, const LinkFacts& link) {
  const bool fromThisList = link.connected && link.bssidNonZero && link.stationProfileInUse == 1 &&
                            link.wpsProfileInUse == 0;
  if (!fromThisList) return kRowActiveNotConnected;
  return row.Ssid.empty() || row.Ssid == link.currentSsid ? kRowActiveConnected
                                                          : kRowActiveNotConnected;
}

void MarkActiveRow(std::vector<ProfileRow>& rows, std::optional<size_t> active, int32_t state) {
  for (size_t i = 0; i < rows.size(); ++i) rows[i].State = active && *active == i ? state : kRowNotActive;
}

std::optional<size_t> TargetRow(std::optional<size_t> selected, size_t rowCount) {
  if (selected && *selected < rowCount) return selected;
  if (rowCount == 1) return size_t{0};
  return std::nullopt;
}

std::string NextDefaultProfileName(const std::vector<std::string>& names, std::string_view prefix) {
  int64_t largest = 0;
  bool any = false;
  for (const std::string& stored : names) {
    const std::string_view name = TrimBlanks(stored);
    if (prefix.empty() || name.substr(0, prefix.size()) != prefix) continue;
    const int64_t number = LeadingNumber(name.substr(prefix.size()));
    largest = any ? std::max(largest, number) : number;
    any = true;
  }
  const int64_t next = any ? largest + 1 : 1;
  return std::string(TrimBlanks(std::string(prefix) + std::to_string(next)));
}

std::string NetworkTypeText(int32_t networkType) {
  static const std::array<std::optional<LanguageKey>, 3> kTexts = {IDS_ADHOC, IDS_INFRA, IDS_AUTO};
  return KeyText(kTexts, networkType);
}

std::string AuthenticationText(int32_t authMode) {
  static const std::array<std::optional<LanguageKey>, 13> kTexts = {
      IDS_OPENSYSTEM, IDS_SHARED, IDS_EMPTY,   IDS_WPA,   IDS_WPAPSK, IDS_WPANONE, IDS_WPA2,
      IDS_WPA2PSK,    IDS_WAPIPSK, IDS_WAPICA, IDS_CCKM,  IDS_CCX,    IDS_LEAP};
  if (authMode == kAuthWapiPskStored) authMode = 8;
  if (authMode == kAuthWapiCaStored) authMode = 9;
  return KeyText(kTexts, authMode);
}

std::string EncryptionText(int32_t cipherMode) {
  static const std::array<std::optional<LanguageKey>, 13> kTexts = {
      IDS_WEP,         IDS_NONE,     std::nullopt, std::nullopt, IDS_TKIP,
      std::nullopt,    IDS_AES,      std::nullopt, IDS_TKIP_MFP, std::nullopt,
      IDS_AES_MFP,     std::nullopt, IDS_SMS4};
  if (cipherMode == kCipherSms4Stored) cipherMode = 12;
  return KeyText(kTexts, cipherMode);
}

std::string TxPowerText(int32_t txPower) {
  static constexpr std::array<const char*, 7> kTexts = {"Auto", "100%", "75 %",  "50 %",
                                                        "25 %", "10 %", "Lowest"};
  return TableText(kTexts, txPower);
}

std::string LeapEncryptionText(int32_t leapEncryType) {
  if (leapEncryType == 0) return LangText(IDS_WEP);
  static constexpr std::array<const char*, 3> kTexts = {nullptr, "WPA-TKIP", "WPA2-AES"};
  return TableText(kTexts, leapEncryType);
}

ProfileDetails ReadProfileDetails(const ProfileStore& store, const std::string& name) {
  ProfileDetails d;
  d.name = name;
  d.ssid = Read(store, name, kSsidKey);
  const int32_t networkType = ReadInt(store, name, "NetworkType");
  const bool adhoc = networkType == 0;
  d.networkType = NetworkTypeText(networkType);
  d.channel = adhoc ? std::to_string(ReadInt(store, name, "Channel")) : LangText(IDS_AUTO);
  const bool leap = ReadInt(store, name, "LeapEnabled") != 0;
  d.authentication = leap ? LangText(IDS_LEAP) : AuthenticationText(ReadInt(store, name, kAuthModeKey));
  d.encryption = leap ? LeapEncryptionText(ReadInt(store, name, "LeapEncryType"))
                      : EncryptionText(ReadInt(store, name, kCipherModeKey));
  // The language table has no affirmative word of its own: "YES" pairs with the fixed "NO".
  d.use8021x = ReadInt(store, name, "Use8021X") == 0 ? "NO" : "YES";
  d.txPower = TxPowerText(ReadInt(store, name, "TXPower"));
  if (!adhoc) {
    d.powerSave = LangText(ReadInt(store, name, "ProfilePSMode") != 0 ? IDS_SYS_PSM : IDS_SYS_CAM);
  }
  if (ReadInt(store, name, "UseRts") == 1) d.rtsThreshold = Read(store, name, "RtsThresh");
  if (ReadInt(store, name, "UseFrag") == 1) d.fragThreshold = Read(store, name, "FragThresh");
  return d;
}

DeleteOutcome DeleteProfileRow(ProfileStore& store, const std::vector<ProfileRow>& rows,
                               size_t index, const DeleteContext& context) {
  DeleteOutcome outcome;
  if (index >= rows.size()) {
    outcome.rows = rows;
    return outcome;
  }
  const ProfileRow deleted = rows[index];
  const std::optional<size_t> active = FindActiveRow(rows, context.activeName);
  outcome.wasActive = active && *active == index;

  if (outcome.wasActive && context.stationProfileInUse && *context.stationProfileInUse == 1) {
    *context.stationProfileInUse = 0;
    store.ResetActiveConfig();
    outcome.activeConfigurationReset = true;
  }

  // The service's profile is named by the SSID: keep it while the active profile or the WPS
  // credential still connects through it.
  const bool sharedWithActive =
      !outcome.wasActive && active && EqualsIgnoringAsciiCase(deleted.Ssid, rows[*active].Ssid);
  const bool sharedWithWps =
      context.wpsProfileInUse != 0 && EqualsIgnoringAsciiCase(deleted.Ssid, context.wpsCredentialSsid);
  if (!sharedWithActive && !sharedWithWps && context.service.exists && context.service.remove &&
      context.service.exists(deleted.Ssid)) {
    context.service.remove(deleted.Ssid);
    outcome.serviceProfileRemoved = true;
  }

  outcome.deleted = store.DeleteProfileSection(deleted.Name);
  outcome.rows = ReadProfileRows(store, context.wpaReady);

  // The row now at the deleted one's place: only when there is one (the last row has no
  // successor to read).
  if (context.wpsProfileInUse == 0 && outcome.wasActive && index < outcome.rows.size()) {
    const ProfileRow& next = outcome.rows[index];
    if (next.Ssid == deleted.Ssid && !Read(store, next.Name, kActiveTimeKey).empty()) {
      outcome.reactivate = next.Name;
    }
  }
  if (!outcome.rows.empty()) outcome.selectRow = std::min(index, outcome.rows.size() - 1);
  return outcome;
}

bool ActivateStoredProfile(ActionQueue& queue, ProfileStore& store, const std::string& name,
                           bool writesStore, uint32_t radioApply,
                           const std::vector<ProfileStore::KeyValue>& activeValues) {
  queue.wps().WpsProfileInUse = 0;
  if (writesStore) {
    if (!store.ActivateProfileInStore(name, FormatActiveTime())) return false;
    if (!activeValues.empty() &&
        !store.WriteStoreValues(StoreFileKind::Station, kActiveSection, activeValues)) {
      return false;
    }
  } else {
    queue.activation().SelectedProfileName = name;
  }
  queue.activation().StationProfileInUse = 1;
  queue.ApplyActiveConfiguration(radioApply, 1, 0);
  return true;
}

PeapPromptProfile ReadPeapPromptProfile(const ProfileStore& store, const std::string& name) {
  auto read = [&](std::string_view key) {
    return store.ReadStoreValue(StoreFileKind::Profiles, name, key);
  };
  auto number = [&](std::string_view key) {
    return static_cast<uint32_t>(std::max(ParseStoreInt(read(key)), 0));
  };
  PeapPromptProfile p;
  p.use8021x = number("Use8021X");
  p.authenProtocol = number("AuthenProtocol");
  p.tunnelProtocol = number("TunnelProtocol");
  // A profile without the value has the editor's default, the static password.
  if (!read("PasswordMode").empty()) p.passwordMode = number("PasswordMode");
  p.tunnelId = read("TunnelID");
  p.tunnelPassword = read("TunnelPassword");
  return p;
}

}  // namespace ov
