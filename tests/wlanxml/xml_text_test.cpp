// Text rules of the documents: characters XML accepts, escaping with its cut, CDATA splitting.
#include <gtest/gtest.h>

#include "nativewifi/xml_text.h"

namespace ov {
namespace {

TEST(XmlText, CharactersFromAnyBytes) {
  struct Row {
    const char* name;
    std::string bytes;
    std::string chars;
  } rows[] = {
      {"ASCII", "home", "home"},
      {"UTF-8 kept", "caf\xc3\xa9 \xf0\x9f\x93\xb6", "caf\xc3\xa9 \xf0\x9f\x93\xb6"},
      {"lone high byte as Latin-1", "caf\xe9", "caf\xc3\xa9"},
      {"truncated sequence", "a\xe2\x82", "a\xc3\xa2\xc2\x82"},
      {"overlong form", "\xc0\xaf", "\xc3\x80\xc2\xaf"},
      {"surrogate", "\xed\xa0\x80", "\xc3\xad\xc2\xa0\xc2\x80"},
      {"C0 controls replaced", std::string("a\x01\x1f\0b", 5),
       "a\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd" "b"},
      {"tab, line feed, carriage return kept", "a\tb\nc\rd", "a\tb\nc\rd"},
      {"U+FFFE and U+FFFF replaced", "\xef\xbf\xbe\xef\xbf\xbf", "\xef\xbf\xbd\xef\xbf\xbd"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(ToXmlChars(row.bytes), row.chars);
  }
}

TEST(XmlText, EscapingInItsOrderAndCutOnlyBetweenWholePieces) {
  EXPECT_EQ(EscapeXmlText("a&b c<d>e\"f'g\rh"),
            "a&amp;b&#32;c&lt;d&gt;e&quot;f&apos;g&#13;h");
  EXPECT_EQ(EscapeXmlText("&amp;"), "&amp;amp;");  // escaped once, not twice
  EXPECT_EQ(EscapeXmlText("ab&cd", 6), "ab");       // "&amp;" would not fit whole
  EXPECT_EQ(EscapeXmlText("ab&cd", 7), "ab&amp;");
  EXPECT_EQ(EscapeXmlText("\xc3\xa9\xc3\xa9", 3), "\xc3\xa9");  // never half a character
  EXPECT_EQ(EscapeXmlText(""), "");
}

TEST(XmlText, CdataSplitsWhatWouldEndIt) {
  EXPECT_EQ(CdataText("plain"), "<![CDATA[plain]]>");
  EXPECT_EQ(CdataText("a]]>b"), "<![CDATA[a]]]]><![CDATA[>b]]>");
  EXPECT_EQ(CdataText("]]>]]>"), "<![CDATA[]]]]><![CDATA[>]]]]><![CDATA[>]]>");
  EXPECT_EQ(CdataText("a\rb"), "<![CDATA[a]]>&#13;<![CDATA[b]]>");
  EXPECT_EQ(CdataText(""), "<![CDATA[]]>");
}

TEST(XmlText, Utf16Length) {
  EXPECT_EQ(Utf16Length("abc"), 3u);
  EXPECT_EQ(Utf16Length("\xc3\xa9\xe2\x82\xac"), 2u);
  EXPECT_EQ(Utf16Length("\xf0\x9f\x93\xb6"), 2u);
}

}  // namespace
}  // namespace ov
