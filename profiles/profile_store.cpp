#include "profiles/profile_store.h"

#include <algorithm>
#include <ctime>
#include <memory>
#include <sstream>

#include "nativewifi/station_profile.h"
#include "platform/ini/ini.h"
#include "platform/ini/ini_document.h"
#include "platform/ini/ini_file_store.h"
#include "platform/system/error_codes.h"
#include "platform/system/regular_file.h"
#include "profiles/store_encoding.h"
#include "platform/system/hex_text.h"

namespace ov {

using ini_detail::IniDocument;

namespace {

// Secrets pass through a library with 256-byte buffers.
constexpr size_t kSecretMaxLength = 255;
constexpr size_t kBlobHexBufferSize = 2 * kEapBlobMaxLength;

bool HasLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

std::string Cut(std::string text, size_t maxChars) {
  if (text.size() > maxChars) text.resize(maxChars);
  return text;
}

// Whole text of a file; nothing when it is missing or unreadable. Blob files are not INI text, but
// the INI engine's cache and atomic replacement serve them as well.
std::shared_ptr<const IniDocument> LoadText(const std::string& file) {
  if (file.empty()) return nullptr;
  uint32_t error = 0;
  return ini_detail::LoadDocument(file, &error);
}

std::optional<size_t> BlobLength(std::string_view text) {
  if (text.empty()) return std::nullopt;
  int32_t n = ParseStoreInt(text);
  if (n < 1 || n > static_cast<int32_t>(kEapBlobMaxLength)) return std::nullopt;
  return static_cast<size_t>(n);
}

// The record's hexadecimal text when it holds at least `hexChars` digits, cut to that many.
std::optional<std::string> BlobHex(std::string_view text, std::string_view name, size_t hexChars) {
  auto run = FindBlobRecord(text, name);
  if (!run || run->size() < hexChars) return std::nullopt;
  return std::string(run->substr(0, hexChars));
}

}  // namespace

std::optional<std::string_view> FindBlobRecord(std::string_view text, std::string_view name) {
  std::string marker = "<" + std::string(name) + ">";
  for (size_t pos = text.find(marker); pos != std::string_view::npos;
       pos = text.find(marker, pos + 1)) {
    bool boundary = pos == 0 || text[pos - 1] == '}' || text[pos - 1] == '\n' ||
                    text[pos - 1] == '\r';
    if (!boundary) continue;
    size_t begin = pos + marker.size();
    size_t end = begin;
    while (end < text.size() && IsHexDigit(text[end])) ++end;
    if (end < text.size() && text[end] == '}') return text.substr(begin, end - begin);
  }
  return std::nullopt;
}

std::string FormatActiveTime() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  std::ostringstream out;
  out << local.tm_year + 1900 << ", " << local.tm_mon + 1 << ", " << local.tm_mday << ", "
      << local.tm_hour << ", " << local.tm_min << ", " << local.tm_sec;
  return out.str();
}

ProfileStore::ProfileStore(StoreLocation location, SecretCodec* codec, bool encryptPasswords)
    : location_(std::move(location)), codec_(codec), encryptPasswords_(encryptPasswords) {}

std::vector<ProfileStore::KeyValue> ProfileStore::EncodeForStore(std::string_view key,
                                                                 std::string_view value) const {
  std::vector<KeyValue> writes;
  if (SameKey(key, kSsidKey) || SameKey(key, kDiagnosticSsidKey)) {
    writes.emplace_back(std::string(key), HexLower(value));
    writes.emplace_back(std::string(kSsidInHexKey), "1");
    return writes;
  }
  std::string stored(value);
  if (encryptPasswords_ && codec_ != nullptr && !value.empty() && IsEncryptedKey(key) &&
      value.size() <= kSecretMaxLength) {
    auto encrypted = codec_->Encrypt(value);
    // An output the INI file cannot hold as one value is not used: the text is kept as it is.
    if (encrypted && !encrypted->empty() && encrypted->size() <= kSecretMaxLength &&
        encrypted->find('\0') == std::string::npos && !HasLineBreak(*encrypted)) {
      stored = std::move(*encrypted);
    }
  }
  writes.emplace_back(std::string(key), std::move(stored));
  return writes;
}

std::string ProfileStore::DecodeFromStore(std::string_view key, std::string stored,
                                          bool ssidInHex) const {
  return DecodeStoredValue(key, std::move(stored), ssidInHex, codec_);
}

