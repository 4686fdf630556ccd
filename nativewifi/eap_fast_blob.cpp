#include "nativewifi/eap_fast_blob.h"

#include <algorithm>
#include <string_view>

#include "nativewifi/wlan_namespaces.h"
#include "nativewifi/xml_text.h"
#include "platform/system/hex_text.h"

namespace ov {

namespace {

constexpr std::string_view kMagic = "OVEF";
constexpr size_t kHeaderSize = 8;
constexpr size_t kTrustedRootHashMaxLength = 152;

enum FieldTag : uint8_t {
  kTagInnerMethod = 1,
  kTagPacFilePath = 2,
  kTagOuterIdentity = 3,
  kTagServerName = 4,
  kTagTrustedRootHash = 5,
};

void PutField(std::vector<uint8_t>& out, uint8_t tag, std::span<const uint8_t> value) {
  out.push_back(tag);
  out.push_back(static_cast<uint8_t>(value.size() & 0xFF));
  out.push_back(static_cast<uint8_t>(value.size() >> 8));
  out.insert(out.end(), value.begin(), value.end());
}

void PutText(std::vector<uint8_t>& out, uint8_t tag, const std::string& text) {
  if (text.empty()) return;
  PutField(out, tag, {reinterpret_cast<const uint8_t*>(text.data()), text.size()});
}

bool IsInnerMethod(uint8_t method) { return method == 26 || method == 6 || method == 13; }

std::string HexLowerBytes(std::span<const uint8_t> bytes) { return HexEncode(bytes, HexCase::Lower); }

std::string Flag(bool on) { return on ? "true" : "false"; }

}  // namespace

std::vector<uint8_t> EncodeEapFastBlob(const EapFastSettings& settings) {
  std::vector<uint8_t> out(kMagic.begin(), kMagic.end());
  out.push_back(kEapFastBlobMajorVersion);
  out.push_back(kEapFastBlobMinorVersion);
  out.push_back(static_cast<uint8_t>(settings.flags & 0xFF));
  out.push_back(static_cast<uint8_t>(settings.flags >> 8));
  uint8_t inner = settings.innerMethod;
  PutField(out, kTagInnerMethod, {&inner, 1});
  PutText(out, kTagPacFilePath, settings.pacFilePath);
  PutText(out, kTagOuterIdentity, settings.outerIdentity);
  PutText(out, kTagServerName, settings.serverName);
  if (!settings.trustedRootHash.empty()) {
    PutField(out, kTagTrustedRootHash, settings.trustedRootHash);
  }
  return out;
}

std::optional<EapFastSettings> DecodeEapFastBlob(std::span<const uint8_t> blob) {
  if (blob.size() < kHeaderSize || !std::equal(kMagic.begin(), kMagic.end(), blob.begin())) {
    return std::nullopt;
  }
  if (blob[4] != kEapFastBlobMajorVersion) return std::nullopt;
  EapFastSettings settings;
  settings.flags = static_cast<uint16_t>(blob[6] | (blob[7] << 8));
  uint32_t seen = 0;
  size_t pos = kHeaderSize;
  while (pos < blob.size()) {
    if (blob.size() - pos < 3) return std::nullopt;
    uint8_t tag = blob[pos];
    size_t length = static_cast<size_t>(blob[pos + 1] | (blob[pos + 2] << 8));
    pos += 3;
    if (length > blob.size() - pos) return std::nullopt;
    std::span<const uint8_t> value = blob.subspan(pos, length);
    pos += length;
    if (tag < 32) {
      if (seen & (1u << tag)) return std::nullopt;  // a field given twice
      seen |= 1u << tag;
    }
    std::string text(value.begin(), value.end());
    switch (tag) {
      case kTagInnerMethod:
        if (length != 1 || !IsInnerMethod(value[0])) return std::nullopt;
        settings.innerMethod = value[0];
        break;
      case kTagPacFilePath:
      case kTagOuterIdentity:
      case kTagServerName:
        if (length > kEapFastTextMaxLength || text.find('\0') != std::string::npos) {
          return std::nullopt;
        }
        (tag == kTagPacFilePath     ? settings.pacFilePath
         : tag == kTagOuterIdentity ? settings.outerIdentity
                                    : settings.serverName) = std::move(text);
        break;
      case kTagTrustedRootHash:
        if (length == 0 || length > kTrustedRootHashMaxLength) return std::nullopt;
        settings.trustedRootHash.assign(value.begin(), value.end());
        break;
      default:
        break;  // a field of a later minor version
    }
  }
  return settings;
}

std::optional<std::string> EapFastBlobToXml(std::span<const uint8_t> blob) {
  if (blob.empty()) return std::nullopt;
  auto settings = DecodeEapFastBlob(blob);
  if (!settings) return std::nullopt;
  const EapFastSettings& s = *settings;
  std::string ec = std::string(" xmlns=\"") + wlan_ns::kEapCommon + "\"";
  std::string xml;
  xml += std::string("<EapHostConfig xmlns=\"") + wlan_ns::kEapHostConfig + "\">";
  xml += "<EapMethod><Type" + ec + ">43</Type><VendorId" + ec + ">0</VendorId><VendorType" + ec +
         ">0</VendorType><AuthorId" + ec + ">9</AuthorId></EapMethod>";
  xml += std::string("<Config xmlns=\"") + wlan_ns::kEapHostConfig + "\">";
  xml += std::string("<eapFast xmlns=\"") + wlan_ns::kCcx + "\">";
  if (s.flags & kEapFastValidateServer) {
    xml += "<validateServerCertificate>";
    if (!s.serverName.empty()) {
      xml += "<serverNameValidationRules><matchSubject match=\"exactly\">" +
             EscapeXmlText(s.serverName) + "</matchSubject></serverNameValidationRules>";
    }
    if (!s.trustedRootHash.empty()) {
      xml += "<validateChainWithSpecificCa><certificateId reference=\"false\">" +
             HexLowerBytes(s.trustedRootHash) + "</certificateId></validateChainWithSpecificCa>";
    }
    xml += "<userValidatesUntrustedServerCertificate>false"
           "</userValidatesUntrustedServerCertificate></validateServerCertificate>";
  } else {
    xml += "<doNotValidateServerCertificate />";
  }
  xml += "<unprotectedIdentityPattern encryptContent=\"false\">" +
         (s.outerIdentity.empty() ? std::string("anonymous") : EscapeXmlText(s.outerIdentity)) +
         "</unprotectedIdentityPattern>";
  xml += (s.flags & kEapFastFastReconnect) ? "<enableFastReconnect><alwaysAttempt/></enableFastReconnect>"
                                           : "<disableFastReconnect/>";
  xml += "<provisioning><allowUnauthenticatedProvisioning>" +
         Flag(s.flags & kEapFastAllowUnauthenticatedProvisioning) +
         "</allowUnauthenticatedProvisioning><allowAuthenticatedProvisioning>" +
         Flag(s.flags & kEapFastAllowAuthenticatedProvisioning) +
         "</allowAuthenticatedProvisioning><usePac>" + Flag(s.flags & kEapFastUsePac) + "</usePac>";
  if (!s.pacFilePath.empty()) xml += "<pacFile>" + EscapeXmlText(s.pacFilePath) + "</pacFile>";
  xml += "</provisioning><authMethods><builtinMethods>";
  xml += s.innerMethod == 6 ? "<eapGtc/>" : s.innerMethod == 13 ? "<eapTls/>" : "<eapMschapv2/>";
  xml += "</builtinMethods></authMethods></eapFast></Config></EapHostConfig>";
  return xml;
}

}  // namespace ov
