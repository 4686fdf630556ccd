#include "cli/reg_text.h"
#include "platform/system/ascii_text.h"
#include "platform/system/hex_text.h"

#include <cstdio>

namespace ov::cli {

namespace {

struct RootEntry {
  const char* longName;
  const char* shortName;
  RegRoot root;
};

constexpr RootEntry kRoots[] = {
    {"HKEY_LOCAL_MACHINE", "HKLM", RegRoot::LocalMachine},
    {"HKEY_CURRENT_USER", "HKCU", RegRoot::CurrentUser},
    {"HKEY_USERS", "HKU", RegRoot::Users},
    {"HKEY_CLASSES_ROOT", "HKCR", RegRoot::ClassesRoot},
};

struct TypeEntry {
  const char* name;
  uint32_t type;
};

constexpr TypeEntry kTypes[] = {
    {"REG_NONE", REG_NONE},         {"REG_SZ", REG_SZ},       {"REG_EXPAND_SZ", REG_EXPAND_SZ},
    {"REG_BINARY", REG_BINARY},     {"REG_DWORD", REG_DWORD}, {"REG_MULTI_SZ", REG_MULTI_SZ},
    {"REG_QWORD", REG_QWORD},
};


// One strictly valid UTF-8 sequence at `i`: its code point and length, or false.
bool DecodeUtf8(std::string_view s, size_t i, uint32_t* cp, size_t* length) {
  const auto b0 = static_cast<uint8_t>(s[i]);
  if (b0 < 0x80) {
    *cp = b0;
    *length = 1;
    return true;
  }
  size_t n;
  uint32_t min;
  if ((b0 & 0xE0) == 0xC0) {
    n = 2, min = 0x80, *cp = b0 & 0x1F;
  } else if ((b0 & 0xF0) == 0xE0) {
    n = 3, min = 0x800, *cp = b0 & 0x0F;
  } else if ((b0 & 0xF8) == 0xF0) {
    n = 4, min = 0x10000, *cp = b0 & 0x07;
  } else {
    return false;
  }
  if (i + n > s.size()) return false;
  for (size_t k = 1; k < n; ++k) {
    const auto b = static_cast<uint8_t>(s[i + k]);
    if ((b & 0xC0) != 0x80) return false;
    *cp = (*cp << 6) | (b & 0x3F);
  }
  if (*cp < min || *cp > 0x10FFFF || (*cp >= 0xD800 && *cp <= 0xDFFF)) return false;
  *length = n;
  return true;
}

void AppendUtf8(uint32_t cp, std::string* out) {
  if (cp < 0x80) {
    out->push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out->push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out->push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

void AppendUnit(uint16_t unit, std::string* out) {
  out->push_back(static_cast<char>(unit & 0xFF));
  out->push_back(static_cast<char>(unit >> 8));
}

uint64_t LittleEndian(std::string_view data) {
  uint64_t v = 0;
  for (size_t i = data.size(); i-- > 0;) v = (v << 8) | static_cast<uint8_t>(data[i]);
  return v;
}

bool ParseNumber(std::string_view text, uint64_t max, uint64_t* value) {
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  if (text.empty()) return false;
  uint64_t v = 0;
  for (char c : text) {
    int d = HexDigitValue(c);
    if (d < 0 || d >= base) return false;
    if (v > (max - static_cast<uint64_t>(d)) / static_cast<uint64_t>(base)) return false;
    v = v * static_cast<uint64_t>(base) + static_cast<uint64_t>(d);
  }
  *value = v;
  return true;
}

std::string LittleEndianBytes(uint64_t v, size_t size) {
  std::string bytes;
  for (size_t i = 0; i < size; ++i) bytes.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
  return bytes;
}

// Text for display and JSON: invalid UTF-8 becomes U+FFFD.
std::string SanitizedUtf8(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size();) {
    uint32_t cp;
    size_t n;
    if (DecodeUtf8(text, i, &cp, &n)) {
      out.append(text.substr(i, n));
      i += n;
    } else {
      out += "\xEF\xBF\xBD";
      ++i;
    }
  }
  return out;
}

}  // namespace

bool ParseKeyName(std::string_view text, RegKeyName* key, std::string* error) {
  const size_t cut = text.find('\\');
  const std::string_view rootText = text.substr(0, cut);
  const RootEntry* found = nullptr;
  for (const RootEntry& entry : kRoots) {
    if (EqualsIgnoringAsciiCase(rootText, entry.longName) ||
        EqualsIgnoringAsciiCase(rootText, entry.shortName)) {
      found = &entry;
    }
  }
  if (found == nullptr) {
    *error = "unknown root key \"" + std::string(rootText) +
             "\" (use HKLM, HKCU, HKU, HKCR or their long names)";
    return false;
  }
  std::string_view path = cut == std::string_view::npos ? "" : text.substr(cut + 1);
  if (!path.empty() && path.back() == '\\') path.remove_suffix(1);
  if (cut != std::string_view::npos && path.empty() && text.size() > cut + 1) {
    *error = "empty key name in \"" + std::string(text) + "\"";
    return false;
  }
  for (std::string_view rest = path; !rest.empty();) {
    const size_t next = rest.find('\\');
    const std::string_view part = rest.substr(0, next);
    if (part.empty()) {
      *error = "empty key name in \"" + std::string(text) + "\"";
      return false;
    }
    if (part.size() > kMaxKeyNameChars) {
      *error = "key name longer than 255 characters in \"" + std::string(text) + "\"";
      return false;
    }
    if (next == std::string_view::npos) break;
    rest.remove_prefix(next + 1);
    if (rest.empty()) {
      *error = "empty key name in \"" + std::string(text) + "\"";
      return false;
    }
  }
  key->root = found->root;
  key->path = std::string(path);
  return true;
}

std::string FormatKeyName(const RegKeyName& key) {
  std::string text = RootName(key.root);
  if (!key.path.empty()) text += "\\" + key.path;
  return text;
}

const char* RootName(RegRoot root) {
  for (const RootEntry& entry : kRoots) {
    if (entry.root == root) return entry.longName;
  }
  return "";
}

HKEY RootHandle(RegRoot root) {
  switch (root) {
    case RegRoot::LocalMachine: return HKEY_LOCAL_MACHINE;
    case RegRoot::CurrentUser: return HKEY_CURRENT_USER;
    case RegRoot::Users: return HKEY_USERS;
    case RegRoot::ClassesRoot: return HKEY_CLASSES_ROOT;
  }
  return HKEY_LOCAL_MACHINE;
}

std::string TypeName(uint32_t type) {
  for (const TypeEntry& entry : kTypes) {
    if (entry.type == type) return entry.name;
  }
  char buffer[24];
  std::snprintf(buffer, sizeof buffer, "REG_0x%X", type);
  return buffer;
}

bool ParseTypeName(std::string_view name, uint32_t* type) {
  for (const TypeEntry& entry : kTypes) {
    if (EqualsIgnoringAsciiCase(name, entry.name)) {
      *type = entry.type;
      return true;
    }
  }
  return false;
}

bool ParseValueData(uint32_t type, const std::vector<std::string>& args, std::string* data,
                    std::string* error) {
  if (args.empty()) {
    *error = "missing data for " + TypeName(type);
    return false;
  }
  const bool multi = type == REG_MULTI_SZ;
  if (!multi && args.size() > 1) {
    *error = TypeName(type) + " takes one data argument, " + std::to_string(args.size()) +
             " were given";
    return false;
  }
  const std::string& text = args.front();
  switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ: *data = EncodeString(text); return true;
    case REG_DWORD:
    case REG_QWORD: {
      const bool dword = type == REG_DWORD;
      uint64_t value = 0;
      if (!ParseNumber(text, dword ? 0xFFFFFFFFull : ~0ull, &value)) {
        *error = "\"" + text + "\" is not a " + (dword ? "32" : "64") +
                 "-bit number (decimal, or hexadecimal with 0x)";
        return false;
      }
      *data = LittleEndianBytes(value, dword ? 4 : 8);
      return true;
    }
    case REG_BINARY: {
      std::string digits;
      for (char c : text) {
        if (c == ',' || c == ' ') continue;
        if (HexDigitValue(c) < 0) {
          *error = "\"" + text + "\" is not a list of hex bytes";
          return false;
        }
        digits.push_back(c);
      }
      if (digits.size() % 2 != 0) {
        *error = "\"" + text + "\" has an odd number of hex digits";
        return false;
      }
      data->clear();
      for (size_t i = 0; i < digits.size(); i += 2) {
        data->push_back(static_cast<char>(HexDigitValue(digits[i]) * 16 + HexDigitValue(digits[i + 1])));
      }
      return true;
    }
    case REG_MULTI_SZ: {
      std::vector<std::string> items;
      if (!(args.size() == 1 && args.front().empty())) {
        for (const std::string& arg : args) {
          std::string_view rest = arg;
          while (true) {
            const size_t cut = rest.find("\\0");
            const std::string_view item = rest.substr(0, cut);
            if (item.empty()) {
              *error = "empty item in the multi-string (an empty item would end the list)";
              return false;
            }
            items.emplace_back(item);
            if (cut == std::string_view::npos) break;
            rest.remove_prefix(cut + 2);
          }
        }
      }
      *data = EncodeMultiString(items);
      return true;
    }
    default: *error = "cannot set values of type " + TypeName(type); return false;
  }
}

std::string HexBytes(std::string_view data, bool upper, std::string_view separator) {
  std::string out;
  for (size_t i = 0; i < data.size(); ++i) {
    if (i > 0) out += separator;
    const auto b = static_cast<uint8_t>(data[i]);
    out += HexEncode(std::span<const uint8_t>(&b, 1), upper ? HexCase::Upper : HexCase::Lower);
  }
  return out;
}

std::string FormatValueData(uint32_t type, std::string_view data) {
  char buffer[32];
  switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ: return DecodeString(data);
    case REG_DWORD:
    case REG_QWORD:
      if (data.size() != (type == REG_DWORD ? 4u : 8u)) break;
      std::snprintf(buffer, sizeof buffer, "0x%llx",
                    static_cast<unsigned long long>(LittleEndian(data)));
      return buffer;
    case REG_MULTI_SZ: {
      std::string out;
      for (const std::string& item : DecodeMultiString(data)) {
        if (!out.empty()) out += "\\0";
        out += item;
      }
      return out;
    }
    default: break;
  }
  return HexBytes(data, true, "");
}