std::string ProfileStore::ReadStoreValue(StoreFileKind kind, std::string_view section,
                                         std::string_view key, size_t size) const {
  std::string file = FileName(kind);
  if (file.empty() || size == 0) return {};
  if (SameKey(key, kEapConfigBlobKey)) {
    auto doc = LoadText(file);
    if (!doc) return {};
    return BlobHex(doc->text(), section, size).value_or("");
  }
  std::string sectionName(section);
  std::string value = IniReadString(file, sectionName, std::string(key), "",
                                    static_cast<uint32_t>(size - 1));
  bool ssidInHex = SameKey(key, kSsidKey) &&
                   IniReadString(file, sectionName, std::string(kSsidInHexKey), "",
                                 kStoreValueBufferSize - 1) == "1";
  return Cut(DecodeFromStore(key, std::move(value), ssidInHex), size - 1);
}

bool ProfileStore::ApplyWrites(const std::string& file, std::string_view section,
                               const std::vector<KeyValue>& stored) const {
  if (file.empty() || HasLineBreak(section) || ini_detail::TrimBlanks(section).empty()) {
    return false;
  }
  for (const auto& [key, value] : stored) {
    std::string_view k = ini_detail::TrimBlanks(key);
    if (k.empty() || HasLineBreak(key) || HasLineBreak(value) || k.find('=') != k.npos ||
        k.front() == '[' || k.front() == ';') {
      return false;
    }
  }
  std::string sectionName(ini_detail::TrimBlanks(section));
  uint32_t result = ini_detail::UpdateFile(
      file,
      [&](const IniDocument& current) -> std::optional<std::string> {
        std::optional<std::string> text;
        std::unique_ptr<IniDocument> working;
        const IniDocument* doc = &current;
        for (const auto& [key, value] : stored) {
          auto next = doc->withValue(sectionName, ini_detail::TrimBlanks(key),
                                     ini_detail::QuoteForWrite(value));
          if (!next) continue;
          text = std::move(next);
          working = std::make_unique<IniDocument>(*text);
          doc = working.get();
        }
        return text;
      },
      /*createIfMissing=*/true);
  return result == ERROR_SUCCESS;
}

bool ProfileStore::WriteBlobRecord(StoreFileKind kind, std::string_view name,
                                   std::string_view hex) {
  std::string file = FileName(kind);
  if (file.empty()) return false;
  std::string record = "<" + std::string(name) + ">" + std::string(hex) + "}";
  uint32_t result = ini_detail::UpdateFile(
      file,
      [&](const IniDocument& current) -> std::optional<std::string> {
        if (kind != StoreFileKind::ProfilesBlob) return record;  // one record per file
        std::string text = current.text();
        if (auto run = FindBlobRecord(text, name)) {
          size_t markerBegin = static_cast<size_t>(run->data() - text.data()) - name.size() - 2;
          size_t recordEnd = static_cast<size_t>(run->data() - text.data()) + run->size() + 1;
          text.erase(markerBegin, recordEnd - markerBegin);
        }
        return text + record;
      },
      /*createIfMissing=*/true);
  return result == ERROR_SUCCESS;
}

bool ProfileStore::WriteStoreValue(StoreFileKind kind, std::string_view section,
                                   std::string_view key, std::string_view value) {
  if (SameKey(key, kEapConfigBlobKey)) return WriteBlobRecord(kind, section, value);
  return ApplyWrites(FileName(kind), section, EncodeForStore(key, value));
}

bool ProfileStore::WriteStoreValues(StoreFileKind kind, std::string_view section,
                                    const std::vector<KeyValue>& values) {
  std::vector<KeyValue> stored;
  for (const auto& [key, value] : values) {
    if (SameKey(key, kEapConfigBlobKey)) return false;  // blobs are not INI values
    auto writes = EncodeForStore(key, value);
    stored.insert(stored.end(), writes.begin(), writes.end());
  }
  return ApplyWrites(FileName(kind), section, stored);
}

std::optional<std::vector<uint8_t>> ProfileStore::ReadEapBlob(StoreFileKind lengthKind,
                                                              StoreFileKind blobKind,
                                                              std::string_view section) const {
  auto length = BlobLength(ReadStoreValue(lengthKind, section, kEapConfigBlobLenKey));
  if (!length) return std::nullopt;
  std::string hex = ReadStoreValue(blobKind, section, kEapConfigBlobKey, 2 * *length);
  if (hex.size() != 2 * *length) return std::nullopt;
  return DecodeHexBytes(hex);
}

void ProfileStore::ClearProfileSection(std::string_view name, bool clearActiveTime) {
  std::vector<KeyValue> values;
  for (std::string_view key : ProfileKeyList) {
    if (SameKey(key, kEapConfigBlobKey) || SameKey(key, kEapConfigBlobLenKey)) continue;
    if (SameKey(key, kActiveTimeKey) && !clearActiveTime) continue;
    values.emplace_back(std::string(key), "");
  }
  WriteStoreValues(StoreFileKind::Profiles, name, values);
}

