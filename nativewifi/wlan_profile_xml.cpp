#include "nativewifi/wlan_profile_xml.h"

#include <algorithm>
#include <optional>
#include <string_view>

#include "driver/oid/bssid_list.h"
#include "driver/params/registry_writer.h"
#include "nativewifi/eap_fast_blob.h"
#include "nativewifi/wlan_namespaces.h"
#include "nativewifi/xml_text.h"
#include "platform/registry/registry.h"
#include "platform/system/hex_text.h"

namespace ov {

namespace {

// ---- small text helpers ----

std::string HexBytes(std::span<const uint8_t> bytes, bool upper) {
  return HexEncode(bytes, upper ? HexCase::Upper : HexCase::Lower);
}

std::string_view Bytes(const NDIS_802_11_SSID& ssid) { return NdisSsidText(ssid); }

// xmlns="uri" or xmlns:prefix="uri".
std::string Ns(std::string_view prefix, const char* uri) {
  std::string out = prefix.empty() ? "xmlns" : "xmlns:" + std::string(prefix);
  return out + "=\"" + uri + "\"";
}

// A start tag with its declarations separated by single spaces.
std::string StartTag(std::string_view tag, const std::vector<std::string>& declarations) {
  std::string out = "<" + std::string(tag);
  for (const std::string& d : declarations) out += " " + d;
  return out + ">";
}

// The element rule of the skeleton and the security settings: an element with empty content is
// left out altogether.
std::string Element(std::string_view tag, std::string_view content, std::string_view attributes = {}) {
  if (content.empty()) return {};
  std::string out = "<" + std::string(tag);
  if (!attributes.empty()) out += " " + std::string(attributes);
  out += ">";
  out += content;
  out += "</" + std::string(tag) + ">";
  return out;
}

// ---- values computed from the record ----

std::string Authentication(const StationProfile& r) {
  switch (r.authMode) {
    case kAuthShared: return "shared";
    case kAuthWpa: return "WPA";
    case kAuthWpaPsk:
    case kAuthWpaNone: return "WPAPSK";
    case kAuthWpa2: return "WPA2";
    case kAuthWpa2Psk: return "WPA2PSK";
    case kAuthCckm:
      return r.cipherMode == kCipherTkip ? "WPA" : r.cipherMode == kCipherAes ? "WPA2" : "open";
    case kAuthCcx: return "WPA";
    default: return "open";  // 0, 2, 8, 9, WAPI and anything else
  }
}

std::string Encryption(const StationProfile& r) {
  int32_t c = r.cipherMode;
  switch (r.authMode) {
    case kAuthOpen:
    case kAuthShared:
      return c == kCipherWep ? "WEP" : c == kCipherTkip ? "TKIP" : c == kCipherAes ? "AES" : "none";
    case kAuthWpa:
    case kAuthWpa2:
    case kAuthCckm:
      if (c == kCipherWep) return "WEP";
      if (c == kCipherTkip || c == kCipherTkipMfp) return "TKIP";
      if (c == kCipherAes || c == kCipherAesMfp) return "AES";
      return "none";
    case kAuthWpaPsk:
    case kAuthWpaNone:
    case kAuthWpa2Psk:
      return c == kCipherTkip ? "TKIP" : c == kCipherAes ? "AES" : "none";
    case kAuthCcx: return "TKIP";
    default: return "none";
  }
}

// The security settings without 802.1X: key type, protection, key material and index.
struct SharedKey {
  std::string keyType, protectedFlag, keyMaterial, keyIndex;
  std::string wapiPsk;  // the pre-shared key set aside for the WAPI parameters
};

SharedKey ComputeSharedKey(const StationProfile& r, const std::string& encryption) {
  SharedKey k;
  if (encryption == "WEP") {
    k.keyType = "networkKey";
    k.protectedFlag = "false";
    for (size_t i = 0; i < r.wepKeys.size(); ++i) {
      const auto& key = r.wepKeys[i];
      if (key && key->isTransmitKey()) {
        k.keyIndex = std::to_string(i);
        k.keyMaterial = HexBytes(key->material, /*upper=*/true);
        break;
      }
    }
  } else if (encryption == "TKIP" || encryption == "AES") {
    k.keyType = r.psk.size() == kPskMaxLength ? "networkKey" : "passPhrase";
    k.protectedFlag = "false";
    k.keyMaterial = EscapeXmlText(r.psk, kEscapedPskMaxBytes);
    // An ad hoc WPA-None record carries its key only as the pairwise master key; written as the
    // 64-digit network key the document is complete and the service can use it.
    if (k.keyMaterial.empty() && r.authMode == kAuthWpaNone && r.adhocKey &&
        r.adhocKey->material.size() == kPmkLength) {
      k.keyType = "networkKey";
      k.keyMaterial = HexBytes(r.adhocKey->material, /*upper=*/false);
    }
  } else if (r.authMode == kAuthWapiPsk) {
    k.wapiPsk = r.psk;
  }
  return k;
}

// ---- the EAP configurations and user credentials ----

struct EapDocuments {
  std::string eapConfig;        // "<EAPConfig>...</EAPConfig>" or empty
  std::string userCredentials;  // whole document or empty
};

struct EapValues {
  std::string server, caHash, identity, password, innerId, innerPassword, userCert;
};

EapValues ComputeEapValues(const StationProfile& r) {
  EapValues v;
  v.server = EscapeXmlText(r.serverName, kEscapedCredentialMaxBytes);
  v.caHash = HexBytes(r.serverCertData, false);
  v.identity = EscapeXmlText(r.identity, kEscapedCredentialMaxBytes);
  v.password = EscapeXmlText(r.password, kEscapedCredentialMaxBytes);
  v.innerId = EscapeXmlText(r.tunnelIdentity, kEscapedCredentialMaxBytes);
  v.innerPassword = EscapeXmlText(r.tunnelPassword, kEscapedCredentialMaxBytes);
  v.userCert = HexBytes(r.clientCertData, false);
  return v;
}

std::string CommonNsElement(std::string_view tag, std::string_view value) {
  return "<" + std::string(tag) + " " + Ns("", wlan_ns::kEapCommon) + ">" + std::string(value) +
         "</" + std::string(tag) + ">";
}

// EapMethod with Type, VendorId, VendorType and AuthorId each in the EAP common namespace.
std::string EapMethodBlock(std::string_view type, std::string_view author) {
  return "<EapMethod>" + CommonNsElement("Type", type) + CommonNsElement("VendorId", "0") +
         CommonNsElement("VendorType", "0") + CommonNsElement("AuthorId", author) + "</EapMethod>";
}

std::string TlsCredentialsSource(const StationProfile& r) {
  std::string out = "<eapTls:CredentialsSource>";
  out += r.useSmartCard == 1 ? "<eapTls:SmartCard></eapTls:SmartCard>"
                             : "<eapTls:CertificateStore><eapTls:SimpleCertSelection>false"
                               "</eapTls:SimpleCertSelection></eapTls:CertificateStore>";
  return out + "</eapTls:CredentialsSource>";
}

std::string PeapServerValidation(const StationProfile& r, const EapValues& v) {
  if (r.useServerCert != 1) return {};
  return "<msPeap:ServerValidation><msPeap:DisableUserPromptForServerValidation>true"
         "</msPeap:DisableUserPromptForServerValidation><msPeap:ServerNames>" +
         v.server + "</msPeap:ServerNames><msPeap:TrustedRootCA>" + v.caHash +
         "</msPeap:TrustedRootCA></msPeap:ServerValidation>";
}

std::string PeapConfig(const StationProfile& r, const EapValues& v, bool tlsInner) {
  std::string out = "<EAPConfig>";
  if (tlsInner) {
    out += StartTag("EapHostConfig",
                    {Ns("", wlan_ns::kEapHostConfig), Ns("baseEap", wlan_ns::kBaseEapConnection),
                     Ns("msPeap", wlan_ns::kPeapConnection), Ns("eapTls", wlan_ns::kTlsConnection),
                     Ns("msChapV2", wlan_ns::kMsChapV2Connection),
                     Ns("msChapV3", wlan_ns::kMsChapV3Connection)});
  } else {
    out += StartTag("EapHostConfig",
                    {Ns("", wlan_ns::kEapHostConfig), Ns("baseEap", wlan_ns::kBaseEapConnection),
                     Ns("msPeap", wlan_ns::kPeapConnection),
                     Ns("msChapV2", wlan_ns::kMsChapV2Connection),
                     Ns("msChapV3", wlan_ns::kMsChapV3Connection)});
  }
  out += EapMethodBlock("25", "0");
  out += "<Config><baseEap:Eap><baseEap:Type>25</baseEap:Type><msPeap:EapType>";
  out += PeapServerValidation(r, v);
  out += r.sessionResumption == 1 ? "<msPeap:FastReconnect>true</msPeap:FastReconnect>"
                                  : "<msPeap:FastReconnect>false</msPeap:FastReconnect>";
  out += "<msPeap:InnerEapOptional>0</msPeap:InnerEapOptional>";
  if (tlsInner) {
    out += "<baseEap:Eap><baseEap:Type>13</baseEap:Type><eapTls:EapType>" +
           TlsCredentialsSource(r) +
           "<eapTls:DifferentUsername>false</eapTls:DifferentUsername></eapTls:EapType>"
           "</baseEap:Eap>";
  } else {
    out += "<baseEap:Eap><baseEap:Type>26</baseEap:Type><msChapV2:EapType>"
           "<msChapV2:UseWinLogonCredentials>false</msChapV2:UseWinLogonCredentials>"
           "</msChapV2:EapType></baseEap:Eap>";
  }
  out += "</msPeap:EapType></baseEap:Eap></Config></EapHostConfig></EAPConfig>";
  return out;
}

std::string UserCredentialsHead(std::string_view type) {
  return "<?xml version=\"1.0\"?>" +
         StartTag("EapHostUserCredentials",
                  {Ns("", wlan_ns::kEapHostUserCredentials), Ns("eapCommon", wlan_ns::kEapCommon),
                   Ns("baseEap", wlan_ns::kBaseEapMethodUserCredentials)}) +
         "<EapMethod><eapCommon:Type>" + std::string(type) +
         "</eapCommon:Type><eapCommon:AuthorId>0</eapCommon:AuthorId></EapMethod>";
}

std::string TlsUserCredentialsBody(const EapValues& v) {
  return "<baseEap:Eap><baseEap:Type>13</baseEap:Type><eapTls:EapType><eapTls:Username>" +
         v.innerId + "</eapTls:Username><eapTls:UserCert>" + v.userCert +
         "</eapTls:UserCert></eapTls:EapType></baseEap:Eap>";
}

std::string PeapUserCredentials(const EapValues& v, bool tlsInner) {
  std::string out = UserCredentialsHead("25");
  std::vector<std::string> decls = {
      Ns("eapUser", wlan_ns::kEapUserProperties), Ns("xsi", wlan_ns::kXsi),
      Ns("baseEap", wlan_ns::kBaseEapUserProperties), Ns("MsPeap", wlan_ns::kPeapUserProperties),
      Ns("MsChapV2", wlan_ns::kMsChapV2UserProperties)};
  if (tlsInner) decls.push_back(Ns("eapTls", wlan_ns::kTlsUserProperties));
  out += StartTag("Credentials", decls);
  out += "<baseEap:Eap><baseEap:Type>25</baseEap:Type><MsPeap:EapType><MsPeap:RoutingIdentity>" +
         v.identity + "</MsPeap:RoutingIdentity>";
  if (tlsInner) {
    out += TlsUserCredentialsBody(v);
  } else {
    out += "<baseEap:Eap><baseEap:Type>26</baseEap:Type><MsChapV2:EapType><MsChapV2:Username>" +
           v.innerId + "</MsChapV2:Username><MsChapV2:Password>" + v.innerPassword +
           "</MsChapV2:Password><MsChapV2:LogonDomain></MsChapV2:LogonDomain></MsChapV2:EapType>"
           "</baseEap:Eap>";
  }
  out += "</MsPeap:EapType></baseEap:Eap></Credentials></EapHostUserCredentials>";
  return out;
}

std::string PeapGtcConfig(const StationProfile& r, const EapValues& v) {
  std::string out = "<EAPConfig>" + StartTag("EapHostConfig", {Ns("", wlan_ns::kEapHostConfig)});
  out += EapMethodBlock("25", "9");
  out += StartTag("Config", {Ns("", wlan_ns::kEapHostConfig)}) +
         StartTag("eapPeap", {Ns("", wlan_ns::kCcx)});
  if (r.useServerCert == 1) {
    out += "<validateServerCertificate><serverNameValidationRules><matchSubject match=\"exactly\">" +
           v.server + "</matchSubject><matchSubjectAlternativeName match=\"exactly\">" + v.server +
           "</matchSubjectAlternativeName></serverNameValidationRules><validateChainWithSpecificCa>"
           "<certificateId reference=\"false\">" +
           v.caHash +
           "</certificateId></validateChainWithSpecificCa><userValidatesUntrustedServerCertificate>"
           "false</userValidatesUntrustedServerCertificate></validateServerCertificate>";
  } else {
    out += "<doNotValidateServerCertificate />";
  }
  out += "<unprotectedIdentityPattern encryptContent=\"false\">anonymous</unprotectedIdentityPattern>";
  out += r.sessionResumption == 1 ? "<enableFastReconnect><alwaysAttempt/></enableFastReconnect>"
                                  : "<disableFastReconnect/>";
  out += "<authMethods><builtinMethods>";
  switch (r.passwordMode) {
    case 0:
      out += "<authenticateWithToken><tokenSource><passwordFromOtherToken /></tokenSource>"
             "<methods><eapGtc /> </methods></authenticateWithToken>";
      break;
    case 1:
      out += "<authenticateWithPassword><protectedIdentityPattern encryptContent=\"false\">" +
             v.innerId +
             "</protectedIdentityPattern><passwordSource><passwordFromProfile encryptContent=\"false\">" +
             v.innerPassword +
             "</passwordFromProfile></passwordSource><methods><eapGtc/></methods>"
             "</authenticateWithPassword>";
      break;
    case 2:
      out += "<authenticateWithPassword><passwordSource><passwordFromLogon /></passwordSource>"
             "<methods><eapGtc /> </methods></authenticateWithPassword>";
      break;
    case 3:
      out += "<authenticateWithPassword><passwordSource><passwordFromUser /></passwordSource>"
             "<methods><eapGtc /> </methods></authenticateWithPassword>";
      break;
    default:
      break;
  }
  out += "</builtinMethods></authMethods></eapPeap></Config></EapHostConfig></EAPConfig>";
  return out;
}

std::string TlsConfig(const StationProfile& r, const EapValues& v) {
  std::string out = "<EAPConfig>" +
                    StartTag("EapHostConfig", {Ns("", wlan_ns::kEapHostConfig),
                                               Ns("eapCommon", wlan_ns::kEapCommon),
                                               Ns("baseEap", wlan_ns::kBaseEapMethodConfig)});
  out += "<EapMethod><eapCommon:Type>13</eapCommon:Type><eapCommon:AuthorId>0</eapCommon:AuthorId>"
         "</EapMethod>";
  out += StartTag("Config", {Ns("baseEap", wlan_ns::kBaseEapConnection),
                             Ns("eapTls", wlan_ns::kTlsConnection)});
  out += "<baseEap:Eap><baseEap:Type>13</baseEap:Type><eapTls:EapType>" + TlsCredentialsSource(r);
  if (r.useServerCert == 1) {
    out += "<eapTls:ServerValidation> <eapTls:DisableUserPromptForServerValidation>true"
           "</eapTls:DisableUserPromptForServerValidation><eapTls:ServerNames>" +
           v.server + "</eapTls:ServerNames><eapTls:TrustedRootCA>" + v.caHash +
           "</eapTls:TrustedRootCA></eapTls:ServerValidation>";
  }
  out += "<eapTls:DifferentUsername>false</eapTls:DifferentUsername></eapTls:EapType>"
         "</baseEap:Eap></Config></EapHostConfig></EAPConfig>";
  return out;
}

std::string TlsUserCredentials(const EapValues& v) {
  return UserCredentialsHead("13") +
         StartTag("Credentials", {Ns("eapUser", wlan_ns::kEapUserProperties), Ns("xsi", wlan_ns::kXsi),
                                  Ns("baseEap", wlan_ns::kBaseEapUserProperties),
                                  Ns("eapTls", wlan_ns::kTlsUserProperties)}) +
         TlsUserCredentialsBody(v) + "</Credentials></EapHostUserCredentials>";
}

std::string LeapConfig(const StationProfile& r, const EapValues& v) {
  std::string out = "<EAPConfig>" + StartTag("EapHostConfig", {Ns("", wlan_ns::kEapHostConfig)});
  out += EapMethodBlock("17", "9");
  out += StartTag("Config", {Ns("", wlan_ns::kEapHostConfig)}) +
         StartTag("eapLeap", {Ns("", wlan_ns::kCcx)});
  switch (r.passwordMode) {
    case 1:
      out += "<unprotectedIdentityPattern encryptContent=\"false\">" + v.identity +
             "</unprotectedIdentityPattern><passwordSource><passwordFromProfile "
             "encryptContent=\"false\">" +
             v.password + "</passwordFromProfile></passwordSource>";
      break;
    case 2: out += "<passwordSource><passwordFromLogon /></passwordSource>"; break;
    case 3: out += "<passwordSource><passwordFromUser /></passwordSource>"; break;
    default: break;
  }
  out += "</eapLeap></Config></EapHostConfig></EAPConfig>";
  return out;
}

std::string EapFastConfig(const StationProfile& r) {
  auto xml = EapFastBlobToXml(r.eapBlob);
  if (!xml) return {};
  std::string out = "<EAPConfig>" + *xml + "</EAPConfig>";
  // Cut, the text would no longer be XML: a configuration past the limit is left out.
  if (out.size() > kEapFastConfigMaxBytes) return {};
  return out;
}

EapDocuments BuildEapDocuments(const StationProfile& r) {
  EapDocuments docs;
  if (r.use8021X != 1) return docs;
  EapValues v = ComputeEapValues(r);
  switch (r.authenProtocol) {
    case kEapPeap:
      if (r.tunnelProtocol == kInnerMsChapV2) {
        docs.eapConfig = PeapConfig(r, v, false);
        docs.userCredentials = PeapUserCredentials(v, false);
      } else if (r.tunnelProtocol == kInnerGtc) {
        docs.eapConfig = PeapGtcConfig(r, v);
      } else if (r.tunnelProtocol == kInnerTls) {
        docs.eapConfig = PeapConfig(r, v, true);
        if (r.useSmartCard != 1) docs.userCredentials = PeapUserCredentials(v, true);
      }
      break;
    case kEapTls:
      docs.eapConfig = TlsConfig(r, v);
      if (r.useSmartCard != 1) docs.userCredentials = TlsUserCredentials(v);
      break;
    case kEapFast: docs.eapConfig = EapFastConfig(r); break;
    case kEapLeap: docs.eapConfig = LeapConfig(r, v); break;
    default: break;
  }
  return docs;
}

// ---- IHV part ----

void WriteWapiRegistry(RegistryWriter* registry, bool certificateForm,
                       const std::vector<uint8_t>& key, const std::vector<uint8_t>& mac,
                       const StationProfile& r) {
  if (registry == nullptr) return;
  auto text = [](std::string_view s) { return std::string(s) + '\0'; };
  auto dword = [](uint32_t v) {
    std::string d(4, '\0');
    for (int i = 0; i < 4; ++i) d[static_cast<size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
    return d;
  };
  auto binary = [](const std::vector<uint8_t>& b) { return std::string(b.begin(), b.end()); };
  std::string cert = std::string(kWapiAuthKeyPath) + "\\Cert";
  registry->CreateKey(HKEY_CLASSES_ROOT, cert);
  auto set = [&](const std::string& path, const char* name, uint32_t type, const std::string& data) {
    registry->SetValue(HKEY_CLASSES_ROOT, path, name, type, data);
  };
  set(cert, "cert_already", REG_SZ, text("1"));
  set(cert, "CertGBWNum", REG_SZ, text("0"));
  set(cert, "CertX509Num", REG_SZ, text(certificateForm ? "1" : "0"));
  set(cert, "WAPI", REG_SZ, text(""));
  set(cert, "CurrentCert", REG_DWORD, dword(0xFFFFFFFFu));
  set(cert, "CurrentCertType", REG_DWORD, dword(3));
  if (!certificateForm) {
    set(cert, "pskvalue", REG_BINARY, binary(key));
    set(cert, "pskmac", REG_BINARY, binary(mac));
    return;
  }
  set(cert, "UserCertPath", REG_SZ, text(r.userCertPath));
  set(cert, "ASCertPath", REG_SZ, text(r.asCertPath));
  std::string x509 = std::string(kWapiAuthKeyPath) + "\\X509Cert0";
  registry->CreateKey(HKEY_CLASSES_ROOT, x509);
  set(x509, "CertState", REG_SZ, text("20"));
  set(x509, "SetPwd", REG_SZ, text("0"));
  set(x509, "value", REG_BINARY, binary(key));
  set(x509, "mac", REG_BINARY, binary(mac));
}

std::vector<uint8_t> Limited(std::vector<uint8_t> bytes, size_t max) {
  if (bytes.size() > max) bytes.resize(max);
  return bytes;
}

std::string WapiParameters(const StationProfile& r, const SharedKey& shared,
                           const WlanProfileEnvironment& env) {
  std::string out;
  if (r.authMode == kAuthWapiPsk) {
    out += "<IHVSecurityParam1>2</IHVSecurityParam1>";
    WapiPskMaterial material;
    std::optional<int> form;
    if (r.wapiPskKeyType == 1) form = 0;
    if (r.wapiPskKeyType == 0) form = 1;
    if (form) {
      out += "<IHVSecurityParam2>" + std::to_string(*form) + "</IHVSecurityParam2>";
      if (env.certificateManager != nullptr) {
        if (auto got = env.certificateManager->InstallPsk(*form, shared.wapiPsk)) {
          material.key = Limited(std::move(got->key), kWapiKeyMaxLength);
          material.mac = Limited(std::move(got->mac), kWapiMacMaxLength);
        }
      }
    }
    WriteWapiRegistry(env.registry, false, material.key, material.mac, r);
    out += "<IHVSecurityParam3>" + HexBytes(material.key, false) + "</IHVSecurityParam3>";
    out += "<IHVSecurityParam4>" + HexBytes(material.mac, false) + "</IHVSecurityParam4>";
  } else {
    out += "<IHVSecurityParam1>1</IHVSecurityParam1><IHVSecurityParam2></IHVSecurityParam2>"
           "<IHVSecurityParam3></IHVSecurityParam3><IHVSecurityParam4></IHVSecurityParam4>";
    WapiCertMaterial material;
    if (env.certificateManager != nullptr) {
      if (auto got = env.certificateManager->InstallCert(r.userCertPath, r.asCertPath)) {
        material.certificate = std::move(got->certificate);
        material.mac = Limited(std::move(got->mac), kWapiMacMaxLength);
      }
    }
    WriteWapiRegistry(env.registry, true, material.certificate, material.mac, r);
  }
  return out;
}

std::string IhvSecurity(const StationProfile& r, const SharedKey& shared,
                        const WlanProfileEnvironment& env) {
  int32_t a = r.authMode;
  int32_t c = r.cipherMode;
  bool wpa2Extension = a == kAuthWpa2 && (c == kCipherTkipMfp || c == kCipherAesMfp || c == kCipherSms4);
  if (a == kAuthCckm || a == kAuthCcx || wpa2Extension) {
    std::string out = "<security>" + StartTag("CCX", {Ns("", wlan_ns::kCcx)});
    if (a == kAuthCckm) {
      out += "<authenticatingNetwork><cckm><encryption>";
      out += c == kCipherTkip ? "TKIP" : c == kCipherAes ? "AES" : "WEP";
      out += "</encryption></cckm></authenticatingNetwork>";
    } else if (a == kAuthCcx) {
      out += "<openNetwork />";
    } else {
      out += "<authenticatingNetwork><wpa2><encryption>";
      out += c == kCipherTkipMfp ? "TKIP" : c == kCipherAesMfp ? "AES" : "";
      out += "</encryption></wpa2></authenticatingNetwork>";
    }
    return out + "</CCX></security><useMSOneX>true</useMSOneX>";
  }
  if (a == kAuthWapiPsk || a == kAuthWapiCa) {
    return "<security>" + StartTag("IhvSecurity", {Ns("", wlan_ns::kWapi)}) +
           "<IHVUsesFullSecurity>TRUE</IHVUsesFullSecurity><IHVAuthentication>IWNAuthV1"
           "</IHVAuthentication><IHVEncryption>WPISMS4</IHVEncryption>" +
           WapiParameters(r, shared, env) + "</IhvSecurity></security>";
  }
  return {};
}

std::string IhvContent(const StationProfile& r, const SharedKey& shared,
                       const WlanProfileEnvironment& env) {
  if (r.networkType != 1) return {};
  std::string out = "<OUIHeader><OUI>004096</OUI><type>00</type></OUIHeader>";
  out += "<connectivity>" + StartTag("CCX", {Ns("", wlan_ns::kCcx)}) +
         "<RadioMeasurement><enabled><MaxOffChannelTimeMs>50</MaxOffChannelTimeMs>"
         "<MinOnChannelTimeMs>400</MinOnChannelTimeMs></enabled></RadioMeasurement>"
         "<OrvaneProfile/>";
  if (r.useDiagnostic != 0) {
    out += "<Diagnostics><AuthorizedProfile>true</AuthorizedProfile><Channel><SSID>Diagnostic "
           "Channel</SSID><EnableClientReporting>true</EnableClientReporting></Channel>"
           "</Diagnostics>";
  }
  out += "</CCX></connectivity>";
  out += IhvSecurity(r, shared, env);
  return out;
}

// ---- the record without an SSID ----

bool HasWpaOrRsnInformation(std::span<const uint8_t> elements) {
  size_t pos = 0;
  while (pos + 2 <= elements.size()) {
    uint8_t id = elements[pos];
    size_t length = elements[pos + 1];
    if (pos + 2 + length > elements.size()) break;
    std::span<const uint8_t> body = elements.subspan(pos + 2, length);
    if (id == 48) return true;  // RSN
    if (id == 221 && length >= 4 && body[0] == 0x00 && body[1] == 0x50 && body[2] == 0xF2 &&
        body[3] == 0x01) {
      return true;  // WPA vendor element
    }
    pos += 2 + length;
  }
  return false;
}

// The SSID of the strongest open infrastructure network; strictly stronger entries win.
std::optional<std::string> StrongestOpenNetwork(std::span<const uint8_t> scanList) {
  std::optional<std::string> best;
  int32_t bestRssi = -250;
  for (std::span<const uint8_t> entry : BssidListEntries(scanList)) {
    NDIS_WLAN_BSSID_EX bss;
    if (!DecodeNdisWlanBssidEx(entry, bss)) continue;
    if (bss.InfrastructureMode != Ndis802_11Infrastructure || bss.Privacy != 0) continue;
    if (bss.Rssi <= bestRssi || HasWpaOrRsnInformation(BssidEntryElements(entry))) continue;
    best = std::string(NdisSsidText(bss.Ssid));
    bestRssi = bss.Rssi;
  }
  return best;
}

// The whole document from its computed parts.
struct ProfileParts {
  std::string name, ssidHex, ssidName, connectionType, connectionMode;
  std::string authentication, encryption, useOneX;
  SharedKey shared;
  std::string pmkCacheMode, pmkCacheTtl, pmkCacheSize, preAuthMode, preAuthThrottle;
  std::string oneX, ihv;
};

std::string AssembleProfile(const ProfileParts& p) {
  std::string xml = "<?xml version=\"1.0\"?>";
  xml += StartTag("WLANProfile", {Ns("", wlan_ns::kWlan)});
  xml += Element("name", CdataText(p.name));
  std::string ssid = Element("SSID", Element("hex", p.ssidHex) + Element("name", p.ssidName));
  xml += Element("SSIDConfig", ssid + (p.connectionType == "ESS" ? Element("nonBroadcast", "true") : ""));
  xml += Element("connectionType", p.connectionType);
  xml += Element("connectionMode", p.connectionMode);
  xml += Element("autoSwitch", "false");
  std::string authEncryption = Element("authentication", p.authentication) +
                               Element("encryption", p.encryption) + Element("useOneX", p.useOneX);
  // The schema wants all three parts of a shared key; without key material there is none.
  std::string sharedKey;
  std::string keyIndex;
  if (!p.shared.keyMaterial.empty()) {
    sharedKey = Element("sharedKey", Element("keyType", p.shared.keyType) +
                                         Element("protected", p.shared.protectedFlag) +
                                         Element("keyMaterial", p.shared.keyMaterial));
    keyIndex = Element("keyIndex", p.shared.keyIndex);
  }
  std::string security = Element("authEncryption", authEncryption) + sharedKey + keyIndex +
                         Element("PMKCacheMode", p.pmkCacheMode) +
                         Element("PMKCacheTTL", p.pmkCacheTtl) +
                         Element("PMKCacheSize", p.pmkCacheSize) +
                         Element("preAuthMode", p.preAuthMode) +
                         Element("preAuthThrottle", p.preAuthThrottle) + p.oneX;
  xml += Element("MSM", Element("security", security));
  xml += Element("IHV", p.ihv);
  xml += "</WLANProfile>";
  return xml;
}

}  // namespace

WlanProfileDocuments BuildWlanProfile(const StationProfile& r, const WlanProfileEnvironment& env) {
  WlanProfileDocuments out;
  out.useBssid = r.useBssid;
  ProfileParts p;
  std::string_view ssid = Bytes(r.ssid);

  if (ssid.empty()) {
    auto chosen = StrongestOpenNetwork(env.lastScanList);
    out.bssType = kBssTypeInfrastructure;
    out.securityEnabled = false;
    if (!chosen || chosen->empty()) return out;  // nothing the service could store
    out.profileName = ToXmlChars(*chosen);
    p.name = out.profileName;
    p.ssidHex = HexBytes({reinterpret_cast<const uint8_t*>(chosen->data()), chosen->size()}, false);
    p.ssidName = EscapeXmlText(*chosen, kEscapedSsidMaxBytes);
    p.connectionType = "ESS";
    p.connectionMode = "manual";
    p.authentication = "open";
    p.encryption = "none";
    p.useOneX = "false";
  } else {
    out.profileName = ToXmlChars(ssid);
    p.name = out.profileName;
    p.ssidHex = HexBytes({reinterpret_cast<const uint8_t*>(ssid.data()), ssid.size()}, false);
    p.ssidName = EscapeXmlText(ssid, kEscapedSsidMaxBytes);
    p.connectionType = r.networkType != 0 ? "ESS" : "IBSS";
    p.connectionMode = (r.networkType != 0 && r.useDiagnostic != 1) ? "auto" : "manual";
    p.authentication = Authentication(r);
    p.encryption = Encryption(r);
    p.useOneX = r.use8021X == 1 ? "true" : "false";
    if (r.use8021X == 0) p.shared = ComputeSharedKey(r, p.encryption);
    if (r.authMode == kAuthWpa2) {
      p.pmkCacheMode = "enabled";
      p.pmkCacheTtl = "720";
      p.pmkCacheSize = "128";
      p.preAuthMode = "enabled";
      p.preAuthThrottle = "3";
    }
    std::string sso;
    if (r.ssoFlags & kSsoEnabled) {
      sso = "<cacheUserData>true</cacheUserData><maxAuthFailures>3</maxAuthFailures>";
      sso += Element("authMode", (r.ssoFlags & kSsoMachineOrUser) ? "machineOrUser" : "user");
      sso += Element("singleSignOn",
                     Element("type", (r.ssoFlags & kSsoAfterLogon) ? "postLogon" : "preLogon") +
                         Element("maxDelay", "10"));
    }
    EapDocuments eap = BuildEapDocuments(r);
    // The schema requires EAPConfig in OneX: without one the element would be refused.
    if (!eap.eapConfig.empty()) {
      p.oneX = Element("OneX", sso + eap.eapConfig, Ns("", wlan_ns::kOneX));
    }
    out.userCredentialsXml = std::move(eap.userCredentials);
    p.ihv = IhvContent(r, p.shared, env);
    out.bssType = r.networkType == 0   ? kBssTypeIndependent
                  : r.networkType == 1 ? kBssTypeInfrastructure
                                       : kBssTypeAny;
    out.securityEnabled = !(r.use8021X == 0 && r.authMode == kAuthOpen &&
                            (r.cipherMode == 1 || r.cipherMode == 2 || r.cipherMode == 3));
  }

  out.profileXml = AssembleProfile(p);
  if (Utf16Length(out.profileXml) > kWlanDocumentMaxChars) {
    out.profileXml.clear();
    out.profileTooLong = true;
  }
  if (Utf16Length(out.userCredentialsXml) > kWlanDocumentMaxChars) {
    out.userCredentialsXml.clear();
    out.userCredentialsTooLong = true;
  }
  return out;
}

}  // namespace ov
