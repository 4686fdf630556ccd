#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "profiles/profile_import.h"
#include "profiles/profile_keys.h"
#include "profiles/secret_codec.h"

// The profile store of one adapter: INI files with one section per profile, the active
// configuration, and the blob files with the EAP configuration records. Every operation opens
// the files anew, so edits by other processes are seen at the next read. Writes go through the
// INI engine's atomic replacement under its folder lock; the operations that change several keys
// at once (copy, clear, import, reset) replace the file once, so a writer killed half-way leaves
// either the old or the new file and never touches another profile's section.
namespace ov {

// Results of ExportProfileSection.
enum ExportResult : int {
  kExportOk = 0,
  kExportNoProfile = 1,
  kExportWriteFailed = 2,
};

// Read buffer of an ordinary value, as the store's callers size it.
constexpr size_t kStoreValueBufferSize = 256;

class ProfileStore {
 public:
  // `codec` may be null (no encryption library): secrets are then stored in clear text. The codec
  // must outlive the store.
  explicit ProfileStore(StoreLocation location, SecretCodec* codec = nullptr,
                        bool encryptPasswords = true);

  const StoreLocation& location() const { return location_; }
  // False when no file name can be built (unknown chip family, unusable identifier); every read
  // is then empty and every write fails.
  bool valid() const { return !FileName(StoreFileKind::Profiles).empty(); }
  std::string FileName(StoreFileKind kind) const { return StoreFileName(location_, kind); }

  // Writing encrypts secrets only while this is set (the program settings' "EncryptedPassword").
  void setEncryptPasswords(bool on) { encryptPasswords_ = on; }
  bool encryptPasswords() const { return encryptPasswords_; }

  // One value as the store's readers see it, at most size - 1 characters: "SSID" decoded when
  // the section marks it hexadecimal, "DiagnosticSSID" always decoded, secrets decrypted; empty
  // when missing. Key "EapConfigBlob" reads the blob record named `section` of a blob file:
  // exactly `size` hexadecimal characters, or empty when the record is absent or shorter.
  std::string ReadStoreValue(StoreFileKind kind, std::string_view section, std::string_view key,
                             size_t size = kStoreValueBufferSize) const;

  // One value: "SSID" and "DiagnosticSSID" are written hexadecimal (with "SSID_inHex" = "1"),
  // secrets encrypted while encryption is on; key "EapConfigBlob" replaces the blob record
  // `section` (kind 5) or the whole blob file (other kinds) with `value`. False when nothing
  // could be written (a value with a line break, an unwritable file).
  bool WriteStoreValue(StoreFileKind kind, std::string_view section, std::string_view key,
                       std::string_view value);

  // Several values of one section with WriteStoreValue's encodings, in order, in one replacement
  // of the file.
  using KeyValue = std::pair<std::string, std::string>;
  bool WriteStoreValues(StoreFileKind kind, std::string_view section,
                        const std::vector<KeyValue>& values);

  // The EAP blob of a section: "EapConfigBlobLen" of `lengthKind`'s section and the record of
  // `blobKind`'s file. Nothing when there is none, the length is not 1..3999, or the record is
  // shorter than announced or not hexadecimal.
  std::optional<std::vector<uint8_t>> ReadEapBlob(StoreFileKind lengthKind, StoreFileKind blobKind,
                                                  std::string_view section) const;

  void ClearProfileSection(std::string_view name, bool clearActiveTime);
  // Every section name of the profiles file, in file order.
  std::vector<std::string> ListProfileNames() const;
  // Exact, case-sensitive comparison with the stored names.
  bool ProfileNameExists(std::string_view name) const;
  bool DeleteProfileSection(std::string_view name);
  bool RemoveBlobRecord(std::string_view name);
  bool CopyProfileToActive(std::string_view name);
  int ExportProfileSection(std::string_view name, const std::string& exportPath);
  // Checks the whole file (ParseProfileImport), then stores it. `problem`, when given, receives
  // what is wrong for any result but kImportOk.
  int ImportProfileSection(const std::string& importPath, std::string* problem = nullptr);
  void ResetActiveConfig();

  // "" when the store's files can be used; otherwise a message naming the first file that is
  // refused (not a regular file, a link planted in a shared folder, too large, unreadable). A
  // missing file is fine: it reads as empty.
  std::string StoreFilesProblem() const;

  // What the profile list's Apply writes for a user who may change the active configuration:
  // "CurProfile", "WSC" = "0", the copy into the active configuration, and the profile's
  // "ActiveTime" ("%d, %d, %d, %d, %d, %d" local time).
  bool ActivateProfileInStore(std::string_view name, std::string_view activeTime);

 private:
  // The INI writes (key, stored text) one logical write becomes.
  std::vector<KeyValue> EncodeForStore(std::string_view key, std::string_view value) const;
  // The value as readers see it, from the stored text of `key`.
  std::string DecodeFromStore(std::string_view key, std::string stored, bool ssidInHex) const;
  bool ApplyWrites(const std::string& file, std::string_view section,
                   const std::vector<KeyValue>& stored) const;
  bool WriteBlobRecord(StoreFileKind kind, std::string_view name, std::string_view hex);

  StoreLocation location_;
  SecretCodec* codec_;
  bool encryptPasswords_;
};

// Finds the blob record "<" + name + ">" + hex + "}" in a blob file's (or export file's) text:
// the hexadecimal run of the first such record that starts at a record or line boundary.
std::optional<std::string_view> FindBlobRecord(std::string_view text, std::string_view name);

// "%d, %d, %d, %d, %d, %d" of the current local time (year, month, day, hour, minute, second).
std::string FormatActiveTime();

}  // namespace ov
