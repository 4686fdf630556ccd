// File naming and the value encodings of the profile store.
#include <gtest/gtest.h>

#include "profiles/profile_keys.h"
#include "profiles/store_encoding.h"

namespace ov {
namespace {

constexpr const char* kId = "{6B29FC40-CA47-1067-B31D-00DD010662DA}";

TEST(StoreFileName, EveryFamilyAndKind) {
  const char* prefixes[] = {"WXP1PCI_", "WXU1_", "WXP2PCI_", "WXU2_", "WXP3_", "WXU3_",
                            "WXP4_",    "WXU4_", "WXU5_",    "WXU6_", "WXP5_"};
  for (int32_t family = 0; family <= 10; ++family) {
    SCOPED_TRACE(family);
    StoreLocation loc{"/data/Orvane/", family, kId};
    EXPECT_EQ(StoreFileName(loc, StoreFileKind::Profiles),
              std::string("/data/Orvane/") + prefixes[family] + kId + "_prof");
  }
  struct Row {
    StoreFileKind kind;
    const char* suffix;
  } rows[] = {{StoreFileKind::Station, "_sta"},
              {StoreFileKind::AccessPoint, "_ap"},
              {StoreFileKind::Profiles, "_prof"},
              {StoreFileKind::Wps, "_wsc"},
              {StoreFileKind::StationBlob, "_STAconfigBlob"},
              {StoreFileKind::ProfilesBlob, "_PROFconfigBlob"}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.suffix);
    EXPECT_EQ(StoreFileName({"d/", 6, kId}, row.kind), std::string("d/WXP4_") + kId + row.suffix);
  }
}

TEST(StoreFileName, RefusesWhatCannotNameAStoreFile) {
  struct Row {
    const char* name;
    int32_t family;
    std::string id;
  } rows[] = {
      {"no family", -1, kId},
      {"family beyond the table", 11, kId},
      {"empty identifier", 4, ""},
      {"separator", 4, "{x}/../../etc/passwd"},
      {"parent folder", 4, "..{x}"},
      {"backslash", 4, "{a\\b}"},
      {"NUL byte", 4, std::string("{a\0b}", 5)},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(StoreFileName({"/data/", row.family, row.id}, StoreFileKind::Profiles), "");
  }
}

TEST(ProfileKeys, ListsInTheirFixedOrder) {
  EXPECT_EQ(ProfileKeyList.size(), 63u);
  EXPECT_EQ(ProfileKeyList.front(), "ACPowerCam");
  EXPECT_EQ(ProfileKeyList[29], "SSID");
  EXPECT_EQ(ProfileKeyList[58], "EapConfigBlob");
  EXPECT_EQ(ProfileKeyList[59], "EapConfigBlobLen");
  EXPECT_EQ(ProfileKeyList.back(), "DiagnosticSSID");
  for (std::string_view key : EncryptedKeyList) {
    SCOPED_TRACE(key);
    EXPECT_TRUE(IsProfileKey(key));
  }
  EXPECT_TRUE(IsEncryptedKey("wpapsk"));  // INI keys match without regard to case
  EXPECT_FALSE(IsEncryptedKey("DomainName"));
}

TEST(SsidHex, DecodingRules) {
  struct Row {
    const char* name;
    std::string text;
    std::string expected;
  } rows[] = {
      {"lower case", "486f6d65", "Home"},
      {"upper case", "486F6D65", "Home"},
      {"odd digit ignored", "486f6d655", "Home"},
      {"NUL ends the string", "41004243", "A"},
      {"not hexadecimal ends the string", "41zz42", "A"},
      {"empty", "", ""},
      {"longer than 64 digits cut to 32 bytes", std::string(70, '4') + "", std::string(32, 'D')},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(DecodeSsidHex(row.text), row.expected);
  }
}

TEST(SsidHex, EveryByteValueRoundTrips) {
  for (int start = 1; start < 256; start += 32) {
    std::string ssid;
    for (int b = start; b < start + 32 && b < 256; ++b) ssid.push_back(static_cast<char>(b));
    SCOPED_TRACE(start);
    std::string hex = HexLower(ssid);
    EXPECT_EQ(hex.size(), ssid.size() * 2);
    EXPECT_EQ(hex.find_first_not_of("0123456789abcdef"), std::string::npos);
    EXPECT_EQ(DecodeSsidHex(hex), ssid);
  }
  EXPECT_EQ(HexLower(std::string("\x01\x0f\x10", 3)), "010f10");
}

TEST(StoreNumbers, ParseLikeTheDecimalConversion) {
  struct Row {
    const char* text;
    int32_t expected;
  } rows[] = {{"0", 0},           {"512", 512},         {"-1", -1},         {"  7", 7},
              {"+3", 3},          {"12abc", 12},        {"abc", 0},         {"", 0},
              {"99999999999", 2147483647},              {"-99999999999", -2147483647 - 1}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    EXPECT_EQ(ParseStoreInt(row.text), row.expected);
  }
}

TEST(HexBytes, StrictAndLenientDecoding) {
  EXPECT_EQ(DecodeHexBytes("00ff10Ab"), (std::vector<uint8_t>{0x00, 0xFF, 0x10, 0xAB}));
  EXPECT_FALSE(DecodeHexBytes("abc"));
  EXPECT_FALSE(DecodeHexBytes("0g"));
  EXPECT_EQ(DecodeHexLenient("1234", 3), (std::vector<uint8_t>{0x12, 0x34, 0x00}));
  EXPECT_EQ(DecodeHexLenient("1x", 1), (std::vector<uint8_t>{0x10}));
  EXPECT_EQ(HexUpper(std::vector<uint8_t>{0x0A, 0xBC}), "0ABC");
}

}  // namespace
}  // namespace ov
