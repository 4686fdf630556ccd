#include "profiles/profile_import.h"

#include <algorithm>
#include <array>
#include <unordered_map>

#include "driver/ndis_types.h"
#include "nativewifi/station_profile.h"
#include "platform/ini/ini_document.h"
#include "profiles/profile_keys.h"
#include "profiles/profile_store.h"
#include "profiles/store_encoding.h"

namespace ov {

using ini_detail::IniDocument;

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr size_t kSecretMaxLength = 255;

ParsedImport Refused(int result, std::string problem) {
  ParsedImport parsed;
  parsed.result = result;
  parsed.problem = std::move(problem);
  return parsed;
}

ParsedImport InvalidValue(std::string_view key, std::string_view why) {
  return Refused(kImportValueInvalid, "the value of \"" + std::string(key) + "\" " + std::string(why));
}

// The stored "AuthMode" values the utility knows: the NDIS modes, CCKM (10), CCX (11) and WAPI
// PSK/certificate (256, 512).
bool KnownAuthMode(std::string_view text) {
  if (text.empty()) return true;
  if (text.size() > 3 || text.find_first_not_of("0123456789") != std::string_view::npos) return false;
  int32_t n = ParseStoreInt(text);
  return (n >= static_cast<int32_t>(Ndis802_11AuthModeOpen) && n <= 11) || n == 256 || n == 512;
}

// A hexadecimal SSID must be whole bytes of digits, at most 32 bytes, without a NUL byte: the
// store would otherwise cut or empty it.
std::optional<std::string_view> BadHexSsid(std::string_view text) {
  if (text.size() % 2 != 0) return "is not whole bytes of hexadecimal digits";
  auto bytes = DecodeHexBytes(text);
  if (!bytes) return "is not hexadecimal";
  if (bytes->size() > kSsidMaxLength) return "is longer than 32 bytes";
  if (std::find(bytes->begin(), bytes->end(), 0) != bytes->end()) return "holds a NUL byte";
  return std::nullopt;
}

// What the check needs to know of each profile key, worked out once: the per-key name
// comparisons would otherwise run for every key of every file.
enum class KeyRole { Plain, Ssid, DiagnosticSsid, AuthMode, CertLength, BlobLength, Blob };
struct KeyTraits {
  std::string_view key;
  KeyRole role = KeyRole::Plain;
  size_t limit = 0;
  bool secret = false;
};

const std::array<KeyTraits, ProfileKeyList.size()>& Traits() {
  static const auto traits = [] {
    std::array<KeyTraits, ProfileKeyList.size()> t{};
    for (size_t i = 0; i < ProfileKeyList.size(); ++i) {
      std::string_view key = ProfileKeyList[i];
      KeyRole role = SameKey(key, kSsidKey)                                             ? KeyRole::Ssid
                     : SameKey(key, kDiagnosticSsidKey)                                 ? KeyRole::DiagnosticSsid
                     : SameKey(key, kAuthModeKey)                                       ? KeyRole::AuthMode
                     : SameKey(key, "ClientCertLen") || SameKey(key, "ServerCertLen")   ? KeyRole::CertLength
                     : SameKey(key, kEapConfigBlobLenKey)                               ? KeyRole::BlobLength
                     : SameKey(key, kEapConfigBlobKey)                                  ? KeyRole::Blob
                                                                                        : KeyRole::Plain;
      t[i] = KeyTraits{key, role, ProfileValueLimit(key), IsEncryptedKey(key)};
    }
    return t;
  }();
  return traits;
}

// The position of a key in ProfileKeyList, letter case ignored.
std::optional<size_t> KeyIndex(std::string_view key) {
  static const auto byName = [] {
    std::unordered_map<std::string, size_t> map;
    for (size_t i = 0; i < ProfileKeyList.size(); ++i) map.emplace(ini_detail::LowerAscii(ProfileKeyList[i]), i);
    return map;
  }();
  auto it = byName.find(ini_detail::LowerAscii(key));
  if (it == byName.end()) return std::nullopt;
  return it->second;
}

std::string Decode(const KeyTraits& traits, std::string stored, bool ssidInHex, SecretCodec* codec) {
  if ((traits.role == KeyRole::Ssid && ssidInHex) || traits.role == KeyRole::DiagnosticSsid) {
    stored = DecodeSsidHex(stored);
  }
  if (!stored.empty() && traits.secret && codec != nullptr) {
    if (auto clear = codec->Decrypt(stored)) {
      stored = std::string(UpToNul(*clear));
      if (stored.size() > kSecretMaxLength) stored.resize(kSecretMaxLength);
    }
  }
  return stored;
}

}  // namespace

