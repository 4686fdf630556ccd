#include "profiles/load_active_profile.h"

#include <algorithm>

#include "driver/channel_frequency.h"
#include "profiles/key_material.h"
#include "profiles/store_encoding.h"

namespace ov {

namespace {

constexpr uint32_t kDefaultRtsThreshold = 2347;
constexpr uint32_t kDefaultFragThreshold = 2346;
constexpr uint16_t kAcPowerCamMinNdisVersion = 0x0500;
constexpr size_t kCertDataReadSize = 2 * kCertHashMaxLength + 1;

bool IsLoadableAuthMode(int32_t mode) {
  // 11 (CCX) is kept as well: the store, the editor and the builder all use it.
  return (mode >= 0 && mode <= kAuthCckm) || mode == kAuthCcx || mode == kAuthWapiPsk ||
         mode == kAuthWapiCa;
}

uint32_t ChannelFrequencyOrZero(int32_t channel) {
  for (const ChannelFrequency& row : ChannelFrequencyTable) {
    if (static_cast<int64_t>(row.channel) == channel) return row.frequencyKHz;
  }
  return 0;
}

class ProfileReader {
 public:
  ProfileReader(const ProfileStore& store, StoreFileKind kind, std::string section)
      : store_(store), kind_(kind), section_(std::move(section)) {}

  std::string text(std::string_view key, size_t size = kStoreValueBufferSize) const {
    return store_.ReadStoreValue(kind_, section_, key, size);
  }
  // Empty values leave the field as it is.
  template <typename T>
  bool number(std::string_view key, T& field) const {
    std::string value = text(key);
    if (value.empty()) return false;
    field = static_cast<T>(ParseStoreInt(value));
    return true;
  }
  // A text that fits its field, or nothing: a longer value is not cut into a different secret.
  void limitedText(std::string_view key, std::string& field, size_t maxLength) const {
    std::string value = text(key);
    if (!value.empty() && value.size() <= maxLength) field = std::move(value);
  }
  // "<prefix>Len" and "<prefix>Data": the length clamped to the field and to the bytes stored.
  void certHash(std::string_view lengthKey, std::string_view dataKey,
                std::vector<uint8_t>& field) const {
    int32_t length = 0;
    if (!number(lengthKey, length) || length <= 0) return;
    std::string hex = text(dataKey, kCertDataReadSize);
    size_t count = std::min({static_cast<size_t>(length), kCertHashMaxLength, hex.size() / 2});
    field = DecodeHexLenient(hex, count);
  }

  const ProfileStore& store() const { return store_; }
  StoreFileKind kind() const { return kind_; }
  const std::string& section() const { return section_; }

