#pragma once
#include <cstddef>
#include <string>
#include <string_view>

// Text from the station record as it may appear in an XML document. The record holds bytes in
// the program's narrow encoding (UTF-8); an SSID or a password may hold anything, so every byte
// sequence must still give a well-formed document.
namespace ov {

// The characters of `bytes` as UTF-8 that XML 1.0 accepts: valid UTF-8 sequences are kept, a
// byte that starts no valid sequence stands for the Latin-1 character of its value, and
// characters that XML forbids (the C0 controls other than tab, line feed and carriage return, a
// NUL, U+FFFE, U+FFFF) become U+FFFD.
std::string ToXmlChars(std::string_view bytes);

// Element content: ToXmlChars, then "&" "&amp;", space "&#32;", "<" "&lt;", ">" "&gt;", double
// quote "&quot;", "'" "&apos;", and carriage return "&#13;" (a parser would turn a bare one into
// a line feed). The result is cut to at most `maxBytes` bytes, only ever between two whole
// characters or references, so a cut never leaves half an entity.
std::string EscapeXmlText(std::string_view bytes, size_t maxBytes = std::string_view::npos);

// `chars` (already ToXmlChars) as one or more CDATA sections: "]]>" is split across two sections
// and a carriage return is written as a reference between them, so the parsed text equals `chars`.
std::string CdataText(std::string_view chars);

// UTF-16 code units of a UTF-8 text (a character beyond U+FFFF counts two).
size_t Utf16Length(std::string_view utf8);

}  // namespace ov
