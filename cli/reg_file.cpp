#include "cli/reg_file.h"
#include "platform/system/ascii_text.h"
#include "platform/system/hex_text.h"

#include <cstdio>

namespace ov::cli {

namespace {

constexpr std::string_view kHeader5 = "Windows Registry Editor Version 5.00";
constexpr std::string_view kHeader4 = "REGEDIT4";

// Hex lines are wrapped so that no line, with its continuation backslash, exceeds this.
constexpr size_t kLineWidth = 80;

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

bool ParseHexNumber(std::string_view digits, uint32_t* value) {
  if (digits.empty() || digits.size() > 8) return false;
  uint32_t v = 0;
  for (char c : digits) {
    int d = HexDigitValue(c);
    if (d < 0) return false;
    v = (v << 4) | static_cast<uint32_t>(d);
  }
  *value = v;
  return true;
}

bool UsesUtf16(uint32_t type) {
  return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

// The file's text as narrow UTF-8, whatever its encoding.
bool DecodeFileText(std::string_view bytes, std::string* text, RegFileError* error) {
  if (bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE') {
    if (!Utf16LeToNarrow(bytes.substr(2), text)) {
      *error = {0, "the file starts as UTF-16 but is not valid UTF-16"};
      return false;
    }
    return true;
  }
  if (bytes.size() >= 2 && bytes[0] == '\xFE' && bytes[1] == '\xFF') {
    *error = {0, "big-endian UTF-16 files are not supported"};
    return false;
  }
  if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  *text = std::string(bytes);
  return true;
}

std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

// A quoted text at s[*pos] == '"', with \\ and \" as its only escapes.
bool ParseQuoted(std::string_view s, size_t* pos, std::string* out, std::string* message) {
  out->clear();
  for (size_t i = *pos + 1; i < s.size(); ++i) {
    const char c = s[i];
    if (c == '"') {
      *pos = i + 1;
      return true;
    }
    if (c == '\\') {
      if (i + 1 < s.size() && (s[i + 1] == '\\' || s[i + 1] == '"')) {
        out->push_back(s[++i]);
        continue;
      }
      *message = i + 1 < s.size() ? "unknown escape \\" + std::string(1, s[i + 1]) +
                                        " (only \\\\ and \\\" are allowed)"
                                  : "missing closing quote";
      return false;
    }
    out->push_back(c);
  }
  *message = "missing closing quote";
  return false;
}

bool ParseByteList(std::string_view list, std::string* bytes, std::string* message) {
  bytes->clear();
  list = Trim(list);
  if (list.empty()) return true;
  if (list.back() == ',') list.remove_suffix(1);  // a trailing comma is harmless
  while (true) {
    const size_t comma = list.find(',');
    const std::string_view item = Trim(list.substr(0, comma));
    uint32_t value = 0;
    if (item.size() > 2 || !ParseHexNumber(item, &value)) {
      *message = "\"" + std::string(item) + "\" is not a hex byte";
      return false;
    }
    bytes->push_back(static_cast<char>(value));
    if (comma == std::string_view::npos) return true;
    list.remove_prefix(comma + 1);
  }
}

bool ParseData(std::string_view rest, bool utf16, RegFileValue* value, std::string* message) {
  if (rest == "-") {
    value->remove = true;
    return true;
  }
  if (!rest.empty() && rest.front() == '"') {
    size_t pos = 0;
    std::string text;
    if (!ParseQuoted(rest, &pos, &text, message)) return false;
    if (!Trim(rest.substr(pos)).empty()) {
      *message = "unexpected text after the closing quote";
      return false;
    }
    value->type = REG_SZ;
    value->data = EncodeString(text);
    return true;
  }
  if (StartsWithIgnoringAsciiCase(rest, "dword:")) {
    uint32_t number = 0;
    if (!ParseHexNumber(Trim(rest.substr(6)), &number)) {
      *message = "dword: needs 1 to 8 hex digits";
      return false;
    }
    value->type = REG_DWORD;
    value->data.clear();
    for (int i = 0; i < 4; ++i) value->data.push_back(static_cast<char>((number >> (8 * i)) & 0xFF));
    return true;
  }
  if (StartsWithIgnoringAsciiCase(rest, "hex")) {
    rest.remove_prefix(3);
    uint32_t type = REG_BINARY;
    if (!rest.empty() && rest.front() == '(') {
      const size_t close = rest.find(')');
      if (close == std::string_view::npos || !ParseHexNumber(rest.substr(1, close - 1), &type)) {
        *message = "hex(...) needs a type of 1 to 8 hex digits";
        return false;
      }
      rest.remove_prefix(close + 1);
    }
    if (rest.empty() || rest.front() != ':') {
      *message = "missing ':' after hex";
      return false;
    }
    std::string bytes;
    if (!ParseByteList(rest.substr(1), &bytes, message)) return false;
    value->type = type;
    if (utf16 && UsesUtf16(type)) {
      if (!Utf16LeToNarrow(bytes, &value->data)) {
        *message = "hex(" + std::to_string(type) + ") data is not valid UTF-16LE text";
        return false;
      }
    } else {
      value->data = std::move(bytes);
    }
    return true;
  }
  *message = "unknown data \"" + std::string(rest.substr(0, 20)) +
             "\" (expected \"text\", dword:, hex:, hex(n): or -)";
  return false;
}

bool ParseValueLine(std::string_view line, bool utf16, RegFileValue* value,
                    std::string* message) {
  size_t pos = 0;
  if (line.front() == '@') {
    value->name.clear();
    pos = 1;
  } else if (!ParseQuoted(line, &pos, &value->name, message)) {
    return false;
  }
  std::string_view rest = Trim(line.substr(pos));
  if (rest.empty() || rest.front() != '=') {
    *message = "missing '=' after the value name";
    return false;
  }
  return ParseData(Trim(rest.substr(1)), utf16, value, message);
}

bool ParseKeyLine(std::string_view line, RegFileKey* key, std::string* message) {
  if (line.back() != ']') {
    *message = "missing ']' at the end of the key line";
    return false;
  }
  std::string_view inner = line.substr(1, line.size() - 2);
  if (!inner.empty() && inner.front() == '-') {
    key->remove = true;
    inner.remove_prefix(1);
  }
  if (!ParseKeyName(inner, &key->key, message)) return false;
  if (key->remove && key->key.path.empty()) {
    *message = "a hive's top key cannot be deleted";
    return false;
  }
  return true;
}

std::string Quote(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '\\' || c == '"') out.push_back('\\');
    out.push_back(c);
  }
  return out + "\"";
}

bool HasLineBreak(std::string_view text) { return text.find_first_of("\r\n") != text.npos; }

// REG_SZ data that a quoted string reproduces exactly: valid one-line text and one final NUL.
bool IsPlainString(std::string_view data) {
  if (data.empty() || data.back() != '\0') return false;
  data.remove_suffix(1);
  return data.find('\0') == data.npos && !HasLineBreak(data) && IsValidUtf8(data);
}

// `prefix` followed by the bytes, wrapped with ",\" and two-blank continuation lines.
std::string HexLines(const std::string& prefix, std::string_view bytes) {
  std::string out;
  std::string line = prefix;
  const std::string hex = HexBytes(bytes, false, ",");
  for (size_t i = 0; i < bytes.size(); ++i) {
    std::string token = hex.substr(3 * i, 2);
    if (i + 1 < bytes.size()) token.push_back(',');
    // Leave room for the backslash unless this is the last byte.
    const size_t room = i + 1 < bytes.size() ? kLineWidth - 1 : kLineWidth;
    if (line.size() + token.size() > room && line.size() > 2) {
      out += line + "\\\n";
      line = "  ";
    }
    line += token;
  }
  return out + line;
}

std::string FormatValue(const RegFileValue& value) {
  const std::string name = value.name.empty() ? "@" : Quote(value.name);
  if (value.remove) return name + "=-";
  if (value.type == REG_SZ && IsPlainString(value.data)) {
    return name + "=" + Quote(DecodeString(value.data));
  }
  if (value.type == REG_DWORD && value.data.size() == 4) {
    uint32_t number = 0;
    for (int i = 3; i >= 0; --i) number = (number << 8) | static_cast<uint8_t>(value.data[i]);
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "dword:%08x", number);
    return name + "=" + buffer;
  }
  if (value.type == REG_BINARY) return HexLines(name + "=hex:", value.data);
  char type[24];
  std::snprintf(type, sizeof type, "=hex(%x):", value.type);
  const std::string bytes = UsesUtf16(value.type) ? NarrowToUtf16Le(value.data) : value.data;
  return HexLines(name + type, bytes);
}

}  // namespace

