// The profile list's credential handling: detail texts, removal, import mapping.
#include <gtest/gtest.h>

#include <ostream>

#include "driver/ndis_types.h"
#include "tests/support/wps_credential_maker.h"
#include "wps/wps_credential_rules.h"

namespace ov {
namespace {

WpsCredential Make(std::string_view ssid, uint32_t auth, uint32_t encr, std::string_view key,
                   uint32_t keyIndex = 0) {
  return test::MakeCredential(ssid, auth, encr, key, keyIndex);
}

struct DetailRow {
  const char* name;
  WpsCredential credential;
  const char* auth;
  const char* encryption;
  const char* keyLength;
  const char* keyIndex;
  const char* keyHex;
  bool hex;
  const char* keyAscii = "";
};

void PrintTo(const DetailRow& row, std::ostream* os) { *os << row.name; }

class WpsDetail : public ::testing::TestWithParam<DetailRow> {};

TEST_P(WpsDetail, Texts) {
  const DetailRow& r = GetParam();
  const WpsCredentialDetail d = DescribeWpsCredential(r.credential);
  EXPECT_EQ(d.mac, "02-5A-0F-10-00-21");
  EXPECT_EQ(d.auth, r.auth);
  EXPECT_EQ(d.encryption, r.encryption);
  EXPECT_EQ(d.keyLength, r.keyLength);
  EXPECT_EQ(d.keyIndex, r.keyIndex);
  EXPECT_EQ(d.keyHex, r.keyHex);
  EXPECT_EQ(d.hexKey, r.hex);
  EXPECT_EQ(d.keyAscii, r.keyAscii);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, WpsDetail,
    ::testing::Values(
        DetailRow{"OpenNoneHasNoKeyTexts", Make("o", 1, 1, "junk", 2), "OPEN", "NONE", "", "", "", false},
        DetailRow{"Wpa2PskAes", Make("p", 32, 8, "passphrase"), "WPA2-PSK", "AES", "10", "Key#1", "", false},
        DetailRow{"MixedPsk", Make("p", 34, 12, "passphrase", 1), "WPA-PSK;WPA2-PSK", "TKIP;AES", "10", "Key#2", "", false},
        DetailRow{"AsciiWepDoubled", Make("w", 1, 2, "AbCdE", 0), "OPEN", "WEP", "10", "Key#1", "4162436445", true, "AbCdE"},
        DetailRow{"AsciiWep13Doubled", Make("w", 1, 2, "abcdefghijklm", 3), "OPEN", "WEP", "26", "Key#4",
                  "6162636465666768696a6b6c6d", true, "abcdefghijklm"},
        DetailRow{"HexWepKept", Make("w", 4, 2, "0123456789", 0x80000001u), "SHARED", "WEP", "10", "Key#2", "0123456789", true},
        DetailRow{"HexWepDecoded", Make("w", 1, 2, "4162436465", 0), "OPEN", "WEP", "10", "Key#1", "4162436465", true, "AbCde"},
        DetailRow{"HexWep26Decoded", Make("w", 1, 2, "6162636465666768696A6B6C6D", 0), "OPEN", "WEP", "26", "Key#1",
                  "6162636465666768696A6B6C6D", true, "abcdefghijklm"},
        DetailRow{"HexWepNotHexNoAscii", Make("w", 1, 2, "41424344zz", 0), "OPEN", "WEP", "10", "Key#1", "41424344zz", true, ""},
        DetailRow{"UnknownTypes", Make("x", 64, 64, "k"), "", "", "1", "Key#1", "", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WpsRemove, MovesTheRestUpAndZeroesTheFreedSlot) {
  WpsStoreState s;
  s.Table.Count = 3;
  s.Table.Credentials[0] = Make("a", 32, 8, "12345678");
  s.Table.Credentials[1] = Make("b", 32, 8, "12345678");
  s.Table.Credentials[2] = Make("c", 32, 8, "12345678");
  s.Settings.Channel = 11;
  s.PeerAddress = {1, 2, 3, 4, 5, 6};
  ASSERT_TRUE(RemoveWpsCredential(s, 0));
  EXPECT_EQ(s.Table.Count, 2u);
  EXPECT_EQ(WpsCredentialSsid(s.Table.Credentials[0]), "b");
  EXPECT_EQ(WpsCredentialSsid(s.Table.Credentials[1]), "c");
  EXPECT_EQ(s.Table.Credentials[2], WpsCredential{});
  EXPECT_EQ(s.Settings.Channel, 11) << "kept while credentials remain";

  EXPECT_FALSE(RemoveWpsCredential(s, 2)) << "past the count";
  ASSERT_TRUE(RemoveWpsCredential(s, 1));
  ASSERT_TRUE(RemoveWpsCredential(s, 0));
  EXPECT_EQ(s.Table, WpsCredentialTable{});
  EXPECT_EQ(s.Settings.Channel, 1);
  EXPECT_EQ(s.PeerAddress, MacAddress{});
  EXPECT_FALSE(RemoveWpsCredential(s, 0)) << "empty table";
}

struct ImportRow {
  const char* name;
  WpsCredential credential;
  int auth, cipher;  // -1: reset value kept
  const char* psk;   // nullptr: none
  int wepIndex;      // -1: no WEP key
  bool wepHex;
};

void PrintTo(const ImportRow& row, std::ostream* os) { *os << row.name; }

class WpsImport : public ::testing::TestWithParam<ImportRow> {};

TEST_P(WpsImport, Security) {
  const ImportRow& r = GetParam();
  const WpsImportSecurity s = MapWpsCredentialToSecurity(r.credential);
  EXPECT_EQ(s.authChoice.value_or(-1), r.auth);
  EXPECT_EQ(s.cipherChoice.value_or(-1), r.cipher);
  EXPECT_EQ(s.preSharedKey.has_value(), r.psk != nullptr);
  if (r.psk) EXPECT_EQ(*s.preSharedKey, r.psk);
  EXPECT_EQ(s.wepKeyIndex.value_or(-1), r.wepIndex);
  if (r.wepIndex >= 0) EXPECT_EQ(s.wepKeyHex, r.wepHex);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, WpsImport,
    ::testing::Values(ImportRow{"Open", Make("o", 1, 1, ""), 0, 0, nullptr, -1, false},
                      ImportRow{"WpaPskTkip", Make("p", 2, 4, "passphrase"), 4, 2, "passphrase", -1, false},
                      ImportRow{"Wpa2PskAes", Make("p", 32, 8, "secret12"), 6, 3, "secret12", -1, false},
                      ImportRow{"MixedIsWpaPsk", Make("p", 34, 12, "secret12"), 4, 2, "secret12", -1, false},
                      ImportRow{"WpaEnterprise", Make("e", 8, 4, ""), 3, 2, nullptr, -1, false},
                      ImportRow{"Wpa2Enterprise", Make("e", 16, 8, ""), 5, 3, nullptr, -1, false},
                      ImportRow{"SharedWepHex", Make("w", 4, 2, "0123456789", 2), 1, 1, nullptr, 2, true},
                      ImportRow{"OpenWepAscii", Make("w", 1, 2, "abcde", 0), 0, 1, nullptr, 0, false},
                      ImportRow{"WepIndexOutOfRange", Make("w", 1, 2, "abcde", 7), 0, 1, nullptr, -1, false},
                      ImportRow{"UnknownTypes", Make("x", 64, 64, "k"), -1, -1, nullptr, -1, false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace ov