std::string JsonString(std::string_view text) {
  const std::string valid = SanitizedUtf8(text);
  std::string out = "\"";
  for (char c : valid) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (static_cast<uint8_t>(c) < 0x20) {
          char buffer[8];
          std::snprintf(buffer, sizeof buffer, "\\u%04x", static_cast<unsigned>(c));
          out += buffer;
        } else {
          out.push_back(c);
        }
    }
  }
  return out + "\"";
}

std::string JsonValueData(uint32_t type, std::string_view data) {
  switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ: return JsonString(DecodeString(data));
    case REG_DWORD:
    case REG_QWORD:
      if (data.size() != (type == REG_DWORD ? 4u : 8u)) break;
      return std::to_string(LittleEndian(data));
    case REG_MULTI_SZ: {
      std::string out = "[";
      for (const std::string& item : DecodeMultiString(data)) {
        if (out.size() > 1) out += ", ";
        out += JsonString(item);
      }
      return out + "]";
    }
    default: break;
  }
  return "\"" + HexBytes(data, false, "") + "\"";
}

std::string NarrowToUtf16Le(std::string_view narrow) {
  std::string out;
  for (size_t i = 0; i < narrow.size();) {
    uint32_t cp;
    size_t n;
    if (!DecodeUtf8(narrow, i, &cp, &n)) {
      AppendUnit(static_cast<uint16_t>(0xDC00 | static_cast<uint8_t>(narrow[i])), &out);
      ++i;
      continue;
    }
    if (cp >= 0x10000) {
      cp -= 0x10000;
      AppendUnit(static_cast<uint16_t>(0xD800 | (cp >> 10)), &out);
      AppendUnit(static_cast<uint16_t>(0xDC00 | (cp & 0x3FF)), &out);
    } else {
      AppendUnit(static_cast<uint16_t>(cp), &out);
    }
    i += n;
  }
  return out;
}

