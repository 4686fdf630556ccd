#include "profilepages/profile_editor_rules.h"

#include <algorithm>
#include <cstdio>

#include "driver/params/adapter_params.h"

namespace ov {
namespace {

std::string Num(long long value) { return std::to_string(value); }

int ReadNumber(const std::function<std::string(std::string_view)>& read, std::string_view key) {
  return ParseDecimal(read(key));
}

std::string HexBytes(const std::vector<uint8_t>& bytes) {
  std::string out;
  char two[3];
  for (uint8_t b : bytes) {
    std::snprintf(two, sizeof two, "%02x", b);
    out += two;
  }
  return out;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Whole hexadecimal bytes from the front of `text`, at most `limit`; stops at the first pair
// that is not hexadecimal.
std::vector<uint8_t> DecodeHexBytes(std::string_view text, size_t limit) {
  std::vector<uint8_t> out;
  for (size_t i = 0; i + 1 < text.size() && out.size() < limit; i += 2) {
    const int high = HexDigit(text[i]);
    const int low = HexDigit(text[i + 1]);
    if (high < 0 || low < 0) break;
    out.push_back(static_cast<uint8_t>(high * 16 + low));
  }
  return out;
}

std::string Trim(const std::string& text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  const auto last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

bool IsWepWithStaticKeys(const AuthEncryState& s, uint32_t eapMethod) {
  const bool staticKeys = !s.use8021X || eapMethod == kEapMethodMd5;
  return staticKeys && (s.auth == AuthChoice::Shared ||
                        (s.auth == AuthChoice::Open && s.cipher == CipherChoice::Wep));
}

}  // namespace

std::optional<EditorRefusal> FirstEditorRefusal(const EditorFields& f,
                                                const EditorCheckContext& context) {
  const bool wapiCa = f.security.auth == AuthChoice::WapiCa;
  if (f.sys.profileName.empty()) return EditorRefusal{IDS_INPUTPROFILENAME, EditorTarget::SysConfigTab};
  if (wapiCa && f.wapi.userCertPath.empty())
    return EditorRefusal{IDS_NO_USER_CERT, EditorTarget::WapiUserCert};
  if (wapiCa && f.wapi.asCertPath.empty())
    return EditorRefusal{IDS_NO_AS_CERT, EditorTarget::WapiAsCert};
  if (f.sys.ssid.empty()) return EditorRefusal{IDS_ADHOCINPUTSSID, EditorTarget::SysConfigTab};
  const bool newName = context.isNewProfile || f.sys.profileName != context.originalName;
  if (newName && context.nameExists && context.nameExists(f.sys.profileName))
    return EditorRefusal{IDS_DUPLIPROF, EditorTarget::SysConfigTab};
  if (wapiCa && context.checkUserCert && !context.checkUserCert(f.wapi.userCertPath))
    return EditorRefusal{IDS_ILLEGAL_USER_CERT, EditorTarget::WapiUserCert};
  if (wapiCa && context.checkAsCert && !context.checkAsCert(f.wapi.asCertPath))
    return EditorRefusal{IDS_ILLEGAL_AS_CERT, EditorTarget::WapiAsCert};
  // Only an ad hoc profile uses its channel; an infrastructure one follows the access point.
  if (f.sys.networkType == 0 && f.sys.channel.empty())
    return EditorRefusal{IDS_SYSCONFIG_NO_CHANN_4_ADHOC, EditorTarget::AdvancedPage};
  return std::nullopt;
}

bool IsAdhocSecurityRejected(int networkType, AuthChoice auth, CipherChoice cipher) {
  if (networkType != 0) return false;
  if (auth == AuthChoice::Open) return cipher != CipherChoice::None && cipher != CipherChoice::Wep;
  if (auth == AuthChoice::Wpa2Psk) return cipher != CipherChoice::Aes;
  return true;
}

bool Uses8021XTab(const EditorFields& f) {
  const AuthChoice a = f.security.auth;
  if ((a == AuthChoice::Open || a == AuthChoice::Shared) && f.security.use8021X) return true;
  return f.sys.networkType != 0 && UsesEnterpriseAuthentication(a);
}

bool NeedsEapSetup(const EditorFields& f) {
  return Uses8021XTab(f) && f.eap.authenProtocol == kEapFast;
}

bool TrimLeapCredentials(AuthEncryState& s) {
  s.leapUserName = Trim(s.leapUserName);
  s.leapPassword = Trim(s.leapPassword);
  s.leapDomainName = Trim(s.leapDomainName);
  return !s.leapUserName.empty() && !s.leapPassword.empty();
}

std::string StoredWepKeyText(const std::string& key, bool hex) {
  if (hex || key.empty()) return key;
  std::vector<uint8_t> codes(key.begin(), key.end());
  if (codes.size() > kWepAsciiKeyMaxLength) codes.resize(kWepAsciiKeyMaxLength);
  return HexBytes(codes);
}

std::string LoadedWepKeyText(const std::string& stored, bool hex) {
  if (hex) return stored;
  if ((stored.size() != 10 && stored.size() != 26) || !IsHexText(stored)) return {};
  const std::vector<uint8_t> codes = DecodeHexBytes(stored, kWepAsciiKeyMaxLength);
  return std::string(codes.begin(), codes.end());
}

std::optional<std::vector<uint8_t>> WepKeyBytes(const std::string& key, bool hex) {
  if (key.empty()) return std::nullopt;
  if (hex) return DecodeHexBytes(key, kWepHexKeyMaxLength / 2);
  return std::vector<uint8_t>(key.begin(), key.end());
}

StoreValues SaveProfileValues(const EditorFields& f, bool wpaReady) {
  const SysConfigFields& sys = f.sys;
  const AuthEncryState& sec = f.security;
  StoreValues v;
  auto put = [&v](std::string_view key, std::string value) {
    v.emplace_back(std::string(key), std::move(value));
  };
  put("SSID", sys.ssid);
  put("Channel", sys.channel);
  put("NetworkType", Num(sys.networkType));
  put("PreambleType", Num(StoredPreamble(sys.preamble)));
  put("ACPowerCam", Num(sys.acPowerCam));
  put("ProfilePSMode", Num(sys.psMode));
  put("TXPower", Num(sys.txPower));
  put("UseRts", Num(sys.useRts ? 1 : 0));
  put("RtsThresh", Num(sys.useRts ? ClampRtsThreshold(sys.rtsThreshold) : kRtsMax));
  put("UseFrag", Num(sys.useFrag ? 1 : 0));
  put("FragThresh", Num(sys.useFrag ? ClampFragThreshold(sys.fragThreshold) : kFragMax));
  put("SSOInfoInProf", Num(f.eap.ssoFlags & (kSsoEnabled | kSsoMachineOrUser | kSsoAfterLogon)));
  put("UseDiagnostic", Num(sys.useDiagnostic ? 1 : 0));
  if (sys.useDiagnostic) put("DiagnosticSSID", sys.diagnosticSsid);

  const bool rejected = IsAdhocSecurityRejected(sys.networkType, sec.auth, sec.cipher);
  put("AuthMode", Num(rejected ? kAuthOpen : StoredAuthMode(sec.auth)));
  put("CipherMode", Num(rejected ? kCipherNone : StoredCipherMode(sec.cipher)));

  const bool leap = sec.auth == AuthChoice::Leap && sys.networkType != 0;
  const int choice = static_cast<int>(sec.auth);
  const bool pskChoice = choice >= static_cast<int>(AuthChoice::Wpa) &&
                         choice <= static_cast<int>(AuthChoice::WapiPsk);
  put("LeapEnabled", Num(leap ? 1 : 0));
  put("LeapUserName", leap ? sec.leapUserName : "");
  put("LeapPassword", leap ? sec.leapPassword : "");
  put("LeapDomainName", leap ? sec.leapDomainName : "");
  put("LeapEncryType", Num(leap ? sec.leapEncryption : 0));
  put("WPAPSK", pskChoice ? sec.psk : "");
  put("WAPIPSK_KEYTYPE", Num(pskChoice ? sec.wapiKeyHex : 0));
  put("WEPKeyUse", Num(sec.keyIndex + 1));
  for (int k = 0; k < 4; ++k) put("WEPKey" + Num(k + 1) + "Type", Num(sec.keyHex[k]));
  for (int k = 0; k < 4; ++k)
    put("WEPKey" + Num(k + 1), StoredWepKeyText(sec.keys[k], sec.keyHex[k] != 0));

  const EapFields eap = wpaReady && Uses8021XTab(f) ? f.eap : EapFields{};
  put("Use8021X", Num(sec.use8021X ? 1 : 0));
  put("AuthenProtocol", Num(eap.authenProtocol));
  put("TunnelProtocol",
      Num(eap.authenProtocol == kEapTtls ? eap.ttlsInnerMethod : eap.tunnelProtocol));
  put("ProvisioningTunnel", Num(eap.provisioningTunnel));
  put("ID", eap.identity);
  put("Password", eap.password);
  put("DomainName", eap.domainName);
  put("TunnelID", eap.tunnelId);
  put("TunnelPassword", eap.tunnelPassword);
  put("SessionResumption", Num(eap.sessionResumption));
  put("PasswordMode", Num(eap.passwordMode));
  put("UseClientCert", Num(eap.useClientCert));
  put("UseSmartCard", Num(eap.useSmartCard));
  put("UseServerCert", Num(eap.useServerCert));
  put("UsePAC", Num(eap.usePac));
  put("ProvisionMode", Num(eap.provisionMode));
  put("PACFilePath", eap.pacFilePath);
  put("ClientCertLen", Num(static_cast<long long>(eap.clientCert.size())));
  put("ClientCertData", HexBytes(eap.clientCert));
  put("ServerCertLen", Num(static_cast<long long>(eap.serverCert.size())));
  put("ServerCertData", HexBytes(eap.serverCert));
  put("ServerName", eap.serverName);
  put("NameRule", Num(eap.nameRule));
  put("IntermediateCert", Num(eap.intermediateCert));
  const bool wapiCa = sec.auth == AuthChoice::WapiCa && sys.networkType != 0;
  put("UserCertPath", wapiCa ? f.wapi.userCertPath : "");
  put("ASCertPath", wapiCa ? f.wapi.asCertPath : "");
  return v;
}

EditorFields LoadProfileFields(const std::function<std::string(std::string_view)>& read) {
  EditorFields f;
  SysConfigFields& sys = f.sys;
  AuthEncryState& sec = f.security;
  sec = ResetAuthEncry(true);

  sys.ssid = read("SSID");
  sys.networkType = ReadNumber(read, "NetworkType") != 0 ? 1 : 0;
  sec.infrastructure = sys.networkType != 0;
  sys.channel = Num(ReadNumber(read, "Channel"));
  sys.psMode = std::clamp(ReadNumber(read, "ProfilePSMode"), 0, 1);
  sys.preamble = PagePreamble(ReadNumber(read, "PreambleType"));
  sys.acPowerCam = ReadNumber(read, "ACPowerCam");
  sys.txPower = std::clamp(ReadNumber(read, "TXPower"), 0, kTxPowerCount - 1);
  sys.useRts = ReadNumber(read, "UseRts") != 0;
  sys.rtsThreshold = sys.useRts ? ClampRtsThreshold(ReadNumber(read, "RtsThresh")) : kRtsMax;
  sys.useFrag = ReadNumber(read, "UseFrag") != 0;
  sys.fragThreshold = sys.useFrag ? ClampFragThreshold(ReadNumber(read, "FragThresh")) : kFragMax;
  f.eap.ssoFlags = static_cast<uint32_t>(ReadNumber(read, "SSOInfoInProf")) & 7u;
  sys.useDiagnostic = ReadNumber(read, "UseDiagnostic") != 0;
  if (sys.useDiagnostic) sys.diagnosticSsid = read("DiagnosticSSID");

  sec.auth = AuthChoiceFromStored(ReadNumber(read, "AuthMode")).value_or(AuthChoice::Open);
  const int cipherMode = ReadNumber(read, "CipherMode");
  if (ReadNumber(read, "LeapEnabled") == 1) {
    sec.auth = AuthChoice::Leap;
    sec.leap = true;
    sec.leapEncryption = cipherMode == kCipherTkip ? 1 : cipherMode == kCipherAes ? 2 : 0;
    if (!read("LeapEncryType").empty())
      sec.leapEncryption = std::clamp(ReadNumber(read, "LeapEncryType"), 0, 2);
    sec.use8021X = false;
    sec.leapUserName = read("LeapUserName");
    sec.leapPassword = read("LeapPassword");
    sec.leapDomainName = read("LeapDomainName");
  } else {
    sec.use8021X = ReadNumber(read, "Use8021X") != 0;
  }
  // A LEAP profile keeps its cipher code too, so the next save writes back what it read.
  if (auto cipher = CipherChoiceFromStored(cipherMode)) sec.cipher = *cipher;

  // "WEPKeyUse" is stored as the key number (SaveProfile writes the index plus 1).
  sec.keyIndex = std::clamp(ReadNumber(read, "WEPKeyUse") - 1, 0, 3);
  for (int k = 0; k < 4; ++k) {
    const std::string n = Num(k + 1);
    sec.keyHex[k] = ReadNumber(read, "WEPKey" + n + "Type") != 0 ? 1 : 0;
    sec.keys[k] = LoadedWepKeyText(read("WEPKey" + n), sec.keyHex[k] != 0);
  }
  sec.wapiKeyHex = ReadNumber(read, "WAPIPSK_KEYTYPE") != 0 ? 1 : 0;
  sec.psk = read("WPAPSK");

  EapFields& eap = f.eap;
  auto number = [&read](std::string_view key) {
    return static_cast<uint32_t>(std::max(0, ReadNumber(read, key)));
  };
  eap.authenProtocol = number("AuthenProtocol");
  if (eap.authenProtocol == kEapTtls) eap.ttlsInnerMethod = number("TunnelProtocol");
  else eap.tunnelProtocol = number("TunnelProtocol");
  eap.provisioningTunnel = number("ProvisioningTunnel");
  eap.identity = read("ID");
  eap.password = read("Password");
  eap.domainName = read("DomainName");
  eap.tunnelId = read("TunnelID");
  eap.tunnelPassword = read("TunnelPassword");
  eap.sessionResumption = number("SessionResumption");
  eap.passwordMode = number("PasswordMode");
  eap.useClientCert = number("UseClientCert");
  eap.useSmartCard = number("UseSmartCard");
  eap.useServerCert = number("UseServerCert");
  eap.usePac = number("UsePAC");
  eap.provisionMode = number("ProvisionMode");
  eap.pacFilePath = read("PACFilePath");
  eap.clientCert = DecodeHexBytes(
      read("ClientCertData"), std::min<size_t>(number("ClientCertLen"), kCertHashMaxLength));
  eap.serverCert = DecodeHexBytes(
      read("ServerCertData"), std::min<size_t>(number("ServerCertLen"), kCertHashMaxLength));
  eap.serverName = read("ServerName");
  eap.nameRule = number("NameRule");
  eap.intermediateCert = number("IntermediateCert");
  f.wapi.userCertPath = read("UserCertPath");
  f.wapi.asCertPath = read("ASCertPath");
  return f;
}

void FillConnectionSecurity(const EditorFields& f, bool wpaReady, StationProfile& r) {
  const AuthEncryState& sec = f.security;
  r.authMode = StoredAuthMode(sec.auth);
  r.cipherMode = StoredCipherMode(sec.cipher);
  r.use8021X = sec.use8021X ? 1 : 0;
  if (sec.auth == AuthChoice::Leap) {
    r.leapEnabled = 1;
    r.leapUserName = sec.leapUserName;
    r.leapUserNameLength = static_cast<uint32_t>(sec.leapUserName.size());
    r.leapPassword = sec.leapPassword;
    r.leapDomainName = sec.leapDomainName;
  }
  const int choice = static_cast<int>(sec.auth);
  if (choice >= static_cast<int>(AuthChoice::Wpa) && choice <= static_cast<int>(AuthChoice::WapiPsk)) {
    r.psk = sec.psk;
    r.wapiPskKeyType = static_cast<uint32_t>(sec.wapiKeyHex);
  }
  if (IsWepWithStaticKeys(sec, f.eap.authenProtocol)) {
    for (int k = 0; k < 4; ++k) {
      auto bytes = WepKeyBytes(sec.keys[k], sec.keyHex[k] != 0);
      if (!bytes) continue;
      KeyBlock key;
      key.keyIndex = static_cast<uint32_t>(k) | (k == sec.keyIndex ? kTransmitKeyBit : 0u);
      key.material = std::move(*bytes);
      r.wepKeys[static_cast<size_t>(k)] = std::move(key);
    }
  }
  if (wpaReady && Uses8021XTab(f)) {
    const EapFields& eap = f.eap;
    r.authenProtocol = eap.authenProtocol;
    r.tunnelProtocol = eap.tunnelProtocol;
    r.ttlsInnerMethod = eap.ttlsInnerMethod;
    r.provisioningTunnel = eap.provisioningTunnel;
    r.identity = eap.identity;
    r.password = eap.password;
    r.tunnelIdentity = eap.tunnelId;
    r.tunnelPassword = eap.tunnelPassword;
    r.sessionResumption = eap.sessionResumption;
    r.passwordMode = eap.passwordMode;
    r.useClientCert = eap.useClientCert;
    r.useSmartCard = eap.useSmartCard;
    r.useServerCert = eap.useServerCert;
    r.usePac = eap.usePac;
    r.provisionMode = eap.provisionMode;
    r.pacFilePath = eap.pacFilePath;
    r.clientCertData = eap.clientCert;
    r.serverCertData = eap.serverCert;
    r.serverName = eap.serverName;
    r.nameRule = eap.nameRule;
    r.intermediateCert = eap.intermediateCert;
  }
  if (sec.auth == AuthChoice::WapiCa) {
    r.userCertPath = f.wapi.userCertPath;
    r.asCertPath = f.wapi.asCertPath;
  }
}

}  // namespace ov
