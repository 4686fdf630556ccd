#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "profiles/secret_codec.h"

// Checking a profile export file before anything of it is stored: plain data in, data out, so
// that it can be tested and fuzzed without files.
namespace ov {

// Results of an import.
enum ImportResult : int {
  kImportOk = 0,
  kImportMoreThanOneProfile = 1,
  kImportNoProfile = 2,         // no section, or a section without any profile key
  kImportNameExists = 3,        // also when a stored name differs only in letter case
  kImportValueInvalid = 4,      // a value or the name does not fit its field, or a blob is bad
  kImportUnreadable = 5,        // the file is missing, unreadable or too large for a profile
  kImportStoreWriteFailed = 6,  // the store's files could not be written
};

// Largest import file: an exported profile is a few kilobytes (63 keys and a blob of at most
// 7998 hexadecimal digits).
constexpr size_t kImportFileMaxBytes = 1u << 20;

struct ParsedImport {
  int result = kImportOk;
  std::string problem;  // for anything but kImportOk: what is wrong, naming the key
  std::string name;     // the profile's name
  // Every profile key in the store's order, with its value as readers see it (SSIDs decoded,
  // secrets decrypted); "" for a key the file does not have.
  std::vector<std::pair<std::string, std::string>> values;
  std::optional<std::string> blobHex;  // the EAP blob record, when the file announces one
};

// The value of `key` as the store's readers see it, from its stored text: "SSID" decoded when
// `ssidInHex`, "DiagnosticSSID" always decoded, secrets decrypted by `codec` (may be null).
std::string DecodeStoredValue(std::string_view key, std::string stored, bool ssidInHex,
                              SecretCodec* codec);

// Checks an export file's text (a leading UTF-8 byte-order mark is skipped). Refuses, rather
// than cuts or guesses, every value the store could not keep as given: a NUL byte in a value,
// a hexadecimal SSID that is not whole bytes of hexadecimal digits or is longer than 32 bytes,
// an unknown "AuthMode", a value longer than its field.
ParsedImport ParseProfileImport(std::string text, SecretCodec* codec);

}  // namespace ov
