#include "nativewifi/xml_text.h"

#include <cstdint>

namespace ov {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

// Decodes one UTF-8 sequence at `pos`; a byte that starts no valid sequence (overlong forms,
// surrogates and values beyond U+10FFFF included) is taken alone as a Latin-1 character.
char32_t NextChar(std::string_view s, size_t& pos) {
  auto byte = [&](size_t i) { return static_cast<uint8_t>(s[i]); };
  uint8_t b0 = byte(pos);
  size_t need = 0;
  char32_t c = 0;
  char32_t min = 0;
  if ((b0 & 0xE0) == 0xC0) {
    need = 1, c = b0 & 0x1F, min = 0x80;
  } else if ((b0 & 0xF0) == 0xE0) {
    need = 2, c = b0 & 0x0F, min = 0x800;
  } else if ((b0 & 0xF8) == 0xF0) {
    need = 3, c = b0 & 0x07, min = 0x10000;
  }
  bool ok = need > 0 && pos + need < s.size();
  for (size_t i = 1; ok && i <= need; ++i) {
    ok = (byte(pos + i) & 0xC0) == 0x80;
    c = (c << 6) | (byte(pos + i) & 0x3F);
  }
  if (ok && c >= min && c <= 0x10FFFF && !(c >= 0xD800 && c <= 0xDFFF)) {
    pos += need + 1;
    return c;
  }
  ++pos;
  return b0;  // ASCII, or a byte that starts no valid sequence: its Latin-1 character
}

bool XmlAllows(char32_t c) {
  if (c == 0x09 || c == 0x0A || c == 0x0D) return true;
  if (c < 0x20) return false;
  return c != 0xFFFE && c != 0xFFFF;
}

template <typename Fn>
void ForEachXmlChar(std::string_view bytes, Fn fn) {
  size_t pos = 0;
  while (pos < bytes.size()) {
    char32_t c = NextChar(bytes, pos);
    fn(XmlAllows(c) ? c : kReplacement);
  }
}

}  // namespace

std::string ToXmlChars(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  ForEachXmlChar(bytes, [&](char32_t c) { AppendUtf8(out, c); });
  return out;
}

std::string EscapeXmlText(std::string_view bytes, size_t maxBytes) {
  std::string out;
  bool full = false;
  ForEachXmlChar(bytes, [&](char32_t c) {
    if (full) return;
    std::string piece;
    switch (c) {
      case '&': piece = "&amp;"; break;
      case ' ': piece = "&#32;"; break;
      case '<': piece = "&lt;"; break;
      case '>': piece = "&gt;"; break;
      case '"': piece = "&quot;"; break;
      case '\'': piece = "&apos;"; break;
      case '\r': piece = "&#13;"; break;
      default: AppendUtf8(piece, c);
    }
    if (out.size() + piece.size() > maxBytes) {
      full = true;
      return;
    }
    out += piece;
  });
  return out;
}

std::string CdataText(std::string_view chars) {
  std::string out = "<![CDATA[";
  for (size_t i = 0; i < chars.size(); ++i) {
    if (chars.compare(i, 3, "]]>") == 0) {
      out += "]]]]><![CDATA[>";
      i += 2;
    } else if (chars[i] == '\r') {
      out += "]]>&#13;<![CDATA[";
    } else {
      out.push_back(chars[i]);
    }
  }
  out += "]]>";
  return out;
}

size_t Utf16Length(std::string_view utf8) {
  size_t units = 0;
  for (unsigned char c : utf8) {
    if ((c & 0xC0) != 0x80) ++units;  // a lead byte starts a character
    if ((c & 0xF8) == 0xF0) ++units;  // four-byte sequences need a surrogate pair
  }
  return units;
}

}  // namespace ov