bool Utf16LeToNarrow(std::string_view bytes, std::string* narrow) {
  if (bytes.size() % 2 != 0) return false;
  std::string out;
  const size_t units = bytes.size() / 2;
  auto unitAt = [&](size_t k) {
    return static_cast<uint16_t>(static_cast<uint8_t>(bytes[2 * k]) |
                                 (static_cast<uint8_t>(bytes[2 * k + 1]) << 8));
  };
  for (size_t k = 0; k < units; ++k) {
    const uint16_t u = unitAt(k);
    if (u >= 0xD800 && u <= 0xDBFF && k + 1 < units) {
      const uint16_t low = unitAt(k + 1);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        AppendUtf8(0x10000 + ((u - 0xD800u) << 10) + (low - 0xDC00u), &out);
        ++k;
        continue;
      }
    }
    if (u >= 0xDC80 && u <= 0xDCFF) {
      out.push_back(static_cast<char>(u & 0xFF));  // a byte that was not valid UTF-8
      continue;
    }
    if (u >= 0xD800 && u <= 0xDFFF) return false;
    AppendUtf8(u, &out);
  }
  *narrow = std::move(out);
  return true;
}

bool IsValidUtf8(std::string_view text) {
  for (size_t i = 0; i < text.size();) {
    uint32_t cp;
    size_t n;
    if (!DecodeUtf8(text, i, &cp, &n)) return false;
    i += n;
  }
  return true;
}

}  // namespace ov::cli