std::vector<std::string> ProfileStore::ListProfileNames() const {
  std::string file = FileName(StoreFileKind::Profiles);
  if (file.empty()) return {};
  return IniSectionNames(file);
}

bool ProfileStore::ProfileNameExists(std::string_view name) const {
  auto names = ListProfileNames();
  return std::find(names.begin(), names.end(), name) != names.end();
}

bool ProfileStore::RemoveBlobRecord(std::string_view name) {
  std::string file = FileName(StoreFileKind::ProfilesBlob);
  if (file.empty() || !LoadText(file)) return false;
  uint32_t result = ini_detail::UpdateFile(
      file,
      [&](const IniDocument& current) -> std::optional<std::string> {
        std::string text = current.text();
        auto run = FindBlobRecord(text, name);
        if (!run) return std::nullopt;
        size_t markerBegin = static_cast<size_t>(run->data() - text.data()) - name.size() - 2;
        size_t recordEnd = static_cast<size_t>(run->data() - text.data()) + run->size() + 1;
        text.erase(markerBegin, recordEnd - markerBegin);
        return text;
      },
      /*createIfMissing=*/false);
  return result == ERROR_SUCCESS;
}

bool ProfileStore::DeleteProfileSection(std::string_view name) {
  std::string file = FileName(StoreFileKind::Profiles);
  if (file.empty() || !LoadText(file)) return false;
  std::string header = "[" + std::string(name) + "]";
  uint32_t result = ini_detail::UpdateFile(
      file,
      [&](const IniDocument& current) -> std::optional<std::string> {
        // Sections run from a line starting with "[" to the next one; text before the first
        // section stays. The header must match exactly, letter case included.
        const std::string& text = current.text();
        std::string kept;
        bool skipping = false;
        bool changed = false;
        size_t pos = 0;
        while (pos < text.size()) {
          size_t eol = text.find('\n', pos);
          size_t next = eol == std::string::npos ? text.size() : eol + 1;
          std::string_view line(text.data() + pos, next - pos);
          if (!line.empty() && line.front() == '[') {
            std::string_view bare = line;
            while (!bare.empty() && (bare.back() == '\n' || bare.back() == '\r')) {
              bare.remove_suffix(1);
            }
            skipping = bare == header;
            changed = changed || skipping;
          }
          if (!skipping) kept.append(line);
          pos = next;
        }
        if (!changed) return std::nullopt;
        return kept;
      },
      /*createIfMissing=*/false);
  if (result != ERROR_SUCCESS) return false;
  RemoveBlobRecord(name);
  return true;
}

bool ProfileStore::CopyProfileToActive(std::string_view name) {
  std::vector<KeyValue> values;
  bool ok = true;
  for (std::string_view key : ProfileKeyList) {
    if (SameKey(key, kEapConfigBlobKey)) {
      std::string lengthText = ReadStoreValue(StoreFileKind::Profiles, name, kEapConfigBlobLenKey);
      if (lengthText.empty()) continue;
      int32_t n = ParseStoreInt(lengthText);
      if (n < 0 || n > static_cast<int32_t>(kEapBlobMaxLength)) continue;  // no usable blob
      std::string hex = ReadStoreValue(StoreFileKind::ProfilesBlob, name, kEapConfigBlobKey,
                                       2 * static_cast<size_t>(n));
      ok = WriteBlobRecord(StoreFileKind::StationBlob, kActiveSection, hex) && ok;
      continue;
    }
    // Reading decrypts and decodes, writing encrypts and encodes: secrets stay encrypted and the
    // SSID hexadecimal in both files.
    size_t size = std::max(kStoreValueBufferSize, ProfileValueLimit(key) + 1);
    values.emplace_back(std::string(key), ReadStoreValue(StoreFileKind::Profiles, name, key, size));
  }
  return WriteStoreValues(StoreFileKind::Station, kActiveSection, values) && ok;
}

int ProfileStore::ExportProfileSection(std::string_view name, const std::string& exportPath) {
  if (!ProfileNameExists(name)) return kExportNoProfile;
  // The file is built in memory in the order the keys are written and replaces the target once.
  std::string text;
  auto put = [&](std::string_view key, std::string_view value) {
    for (const auto& [k, stored] : EncodeForStore(key, value)) {
      IniDocument doc(text);
      if (auto next = doc.withValue(name, k, ini_detail::QuoteForWrite(stored))) text = *next;
    }
  };
  for (std::string_view key : ProfileKeyList) {
    if (SameKey(key, kActiveTimeKey)) continue;
    if (SameKey(key, kEapConfigBlobKey)) {
      auto length = BlobLength(ReadStoreValue(StoreFileKind::Profiles, name, kEapConfigBlobLenKey));
      if (!length) continue;
      std::string hex = ReadStoreValue(StoreFileKind::ProfilesBlob, name, kEapConfigBlobKey,
                                       2 * *length);
      if (hex.empty()) continue;
      text += "<" + std::string(name) + std::string(kExportBlobSuffix) + ">" + hex + "}";
      continue;
    }
    size_t size = std::max(kStoreValueBufferSize, ProfileValueLimit(key) + 1);
    std::string value = ReadStoreValue(StoreFileKind::Profiles, name, key, size);
    put(key, value);
    if (SameKey(key, kAuthModeKey)) put(kAuthenTypeKey, value);
    if (SameKey(key, kCipherModeKey)) put(kEncryptionKey, value);
  }
  uint32_t result = ini_detail::UpdateFile(
      exportPath, [&](const IniDocument&) -> std::optional<std::string> { return text; },
      /*createIfMissing=*/true);
  return result == ERROR_SUCCESS ? kExportOk : kExportWriteFailed;
}