 private:
  const ProfileStore& store_;
  StoreFileKind kind_;
  std::string section_;
};

void LoadEapFields(const ProfileReader& in, StationProfile& record) {
  in.number("AuthenProtocol", record.authenProtocol);
  if (record.authenProtocol == kEapTtls) {
    in.number("TunnelProtocol", record.ttlsInnerMethod);
  } else {
    in.number("TunnelProtocol", record.tunnelProtocol);
  }
  in.number("ProvisioningTunnel", record.provisioningTunnel);
  in.limitedText("ID", record.identity, kIdentityMaxLength);
  in.limitedText("Password", record.password, kIdentityMaxLength);
  in.limitedText("TunnelID", record.tunnelIdentity, kIdentityMaxLength);
  in.limitedText("TunnelPassword", record.tunnelPassword, kIdentityMaxLength);
  in.number("SessionResumption", record.sessionResumption);
  in.number("PasswordMode", record.passwordMode);
  in.number("UseClientCert", record.useClientCert);
  in.number("UseSmartCard", record.useSmartCard);
  if (record.useClientCert != 0) in.certHash("ClientCertLen", "ClientCertData", record.clientCertData);
  in.number("UseServerCert", record.useServerCert);
  if (record.useServerCert != 0) in.certHash("ServerCertLen", "ServerCertData", record.serverCertData);
  in.number("UsePAC", record.usePac);
  in.number("ProvisionMode", record.provisionMode);
  in.limitedText("PACFilePath", record.pacFilePath, kPathMaxLength);
  in.limitedText("ServerName", record.serverName, kServerNameMaxLength);
  in.number("NameRule", record.nameRule);
  in.number("IntermediateCert", record.intermediateCert);
}

void LoadKeys(const ProfileReader& in, StationProfile& record) {
  int32_t mode = record.authMode;
  if (mode == kAuthWpaPsk || mode == kAuthWpaNone || mode == kAuthWpa2Psk || mode == kAuthWapiPsk) {
    std::string psk = in.text("WPAPSK");
    if (!psk.empty()) {
      if (mode == kAuthWpaNone) {
        record.adhocKey = BuildAdhocKeyBlock(psk, NdisSsidText(record.ssid));
      } else if (psk.size() <= kPskMaxLength) {
        record.psk = std::move(psk);
      }
    }
    if (mode == kAuthWapiPsk) in.number("WAPIPSK_KEYTYPE", record.wapiPskKeyType);
    return;
  }
  if (record.leapEnabled != 0) return;
  if (mode != kAuthShared && record.cipherMode != kCipherWep) return;
  int32_t transmitKey = 0;
  in.number("WEPKeyUse", transmitKey);
  for (int n = 1; n <= 4; ++n) {
    std::string text = in.text("WEPKey" + std::to_string(n));
    record.wepKeys[static_cast<size_t>(n - 1)] = BuildWepKeyBlock(n, text, transmitKey);
  }
}

}  // namespace

void LoadActiveProfile(const ProfileStore& store, const ActiveProfileContext& context,
                       StationProfile& record) {
  bool fromActive = context.isAdmin || context.allowStandardUserSetProfile;
  ProfileReader in(store, fromActive ? StoreFileKind::Station : StoreFileKind::Profiles,
                   fromActive ? std::string(kActiveSection) : context.selectedProfileName);
  StoreFileKind blobKind = fromActive ? StoreFileKind::StationBlob : StoreFileKind::ProfilesBlob;

  record.ssid = NDIS_802_11_SSID{};
  if (std::string ssid = in.text(kSsidKey); !ssid.empty()) record.ssid = MakeNdisSsid(UpToNul(ssid));

  if (in.number("NetworkType", record.networkType) && record.networkType == 0 &&
      context.rememberAdhocBssid) {
    context.rememberAdhocBssid();
  }
  if (in.number("PreambleType", record.preambleType) && record.preambleType == 1) {
    record.preambleType = 2;
  }

  record.rtsThreshold = kDefaultRtsThreshold;
  int32_t use = 0;
  if (in.number("UseRts", use) && use != 0) in.number("RtsThresh", record.rtsThreshold);
  record.fragThreshold = kDefaultFragThreshold;
  use = 0;
  if (in.number("UseFrag", use) && use != 0) in.number("FragThresh", record.fragThreshold);

  if (in.number(kAuthModeKey, record.authMode) && !IsLoadableAuthMode(record.authMode)) {
    record.authMode = kAuthOpen;
  }
  in.number(kCipherModeKey, record.cipherMode);

  int32_t leap = 0;
  if (in.number("LeapEnabled", leap)) record.leapEnabled = static_cast<uint8_t>(leap & 0xFF);
  if (record.leapEnabled != 0) record.leapCckm = static_cast<uint8_t>((record.ccx2Control >> 1) & 1);
  in.limitedText("LeapUserName", record.leapUserName, kLeapTextMaxLength);
  record.leapUserNameLength = 255;
  in.limitedText("LeapPassword", record.leapPassword, kLeapTextMaxLength);

  in.number("Use8021X", record.use8021X);
  if (record.leapEnabled != 0) record.use8021X = 0;

  if (context.wpaReady && (record.authMode == kAuthWpa || record.use8021X != 0)) {
    LoadEapFields(in, record);
  }

  // From the same section as the rest: a standard user's own profile names its own certificates,
  // not whatever the active configuration last held.
  if (record.authMode == kAuthWapiCa) {
    in.limitedText("UserCertPath", record.userCertPath, kPathMaxLength);
    in.limitedText("ASCertPath", record.asCertPath, kPathMaxLength);
  }

  LoadKeys(in, record);
  in.number("TXPower", record.txPowerLevel);

  if (record.networkType != 0) {
    int32_t psMode = 0;
    if (in.number("ProfilePSMode", psMode) && psMode > 0) record.powerSave = 1;
    if (context.ndisVersion > kAcPowerCamMinNdisVersion) in.number("ACPowerCam", record.acPowerCam);
    if (auto blob = store.ReadEapBlob(in.kind(), blobKind, in.section())) {
      record.eapBlob = std::move(*blob);
    } else {
      record.eapBlob.clear();
    }
    in.number("SSOInfoInProf", record.ssoFlags);
    record.useDiagnostic = 0;
    in.number("UseDiagnostic", record.useDiagnostic);
    if (record.useDiagnostic != 0) {
      if (std::string ssid = in.text(kDiagnosticSsidKey); !ssid.empty()) {
        record.diagnosticSsid = MakeNdisSsid(ssid);
      }
    }
  } else {
    int32_t channel = 0;
    if (in.number("Channel", channel)) record.channelFrequency = ChannelFrequencyOrZero(channel);
  }
  record.loaded = 1;
}

}  // namespace ov
