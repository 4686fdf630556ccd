#include "lang/language_table.h"

#include <memory>
#include <optional>
#include <string_view>
#include <system_error>
#include <utility>

#include "platform/ini/ini_document.h"
#include "platform/ini/ini_file_store.h"
#include "platform/system/locale_id.h"
#include "platform/system/machine_root.h"

namespace ov {
namespace {

struct CharSetName {
  std::string_view name;
  int32_t code;
};

// The published font character-set codes.
constexpr CharSetName kCharSetNames[] = {
    {"ANSI_CHARSET", 0},          {"DEFAULT_CHARSET", 1},       {"SYMBOL_CHARSET", 2},
    {"MAC_CHARSET", 77},          {"SHIFTJIS_CHARSET", 128},    {"HANGUL_CHARSET", 129},
    {"HANGEUL_CHARSET", 129},     {"JOHAB_CHARSET", 130},       {"GB2312_CHARSET", 134},
    {"CHINESEBIG5_CHARSET", 136}, {"GREEK_CHARSET", 161},       {"TURKISH_CHARSET", 162},
    {"VIETNAMESE_CHARSET", 163},  {"HEBREW_CHARSET", 177},      {"ARABIC_CHARSET", 178},
    {"BALTIC_CHARSET", 186},      {"RUSSIAN_CHARSET", 204},     {"THAI_CHARSET", 222},
    {"EASTEUROPE_CHARSET", 238},  {"OEM_CHARSET", 255},
};

constexpr char kEnglishLanguageId[] = "0409";
constexpr uint32_t kTextBufferSize = kLanguageTextMaxChars + 1;

// The first maxBytes bytes of a UTF-8 text, shortened so that no character is split: a cut
// character would show as a replacement mark (one of 170 Chinese characters fits in 511 bytes).
std::string_view CutAtCharacter(std::string_view text, std::size_t maxBytes) {
  if (text.size() <= maxBytes) return text;
  std::size_t cut = maxBytes;
  // A UTF-8 character has at most three continuation bytes (10xxxxxx) after its lead byte.
  for (int back = 0; back < 3 && cut > 0; ++back) {
    if ((static_cast<unsigned char>(text[cut]) & 0xC0) != 0x80) break;
    --cut;
  }
  if ((static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) cut = maxBytes;  // not UTF-8
  return text.substr(0, cut);
}

// A value as the private-profile read gives it into a buffer of kTextBufferSize: quotes
// stripped, cut to the buffer, ended at its first NUL. The file is parsed once for all keys
// (a read per key would open and check the file some 600 times at every start).
std::string ReadValue(const ini_detail::IniDocument* document, const char* section,
                      const char* key, const char* defaultValue) {
  std::optional<std::string_view> raw;
  if (document) raw = document->rawValue(section, key);
  std::string_view value = raw ? ini_detail::StripQuotes(*raw) : std::string_view(defaultValue);
  value = value.substr(0, value.find('\0'));
  return std::string(CutAtCharacter(value, kTextBufferSize - 1));
}

LanguageTable& ProcessTable() {
  static LanguageTable table;
  return table;
}

}  // namespace

const std::string& LanguageTable::Text(LanguageKey key) const {
  static const std::string kNone;
  return key < kLanguageKeyCount ? Texts[key] : kNone;
}

int32_t CharSetFromName(std::string_view name) {
  for (const CharSetName& entry : kCharSetNames) {
    if (entry.name == name) return entry.code;
  }
  return kDefaultCharset;
}

std::filesystem::path LanguageFilePath(const std::filesystem::path& programFolder,
                                       std::string_view languageId) {
  const std::filesystem::path folder = programFolder / "Languages";
  const auto fileOf = [&folder](std::string_view id) {
    return folder / ("Lang" + std::string(id) + ".ini");
  };
  std::error_code ec;
  if (std::filesystem::is_regular_file(fileOf(languageId), ec)) return fileOf(languageId);
  // A country variant reads its language's file before falling back to English.
  const std::string primary = PrimaryCountryLanguageId(languageId);
  if (!primary.empty() && std::filesystem::is_regular_file(fileOf(primary), ec)) {
    return fileOf(primary);
  }
  return fileOf(kEnglishLanguageId);
}

LanguageTable ReadLanguageFile(const std::filesystem::path& file) {
  uint32_t error = 0;
  const std::shared_ptr<const ini_detail::IniDocument> document =
      ini_detail::LoadDocument(file.string(), &error);
  LanguageTable table;
  table.CharSet =
      CharSetFromName(ReadValue(document.get(), "Font", "CharSet", kDefaultCharsetName));
  table.FaceName = ReadValue(document.get(), "Font", "FaceName", kDefaultFaceName);
  for (std::size_t i = 0; i < kLanguageKeyCount; ++i) {
    const std::string key(kLanguageKeyNames[i]);
    table.Texts[i] = ReadValue(document.get(), "Strings", key.c_str(), "");
  }
  return table;
}

LanguageTable LoadLanguageTableFrom(const std::filesystem::path& programFolder,
                                    std::string_view languageId) {
  return ReadLanguageFile(LanguageFilePath(programFolder, languageId));
}

const LanguageTable& Language() { return ProcessTable(); }

const std::string& LangText(LanguageKey key) { return ProcessTable().Text(key); }

void LoadLanguageTable() {
  ProcessTable() = LoadLanguageTableFrom(ProgramFolder(), CurrentLocaleLanguageId());
}

void InstallLanguageTable(LanguageTable table) { ProcessTable() = std::move(table); }

}  // namespace ov