int ProfileStore::ImportProfileSection(const std::string& importPath, std::string* problem) {
  std::string ignored;
  if (problem == nullptr) problem = &ignored;
  std::string content;
  if (FileProblem read = ReadRegularFile(importPath, kImportFileMaxBytes, content);
      read != FileProblem::None) {
    *problem = std::string("the file ") + DescribeFileProblem(read);
    if (read == FileProblem::TooLarge) *problem += " (a profile is at most 1 MB)";
    return kImportUnreadable;
  }
  ParsedImport parsed = ParseProfileImport(std::move(content), codec_);
  if (parsed.result != kImportOk) {
    *problem = parsed.problem;
    return parsed.result;
  }
  // Sections are matched without regard to case: importing "home" beside "Home" would write into
  // the stored profile.
  for (const std::string& stored : ListProfileNames()) {
    if (SameKey(stored, parsed.name)) {
      *problem = "a profile of that name already exists";
      return kImportNameExists;
    }
  }
  if (std::string files = StoreFilesProblem(); !files.empty()) {
    *problem = files;
    return kImportStoreWriteFailed;
  }
  // The blob first: a profile section never names a record that is not there yet.
  if (parsed.blobHex && !WriteBlobRecord(StoreFileKind::ProfilesBlob, parsed.name, *parsed.blobHex)) {
    *problem = "the profile store cannot be written";
    return kImportStoreWriteFailed;
  }
  if (!WriteStoreValues(StoreFileKind::Profiles, parsed.name, parsed.values)) {
    *problem = "the profile store cannot be written";
    return kImportStoreWriteFailed;
  }
  return kImportOk;
}

std::string ProfileStore::StoreFilesProblem() const {
  for (StoreFileKind kind : {StoreFileKind::Station, StoreFileKind::Profiles,
                             StoreFileKind::StationBlob, StoreFileKind::ProfilesBlob}) {
    std::string file = FileName(kind);
    if (file.empty()) continue;
    uint32_t error = ERROR_SUCCESS;
    ini_detail::LoadDocument(file, &error);
    if (error == ERROR_SUCCESS || error == ERROR_FILE_NOT_FOUND) continue;
    std::string why = error == ERROR_CANT_ACCESS_FILE
                          ? "is not a regular file (or is a symbolic link in a folder other users "
                            "can write); it is refused"
                      : error == ERROR_FILE_TOO_LARGE ? "is too large for a profile store"
                                                      : "cannot be read";
    return file + " " + why;
  }
  return {};
}

void ProfileStore::ResetActiveConfig() {
  std::vector<KeyValue> values = {
      {"SSID", ""},          {"NetworkType", "1"},   {"AuthMode", "0"},    {"CipherMode", "1"},
      {"WAPIPSK_KEYTYPE", ""}, {"WEPKey1Type", ""}, {"WEPKey2Type", ""},  {"WEPKey3Type", ""},
      {"WEPKey4Type", ""},   {"CurProfile", ""},     {"LeapEnabled", ""},  {"LeapUserName", ""},
      {"LeapPassword", ""},  {"TunnelID", ""},       {"TunnelProtocol", ""}, {"Use8021X", "0"},
      {"ServerCertLen", "0"}, {"ServerCertData", ""}, {"ClientCertLen", "0"},
      {"ClientCertData", ""},
  };
  WriteStoreValues(StoreFileKind::Station, kActiveSection, values);
}

bool ProfileStore::ActivateProfileInStore(std::string_view name, std::string_view activeTime) {
  bool ok = WriteStoreValues(StoreFileKind::Station, kActiveSection,
                             {{std::string(kCurProfileKey), std::string(name)},
                              {std::string(kWscKey), "0"}});
  ok = CopyProfileToActive(name) && ok;
  ok = WriteStoreValue(StoreFileKind::Profiles, name, kActiveTimeKey, activeTime) && ok;
  return ok;
}

}  // namespace ov