bool ParseRegFile(std::string_view bytes, RegFile* file, RegFileError* error) {
  file->keys.clear();
  std::string text;
  if (!DecodeFileText(bytes, &text, error)) return false;
  const std::vector<std::string_view> lines = SplitLines(text);

  size_t i = 0;
  while (i < lines.size() && Trim(lines[i]).empty()) ++i;
  if (i == lines.size()) {
    *error = {0, "the file is empty"};
    return false;
  }
  const std::string_view header = Trim(lines[i]);
  if (header != kHeader5 && header != kHeader4) {
    *error = {static_cast<int>(i + 1),
              "not a registry file: the first line must be \"" + std::string(kHeader5) + "\""};
    return false;
  }
  const bool utf16 = header == kHeader5;

  RegFileKey* current = nullptr;
  for (++i; i < lines.size(); ++i) {
    const int lineNumber = static_cast<int>(i + 1);
    std::string_view line = Trim(lines[i]);
    if (line.empty() || line.front() == ';') continue;
    std::string message;
    if (line.front() == '[') {
      RegFileKey key;
      key.line = lineNumber;
      if (!ParseKeyLine(line, &key, &message)) {
        *error = {lineNumber, message};
        return false;
      }
      file->keys.push_back(std::move(key));
      current = &file->keys.back();
      continue;
    }
    if (line.front() != '"' && line.front() != '@') {
      *error = {lineNumber, "expected a [key] line or a value line, found \"" +
                                std::string(line.substr(0, 20)) + "\""};
      return false;
    }
    if (current == nullptr) {
      *error = {lineNumber, "a value before the first [key] line"};
      return false;
    }
    if (current->remove) {
      *error = {lineNumber, "a value under a [-key] line, whose key is being deleted"};
      return false;
    }
    // Long hex data continues on the following lines after a trailing backslash.
    std::string joined(line);
    while (!joined.empty() && joined.back() == '\\') {
      joined.pop_back();
      if (++i == lines.size()) {
        *error = {lineNumber, "the value continues past the end of the file"};
        return false;
      }
      joined += Trim(lines[i]);
    }
    RegFileValue value;
    value.line = lineNumber;
    if (!ParseValueLine(joined, utf16, &value, &message)) {
      *error = {lineNumber, message};
      return false;
    }
    current->values.push_back(std::move(value));
  }
  return true;
}

bool FormatRegFile(const RegFile& file, std::string* text, std::string* error) {
  std::string out = std::string(kHeader5) + "\n\n";
  for (const RegFileKey& key : file.keys) {
    const std::string name = FormatKeyName(key.key);
    if (HasLineBreak(name)) {
      *error = "the key name \"" + name + "\" holds a line break, which the file cannot carry";
      return false;
    }
    out += (key.remove ? "[-" : "[") + name + "]\n";
    for (const RegFileValue& value : key.values) {
      if (HasLineBreak(value.name)) {
        *error = "a value name of \"" + name + "\" holds a line break, which the file cannot carry";
        return false;
      }
      out += FormatValue(value) + "\n";
    }
    out += "\n";
  }
  *text = std::move(out);
  return true;
}

}  // namespace ov::cli
