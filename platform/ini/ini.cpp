#include "platform/ini/ini.h"

#include <cstring>

#include "platform/ini/ini_file_store.h"
#include "platform/system/error_codes.h"

namespace ov {

using ini_detail::IniDocument;
using ini_detail::LoadDocument;
using ini_detail::StripQuotes;
using ini_detail::TrimBlanks;

namespace {

// Copies text into buffer cut to size-1 characters; returns the characters copied.
uint32_t CopyString(std::string_view text, char* buffer, uint32_t size) {
  uint32_t n = static_cast<uint32_t>(std::min<size_t>(text.size(), size - 1));
  std::memcpy(buffer, text.data(), n);
  buffer[n] = '\0';
  return n;
}

// Fills a double-NUL list. When the items do not fit, the last item is cut and the result is
// size-2, with NULs at [size-2] and [size-1]; an exact fit counts as not fitting, as the host does.
template <typename Items>
uint32_t CopyList(const Items& items, char* buffer, uint32_t size) {
  if (size == 1) {
    buffer[0] = '\0';
    return 0;
  }
  uint32_t room = size - 1;
  char* out = buffer;
  for (const auto& item : items) {
    std::string_view text(item);
    uint32_t needed = static_cast<uint32_t>(text.size()) + 1;
    if (needed >= room) {
      if (room > 0) {
        std::memcpy(out, text.data(), room - 1);
        out += room - 1;
        *out++ = '\0';
      }
      *out = '\0';
      return size - 2;
    }
    std::memcpy(out, text.data(), text.size());
    out += text.size();
    *out++ = '\0';
    room -= needed;
  }
  *out = '\0';
  return static_cast<uint32_t>(out - buffer);
}

uint32_t CopyDefault(const char* defaultValue, char* buffer, uint32_t size) {
  std::string_view def = defaultValue ? defaultValue : "";
  while (!def.empty() && def.back() == ' ') def.remove_suffix(1);
  return CopyString(def, buffer, size);
}

bool HasLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

// Names and values that would not read back as written, or would split the line, are refused.
bool WritableSection(std::string_view section) {
  return !HasLineBreak(section) && !TrimBlanks(section).empty();
}
bool WritableKey(std::string_view key) {
  std::string_view t = TrimBlanks(key);
  return !HasLineBreak(key) && !t.empty() && t.find('=') == std::string_view::npos &&
         t.front() != '[' && t.front() != ';';
}

std::shared_ptr<const IniDocument> Load(const char* fileName) {
  if (fileName == nullptr || *fileName == '\0') return nullptr;
  uint32_t error = 0;
  return LoadDocument(fileName, &error);
}

}  // namespace

uint32_t GetPrivateProfileString(const char* section, const char* key, const char* defaultValue,
                                 char* buffer, uint32_t size, const char* fileName) {
  if (buffer == nullptr || size == 0) return 0;
  auto doc = Load(fileName);
  if (section == nullptr) {
    if (!doc) {
      buffer[0] = '\0';
      return 0;
    }
    return CopyList(doc->sectionNames(), buffer, size);
  }
  std::string_view sectionName = TrimBlanks(section);
  if (key == nullptr) {
    if (doc && !sectionName.empty()) {
      auto keys = doc->keyNames(sectionName);
      if (!keys.empty()) return CopyList(keys, buffer, size);
    }
    return CopyDefault(defaultValue, buffer, size);
  }
  std::string_view keyName = TrimBlanks(key);
  if (doc && !sectionName.empty() && !keyName.empty()) {
    if (auto value = doc->rawValue(sectionName, keyName)) {
      return CopyString(StripQuotes(*value), buffer, size);
    }
  }
  return CopyDefault(defaultValue, buffer, size);
}

bool WritePrivateProfileString(const char* section, const char* key, const char* value,
                               const char* fileName) {
  if (fileName == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  if (section == nullptr) {
    if (key == nullptr && value == nullptr) {
      ini_detail::FlushCache();
      return true;
    }
    SetLastError(ERROR_FILE_NOT_FOUND);
    return false;
  }
  if (*fileName == '\0') {
    SetLastError(ERROR_ACCESS_DENIED);
    return false;
  }
  std::string sectionName(TrimBlanks(section));
  if (!WritableSection(section) || (key != nullptr && !WritableKey(key)) ||
      (value != nullptr && HasLineBreak(value))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }

  uint32_t result;
  if (key == nullptr) {
    result = ini_detail::UpdateFile(
        fileName, [&](const IniDocument& doc) { return doc.withoutSection(sectionName); }, false);
  } else if (value == nullptr) {
    std::string keyName(TrimBlanks(key));
    result = ini_detail::UpdateFile(
        fileName, [&](const IniDocument& doc) { return doc.withoutKey(sectionName, keyName); },
        false);
  } else {
    std::string keyName(TrimBlanks(key));
    std::string stored = ini_detail::QuoteForWrite(value);
    result = ini_detail::UpdateFile(
        fileName,
        [&](const IniDocument& doc) { return doc.withValue(sectionName, keyName, stored); }, true);
  }
  if (result != ERROR_SUCCESS) {
    SetLastError(result);
    return false;
  }
  return true;
}

uint32_t GetPrivateProfileSectionNames(char* buffer, uint32_t size, const char* fileName) {
  if (buffer == nullptr || size == 0) return 0;
  return GetPrivateProfileString(nullptr, nullptr, nullptr, buffer, size, fileName);
}

uint32_t GetPrivateProfileSection(const char* section, char* buffer, uint32_t size,
                                  const char* fileName) {
  if (section == nullptr || buffer == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (size == 0) return 0;
  auto doc = Load(fileName);
  if (!doc) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    buffer[0] = '\0';
    return 0;
  }
  SetLastError(ERROR_SUCCESS);
  return CopyList(doc->sectionLines(TrimBlanks(section)), buffer, size);
}

uint32_t GetPrivateProfileInt(const char* section, const char* key, int defaultValue,
                              const char* fileName) {
  char value[64];
  if (section == nullptr || key == nullptr ||
      GetPrivateProfileString(section, key, "", value, sizeof value, fileName) == 0) {
    return static_cast<uint32_t>(defaultValue);
  }
  // Leading sign and decimal digits; the number wraps modulo 2^32 as the host's does.
  const char* p = value;
  while (*p == ' ' || *p == '\t') ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = (*p++ == '-');
  uint32_t number = 0;
  for (; *p >= '0' && *p <= '9'; ++p) number = number * 10u + static_cast<uint32_t>(*p - '0');
  return negative ? 0u - number : number;
}

std::string IniReadString(const std::string& fileName, const std::string& section,
                          const std::string& key, const std::string& defaultValue,
                          uint32_t maxChars) {
  std::string buffer(static_cast<size_t>(maxChars) + 1, '\0');
  uint32_t n = GetPrivateProfileString(section.c_str(), key.c_str(), defaultValue.c_str(),
                                       buffer.data(), maxChars + 1, fileName.c_str());
  buffer.resize(n);
  return buffer;
}

bool IniWriteString(const std::string& fileName, const std::string& section,
                    const std::string& key, const std::string& value) {
  return WritePrivateProfileString(section.c_str(), key.c_str(), value.c_str(), fileName.c_str());
}

std::vector<std::string> IniSectionNames(const std::string& fileName) {
  std::vector<std::string> names;
  if (auto doc = Load(fileName.c_str())) {
    for (auto name : doc->sectionNames()) names.emplace_back(name);
  }
  return names;
}

std::vector<std::string> IniKeyNames(const std::string& fileName, const std::string& section) {
  std::vector<std::string> keys;
  if (auto doc = Load(fileName.c_str())) {
    for (auto key : doc->keyNames(TrimBlanks(section))) keys.emplace_back(key);
  }
  return keys;
}

}  // namespace ov