std::string DecodeStoredValue(std::string_view key, std::string stored, bool ssidInHex,
                              SecretCodec* codec) {
  KeyTraits traits{key};
  if (SameKey(key, kSsidKey)) traits.role = KeyRole::Ssid;
  if (SameKey(key, kDiagnosticSsidKey)) traits.role = KeyRole::DiagnosticSsid;
  traits.secret = IsEncryptedKey(key);
  return Decode(traits, std::move(stored), ssidInHex, codec);
}

ParsedImport ParseProfileImport(std::string text, SecretCodec* codec) {
  if (text.compare(0, kUtf8Bom.size(), kUtf8Bom) == 0) text.erase(0, kUtf8Bom.size());
  IniDocument doc(std::move(text));
  auto sections = doc.sectionNames();
  if (sections.empty()) return Refused(kImportNoProfile, "the file holds no profile");
  if (sections.size() > 1) return Refused(kImportMoreThanOneProfile, "the file holds more than one profile");
  ParsedImport parsed;
  parsed.name = std::string(sections.front());
  if (parsed.name.size() > kProfileNameMaxLength ||
      std::any_of(parsed.name.begin(), parsed.name.end(),
                  [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; })) {
    return Refused(kImportValueInvalid, "the profile name is longer than 32 bytes or holds control characters");
  }

  // The keys the section has, each looked up once: the work follows the file, not the key list.
  std::array<std::optional<std::string>, ProfileKeyList.size()> found;
  for (std::string_view name : doc.keyNames(parsed.name)) {
    auto at = KeyIndex(name);
    if (!at || found[*at]) continue;
    if (auto value = doc.rawValue(parsed.name, name)) found[*at] = std::string(ini_detail::StripQuotes(*value));
  }
  bool anyKey = false;
  const auto& inHex = found[*KeyIndex(kSsidInHexKey)];
  bool ssidInHex = inHex && *inHex == "1";
  for (size_t i = 0; i < ProfileKeyList.size(); ++i) {
    const KeyTraits& traits = Traits()[i];
    const std::string_view key = traits.key;
    if (traits.role == KeyRole::Blob) continue;  // with its length below
    auto& stored = found[i];
    if (!stored) {
      parsed.values.emplace_back(std::string(key), "");
      continue;
    }
    anyKey = true;
    if (stored->find('\0') != std::string::npos) return InvalidValue(key, "holds a NUL byte");
    if ((traits.role == KeyRole::Ssid && ssidInHex) || traits.role == KeyRole::DiagnosticSsid) {
      if (auto why = BadHexSsid(*stored)) return InvalidValue(key, *why);
    }
    if (traits.role == KeyRole::AuthMode && !KnownAuthMode(*stored)) {
      return InvalidValue(key, "is no known authentication mode");
    }
    std::string value = Decode(traits, *stored, ssidInHex, codec);
    if (value.size() > traits.limit) return InvalidValue(key, "is longer than its field");
    if (traits.role == KeyRole::CertLength) {
      int32_t n = ParseStoreInt(value);
      if (n < 0 || n > static_cast<int32_t>(kCertHashMaxLength)) return InvalidValue(key, "is out of range");
    }
    if (traits.role == KeyRole::BlobLength && !value.empty()) {
      int32_t n = ParseStoreInt(value);
      if (n < 0 || n > static_cast<int32_t>(kEapBlobMaxLength)) return InvalidValue(key, "is out of range");
      std::string recordName = parsed.name + std::string(kExportBlobSuffix);
      auto run = FindBlobRecord(doc.text(), recordName);
      if (!run || run->size() < 2 * static_cast<size_t>(n)) {
        return InvalidValue(key, "announces a blob record the file does not hold whole");
      }
      parsed.blobHex = std::string(run->substr(0, 2 * static_cast<size_t>(n)));
    }
    parsed.values.emplace_back(std::string(key), std::move(value));
  }
  if (!anyKey) return Refused(kImportNoProfile, "the section holds no profile key");
  return parsed;
}

}  // namespace ov
